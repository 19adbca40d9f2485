// The common ground of the dictionary dialogs that show an HTML page: the page
// control and its host handler, the load of "about:blank" and then of the
// data folder's "blank.htm" whose "main" element receives the page, the
// background colour and the controls' background requests.
#pragma once

#include <string>

#include "app/views/HtmlCtrl2.h"
#include "platform/framework/Quorfx.h"

class CDictManager;

// Messages between the dialogs and the main window.
constexpr UINT kMsgPageAction = 2031;        // WM_PAGE_ACTION
constexpr UINT kMsgIndexGroupChanged = 2032; // WM_INDEX_GROUP_CHANGED
constexpr UINT kMsgPageReady = 3024;         // WM_PAGE_READY
constexpr UINT kMsgParentBackground = 1206;  // WM_GUI_PARENTBKGND
constexpr WPARAM kActionDictLink = 164;
constexpr WPARAM kActionDownloadLink = 167;

class CDictHtmlDialog : public CDialog, public htmlview::HtmlViewEvents {
 public:
  static constexpr COLORREF kBackColour = 0xFAF1EB;  // #EBF1FA

  CDictHtmlDialog(UINT templateId, CWnd* parent, UINT browserId);
  ~CDictHtmlDialog() override;

  CHtmlCtrl2& GetHtmlCtrl() { return m_html; }
  // The page's document; null before blank.htm has loaded.
  htmlview::Document* GetPageDocument() const;

 protected:
  // Common start of OnInitDialog: base handling, font, caption, icon.
  void InitCommon(const wchar_t* section);
  // The page control over the given rectangle; false when it cannot be made.
  bool CreateBrowser();
  // Grows the window by a pixel each side (the first layout runs), centres it
  // and loads "about:blank".
  void FinishInit();

  // The document of blank.htm has loaded.
  virtual void OnPageLoaded(const std::wstring& url) = 0;
  // The host handler's options before it is handed to a document.
  virtual void ConfigureHost() {}

  void OnDocumentComplete(const std::wstring& url) override;
  void OnNewWindow() override {}

  // Fills the client area but the excluded rectangles with the background.
  void FillBackground(CDC* dc);
  // The page keeps its own pixels; the rest of the client area gets the background.
  BOOL EraseAroundPage(CDC* dc);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnParentBackground(WPARAM wParam, LPARAM lParam);

  CHtmlCtrl2 m_html;
  CDocHostHandler m_hostHandler;
  COLORREF m_bkColor = kBackColour;
  CDictManager& m_manager;
  UINT m_browserId;
};

// "about:blank" compared without ASCII case; the empty text is something else.
bool IsAboutBlank(const std::wstring& url);
