// The program's say over a hosted HTML page: whether it shows a context menu
// (none, the view's own, or one the owner builds), which accelerator keys reach
// the view, and the host flags (dialog, no scroll bar, no border).
#pragma once

#include <windows.h>

#include "platform/htmlview/HtmlView.h"

// Builds and tracks the owner's context menu. S_OK: the owner handled it (or
// shows nothing); S_FALSE: the view shows its own menu.
typedef HRESULT (*PFN_HTML_CONTEXT_MENU)(DWORD dwMenuKind, POINT ptScreen, htmlview::HtmlView* pCmdTarget,
                                         htmlview::Element* pElement, void* pContext);

class CDocHostHandler : public htmlview::HostHandler {
 public:
  // Host flag of its own: scripts stop while the page is inactive (the view
  // runs no scripts; the flag is only reported).
  static constexpr DWORD kHostNoScriptInactive = 0x10;

  CDocHostHandler() = default;
  CDocHostHandler(const CDocHostHandler&) = delete;
  CDocHostHandler& operator=(const CDocHostHandler&) = delete;

  // Switches, set directly by the owners.
  int m_bContextMenu = 0;       // 0: no menu at all; else the callback's, or the view's own
  int m_bDialog = 0;            // kHostDialog
  int m_bNoScroll = 0;          // kHostNoScroll
  int m_bNo3DBorder = 1;        // kHostNo3DBorder
  int m_bNoScriptInactive = 0;  // kHostNoScriptInactive
  int m_bAccelerators = 0;      // 0: the filtered keys and commands are swallowed
  int m_bAllowFind = 0;         // find reaches the view even when keys are swallowed
  int m_bAllowPrint = 0;        // print reaches the view even when keys are swallowed
  void* m_pMenuContext = nullptr;
  PFN_HTML_CONTEXT_MENU m_pfnContextMenu = nullptr;

  void SetContextMenuHandler(PFN_HTML_CONTEXT_MENU pfn, void* pContext) {
    m_pfnContextMenu = pfn;
    m_pMenuContext = pContext;
  }
  // The view the handler is installed in, handed to the menu callback.
  void SetCommandTarget(htmlview::HtmlView* pView) { m_pCmdTarget = pView; }

  // htmlview::HostHandler
  HRESULT ShowContextMenu(DWORD dwMenuKind, POINT ptScreen, htmlview::Element* pElement) override;
  HRESULT TranslateAccelerator(const MSG& msg, DWORD dwCommand) override;
  DWORD GetHostFlags() override;

 private:
  htmlview::HtmlView* m_pCmdTarget = nullptr;
};
