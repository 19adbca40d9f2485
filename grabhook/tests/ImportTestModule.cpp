// A second module of the test process that imports the GDI text-output
// calls itself, so that patches of two modules can be told apart.
#include <windows.h>

extern "C" __declspec(dllexport) void DrawWithTestModule(HDC dc) {
  TextOutW(dc, 0, 0, L"module", 6);
  ExtTextOutW(dc, 0, 0, 0, nullptr, L"module", 6, nullptr);
  TextOutA(dc, 0, 0, "module", 6);
  ExtTextOutA(dc, 0, 0, 0, nullptr, "module", 6, nullptr);
}
