// Quorindo's main window as the roads meet it: its controls, found by class
// and control id, and what a user does there with the mouse and the keys.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace acceptance {

// Items of the main menu, counted up from its last: the keyboard reaches
// each with that many presses of Up.
enum MainMenuItem { kMenuExit = 1, kMenuAbout = 2, kMenuConfiguration = 5, kMenuDictionaries = 6 };

// The translation form's texts as shipped, and the shipped engine's address
// that roads point at a local server.
constexpr wchar_t kShippedEngineUrl[] = L"http://translate.quorindo.example/translate";
constexpr wchar_t kWaiting[] = L"Translating, please wait...";
constexpr wchar_t kConnectFailed[] = L"The translation service cannot be reached.";
constexpr wchar_t kRequestFailed[] = L"The translation service did not answer the request.";

class MainWindow {
 public:
  explicit MainWindow(HWND frame) : frame_(frame) {}

  HWND Frame() const { return frame_; }
  HWND SearchEdit() const;
  HWND WordList() const;    // the index pane's word list
  HWND ResultPage() const;  // the view bar's HTML view
  HWND GuidePage() const;   // the index pane's guide
  HWND Button(int id) const;  // a visible skinned button of the window

  // Types word into the search edit (its old text selected first) and presses Enter.
  bool LookUp(const std::wstring& word);
  // The result page's text, as the view bar's Copy button puts it on the clipboard.
  std::wstring PageText();
  // Copies the page until its text holds part; text is the last one read.
  bool WaitForPageText(const std::wstring& part, std::wstring& text);
  // Waits until the search edit shows text.
  bool WaitForInput(const std::wstring& text);
  // The view bar's Find: text typed into the find box and Find Next pressed
  // once (the page selects the first match and brings it into view), then the
  // box closed by its close box.
  bool FindInPage(const std::wstring& text);
  // The main menu opened with its button; its window, or null.
  HWND OpenMainMenu();
  // An item of the main menu chosen with the keyboard.
  bool ChooseFromMainMenu(MainMenuItem item);
  bool ChooseExit() { return ChooseFromMainMenu(kMenuExit); }

  // The translation form on the result page: its text box, and its lists of
  // engines, source and target languages.
  HWND FormTextBox() const;
  std::vector<HWND> FormLists() const;
  // The form for a looked-up word (once its page shows `shown`), opened by
  // the view bar's Translate button; false when it did not come.
  bool OpenTranslationForm(const std::wstring& word, const std::wstring& shown);
  // The form's Translate link clicked: the words right of the target-language
  // list; false when the form shows none.
  bool ClickTranslate();

 private:
  HWND frame_;
};

}  // namespace acceptance
