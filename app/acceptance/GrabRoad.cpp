// The cursor-translation road: Quorindo started from the shipped folder with
// grab on, Wine's own Notepad open on a text file beside it, and the mouse
// and keys of the user pointing at a word there. The popup shows the demo
// dictionary's entry of that word next to the cursor and goes away when the
// mouse leaves it; each trigger the options offer works, and so does the
// clipboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/acceptance/Road.h"
#include "grabhook/tests/WineProgramKit.h"

namespace acceptance {
namespace {

const char kFileText[] = "the house stands\r\nby the old garden\r\nlast line\r\n";

// A key held down (or let go) on the keyboard.
void HoldKey(WORD key, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(input));
}

void MouseTo(POINT screen) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = (screen.x * 65536 + width - 1) / width;
  input.mi.dy = (screen.y * 65536 + height - 1) / height;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

void MiddleClick() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MIDDLEDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MIDDLEUP;
  SendInput(2, inputs, sizeof(INPUT));
}

// How grab is set up in the copy before the program starts.
struct GrabSetup {
  bool grab;
  bool clipboard;
  const wchar_t* activation;  // "GrabActivation" of section "Translate"; null: as shipped
};

class GrabRoad : public Road {
 protected:
  virtual GrabSetup Setup() const { return {true, false, nullptr}; }

  void Prepare() override {
    const GrabSetup setup = Setup();
    const std::wstring user = Folder() + L"user.ini", config = Folder() + L"config.ini";
    WritePrivateProfileStringW(L"App", L"EnableGrab", setup.grab ? L"y" : L"n", user.c_str());
    WritePrivateProfileStringW(L"App", L"EnableClipboard", setup.clipboard ? L"y" : L"n", user.c_str());
    if (setup.activation) WritePrivateProfileStringW(L"Translate", L"GrabActivation", setup.activation, config.c_str());
  }

  void SetUp() override {
    Road::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(notepad_.Start(L"notepad.exe", L"\"" + file_.Path() + L"\"", L"Notepad", L"Edit"))
        << "Notepad did not show; its windows: " << Utf8(notepad_.Describe());
    edit_ = notepad_.Child(L"Edit");
    // Away from every window, so that the first move is a move.
    MouseTo(Away());
  }

  void TearDown() override {
    Road::TearDown();
    notepad_.Stop();
  }

  // Screen centre of a character of a line of the file in Notepad.
  POINT CharAt(int line, int column) const {
    int start = static_cast<int>(SendMessageW(edit_, EM_LINEINDEX, line, 0));
    return wineprograms::CharCentre(edit_, start + column);
  }

  // A point of Notepad's text area far from its text.
  POINT Away() const {
    RECT rect = ScreenRect(edit_);
    return {rect.right - 30, rect.bottom - 30};
  }

  // The program's cursor-translation popup while it shows.
  HWND Popup() const {
    for (HWND window : TopWindows(program_.Id(), nullptr, nullptr, true)) {
      LONG_PTR styles = GetWindowLongPtrW(window, GWL_EXSTYLE);
      if (window != program_.MainWindow() && (styles & WS_EX_TOOLWINDOW) && (styles & WS_EX_TOPMOST) &&
          ClassOf(window) != L"#32768" && ClassOf(window) != L"tooltips_class32")
        return window;
    }
    return nullptr;
  }

  HWND WaitForPopup() const {
    HWND popup = nullptr;
    WaitFor([&] { return (popup = Popup()) != nullptr; });
    return popup;
  }

  // What the popup shows, as its Open button hands the word to the main
  // window: the result page there, copied by the view bar's Copy button.
  std::wstring OpenedText(HWND popup, const wchar_t* translation) {
    HWND open = Control(popup, nullptr, 106);
    if (!open) return L"(no Open button)";
    Click(open);
    std::wstring text;
    Window().WaitForPageText(translation, text);
    return text;
  }

  // The popup for the word at the point stands next to it.
  void ExpectPopupNear(HWND popup, POINT at, const wchar_t* word) {
    ASSERT_NE(nullptr, popup) << "no popup for \"" << Utf8(word) << "\"";
    const RECT rect = ScreenRect(popup);
    EXPECT_EQ(at.x + 16, rect.left) << "the popup is placed 16 pixels right of the cursor";
    EXPECT_EQ(at.y + 16, rect.top) << "and 16 pixels below it";
    Screenshot(word);
  }

  // The popup's Open button shows the same entry in the main window.
  void ExpectOpenShows(HWND popup, const wchar_t* word, const wchar_t* translation) {
    ASSERT_NE(nullptr, popup);
    const std::wstring text = OpenedText(popup, translation);
    EXPECT_NE(std::wstring::npos, text.find(word)) << "popup: " << Utf8(text);
    EXPECT_NE(std::wstring::npos, text.find(translation)) << "popup: " << Utf8(text);
  }

  void ExpectHiddenWhenTheMouseLeaves() {
    MouseTo(Away());
    EXPECT_TRUE(WaitFor([this] { return Popup() == nullptr; })) << "the popup stayed after the mouse left it";
  }

  wineprograms::TextFile file_{L"grab road.txt", kFileText};
  wineprograms::WineProgram notepad_;
  HWND edit_ = nullptr;
};

// As shipped: Ctrl held while the mouse moves.
TEST_F(GrabRoad, CtrlAndMouseOverAWordInNotepadShowItsEntry) {
  const POINT house = CharAt(0, 6);  // "the ho|u|se stands"
  MouseTo(house);
  EXPECT_FALSE(WaitFor([this] { return Popup() != nullptr; }, 2000)) << "a popup without Ctrl";
  HoldKey(VK_CONTROL, true);
  HWND popup = WaitForPopup();
  HoldKey(VK_CONTROL, false);
  ExpectPopupNear(popup, house, L"house");
  ExpectHiddenWhenTheMouseLeaves();
}

class MouseOverRoad : public GrabRoad {
  GrabSetup Setup() const override { return {true, false, L"1"}; }
};

TEST_F(MouseOverRoad, MouseRestingOnAWordShowsItsEntry) {
  const POINT garden = CharAt(1, 13);  // "by the old ga|r|den"
  MouseTo(garden);
  ExpectPopupNear(WaitForPopup(), garden, L"garden");
  ExpectHiddenWhenTheMouseLeaves();
  MouseTo(garden);
  ExpectOpenShows(WaitForPopup(), L"garden", L"Garten");
}

class ShiftRoad : public GrabRoad {
  GrabSetup Setup() const override { return {true, false, L"256"}; }
};

TEST_F(ShiftRoad, ShiftAndMouseOverAWordShowItsEntry) {
  const POINT house = CharAt(0, 5);
  HoldKey(VK_SHIFT, true);
  MouseTo(house);
  HWND popup = WaitForPopup();
  HoldKey(VK_SHIFT, false);
  ExpectPopupNear(popup, house, L"house");
}

class MiddleButtonRoad : public GrabRoad {
  GrabSetup Setup() const override { return {true, false, L"2"}; }
};

TEST_F(MiddleButtonRoad, MiddleButtonOnAWordShowsItsEntry) {
  const POINT garden = CharAt(1, 12);
  MouseTo(garden);
  EXPECT_FALSE(WaitFor([this] { return Popup() != nullptr; }, 2000)) << "a popup without the button";
  MiddleClick();
  HWND popup = WaitForPopup();
  ExpectPopupNear(popup, garden, L"garden");
  ExpectOpenShows(popup, L"garden", L"Garten");
}

class ClipboardRoad : public GrabRoad {
  GrabSetup Setup() const override { return {false, true, nullptr}; }
};

TEST_F(ClipboardRoad, AWordCopiedInNotepadShowsItsEntry) {
  const POINT house = CharAt(0, 6);
  MouseTo(house);
  EXPECT_FALSE(WaitFor([this] { return Popup() != nullptr; }, 2000)) << "grab is off: no popup";
  // A click on the word makes Notepad the foreground window with the caret
  // in "house"; the selection is set once that click is through (its button
  // up handled), as a click still queued would move it.
  ClickScreen(house);
  ASSERT_TRUE(WaitFor([this] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD selection = static_cast<DWORD>(SendMessageW(edit_, EM_GETSEL, 0, 0));
    const WORD from = LOWORD(selection), to = HIWORD(selection);
    return GetGUIThreadInfo(GetWindowThreadProcessId(edit_, nullptr), &info) && info.hwndFocus == edit_ &&
           info.hwndCapture == nullptr && GetForegroundWindow() == GetAncestor(edit_, GA_ROOT) && from == to &&
           from >= 4 && from <= 9;
  })) << "Notepad did not take the click";
  SendMessageW(edit_, EM_SETSEL, 4, 9);  // "house"
  PressKeys({VK_CONTROL, 'C'});
  HWND popup = WaitForPopup();
  ASSERT_NE(nullptr, popup) << "no popup for the copied word";
  Screenshot(L"copied");
  const std::wstring text = OpenedText(popup, L"Haus");
  EXPECT_NE(std::wstring::npos, text.find(L"Haus")) << "popup: " << Utf8(text);
}

}  // namespace
}  // namespace acceptance
