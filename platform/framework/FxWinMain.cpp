// The program's entry point, linked into the program itself (the system
// looks for WinMain in the executable); it hands over to the framework.
#include "platform/framework/FxApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, nullptr, nCmdShow);
}
