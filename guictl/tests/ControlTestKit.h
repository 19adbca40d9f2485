// Helpers of the control tests: a skin set written as PNG files, a spy
// parent window that records what the controls send it and paints their
// background in a known colour, pixel readback and message pumping.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "guictl/GuiManager.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"
#include "platform/framework/Quorfx.h"

// Rectangles print as (left, top, right, bottom) in failures.
inline void PrintTo(const CRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace kestrel_test {

// The parent's background pixel (0xAARRGGBB) and its COLORREF.
const uint32_t kParentPixel = 0xFF204060;
const COLORREF kParentColour = RGB(0x20, 0x40, 0x60);

// Image-list cells: every cell one solid colour that names it.
inline uint32_t CellPixel(int column, int row) {
  return 0xFF000000u | (uint32_t(200 + column * 10) << 16) | (uint32_t(40 + row * 60) << 8) | 0x08u;
}
inline COLORREF CellColour(int column, int row) { return RGB(200 + column * 10, 40 + row * 60, 0x08); }

// columns x rows cells of w x h pixels.
inline Veltra::COImage MakeCellGrid(int columns, int rows, int w, int h) {
  Veltra::COImage img;
  img.Create(columns * w, rows * h, 72.0, 0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) img.FillRect(RECT{c * w, r * h, c * w + w, r * h + h}, CellPixel(c, r));
  return img;
}

// The tool buttons' skin: cells 22 x 22, 4 columns, rows at 0, 22 and 44.
inline uint32_t SkinPixel(int column, int rowIndex) {
  return 0xFF000000u | (uint32_t(30 + column * 50) << 16) | (uint32_t(230 - rowIndex * 80) << 8) | 0x90u;
}
inline COLORREF SkinColour(int column, int rowIndex) {
  return RGB(30 + column * 50, 230 - rowIndex * 80, 0x90);
}

inline std::wstring TempFolder(const wchar_t* name) {
  wchar_t tmp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, tmp);
  std::wstring folder = std::wstring(tmp) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// Writes the skin set the tests load: "button_flat_menu.png".
inline bool WriteSkinSet(const std::wstring& folder) {
  Veltra::COImage skin;
  skin.Create(88, 66, 72.0, 0);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col)
      skin.FillRect(RECT{col * 22, row * 22, col * 22 + 22, row * 22 + 22}, SkinPixel(col, row));
  CPngImage png;
  return png.WriteFile((folder + L"button_flat_menu.png").c_str(), &skin, 0) != 0;
}

// Dispatches what is queued now.
inline void PumpPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

inline void PumpFor(DWORD ms) {
  DWORD end = ::GetTickCount() + ms;
  while (int(end - ::GetTickCount()) > 0) {
    PumpPending();
    ::Sleep(5);
  }
}

// A top-level window that records WM_COMMAND and WM_SPLITTER_MOVED and
// answers WM_GUI_PARENTBKGND with kParentColour (unless told not to).
class SpyParent : public CWnd {
 public:
  struct Command {
    UINT id;
    UINT code;
    HWND from;
  };
  std::vector<Command> commands;
  std::vector<std::pair<HWND, CRect>> moves;
  std::vector<GuiBkgndRequest> requests;
  std::vector<CRect> requestRects;
  bool answerBackground = true;
  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));

  BOOL CreateSpy(int width = 400, int height = 300, int x = 40, int y = 40) {
    if (!CreateEx(0, nullptr, L"spy", WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr, nullptr))
      return FALSE;
    ShowWindow(SW_SHOWNA);
    return TRUE;
  }
  int CountCommands(UINT code) const {
    int n = 0;
    for (const Command& c : commands) n += c.code == code;
    return n;
  }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
    return TRUE;
  }
  LRESULT OnBackground(WPARAM wParam, LPARAM lParam) {
    auto* req = reinterpret_cast<GuiBkgndRequest*>(lParam);
    requests.push_back(*req);
    requestRects.push_back(CRect(reinterpret_cast<RECT*>(wParam)));
    if (!answerBackground) return 0;
    const CRect rc(reinterpret_cast<RECT*>(wParam));
    if (req->kind == 1 && req->image)
      req->image->Fill(kParentPixel);  // the image is the rectangle's size
    else if (req->kind == 0 && req->dc)
      req->dc->FillSolidRect(req->x, req->y, rc.Width(), rc.Height(), kParentColour);
    return 1;
  }
  LRESULT OnSplitterMoved(WPARAM wParam, LPARAM lParam) {
    moves.push_back({reinterpret_cast<HWND>(wParam), CRect(reinterpret_cast<RECT*>(lParam))});
    return 0;
  }
  LRESULT OnGetFont(WPARAM, LPARAM) { return LRESULT(font); }
  BOOL OnMessageMap(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override {
    ON_MESSAGE(WM_GUI_PARENTBKGND, OnBackground)
    ON_MESSAGE(WM_SPLITTER_MOVED, OnSplitterMoved)
    ON_MESSAGE(WM_GETFONT, OnGetFont)
    if (uMsg == WM_ERASEBKGND) {
      CRect rc;
      GetClientRect(&rc);
      ::SetBkColor(reinterpret_cast<HDC>(wParam), kParentColour);
      ::ExtTextOutW(reinterpret_cast<HDC>(wParam), 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
      lResult = 1;
      return TRUE;
    }
    return CWnd::OnMessageMap(uMsg, wParam, lParam, lResult);
  }
};

// A 32-bit memory canvas that a control's DrawItem paints into.
class Canvas {
 public:
  Canvas(int width, int height) : m_w(width), m_h(height) {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    m_dc.CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_old = ::SelectObject(m_dc, m_bitmap);
    for (int i = 0; i < width * height; ++i) m_bits[i] = 0xFF00FF;  // magenta: never painted
  }
  ~Canvas() {
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
  }
  CDC* dc() { return &m_dc; }
  COLORREF At(int x, int y) {
    ::GdiFlush();
    uint32_t p = m_bits[y * m_w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // How many pixels of the rectangle have the colour.
  int Count(const RECT& rc, COLORREF colour) {
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right; ++x) n += At(x, y) == colour;
    return n;
  }
  int Width() const { return m_w; }
  int Height() const { return m_h; }

 private:
  int m_w, m_h;
  CDC m_dc;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  uint32_t* m_bits = nullptr;
};

// Every control test: the library initialised with a skin folder holding
// the test skin set, and a spy parent.
class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skinFolder = TempFolder(L"kestrel-skin");
    ASSERT_TRUE(WriteSkinSet(skinFolder));
    ASSERT_EQ(1, Kestrel_Initialize(skinFolder.c_str()));
    ASSERT_TRUE(parent.CreateSpy());
  }
  void TearDown() override {
    if (parent.GetSafeHwnd()) parent.DestroyWindow();
    Kestrel_UnInitialize();
    ::DeleteFileW((skinFolder + L"button_flat_menu.png").c_str());
    ::RemoveDirectoryW(skinFolder.c_str());
  }
  std::wstring skinFolder;
  SpyParent parent;
};

}  // namespace kestrel_test
