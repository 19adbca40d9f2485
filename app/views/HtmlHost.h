// CHtmlView: a child window that hosts one HTML view (platform/htmlview, window
// class "Internet Explorer_Server", a child of this window) and turns its events
// into virtual calls: before-navigate with a cancel flag, new window, document
// complete with the URL, and the page's click, double-click and key events.
// It also reads the hosted document by element name. CHtmlWnd2 (the program's
// HTML views) and CHtmlCtrl2 (the HTML dialogs' pages) build on it.
//
// Element handles belong to the document: nothing is released by the caller,
// and a handle is valid until its element leaves the page or the next page loads.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/framework/Quorfx.h"
#include "platform/htmlview/HtmlView.h"

class CHtmlView : public CWnd {
  DECLARE_DYNCREATE(CHtmlView)

 public:
  CHtmlView();
  ~CHtmlView() override;

  // The class name is ignored: the host has its own class and makes the view.
  BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
              UINT nID, void* pContext = nullptr) override;

  // Loads "about:blank", a file path or a "file:///" URL; the before-navigate
  // callback runs first, document complete follows from the message loop.
  BOOL Navigate2(LPCWSTR lpszURL);
  // Select all, clear selection, copy, find box, print preview.
  BOOL ExecWB(htmlview::Command command);

  htmlview::HtmlView* GetBrowser() const { return m_pBrowser.get(); }
  // The current document; null before the first page has loaded.
  htmlview::Document* GetHtmlDocument() const;

  // ---- The document by element name ----
  // Every element of the page, in document order.
  std::vector<htmlview::Element*> GetAllCollection() const;
  // The index-th element whose id or name is lpszName; null when absent.
  htmlview::Element* GetElement(LPCWSTR lpszName, int nIndex = 0) const;
  htmlview::Element* GetBody() const;
  // False when either argument is null or the element is absent.
  BOOL SetElementHtml(LPCWSTR lpszName, LPCWSTR lpszHtml);
  // The body's scroll position and client size; all 0 and false without a body.
  BOOL GetBodyScroll(long* pScrollLeft, long* pScrollTop, long* pClientWidth, long* pClientHeight) const;
  // The element's page position (offsets summed up the offset-parent chain) and size.
  static void GetElementOffsetRect(long* pLeft, long* pTop, long* pWidth, long* pHeight, htmlview::Element* pElement);

 protected:
  // Overridables. The defaults let every navigation proceed.
  virtual void OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel);
  // The view never opens a new window; pbCancel is for the derived views' say.
  virtual void OnNewWindow2(BOOL* pbCancel);
  // Runs for every completed document; the default calls OnDocumentComplete.
  virtual void DocumentComplete(LPCWSTR lpszURL);
  virtual void OnDocumentComplete(LPCWSTR lpszURL);
  virtual void OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* pSource, int nKeyCode);

  // Drops the hosted view (its window goes with it).
  void ReleaseBrowser();

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnDestroy();

  DECLARE_MESSAGE_MAP()

 private:
  // The hosted view's events, handed to the overridables.
  class Events : public htmlview::HtmlViewEvents {
   public:
    explicit Events(CHtmlView* owner) : owner_(owner) {}
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
    void OnDocumentComplete(const std::wstring& url) override;
    void OnNewWindow() override;
    void OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* source, int keyCode) override;

   private:
    CHtmlView* owner_;
  };

  Events m_events{this};
  std::unique_ptr<htmlview::HtmlView> m_pBrowser;
};
