// CMainFrame: the program's main window and the hub of its private messages.
// It draws its own caption and border, holds the search bar, the index pane,
// the view bar and the cursor-translation popup, turns lookup requests
// (WM_LOOKUP_WORD, WM_LOOKUP_REFRESH) into result pages, keeps the tray icon,
// the hot keys and the start-up completion, and saves the user state to
// "user.ini" when it is destroyed. Messages and flag bits: app/frame/FrameMessages.h.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/frame/FrameMessages.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

class CDlgInput;
class CDlgIndex;
class CDlgView;
class CWndGrab;
class CDlgDictOption;
class CListWord;
class CResultView;
class CWebGuide;

class CMainFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)

 public:
  CMainFrame();
  ~CMainFrame() override;

  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The children (they exist from window creation to WM_DESTROY).
  CDlgInput& GetSearchBar() { return *m_searchBar; }
  CDlgIndex& GetIndexPane() { return *m_indexPane; }
  CDlgView& GetViewBar() { return *m_viewBar; }
  CWndGrab& GetPopup() { return *m_popup; }
  bool IsStartupComplete() const { return m_startupComplete; }
  bool IsFormActive() const { return m_formActive; }

  // Lookup road (WM_LOOKUP_WORD, WM_LOOKUP_REFRESH); both answer 1.
  LRESULT ShowLookupResult(const wchar_t* word, uint32_t flags);
  LRESULT RefreshLookup(const wchar_t* word);

  // Tray icon: action 0 add, 1 modify, 2 delete.
  void UpdateTrayIcon(int action, bool balloon);
  void ShowMainWindow();
  void HideToTray();
  void ToggleGrab(int toggle);
  void ToggleClipboard(int toggle);
  void RegisterHotkeys(bool on);
  void SaveState();

  LRESULT OnPageAction(WPARAM action, LPARAM argument);
  LRESULT OnAppLink(const wchar_t* command, const wchar_t* argument);
  LRESULT OnPagesReady();
  LRESULT OnTextTranslationEvent(const wchar_t* event);
  LRESULT OnTextTranslationResult(WPARAM wParam, LPARAM lParam);
  BOOL OnCopyDataInstall(const wchar_t* path);
  void OnHotKey(UINT id);
  void OnUpdateDone(WPARAM wParam, LPARAM lParam);
  void OnIndexGroupChanged();
  void OnUiSettingsChanged();
  void OnSysMaximize();
  void OnToggleIndexPane();

  // Opens the web link of a command word (CQuorindoApp::BuildLinkUrl), with
  // an optional tail such as "&dictid=5".
  static void OpenLink(const wchar_t* word, const std::wstring& tail = std::wstring());

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTW lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* params);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg BOOL OnNcActivate(BOOL bActive);
  afx_msg void OnNcPaint();
  afx_msg void OnPaint();
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

  afx_msg void OnExit();
  afx_msg void OnOpen();
  afx_msg void OnDictionaries();
  afx_msg void OnConfiguration();
  afx_msg void OnAbout();
  afx_msg void OnHelp();
  afx_msg void OnSupport();
  afx_msg void OnWebSearch();
  afx_msg void OnCursorTranslator();
  afx_msg void OnClipboardTranslator();
  afx_msg void OnMinimize();
  afx_msg void OnKeepVisible();
  afx_msg void OnFooterLink();

  DECLARE_MESSAGE_MAP()

 private:
  void CreateChildren();
  void CreatePopup();
  void SetFrameRegion(int cx, int cy);
  void DrawFrame(CDC& dc);
  void OnTrayNotify(WPARAM wParam, LPARAM lParam);
  void ShowTrayMenu();
  LRESULT OnParentBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnAuthRequest(WPARAM wParam, LPARAM lParam);
  void PositionIndexList(const wchar_t* word);
  void ClearHistory();
  bool ReadSwitch(const wchar_t* key, int toggle);
  void QuietPopup();
  void FillLanguageSelect(const std::vector<std::wstring>& codes, const std::wstring& current, const wchar_t* element);
  bool RetryWithProxyCredentials(const std::string& realm);

  HICON m_hIcon = nullptr;  // the window's icon, big and small
  int m_captionHeight = 0;
  UINT m_shellRestartMessage = 0;
  UINT_PTR m_updateTimer = 0;
  bool m_formActive = false;
  bool m_proxyRetried = false;  // the running translation is the one retry after the proxy asked
  CGImageButton m_btnClose, m_btnMinimize, m_btnMaximize, m_btnPin;
  std::unique_ptr<CDlgInput> m_searchBar;
  std::unique_ptr<CDlgIndex> m_indexPane;
  std::unique_ptr<CDlgView> m_viewBar;
  CGSplitterBar m_splitter;
  CGLinkButton m_footer;
  CString m_popupClass;
  std::unique_ptr<CWndGrab> m_popup;
  CDlgDictOption* m_openDictDialog = nullptr;
  Veltra::COImage m_partnerLogo, m_captionLogo, m_captionRight, m_captionCentre, m_sizeGrip;
  HRGN m_region = nullptr;
  bool m_startupComplete = false;
  bool m_popupStarted = false;  // the main window's pages were ready, the popup made
};
