#include "app/views/DocHostHandler.h"

HRESULT CDocHostHandler::ShowContextMenu(DWORD dwMenuKind, POINT ptScreen, htmlview::Element* pElement) {
  if (!m_bContextMenu) return S_OK;
  if (m_pfnContextMenu) return m_pfnContextMenu(dwMenuKind, ptScreen, m_pCmdTarget, pElement, m_pMenuContext);
  return S_FALSE;
}

DWORD CDocHostHandler::GetHostFlags() {
  DWORD flags = 0;
  if (m_bDialog) flags |= htmlview::kHostDialog;
  if (m_bNoScroll) flags |= htmlview::kHostNoScroll;
  if (m_bNo3DBorder) flags |= htmlview::kHostNo3DBorder;
  if (m_bNoScriptInactive) flags |= kHostNoScriptInactive;
  return flags;
}

// The browser's navigation keys (back, forward, new window, refresh, print,
// find...) make no sense in the program's pages and are swallowed unless the
// owner allows them; editing keys always pass.
HRESULT CDocHostHandler::TranslateAccelerator(const MSG& msg, DWORD dwCommand) {
  const HRESULT allowed = m_bAccelerators ? S_FALSE : S_OK;
  switch (dwCommand) {
    case 0:
      break;
    case htmlview::kCmdCopy:
    case htmlview::kCmdCut:
    case htmlview::kCmdPaste:
    case htmlview::kCmdSelectAll:
      return S_FALSE;
    case htmlview::kCmdPrint:
      return m_bAllowPrint ? S_FALSE : allowed;
    case htmlview::kCmdFind:
      return m_bAllowFind ? S_FALSE : allowed;
    case htmlview::kCmdBack:
    case htmlview::kCmdForward:
    case 6041:
    case 6043:
      return allowed;
    default:
      break;
  }
  if (msg.message == WM_SYSKEYDOWN) return msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT ? allowed : S_FALSE;
  if (msg.message == WM_KEYDOWN) {
    if (msg.wParam == 'N') return GetKeyState(VK_CONTROL) < 0 ? allowed : S_FALSE;
    if (msg.wParam >= VK_F1 && msg.wParam <= VK_F12) return allowed;
  }
  return S_FALSE;
}
