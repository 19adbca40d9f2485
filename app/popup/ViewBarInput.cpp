// The search bar is a child dialog of the main window; the view bar finds it
// there rather than through the frame, so that it needs only the search bar.
#include "app/popup/DlgView.h"
#include "app/search/DlgInput.h"

void ViewBarInputText(std::wstring& text) {
  text.clear();
  CWnd* main = AfxGetMainWnd();
  if (!main) return;
  for (HWND child = ::GetWindow(main->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (auto* input = dynamic_cast<CDlgInput*>(CWnd::FromHandlePermanent(child))) {
      input->GetInputText(text);
      return;
    }
  }
}
