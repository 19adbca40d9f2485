#include "app/search/DlgIndex.h"

#include <string>

#include "app/search/DlgInput.h"
#include "app/search/SearchApp.h"
#include "core/ConfigFile.h"
#include "dict/DictFile.h"
#include "dict/DictManager.h"

namespace {

const wchar_t kSection[] = L"DlgIndex";
const COLORREF kTabBack = RGB(209, 224, 242);
const uint32_t kTabBackPixel = 0xFFD1E0F2;
const COLORREF kFrame = RGB(66, 115, 183);
const COLORREF kPaneBack = RGB(235, 241, 250);
const UINT kTabButtonStyle = 0xF02;  // BS_CHECKBOX | BS_CENTER | BS_VCENTER

HWND MainWindow() { return CWnd::HwndOf(AfxGetMainWnd()); }

// Shows or hides a tab's pane. What that shows or uncovers is erased with the
// next paint: at once, under Wine, the guide's frame and background were drawn
// twice on every switch to it (for the guide shown, and again for the word
// list hidden over it). A pane with the focus is hidden as ShowWindow hides
// it, which gives the focus back to this dialog.
void ShowPane(CWnd& pane, bool show) {
  const HWND h = pane.m_hWnd;
  if (!h) return;
  const HWND focus = ::GetFocus();
  if (!show && focus && (focus == h || ::IsChild(h, focus))) {
    pane.ShowWindow(SW_HIDE);
    return;
  }
  ::SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE |
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

}  // namespace

CDlgIndex::CDlgIndex(CWnd* parent)
    : CDialog(IDD_DLG_INDEX, parent), m_pIndexGroup(SearchDictManager().GetGroup(kGroupIndex)), m_nCurTab(1) {}

CDlgIndex::~CDlgIndex() = default;

BOOL CDlgIndex::OnInitDialog() {
  CDialog::OnInitDialog();
  m_wordList.SubclassDlgItem(IDC_INDEX_WORDLIST, this);
  m_btnIndex.SubclassDlgItem(IDC_INDEX_TAB_INDEX, this);
  m_btnGuide.SubclassDlgItem(IDC_INDEX_TAB_GUIDE, this);
  m_btnAppendix.SubclassDlgItem(IDC_INDEX_TAB_APPENDIX, this);

  CFont* font = SearchUiFont();
  if (font && font->m_hObject) ApplyFontToChildren(m_hWnd, *font, false);

  const struct {
    CGImageButton* button;
    const wchar_t* image;
    const wchar_t* tip;
  } tabs[] = {{&m_btnIndex, L"tab_index.png", L"Index"},
              {&m_btnGuide, L"tab_guide.png", L"Guide"},
              {&m_btnAppendix, L"tab_appendix.png", L"Appendix"}};
  for (const auto& t : tabs) {
    Veltra::COImage image;
    CPngImage png;
    png.ReadFile((SearchImageFolder() + t.image).c_str(), &image, 0);
    t.button->SetImageList(image, 22, 32, 0);
    t.button->SetTooltip(SearchTexts().GetString(kSection, t.tip, L"").c_str(), TRUE);
    t.button->SetButtonStyle(kTabButtonStyle, FALSE);
    t.button->SetCheck(t.button == &m_btnIndex ? BST_CHECKED : BST_UNCHECKED);
  }

  const uint32_t members = m_pIndexGroup ? m_pIndexGroup->GetCount() : 0;
  for (uint32_t i = 0; i < members; ++i) {
    CDictFile* dict = m_pIndexGroup->GetDictAt(i);
    if (dict && m_pIndexGroup->IsEnabled(i)) {
      m_wordList.SetSource(dict, i, 0);
      break;
    }
  }

  m_guide.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 0, 0), this, IDC_INDEX_GUIDE);
  m_guide.Navigate2(L"about:blank");

  m_nCurTab = -1;
  SelectTab(kTabGuide);

  CRect rc;
  GetClientRect(&rc);
  OnSize(SIZE_RESTORED, rc.Width(), rc.Height());
  return TRUE;
}

BOOL CDlgIndex::PreTranslateMessage(MSG* pMsg) {
  // Typing in the word list or the guide belongs to the search input, which
  // the main window gives it to; the dialog manager would swallow it here.
  if (IsTypingMessage(*pMsg)) return FALSE;
  return CDialog::PreTranslateMessage(pMsg);
}

int CDlgIndex::SelectTab(int tab) {
  if (tab == m_nCurTab) return m_nCurTab;
  const bool guide = tab == kTabGuide;
  m_btnIndex.SetCheck(guide ? BST_UNCHECKED : BST_CHECKED);
  m_btnGuide.SetCheck(guide ? BST_CHECKED : BST_UNCHECKED);
  m_btnAppendix.SetCheck(BST_UNCHECKED);
  ShowPane(m_guide, guide);
  ShowPane(m_wordList, !guide);
  m_nCurTab = guide ? kTabGuide : kTabIndex;
  return m_nCurTab;
}

BEGIN_MESSAGE_MAP(CDlgIndex, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_INDEX_TAB_INDEX, OnTabIndex)
  ON_BN_CLICKED(IDC_INDEX_TAB_GUIDE, OnTabGuide)
  ON_BN_CLICKED(IDC_INDEX_TAB_APPENDIX, OnTabAppendix)
  ON_CONTROL(1, IDC_INDEX_WORDLIST, OnWordSelected)
  ON_CONTROL(2, IDC_INDEX_WORDLIST, OnWordDoubleClicked)
END_MESSAGE_MAP()

void CDlgIndex::OnWordSelected() { ::SendMessageW(MainWindow(), 2029, 0, 0); }

void CDlgIndex::OnWordDoubleClicked() {
  CDictFile* dict = m_wordList.GetSource();
  if (!dict || dict->GetKeyCount() == 0) return;
  const std::wstring word = dict->GetKey(uint32_t(m_wordList.GetSelection()));
  ::SendMessageW(MainWindow(), 2028, WPARAM(word.c_str()), LPARAM(kLookupFromIndexList));
}

CRect CDlgIndex::ChildRect(const CWnd& child) const {
  CRect rc;
  if (!child.m_hWnd) return rc;
  child.GetWindowRect(&rc);
  ScreenToClient(&rc);
  return rc;
}

void CDlgIndex::OnSize(UINT, int cx, int cy) {
  if (!m_btnIndex.m_hWnd) return;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  m_btnIndex.SetWindowPos(nullptr, 0, 15, 22, 32, flags);
  m_btnGuide.SetWindowPos(nullptr, 0, 47, 22, 32, flags);
  m_btnAppendix.SetWindowPos(nullptr, 0, 79, 22, 32, flags);
  CRect content(22, 0, cx, cy);
  content.DeflateRect(1, 1);
  if (m_wordList.m_hWnd) m_wordList.MoveWindow(&content);
  if (m_guide.m_hWnd) m_guide.MoveWindow(&content);
  Invalidate();
}

BOOL CDlgIndex::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  const CRect index = ChildRect(m_btnIndex);
  const CRect content(client.left + index.Width(), client.top, client.right, client.bottom);
  const int saved = dc->SaveDC();
  CBrush frame(kFrame);
  dc->FrameRect(&content, &frame);
  // Only the tab buttons paint themselves: the column below them is the
  // pane's to fill, or it would show whatever lay there before.
  for (const CWnd* tab : {static_cast<const CWnd*>(&m_btnIndex), static_cast<const CWnd*>(&m_btnGuide),
                          static_cast<const CWnd*>(&m_btnAppendix)}) {
    const CRect rc = ChildRect(*tab);
    dc->ExcludeClipRect(&rc);
  }
  dc->ExcludeClipRect(&content);
  dc->FillSolidRect(&client, kPaneBack);
  dc->RestoreDC(saved);
  return TRUE;
}

LRESULT CDlgIndex::OnParentBackground(WPARAM wParam, LPARAM lParam) {
  const RECT* rect = reinterpret_cast<const RECT*>(wParam);
  GuiBkgndRequest* req = reinterpret_cast<GuiBkgndRequest*>(lParam);
  if (!rect || !req) return 0;
  const CRect rc(rect);
  if (req->kind == 0 && req->dc) {
    req->dc->FillSolidRect(req->x, req->y, rc.Width(), rc.Height(), kTabBack);
    return 1;
  }
  if (req->kind == 1 && req->image && !req->image->IsEmpty()) {
    req->image->FillRect(CRect(0, 0, req->image->GetWidth(), req->image->GetHeight()), kTabBackPixel);
    return 1;
  }
  return 0;
}

LRESULT CDlgIndex::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GUI_PARENTBKGND) return OnParentBackground(wParam, lParam);
  if (message == WM_PAGE_READY && wParam == 0) {
    ::PostMessageW(::GetParent(m_hWnd), WM_PAGE_READY, 0, LPARAM(m_hWnd));
    return 1;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}
