// CDlgInput: the search bar across the top of the main window (template 136,
// texts of section "DlgInput"): the search edit, the Search, AutoMatch,
// History, Back, Forward and MainMenu buttons, the search history with its
// drop-down list, and the Back/Forward navigation list.
//
// It reaches the main window only by SendMessage: WM_LOOKUP_WORD (2028) with
// the word and lookup flags, WM_LOOKUP_REFRESH (2029) with the typed text
// while the user types, and WM_COMMAND 171 (hide) on Esc in an empty edit.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/search/ListWnd.h"
#include "app/search/OwnerMenu.h"
#include "app/search/SearchRes.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

#ifndef WM_LOOKUP_WORD
#define WM_LOOKUP_WORD 2028
#endif
#ifndef WM_LOOKUP_REFRESH
#define WM_LOOKUP_REFRESH 2029
#endif

// Lookup flags that the search bar sends with WM_LOOKUP_WORD.
enum : UINT {
  kLookupFromSearch = 0x324E1,      // Search button, Enter, a pick from the drop-down list
  kLookupFromNavigation = 0x24F1,   // Back, Forward
  kLookupIndexOnly = 0x20,          // move the index word list only
};

// What the main window takes as typing for the search input, wherever in the
// window the focus is: every character, and Backspace, Enter, Esc and the
// input method's key. The panes hand these on to the main window.
bool IsTypingMessage(const MSG& msg);

// The search edit: Esc hides the main window or clears the text; the
// navigation keys go to the index word list while the focus stays here.
class CSearchEdit : public CEdit {
 public:
  BOOL PreTranslateMessage(MSG* pMsg) override;
};

class CDlgInput : public CDialog {
 public:
  enum { IDD = IDD_DLG_INPUT };

  explicit CDlgInput(CWnd* parent = nullptr);
  ~CDlgInput() override;

  // The edit's text without blanks, tabs, CR and LF at both ends.
  void GetInputText(std::wstring& text) const;
  // notify: whether the change reaches the main window (2029).
  void SetInputText(const wchar_t* text, bool notify);

  void AddToHistory(const wchar_t* word);
  void LoadHistory();
  // The history as App/SearchList of "user.ini": quoted, escaped, ", " between.
  void FormatHistory(std::wstring& text) const;
  void TrimHistory(int max);
  void ClearHistory();
  const std::deque<std::wstring>& GetHistory() const { return m_history; }
  const std::vector<std::wstring>& GetNavigation() const { return m_navigation; }
  int GetNavigationIndex() const { return m_nNavIndex; }

  // -1: every dictionary of the index group; else one member's position.
  int GetMenuSelection() const { return m_nMenuSel; }
  void SetMenuSelection(int i);

  void Search();
  void Back();
  void Forward();
  void ShowHistoryList();
  void ShowAutoMatchMenu();
  void ShowMainMenu();
  // The two menus' items, as they are shown.
  void BuildAutoMatchMenu(COwnerMenu& menu);
  void BuildMainMenu(COwnerMenu& menu);
  // The AutoMatch menu's commands (598, 599, 600 + member).
  void OnAutoMatchCommand(UINT id);

  CListWnd& GetHistoryList() { return m_listWnd; }
  CSearchEdit& GetEdit() { return m_edit; }
  const Veltra::COImage& GetAutoMatchStrip() const { return m_imgAutoMatchStrip; }
  CString GetAutoMatchTooltip() const { return m_strAutoMatchTip; }

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The history drop-down's size in rows.
  static const int kHistoryRows = 15;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnEditChange();
  afx_msg void OnEditSetFocus();
  DECLARE_MESSAGE_MAP()

 private:
  LRESULT OnParentBackground(WPARAM wParam, LPARAM lParam);
  void UpdateNavigationButtons();
  void ChooseDictionary(int i);
  void BuildAutoMatchStrip(const Veltra::COImage& icon);
  void LoadImage(Veltra::COImage& image, const wchar_t* name) const;
  CRect ChildRect(const CWnd& child) const;
  void SendLookup(const std::wstring& word, UINT flags);
  int HistoryMax() const;

  Veltra::COImage m_imgToolbar;
  Veltra::COImage m_imgEditBk;
  Veltra::COImage m_imgDropMenu;
  Veltra::COImage m_imgSearchIcon;
  Veltra::COImage m_imgAutoMatch;
  Veltra::COImage m_imgAutoMatchStrip;
  CListWnd m_listWnd;
  std::deque<std::wstring> m_history;
  std::vector<std::wstring> m_navigation;
  int m_nNavIndex;
  int m_nMenuSel;
  bool m_bNotify;
  CString m_strAutoMatchTip;
  CSearchEdit m_edit;
  CGToolButton m_btnSearch;
  CGImageButton m_btnAutoMatch;
  CGImageButton m_btnHistory;
  CGImageButton m_btnBack;
  CGImageButton m_btnForward;
  CGImageButton m_btnMainMenu;
};
