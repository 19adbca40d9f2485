#include "dialogs/dict/DlgDictOption.h"

#include <algorithm>

#include "core/FileUtil.h"
#include "core/MappedFile.h"
#include "core/StrUtil.h"
#include "core/UiSeam.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DlgDictInfo.h"
#include "dialogs/dict/DlgDictInstall.h"
#include "dialogs/dict/DlgDictList.h"
#include "dict/DictFile.h"
#include "dict/DictHost.h"
#include "dict/DictManager.h"
#include "guictl/ImageFile.h"
#include "platform/htmlview/HtmlDom.h"

namespace {

const wchar_t kSection[] = L"DlgDictOption";
const COLORREF kFrameColour = RGB(0x5C, 0x79, 0x9E);
const COLORREF kBarColour = RGB(0x49, 0x88, 0xCA);

// The wait cursor while the manager copies and opens a dictionary.
class WaitCursor {
 public:
  WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

CRect ChildRect(CWnd& child, CWnd& parent) {
  CRect rect;
  child.GetWindowRect(&rect);
  parent.ScreenToClient(&rect);
  return rect;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgDictOption, CDialog)
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

CDlgDictOption::CDlgDictOption(CWnd* parent)
    : CDictHtmlDialog(IDD_DICT_OPTION, parent, IDC_DICTOPT_BROWSER), m_page(m_manager, *this) {}

CDlgDictOption::~CDlgDictOption() { m_manager.RemoveObserver(this); }

void CDlgDictOption::SetInitialSelection(int32_t kind, uint32_t dictId) {
  if (m_hWnd) return;
  if (!m_page.SetKind(kind)) return;
  m_page.SetPosition(m_manager.GroupIndexOf(kind, dictId), -1);
}

void CDlgDictOption::SetUpTab(CGImageButton& tab, const wchar_t* key, const wchar_t* icon) {
  Veltra::COImage image;
  CPngImage png;
  png.ReadFile((DictHost().GetIconFolder() + icon).c_str(), &image, 0);
  tab.SetImageList(image, 16, 16, 1);
  long cuts[6] = {8, 48, 8, 8, 22, 8};
  int modes[6] = {2, 2, 2, 2, 2, 2};
  tab.SetBackImgList(m_tabBack, cuts, modes, 0);
  tab.SetText(DlgText(kSection, key).c_str(), L"", 0);
  tab.SetButtonStyle(0xF02, 0);
  tab.SetPadding(10, 5, 10, 5, 0);
  tab.SetArrange(0, 0);
  tab.CalcFixSize(0, 1);
}

void CDlgDictOption::SetUpTool(CGToolButton& button, const wchar_t* key, const wchar_t* icon) {
  button.SetText(DlgText(kSection, key, 0).c_str(), DlgText(kSection, key, 1).c_str(), 0);
  Veltra::COImage image;
  CPngImage png;
  png.ReadFile((DictHost().GetIconFolder() + icon).c_str(), &image, 0);
  button.SetIcon(&image, 0);
  button.CalcFixSize(0, 1);
  m_naturalWidths[&button] = ChildRect(button, *this).Width();
}

BOOL CDlgDictOption::OnInitDialog() {
  const struct {
    CWnd* control;
    UINT id;
  } controls[] = {{&m_tabGrab, IDC_DICTOPT_GRAB},         {&m_tabQuery, IDC_DICTOPT_QUERY},
                  {&m_tabIndex, IDC_DICTOPT_INDEX},       {&m_btnTop, IDC_DICTOPT_TOP},
                  {&m_btnBottom, IDC_DICTOPT_BOTTOM},     {&m_btnClose, IDCANCEL},
                  {&m_btnUninstall, IDC_DICTOPT_UNINSTALL}, {&m_btnNetInstall, IDC_DICTOPT_NETINSTALL},
                  {&m_btnInstall, IDC_DICTOPT_INSTALL},   {&m_btnDetail, IDC_DICTOPT_DETAIL},
                  {&m_btnDownload, IDC_DICTOPT_DOWNLOAD}, {&m_btnUp, IDC_DICTOPT_UP},
                  {&m_btnDown, IDC_DICTOPT_DOWN},         {&m_btnRemove, IDC_DICTOPT_REMOVE},
                  {&m_btnAdd, IDC_DICTOPT_ADD}};
  for (const auto& c : controls) c.control->SubclassDlgItem(c.id, this);
  InitCommon(kSection);
  CreateBrowser();

  CPngImage png;
  png.ReadFile((DictHost().GetImageFolder() + L"tab_back.png").c_str(), &m_tabBack, 0);
  SetUpTab(m_tabQuery, L"Query", L"query.png");
  SetUpTab(m_tabIndex, L"Index", L"index.png");
  SetUpTab(m_tabGrab, L"Grab", L"grab.png");

  m_btnNetInstall.SetPadding(4, 3, 4, 3, 0);
  SetUpTool(m_btnNetInstall, L"NetInstall", L"install_i.png");
  SetUpTool(m_btnInstall, L"Install", L"install.png");
  SetUpTool(m_btnUninstall, L"Uninstall", L"uninstall.png");
  SetUpTool(m_btnAdd, L"Add", L"add.png");
  SetUpTool(m_btnRemove, L"Remove", L"remove.png");
  SetUpTool(m_btnDownload, L"Download", L"download.png");
  SetUpTool(m_btnDetail, L"MoreDetails", L"info.png");
  SetUpTool(m_btnTop, L"MoveTop", L"movetop.png");
  SetUpTool(m_btnUp, L"MoveUp", L"moveup.png");
  SetUpTool(m_btnDown, L"MoveDown", L"movedown.png");
  SetUpTool(m_btnBottom, L"MoveBottom", L"movebottom.png");
  m_btnClose.SetWindowText(DlgText(kSection, L"Close").c_str());

  m_manager.AddObserver(this);
  FinishInit();
  return TRUE;
}

void CDlgDictOption::ConfigureHost() {
  m_hostHandler.m_bContextMenu = 0;
  m_hostHandler.m_bDialog = 1;
  m_hostHandler.m_bAccelerators = 0;
}

void CDlgDictOption::OnPageLoaded(const std::wstring& url) {
  m_hDocWnd = CFindChildWindow(m_html.GetSafeHwnd(), L"Internet Explorer_Server").Found();
  m_page.SetDocument(m_html.GetHtmlDocument());
  const int32_t remembered = m_page.GetPosition();
  ShowGroup(m_page.GetKind());
  m_page.SelectByPosition(remembered, -1);
  SendMessage(kMsgPageReady, WPARAM(L"DocumentComplete"), LPARAM(url.c_str()));
}

void CDlgDictOption::OnBeforeNavigate(const std::wstring&, bool*) { Disconnect(); }

void CDlgDictOption::Disconnect() { m_page.SetDocument(nullptr); }

void CDlgDictOption::OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* source, int keyCode) {
  if (!m_page.GetDocument()) return;
  switch (kind) {
    case htmlview::DocEvent::kClick: m_page.OnClick(source); break;
    case htmlview::DocEvent::kDoubleClick: m_page.OnDoubleClick(source); break;
    case htmlview::DocEvent::kKeyDown: m_page.OnKeyDown(keyCode); break;
  }
}

void CDlgDictOption::EnsureElementVisible(htmlview::Element* element) {
  if (m_html.GetSafeHwnd()) m_html.EnsureElementVisible(element);
}

void CDlgDictOption::ShowGroup(int32_t kind) {
  if (kind != kGroupQuery && kind != kGroupIndex && kind != kGroupGrab) return;
  m_page.SetKind(kind);
  if (!m_hWnd) return;
  m_tabQuery.SetCheck(kind == kGroupQuery);
  m_tabIndex.SetCheck(kind == kGroupIndex);
  m_tabGrab.SetCheck(kind == kGroupGrab);
  const int queryTools = kind == kGroupQuery ? SW_SHOW : SW_HIDE;
  const int groupTools = kind == kGroupQuery ? SW_HIDE : SW_SHOW;
  for (CGToolButton* b : {&m_btnInstall, &m_btnNetInstall, &m_btnUninstall, &m_btnDownload}) b->ShowWindow(queryTools);
  for (CGToolButton* b : {&m_btnAdd, &m_btnRemove}) b->ShowWindow(groupTools);
  m_page.BuildPage(kind);
  m_page.SelectByPosition(0, -1);
  CRect client;
  GetClientRect(&client);
  LayoutToolbar(kind, client.right - 5, ChildRect(m_tabQuery, *this).bottom + 6);
}

void CDlgDictOption::UpdateButtons() {
  DictGroupItem* member = m_page.SelectedMember();
  if (!member || !member->dictionary || !m_hWnd) return;
  const CDictFile* dict = member->dictionary;
  if (m_page.GetGlossaryPosition() < 0) {
    const bool base = dict->GetId() == m_manager.GetBaseDictId();
    m_btnUninstall.EnableWindow(!dict->IsPermanent() && !base);
    m_btnRemove.EnableWindow(m_page.GetKind() == kGroupGrab || !base);
    m_btnDownload.EnableWindow(dict->HasFlag5());
  } else {
    m_btnUninstall.EnableWindow(FALSE);
    m_btnDownload.EnableWindow(FALSE);
    m_btnRemove.EnableWindow(FALSE);
  }
}

void CDlgDictOption::LayoutToolbar(int32_t kind, int right, int top) {
  std::vector<ToolbarStep> steps = {
      {&m_btnBottom, 5}, {&m_btnDown, 5}, {&m_btnUp, 5}, {&m_btnTop, 5}, {&m_btnDetail, 10}};
  if (kind == kGroupQuery) {
    steps.insert(steps.end(), {{&m_btnDownload, 40}, {&m_btnUninstall, 5}, {&m_btnInstall, 5}, {&m_btnNetInstall, 40}});
  } else if (kind == kGroupIndex || kind == kGroupGrab) {
    steps.insert(steps.end(), {{&m_btnRemove, 40}, {&m_btnAdd, 5}});
  } else {
    return;
  }
  for (ToolbarStep& s : steps) {
    const CRect now = ChildRect(*s.button, *this);
    auto natural = m_naturalWidths.find(s.button);
    s.width = natural != m_naturalWidths.end() ? natural->second : now.Width();
    s.minWidth = std::min(s.width, now.Height());  // a square: the icon alone
  }
  // The row starts 5 pixels in from the left, as the tabs do.
  FitToolbar(steps, right - 5);
  int edge = right;
  for (const ToolbarStep& s : steps) {
    edge -= s.gap;
    s.button->SetWindowPos(nullptr, edge - s.width, top, s.width, ChildRect(*s.button, *this).Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    edge -= s.width;
  }
}

void FitToolbar(std::vector<ToolbarStep>& steps, int room) {
  auto total = [&steps] {
    int sum = 0;
    for (const ToolbarStep& s : steps) sum += s.gap + s.width;
    return sum;
  };
  if (total() <= room) return;
  // First the wide gaps between the button groups close up.
  for (ToolbarStep& s : steps) s.gap = std::min(s.gap, 10);
  // Then the widest buttons give way, one width step at a time, their
  // captions shortened with an ellipsis; none narrower than its least width.
  for (int excess = total() - room; excess > 0;) {
    ToolbarStep* widest = nullptr;
    for (ToolbarStep& s : steps)
      if (s.width > s.minWidth && (!widest || s.width > widest->width)) widest = &s;
    if (!widest) return;
    int next = widest->minWidth;  // down to the next widest button at most
    for (const ToolbarStep& s : steps)
      if (&s != widest && s.width <= widest->width) next = std::max(next, s.width);
    const int cut = std::min(excess, std::max(1, widest->width - next));
    widest->width -= cut;
    excess -= cut;
  }
}

void CDlgDictOption::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_html.GetSafeHwnd()) return;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE;
  int x = 5;
  for (CGImageButton* tab : {&m_tabQuery, &m_tabIndex, &m_tabGrab}) {
    tab->SetWindowPos(nullptr, x, 5, 0, 0, flags);
    x += ChildRect(*tab, *this).Width();
  }
  const int rowTop = 5 + ChildRect(m_tabGrab, *this).Height() + 6;
  LayoutToolbar(m_page.GetKind(), cx - 5, rowTop);
  CRect close = ChildRect(m_btnClose, *this);
  m_btnClose.SetWindowPos(nullptr, cx - 5 - close.Width(), cy - 8 - close.Height(), 0, 0, flags);
  CRect browser(5, rowTop + ChildRect(m_btnNetInstall, *this).Height() + 2, cx - 5, cy - 5 - close.Height() - 11);
  browser.DeflateRect(1, 1);
  m_html.MoveWindow(&browser);
  Invalidate();
}

BOOL CDlgDictOption::OnEraseBkgnd(CDC* dc) {
  if (!m_html.GetSafeHwnd()) {
    FillBackground(dc);
    return TRUE;
  }
  CRect frame = ChildRect(m_html, *this);
  frame.InflateRect(1, 1);
  CBrush frameBrush(kFrameColour);
  dc->FrameRect(&frame, &frameBrush);
  dc->ExcludeClipRect(&frame);
  std::vector<CWnd*> excluded = {&m_tabQuery, &m_tabIndex, &m_tabGrab, &m_btnTop, &m_btnUp, &m_btnDown, &m_btnBottom,
                                 &m_btnDetail};
  if (m_page.GetKind() == kGroupQuery)
    excluded.insert(excluded.end(), {&m_btnNetInstall, &m_btnInstall, &m_btnUninstall, &m_btnDownload});
  else
    excluded.insert(excluded.end(), {&m_btnAdd, &m_btnRemove});
  for (CWnd* w : excluded) {
    CRect r = ChildRect(*w, *this);
    dc->ExcludeClipRect(&r);
  }
  const int barTop = ChildRect(m_tabQuery, *this).bottom;
  CRect bar(frame.left, barTop, frame.right, barTop + 4);
  CBrush barBrush(kBarColour);
  dc->FillRect(&bar, &barBrush);
  CRect line(frame.left, barTop - 1, frame.right, barTop);
  dc->FillRect(&line, &frameBrush);
  CRect column(bar.left, bar.top, bar.left + 1, bar.bottom);
  dc->FillRect(&column, &frameBrush);
  CRect barWithLine(bar.left, line.top, bar.right, bar.bottom);
  dc->ExcludeClipRect(&barWithLine);
  FillBackground(dc);
  return TRUE;
}

void CDlgDictOption::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = 600;
  info->ptMinTrackSize.y = 400;
}

void CDlgDictOption::OnDestroy() {
  m_manager.RemoveObserver(this);
  m_manager.SaveConfig();
  PostToMain(kMsgIndexGroupChanged, 0, 0);
  Disconnect();
  m_page.ResetSelection();
  m_hDocWnd = nullptr;
  CDialog::OnDestroy();
}

void CDlgDictOption::PostToMain(UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* main = AfxGetMainWnd();
  if (main && main->GetSafeHwnd()) main->PostMessage(message, wParam, lParam);
}

int CDlgDictOption::Ask(HWND owner, const std::wstring& text, UINT type) {
  return ShowMessageBox(owner, text.c_str(), DlgText(kSection, L"InstallDict").c_str(), type);
}

BOOL CDlgDictOption::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return CDialog::OnCommand(wParam, lParam);
  switch (LOWORD(wParam)) {
    case IDC_DICTOPT_QUERY:
    case IDC_DICTOPT_INDEX:
    case IDC_DICTOPT_GRAB: {
      const UINT id = LOWORD(wParam);
      CGImageButton& tab = id == IDC_DICTOPT_QUERY ? m_tabQuery : id == IDC_DICTOPT_INDEX ? m_tabIndex : m_tabGrab;
      if (tab.GetCheck() != BST_CHECKED)
        ShowGroup(id == IDC_DICTOPT_QUERY ? kGroupQuery : id == IDC_DICTOPT_INDEX ? kGroupIndex : kGroupGrab);
      return TRUE;
    }
    case IDC_DICTOPT_TOP: m_page.Move(RowMove::kTop); return TRUE;
    case IDC_DICTOPT_UP: m_page.Move(RowMove::kUp); return TRUE;
    case IDC_DICTOPT_DOWN: m_page.Move(RowMove::kDown); return TRUE;
    case IDC_DICTOPT_BOTTOM: m_page.Move(RowMove::kBottom); return TRUE;
    case IDC_DICTOPT_NETINSTALL: PostToMain(kMsgPageAction, kActionDictLink, 0); return TRUE;
    case IDC_DICTOPT_INSTALL: OnInstall(); return TRUE;
    case IDC_DICTOPT_UNINSTALL: OnUninstall(); return TRUE;
    case IDC_DICTOPT_ADD: OnAdd(); return TRUE;
    case IDC_DICTOPT_REMOVE: OnRemove(); return TRUE;
    case IDC_DICTOPT_DETAIL: OnDetail(); return TRUE;
    default: return CDialog::OnCommand(wParam, lParam);
  }
}

bool CDlgDictOption::InstallDict(const wchar_t* path, HWND owner) {
  if (!path) return false;
  uint32_t id = 0;
  uint16_t major = 0, minor = 0;
  const int code = CDictFile::ReadHeader(id, major, minor, path);
  std::wstring version, text;
  FormatWString(version, L"%u.%u", unsigned(major), unsigned(minor));
  if (code == -4 || code == -5) {
    const bool tooNew = code == -4;
    FormatWString(text, DlgText(L"Message", tooNew ? L"DictVersinTooNew" : L"DictVersinTooOld").c_str(), path,
                  version.c_str());
    if (Ask(owner, text, MB_YESNO | MB_ICONERROR) == IDYES)
      PostToMain(kMsgPageAction, tooNew ? kActionDownloadLink : kActionDictLink, tooNew ? 0 : LPARAM(id));
    return false;
  }
  if (code < 0) {
    FormatWString(text, DlgText(L"Message", L"NoDictFile").c_str(), path);
    Ask(owner, text, MB_ICONERROR);
    return false;
  }
  if (m_manager.FindDict(id)) {
    FormatWString(text, DlgText(L"Message", L"AskDictRepeatInstall").c_str(), path, id);
    if (Ask(owner, text, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  }
  uint32_t installed = 0;
  bool ok;
  {
    WaitCursor wait;
    ok = m_manager.InstallDict(installed, path, false);
  }
  if (!ok) {
    std::wstring error;
    m_manager.GetErrorText(error);
    FormatWString(text, DlgText(L"Message", L"InstallDictFail").c_str(), path, error.c_str());
    Ask(owner, text, MB_ICONERROR);
    return false;
  }
  if (m_hWnd) {
    ShowGroup(kGroupQuery);
    m_page.SelectByPosition(m_manager.GroupIndexOf(kGroupQuery, installed), -1);
  }
  CDlgDictInstall result(m_hWnd ? this : nullptr);
  result.m_dictId = installed;
  result.DoModal();
  if (!m_hWnd) PostToMain(kMsgIndexGroupChanged, 0, 0);
  return true;
}

void CDlgDictOption::OnInstall() {
  if (m_page.GetKind() != kGroupQuery) return;
  std::wstring path;
  const std::wstring filter = DlgText(kSection, L"AddFilter");
  if (!ShowOpenFileDialog(path, nullptr, filter.c_str(), m_hWnd, nullptr,
                          OFN_LONGNAMES | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY))
    return;
  InstallDict(path.c_str(), m_hWnd);
}

void CDlgDictOption::OnUninstall() {
  DictGroupItem* member = m_page.SelectedMember();
  if (!member || m_page.GetGlossaryPosition() >= 0 || m_page.GetKind() != kGroupQuery) return;
  CDictFile* dict = m_manager.FindDict(member->id);
  if (!dict) return;
  const uint32_t id = member->id;
  std::wstring text;
  FormatWString(text, DlgText(L"Message", L"AskUninstall").c_str(), DictMessageName(*dict).c_str(), id);
  if (ShowMessageBox(m_hWnd, text.c_str(), DlgText(kSection, L"Title").c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const int32_t previous = m_page.GetPosition();
  if (!m_manager.UninstallDict(id)) {
    std::wstring error;
    m_manager.GetErrorText(error);
    ShowMessageBox(m_hWnd, error.c_str(), DlgText(kSection, L"Title").c_str(), MB_OK);
  }
  m_page.BuildPage(kGroupQuery);
  const int32_t count = static_cast<int32_t>(m_manager.GetGroupCount(kGroupQuery));
  m_page.SelectByPosition(std::min(previous, count - 1), -1);
}

void CDlgDictOption::OnAdd() {
  const int32_t kind = m_page.GetKind();
  if (kind == kGroupQuery) return;
  CDlgDictList picker(this);
  picker.m_groupKind = kind;
  if (picker.DoModal() != IDOK) return;
  for (uint32_t id : picker.m_result) {
    if (!m_manager.AddToGroup(kind, id)) {
      std::wstring error;
      m_manager.GetErrorText(error);
      ShowMessageBox(m_hWnd, error.c_str(), DlgText(kSection, L"Title").c_str(), MB_ICONINFORMATION);
    }
  }
  m_page.BuildPage(kind);
  m_page.SelectByPosition(static_cast<int32_t>(m_manager.GetGroupCount(kind)) - 1, -1);
}

void CDlgDictOption::OnRemove() {
  const int32_t kind = m_page.GetKind();
  DictGroupItem* member = m_page.SelectedMember();
  if (kind == kGroupQuery || !member) return;
  const uint32_t id = member->id;
  CDictFile* dict = m_manager.FindGroupDict(kind, id);
  if (!dict) return;
  std::wstring text;
  FormatWString(text, DlgText(L"Message", L"AskRemove").c_str(), DictMessageName(*dict).c_str(), id);
  if (ShowMessageBox(m_hWnd, text.c_str(), DlgText(kSection, L"Title").c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const int32_t previous = m_page.GetPosition();
  if (!m_manager.RemoveFromGroup(kind, id)) {
    std::wstring error;
    m_manager.GetErrorText(error);
    ShowMessageBox(m_hWnd, error.c_str(), DlgText(kSection, L"Title").c_str(), MB_OK);
  }
  m_page.BuildPage(kind);
  const int32_t count = static_cast<int32_t>(m_manager.GetGroupCount(kind));
  m_page.SelectByPosition(std::min(previous, count - 1), -1);
}

void CDlgDictOption::OnDetail() {
  DictGroupItem* member = m_page.SelectedMember();
  if (!member) return;
  CDlgDictInfo info(this);
  info.SetDictId(member->id);
  info.DoModal();
}
