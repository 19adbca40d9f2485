#include "app/acceptance/MainWindow.h"

#include "app/acceptance/AcceptanceKit.h"
#include "app/popup/PopupRes.h"
#include "app/search/SearchRes.h"

namespace acceptance {

HWND MainWindow::SearchEdit() const { return Control(frame_, L"Edit", IDC_INPUT_EDIT); }

HWND MainWindow::WordList() const {
  std::vector<HWND> lists = Controls(frame_, L"Talvane_ListWord", IDC_INDEX_WORDLIST, false);
  return lists.empty() ? nullptr : lists.front();
}

HWND MainWindow::ResultPage() const {
  // The view bar holds the Copy button and the result view.
  HWND copy = Button(IDC_VIEW_COPY);
  return copy ? Control(GetParent(copy), L"Internet Explorer_Server") : nullptr;
}

HWND MainWindow::GuidePage() const {
  HWND guide = Control(frame_, nullptr, IDC_INDEX_GUIDE);
  HWND view = guide ? Control(guide, L"Internet Explorer_Server") : nullptr;
  return view ? view : guide;
}

HWND MainWindow::Button(int id) const { return Control(frame_, nullptr, id); }

bool MainWindow::LookUp(const std::wstring& word) {
  HWND edit = SearchEdit();
  // A hand already in the search bar types on; one elsewhere clicks into it
  // first. A click the edit does not need would also race the keys: Wine may
  // hand the press to the edit after the keys that follow it, and a press
  // on the spot of the last lookup's click waits out the double-click time.
  if (!edit) return false;
  const bool typing = FocusOf(edit) == edit && GetForegroundWindow() == GetAncestor(edit, GA_ROOT);
  if (!typing && !ClickToFocus(edit)) return false;
  // The click may only have placed the caret: the old text is selected by keys.
  PressKey(VK_HOME);
  PressKeys({VK_SHIFT, VK_END});
  TypeText(word);
  if (!WaitForInput(word)) return false;
  PressKey(VK_RETURN);
  return true;
}

std::wstring MainWindow::PageText() {
  HWND copy = Button(IDC_VIEW_COPY);
  if (!copy) return L"";
  ClearClipboard();
  Click(copy);
  std::wstring text;
  WaitFor([&text] {
    text = ClipboardText();
    return !text.empty();
  });
  return text;
}

bool MainWindow::WaitForPageText(const std::wstring& part, std::wstring& text) {
  return WaitFor([&] {
    text = PageText();
    return text.find(part) != std::wstring::npos;
  });
}

bool MainWindow::WaitForInput(const std::wstring& text) {
  HWND edit = SearchEdit();
  return edit && WaitFor([edit, &text] { return WindowText(edit) == text; });
}

bool MainWindow::FindInPage(const std::wstring& text) {
  HWND button = Button(IDC_VIEW_FIND);
  if (!button) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(frame_, &process);
  Click(button);
  HWND box = nullptr;
  if (!WaitFor([&] {
        std::vector<HWND> boxes = TopWindows(process, nullptr, L"Find", true);
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
      }))
    return false;
  HWND edit = Control(box, L"Edit", 100), next = Control(box, L"Button", IDOK);
  if (!edit || !next || !ClickToFocus(edit)) return false;
  TypeText(text);
  if (!WaitFor([&] { return WindowText(edit) == text; })) return false;
  Click(next);
  // The close box: the last button of the tool window's small caption.
  const RECT outer = ScreenRect(box);
  const POINT close = {outer.right - GetSystemMetrics(SM_CXFIXEDFRAME) - GetSystemMetrics(SM_CXSMSIZE) / 2 - 1,
                       outer.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2};
  ClickScreen(close);
  return WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

HWND MainWindow::OpenMainMenu() {
  HWND menuButton = Button(IDC_INPUT_MAINMENU);
  if (!menuButton) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(frame_, &process);
  // A user opens the menu on a settled window. Under Wine the display's focus
  // events of an activation just made (the popup's button clicked, the main
  // window brought back) reach the program only once it is idle; one that
  // comes after the menu opened cancels the menu.
  WaitForPainted(process);
  Click(menuButton);
  HWND menu = nullptr;
  WaitFor([&] {
    std::vector<HWND> menus = TopWindows(process, L"#32768", nullptr, true);
    menu = menus.empty() ? nullptr : menus.front();
    return menu != nullptr;
  });
  return menu;
}

bool MainWindow::ChooseFromMainMenu(MainMenuItem item) {
  if (!OpenMainMenu()) return false;
  // Up from no selection goes to the last item.
  for (int i = 0; i < item; ++i) PressKey(VK_UP);
  PressKey(VK_RETURN);
  return true;
}

HWND MainWindow::FormTextBox() const { return Control(ResultPage(), L"Edit"); }

std::vector<HWND> MainWindow::FormLists() const { return Controls(ResultPage(), L"ComboBox"); }

bool MainWindow::OpenTranslationForm(const std::wstring& word, const std::wstring& shown) {
  std::wstring text;
  if (!LookUp(word) || !WaitForPageText(shown, text)) return false;
  HWND button = Button(IDC_VIEW_TRANSLATE);
  if (!button) return false;
  Click(button);
  return WaitFor([&] { return FormTextBox() && WindowText(FormTextBox()) == word && FormLists().size() == 3; });
}

bool MainWindow::ClickTranslate() {
  HWND page = ResultPage();
  const std::vector<HWND> lists = FormLists();
  if (lists.size() != 3) return false;
  RECT list = ScreenRect(lists[2]), client = {};
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&list), 2);
  GetClientRect(page, &client);
  const RECT right = {list.right + 2, list.top, client.right, list.bottom};
  const std::vector<RECT> words = InkWords(page, right);
  if (words.empty()) return false;
  Click(page, (words[0].left + words[0].right) / 2, (words[0].top + words[0].bottom) / 2);
  return true;
}

}  // namespace acceptance
