// CWndGrab: the small top-most popup that translates the word under the mouse
// in any program (records of the hook library scrivet) and text copied to the
// clipboard. It looks the word up in the grab group, shows the result in its
// HTML view next to the cursor and hides when the mouse leaves its zone.
// A title bar of its own shows the word and five buttons: open in the main
// window, copy, speak, text translation and keep visible.
//
// The main frame creates it as a hidden pop-up (top-most tool window) and
// joins or leaves the clipboard chain for it. Records arrive as WM_COPYDATA
// with dwData 2027 (a GrabTextResult) and mouse moves as message 2026.
#pragma once

#include <string>

#include "app/popup/PopupMessages.h"
#include "app/views/WebViewQ.h"
#include "grabhook/Scrivet.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

struct SectionToggle;

class CWndGrab : public CWnd {
 public:
  CWndGrab();
  ~CWndGrab() override;

  // Looks the record in m_grab up and shows the popup (see the .cpp).
  BOOL ShowResult(int extract, int keepPosition);
  void SetColors(COLORREF text, COLORREF back, COLORREF border);
  void JoinClipboardChain(bool join);
  LRESULT OnAppLink(const wchar_t* command, const wchar_t* argument);
  LRESULT ToggleDictSection(const SectionToggle* record);
  LRESULT SendToTextTranslation();
  LRESULT WebSearch(const wchar_t* argument);
  // Drops grab records that wait in the queue (the modes were switched off).
  void DropQueuedGrabText();

  BOOL PreTranslateMessage(MSG* pMsg) override;

  const std::wstring& GetWord() const { return m_strWord; }
  const std::wstring& GetHtml() const { return m_strHtml; }
  const RECT& GetKeepZone() const { return m_rcKeepZone; }
  bool IsKeepVisible() const { return m_bKeepVisible != 0; }
  bool IsClipboardViewer() const { return m_bClipboardViewer != 0; }
  HWND GetNextViewer() const { return m_hNextViewer; }

  CWebViewQ m_view;
  CGImageButton m_btnOpen;
  CGImageButton m_btnCopy;
  CGImageButton m_btnSpeak;
  CGImageButton m_btnTranslate;
  CGImageButton m_btnKeepVisible;
  int m_nCaptionHeight = 22;
  GrabTextResult m_grab;
  int m_bPositioning = 0;
  int m_bKeepVisible = 0;
  bool m_bSizeMove = false;  // in the system's move or size loop (the user drags the popup)
  int m_bUserSized = 0;      // the user sized the popup: its size stays
  std::wstring m_strWord;
  std::wstring m_strHtml;
  RECT m_rcWindow = {0, 0, 0, 0};
  RECT m_rcKeepZone = {0, 0, 0, 0};
  COLORREF m_crText = 0;
  COLORREF m_crBack = 0xFFFFFF;
  COLORREF m_crBorder = 0;
  int m_bClipboardViewer = 0;
  HWND m_hNextViewer = nullptr;

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnPaint();
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnMove(int x, int y);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  afx_msg void OnDestroy();
  afx_msg void OnChangeCbChain(HWND removed, HWND next);
  afx_msg void OnDrawClipboard();
  afx_msg BOOL OnCopyData(CWnd* sender, COPYDATASTRUCT* data);
  afx_msg void OnOpen();
  afx_msg void OnCopy();
  afx_msg void OnSpeak();
  afx_msg void OnTranslate();
  afx_msg void OnKeepVisible();
  DECLARE_MESSAGE_MAP()

 private:
  void PostGrabText(WPARAM extract, LPARAM keepPosition);
  void HideUnlessPinned();
  void HideOutsideZone(POINT point);
  LRESULT OnParentBackground(const RECT* rect, GuiBkgndRequest* request);
  // The window width at which the title bar shows the word unshortened.
  int TitleBarWidth();
  // The word under the cursor of the record, by the settings' scripts.
  bool ExtractWord(std::wstring& word, const wchar_t* text, int length, int index);
};
