#include "app/search/DlgInput.h"

#include <algorithm>

#include "app/search/OwnerMenu.h"
#include "app/search/SearchApp.h"
#include "core/ConfigFile.h"
#include "dict/DictFile.h"
#include "dict/DictManager.h"

namespace {

const wchar_t kSection[] = L"DlgInput";
const wchar_t kTrimmed[] = L" \t\r\n";
const COLORREF kBarColour = RGB(230, 237, 250);
const UINT kCloseCommand = 171;

// Main menu commands of the main window.
const UINT kCmdExit = 32774;
const UINT kCmdDictionaries = 32775;
const UINT kCmdConfiguration = 32776;
const UINT kCmdCursorTranslator = 32777;
const UINT kCmdAbout = 32778;
const UINT kCmdHelp = 32779;
const UINT kCmdSupport = 32780;
const UINT kCmdClipboardTranslator = 170;

std::wstring Text(const wchar_t* section, const wchar_t* key, int index = -1) {
  return SearchTexts().GetString(section, key, L"", index);
}

HWND MainWindow() { return CWnd::HwndOf(AfxGetMainWnd()); }

BOOL CALLBACK FindWordList(HWND wnd, LPARAM found) {
  wchar_t name[32];
  if (::GetClassNameW(wnd, name, 32) && wcscmp(name, L"Talvane_ListWord") == 0) {
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
  }
  return TRUE;
}

// The index word list: the one "Talvane_ListWord" window under the main window.
HWND WordListWindow() {
  HWND found = nullptr;
  if (HWND main = MainWindow()) ::EnumChildWindows(main, FindWordList, LPARAM(&found));
  return found;
}

bool IsClosingQuoteEscaped(const std::wstring& item) {
  size_t run = 0;
  size_t last = item.size() - 1;
  while (last > run && item[last - run - 1] == L'\\') ++run;
  return run % 2 == 1;
}

}  // namespace

// ---- CSearchEdit ----------------------------------------------------------

bool IsTypingMessage(const MSG& msg) {
  if (msg.message == WM_CHAR) return true;
  if (msg.message != WM_KEYDOWN) return false;
  switch (msg.wParam) {
    case VK_BACK:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PROCESSKEY:
      return true;
    default:
      return false;
  }
}

BOOL CSearchEdit::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd) {
    switch (pMsg->wParam) {
      case VK_ESCAPE:
        if (GetWindowTextLength() == 0)
          ::SendMessageW(MainWindow(), WM_COMMAND, kCloseCommand, 0);
        else
          SetWindowText(L"");
        return TRUE;
      case VK_PRIOR:
      case VK_NEXT:
      case VK_UP:
      case VK_DOWN:
        if (HWND list = WordListWindow()) ::PostMessageW(list, pMsg->message, pMsg->wParam, pMsg->lParam);
        return TRUE;
      default:
        break;
    }
  }
  return CEdit::PreTranslateMessage(pMsg);
}

// ---- CDlgInput ------------------------------------------------------------

CDlgInput::CDlgInput(CWnd* parent)
    : CDialog(IDD_DLG_INPUT, parent), m_nNavIndex(-1), m_nMenuSel(-1), m_bNotify(true) {}

CDlgInput::~CDlgInput() = default;

void CDlgInput::LoadImage(Veltra::COImage& image, const wchar_t* name) const {
  CPngImage png;
  png.ReadFile((SearchImageFolder() + name).c_str(), &image, 0);
}

BOOL CDlgInput::OnInitDialog() {
  CDialog::OnInitDialog();
  m_edit.SubclassDlgItem(IDC_INPUT_EDIT, this);
  m_btnSearch.SubclassDlgItem(IDC_INPUT_SEARCH, this);
  m_btnAutoMatch.SubclassDlgItem(IDC_INPUT_AUTOMATCH, this);
  m_btnHistory.SubclassDlgItem(IDC_INPUT_HISTORY, this);
  m_btnBack.SubclassDlgItem(IDC_INPUT_BACK, this);
  m_btnForward.SubclassDlgItem(IDC_INPUT_FORWARD, this);
  m_btnMainMenu.SubclassDlgItem(IDC_INPUT_MAINMENU, this);

  CFont* font = SearchUiFont();
  if (font && font->m_hObject) ApplyFontToChildren(m_hWnd, *font, false);

  RegisterListWndClass();
  m_listWnd.Create(WS_POPUP | WS_BORDER, CRect(0, 0, 100, 100), this);
  if (font && font->m_hObject) m_listWnd.SetFont(font, FALSE);

  LoadImage(m_imgToolbar, L"toolsbar.png");
  LoadImage(m_imgEditBk, L"edit_bk.png");
  LoadImage(m_imgDropMenu, L"dropmenu.png");
  LoadImage(m_imgSearchIcon, L"search_icon.png");
  LoadImage(m_imgAutoMatch, L"automatch.png");

  m_btnAutoMatch.SetCursorType(1);
  m_strAutoMatchTip = Text(kSection, L"AutoMatch", 1).c_str();
  m_btnAutoMatch.SetTooltip(m_strAutoMatchTip, TRUE);
  if (!m_imgSearchIcon.IsEmpty())
    m_btnAutoMatch.SetImageList(m_imgSearchIcon, 22, 16, 0);
  else
    BuildAutoMatchStrip(m_imgAutoMatch);

  Veltra::COImage image;
  LoadImage(image, L"down.png");
  m_btnHistory.SetImageList(image, 14, 14, 0);
  m_btnHistory.SetTooltip(Text(kSection, L"HistoryList").c_str(), TRUE);

  CFont* bold = SearchBoldUiFont();
  if (bold && bold->m_hObject) m_btnSearch.SetFont(bold, FALSE);
  m_btnSearch.SetText(Text(kSection, L"Search", 0).c_str(), Text(kSection, L"Search", 1).c_str(), FALSE);
  m_btnSearch.SetPadding(6, 2, 6, 3, FALSE);
  m_btnSearch.CalcFixSize(0, 1);

  const struct {
    CGImageButton* button;
    const wchar_t* image;
    const wchar_t* tip;
  } navigation[] = {{&m_btnBack, L"back.png", L"Back"},
                    {&m_btnForward, L"forward.png", L"Forward"},
                    {&m_btnMainMenu, L"mainmenu.png", L"MainMenu"}};
  for (const auto& n : navigation) {
    LoadImage(image, n.image);
    n.button->SetImageList(image, 22, 22, 0);
    n.button->SetTooltip(Text(kSection, n.tip).c_str(), TRUE);
  }
  m_btnBack.EnableWindow(FALSE);
  m_btnForward.EnableWindow(FALSE);
  m_nNavIndex = -1;
  LoadHistory();

  CRect rc;
  GetClientRect(&rc);
  OnSize(SIZE_RESTORED, rc.Width(), rc.Height());
  return TRUE;
}

// ---- Text -----------------------------------------------------------------

void CDlgInput::GetInputText(std::wstring& text) const {
  text.clear();
  if (!m_edit.m_hWnd) return;
  const int length = m_edit.GetWindowTextLength();
  text.resize(size_t(length) + 1);
  text.resize(size_t(::GetWindowTextW(m_edit.m_hWnd, &text[0], length + 1)));
  TrimWString(text, kTrimmed, 0);
}

void CDlgInput::SetInputText(const wchar_t* text, bool notify) {
  if (!text) return;
  const bool saved = m_bNotify;
  m_bNotify = notify;
  m_edit.SetWindowText(text);
  m_bNotify = saved;
}

void CDlgInput::SendLookup(const std::wstring& word, UINT flags) {
  ::SendMessageW(MainWindow(), WM_LOOKUP_WORD, WPARAM(word.c_str()), LPARAM(flags));
}

void CDlgInput::OnEditChange() {
  if (!m_bNotify) return;
  std::wstring text;
  GetInputText(text);
  ::SendMessageW(MainWindow(), WM_LOOKUP_REFRESH, WPARAM(text.c_str()), 0);
  if (text.empty() && m_edit.GetWindowTextLength() > 0) SetInputText(L"", false);
}

void CDlgInput::OnEditSetFocus() { m_edit.PostMessage(EM_SETSEL, 0, -1); }

void CDlgInput::OnSetFocus(CWnd*) { m_edit.SetFocus(); }

// ---- Search, history and navigation ---------------------------------------

void CDlgInput::Search() {
  std::wstring word;
  GetInputText(word);
  if (!word.empty()) SendLookup(word, kLookupFromSearch);
}

void CDlgInput::Back() {
  if (m_nNavIndex < 1 || m_navigation.size() < 2) return;
  --m_nNavIndex;
  const std::wstring word = m_navigation[size_t(m_nNavIndex)];
  SendLookup(word, kLookupFromNavigation);
  UpdateNavigationButtons();
}

void CDlgInput::Forward() {
  if (m_navigation.size() < 2 || m_nNavIndex >= int(m_navigation.size()) - 1) return;
  ++m_nNavIndex;
  const std::wstring word = m_navigation[size_t(m_nNavIndex)];
  SendLookup(word, kLookupFromNavigation);
  UpdateNavigationButtons();
}

void CDlgInput::UpdateNavigationButtons() {
  const int count = int(m_navigation.size());
  bool back = false, forward = false;
  if (count >= 2) {
    back = m_nNavIndex > 0;
    forward = m_nNavIndex < count - 1;
  }
  if (m_btnBack.m_hWnd) m_btnBack.EnableWindow(back);
  if (m_btnForward.m_hWnd) m_btnForward.EnableWindow(forward);
}

int CDlgInput::HistoryMax() const { return int(SearchSettings().GetInt(L"General", L"SearchHistory", 0)); }

void CDlgInput::AddToHistory(const wchar_t* word) {
  if (!word || !*word) return;
  const int max = HistoryMax();
  if (max <= 0) return;
  const std::wstring entry(word);
  m_history.erase(std::remove(m_history.begin(), m_history.end(), entry), m_history.end());
  if (int(m_history.size()) >= max) m_history.resize(size_t(max - 1));
  m_history.push_front(entry);

  if (m_navigation.empty()) {
    m_navigation.push_back(entry);
    m_nNavIndex = 0;
  } else {
    m_nNavIndex = std::max(0, std::min(m_nNavIndex, int(m_navigation.size()) - 1));
    m_navigation.resize(size_t(m_nNavIndex) + 1);
    if (m_navigation[size_t(m_nNavIndex)] != entry) {
      m_navigation.push_back(entry);
      m_nNavIndex = int(m_navigation.size()) - 1;
    }
  }
  UpdateNavigationButtons();
}

void CDlgInput::LoadHistory() {
  const int max = HistoryMax();
  std::vector<std::wstring> items;
  SearchUserState().GetStringList(L"App", L"SearchList", items);
  m_history.clear();
  for (size_t i = 0; i < items.size() && int(i) < max; ++i) {
    std::wstring item = items[i];
    // The closing quote counts unless an odd run of backslashes escapes it,
    // so an entry ending in a backslash loads back unchanged.
    if (item.size() >= 2 && item.front() == L'"' && item.back() == L'"' && !IsClosingQuoteEscaped(item))
      item = item.substr(1, item.size() - 2);
    UnescapeWString(item);
    m_history.push_back(item);
  }
  UpdateNavigationButtons();
}

void CDlgInput::FormatHistory(std::wstring& text) const {
  text.clear();
  std::wstring escaped;
  for (const std::wstring& entry : m_history) {
    if (!text.empty()) text += L", ";
    EscapeString(escaped, entry.c_str());
    text += L'"';
    text += escaped;
    text += L'"';
  }
}

void CDlgInput::TrimHistory(int max) {
  if (max >= 0 && int(m_history.size()) > max) m_history.resize(size_t(max));
  UpdateNavigationButtons();
}

void CDlgInput::ClearHistory() {
  m_history.clear();
  m_navigation.clear();
  m_nNavIndex = -1;
  if (m_btnBack.m_hWnd) m_btnBack.EnableWindow(FALSE);
  if (m_btnForward.m_hWnd) m_btnForward.EnableWindow(FALSE);
}

void CDlgInput::ShowHistoryList() {
  m_listWnd.ResetContent(false);
  for (const std::wstring& entry : m_history) m_listWnd.AddItem(entry.c_str(), 0, 0, false);
  CRect edit;
  m_edit.GetWindowRect(&edit);
  m_listWnd.ShowAt(edit.left - 22, edit.bottom + 3, edit.Width() + 34,
                   kHistoryRows * m_listWnd.GetItemHeight() + 2);
}

// ---- The dictionary choice ------------------------------------------------

void CDlgInput::BuildAutoMatchStrip(const Veltra::COImage& icon) {
  Veltra::COImage strip;
  if (!strip.CreateFilled(44, 16, 72.0, 0xFFFFFFFF, 1)) return;
  // Each frame's drawing stays inside its own 22 x 16 cell.
  const auto draw = [&](const Veltra::COImage& image, int x, int y, int cellX) {
    if (image.IsEmpty()) return;
    const int w = std::min(image.GetWidth(), cellX + 22 - x), h = std::min(image.GetHeight(), 16 - y);
    if (w > 0 && h > 0) strip.DrawImage(x, y, image, 0, 0, w, h, 0, 0);
  };
  for (int frame = 0; frame < 2; ++frame) {
    const int cellX = frame * 22;
    draw(icon, cellX, frame, cellX);
    draw(m_imgDropMenu, cellX + 13, 5 + frame, cellX);
  }
  m_imgAutoMatchStrip = strip;
  if (m_btnAutoMatch.m_hWnd) m_btnAutoMatch.SetImageList(m_imgAutoMatchStrip, 22, 16, 0);
}

void CDlgInput::ChooseDictionary(int i) {
  CDictManager& manager = SearchDictManager();
  CDictGroup* group = manager.GetGroup(kGroupIndex);
  CDictFile* dict = (group && i >= 0 && uint32_t(i) < group->GetCount() && group->IsEnabled(uint32_t(i)))
                        ? group->GetDictAt(uint32_t(i))
                        : nullptr;
  if (dict) {
    m_nMenuSel = i;
    m_strAutoMatchTip = dict->GetTitle(SearchUiLanguage().c_str()).c_str();
    BuildAutoMatchStrip(dict->GetIcon());
  } else {
    m_nMenuSel = -1;
    m_strAutoMatchTip = Text(kSection, L"AutoMatch", 1).c_str();
    BuildAutoMatchStrip(m_imgAutoMatch);
  }
  if (m_btnAutoMatch.m_hWnd) m_btnAutoMatch.SetTooltip(m_strAutoMatchTip, TRUE);
}

void CDlgInput::SetMenuSelection(int i) {
  ChooseDictionary(i);
  std::wstring text;
  GetInputText(text);
  SendLookup(text, kLookupIndexOnly);
}

void CDlgInput::OnAutoMatchCommand(UINT id) {
  if (id == ID_AUTOMATCH_SETUP) {
    SearchRunDictOptions(kGroupIndex, 0xFFFFFFFF);
    return;
  }
  ChooseDictionary(id == ID_AUTOMATCH_ALL ? -1 : int(id) - ID_AUTOMATCH_FIRST);
  const bool saved = m_bNotify;
  m_bNotify = true;
  OnEditChange();
  m_bNotify = saved;
}

void CDlgInput::ShowAutoMatchMenu() {
  COwnerMenu menu;
  if (!menu.CreatePopupMenu()) return;
  BuildAutoMatchMenu(menu);
  CRect button;
  m_btnAutoMatch.GetWindowRect(&button);
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, button.left, button.bottom + 4, this);
}

void CDlgInput::BuildAutoMatchMenu(COwnerMenu& menu) {
  menu.SetIconSize(16, 16);
  menu.AppendIconItem(MF_STRING | (m_nMenuSel == -1 ? MF_CHECKED : 0), ID_AUTOMATCH_ALL,
                      Text(kSection, L"AutoMatch", 0).c_str(), &m_imgAutoMatch);
  menu.AppendItem(MF_SEPARATOR, 0, nullptr);
  CDictGroup* group = SearchDictManager().GetGroup(kGroupIndex);
  const uint32_t count = group ? group->GetCount() : 0;
  for (uint32_t i = 0; i < count; ++i) {
    CDictFile* dict = group->GetDictAt(i);
    if (!dict || !group->IsEnabled(i)) continue;
    menu.AppendIconItem(MF_STRING | (m_nMenuSel == int(i) ? MF_CHECKED : 0), ID_AUTOMATCH_FIRST + i,
                        dict->GetTitle(SearchUiLanguage().c_str()).c_str(), &dict->GetIcon());
  }
  menu.AppendItem(MF_SEPARATOR, 0, nullptr);
  menu.AppendItem(MF_STRING, ID_AUTOMATCH_SETUP, Text(kSection, L"MatchSetup").c_str());
}

void CDlgInput::ShowMainMenu() {
  COwnerMenu menu;
  if (!menu.CreatePopupMenu()) return;
  BuildMainMenu(menu);
  CRect button;
  m_btnMainMenu.GetWindowRect(&button);
  menu.TrackPopupMenu(TPM_CENTERALIGN | TPM_RIGHTBUTTON, (button.left + button.right) / 2, button.bottom + 4,
                      GetParent());
}

void CDlgInput::BuildMainMenu(COwnerMenu& menu) {
  const CConfigFile& user = SearchUserState();
  const auto checked = [&](const wchar_t* key) {
    return ParseBoolText(user.GetString(L"App", key, L"").c_str()) ? MF_CHECKED : 0u;
  };
  const auto item = [&](UINT flags, UINT id, const wchar_t* key, const wchar_t* image) {
    Veltra::COImage icon;
    if (image) {
      CPngImage png;
      png.ReadFile((SearchIconFolder() + image).c_str(), &icon, 0);
    }
    menu.AppendIconItem(MF_STRING | flags, id, Text(L"MainMenu", key).c_str(), &icon);
  };
  item(checked(L"EnableGrab"), kCmdCursorTranslator, L"CursorTranslator", nullptr);
  item(checked(L"EnableClipboard"), kCmdClipboardTranslator, L"ClipboardTranslator", nullptr);
  menu.AppendItem(MF_SEPARATOR, 0, nullptr);
  item(0, kCmdDictionaries, L"Dictionaries", L"dictlib8.png");
  item(0, kCmdConfiguration, L"Configuration", L"config8.png");
  menu.AppendItem(MF_SEPARATOR, 0, nullptr);
  item(0, kCmdHelp, L"Help", L"help.png");
  item(0, kCmdSupport, L"Support", L"support8.png");
  item(0, kCmdAbout, L"About", nullptr);
  menu.AppendItem(MF_SEPARATOR, 0, nullptr);
  item(0, kCmdExit, L"Exit", nullptr);
}

// ---- Messages ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgInput, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_INPUT_AUTOMATCH, ShowAutoMatchMenu)
  ON_BN_CLICKED(IDC_INPUT_MAINMENU, ShowMainMenu)
  ON_EN_CHANGE(IDC_INPUT_EDIT, OnEditChange)
  ON_BN_CLICKED(IDC_INPUT_HISTORY, ShowHistoryList)
  ON_BN_CLICKED(IDC_INPUT_SEARCH, Search)
  ON_BN_CLICKED(IDC_INPUT_BACK, Back)
  ON_BN_CLICKED(IDC_INPUT_FORWARD, Forward)
  ON_WM_SETFOCUS()
  ON_EN_SETFOCUS(IDC_INPUT_EDIT, OnEditSetFocus)
END_MESSAGE_MAP()

BOOL CDlgInput::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (code == 0 && lParam == 0) {
    const uint32_t members = SearchDictManager().GetGroupCount(kGroupIndex);
    if (id >= ID_AUTOMATCH_SETUP && id < ID_AUTOMATCH_FIRST + members) {
      OnAutoMatchCommand(id);
      return TRUE;
    }
  }
  if (code == 1 && id == 0 && lParam && HWND(lParam) == m_listWnd.m_hWnd) {
    const int row = m_listWnd.GetCurSel();
    if (row >= 0) {
      CString text;
      m_listWnd.GetItemText(text, row);
      SetInputText(text, false);
      Search();
      m_listWnd.ResetContent(false);
    }
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

BOOL CDlgInput::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN) {
    if (pMsg->wParam == VK_RETURN) {
      Search();
      return TRUE;
    }
    if (pMsg->wParam != VK_F1 && m_edit.m_hWnd && ::GetFocus() != m_edit.m_hWnd &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
      m_edit.SetFocus();
      m_edit.PostMessage(pMsg->message, pMsg->wParam, pMsg->lParam);
      return TRUE;
    }
  }
  return CDialog::PreTranslateMessage(pMsg);
}

CRect CDlgInput::ChildRect(const CWnd& child) const {
  CRect rc;
  if (!child.m_hWnd) return rc;
  child.GetWindowRect(&rc);
  ScreenToClient(&rc);
  return rc;
}

void CDlgInput::OnSize(UINT, int cx, int) {
  if (!m_edit.m_hWnd) return;
  const CRect back = ChildRect(m_btnBack), forward = ChildRect(m_btnForward), menu = ChildRect(m_btnMainMenu);
  const CRect search = ChildRect(m_btnSearch);
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  m_btnBack.SetWindowPos(nullptr, 5, 6, 0, 0, flags | SWP_NOSIZE);
  m_btnForward.SetWindowPos(nullptr, 5 + back.Width(), 6, 0, 0, flags | SWP_NOSIZE);
  const int menuX = cx - 15 - menu.Width();
  m_btnMainMenu.SetWindowPos(nullptr, menuX, 6, 0, 0, flags | SWP_NOSIZE);
  const int searchX = menuX - 15 - search.Width();
  const int searchH = m_imgEditBk.IsEmpty() ? search.Height() : m_imgEditBk.GetHeight();
  m_btnSearch.SetWindowPos(nullptr, searchX, 6, search.Width(), searchH, flags);
  const int left = back.Width() + forward.Width() + 10;
  m_edit.SetWindowPos(nullptr, left + 32, 10, std::max(0, (searchX - 5) - left - 52), 16, flags);
  m_btnAutoMatch.SetWindowPos(nullptr, left + 7, 10, 0, 0, flags | SWP_NOSIZE);
  m_btnHistory.SetWindowPos(nullptr, searchX - 25, 10, 0, 0, flags | SWP_NOSIZE);
  Invalidate();
}

BOOL CDlgInput::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  const CRect automatch = ChildRect(m_btnAutoMatch), history = ChildRect(m_btnHistory);
  const CRect forward = ChildRect(m_btnForward), search = ChildRect(m_btnSearch);
  const int saved = dc->SaveDC();
  dc->ExcludeClipRect(&automatch);
  dc->ExcludeClipRect(&history);

  const CRect frame(forward.right + 5, client.top + 6, search.left - 5, client.top + 6 + 22);
  if (frame.Width() > 0 && !m_imgEditBk.IsEmpty()) {
    Veltra::COImage edge;
    if (edge.CreateFilled(frame.Width(), 22, 72.0, 0xFFFFFFFF, 1)) {
      edge.SetBlendMode(Veltra::COImage::kBlendCopy);
      const int middle = std::max(frame.Width() - 44, 0);
      edge.DrawPart(CRect(0, 0, 22, 22), m_imgEditBk, CRect(0, 0, 22, 22), 0, 0, 1, 1);
      if (middle > 0)
        edge.DrawPart(CRect(22, 0, 22 + middle, 22), m_imgEditBk, CRect(22, 0, 23, 22), 0, 0, 2, 1);
      edge.DrawPart(CRect(frame.Width() - 22, 0, frame.Width(), 22), m_imgEditBk, CRect(23, 0, 45, 22), 0, 0, 1, 1);
      edge.Draw(*dc, frame.left, frame.top, SRCCOPY);
    }
  }
  dc->ExcludeClipRect(&frame);
  for (const CWnd* button : {static_cast<const CWnd*>(&m_btnBack), static_cast<const CWnd*>(&m_btnForward),
                             static_cast<const CWnd*>(&m_btnMainMenu), static_cast<const CWnd*>(&m_btnSearch)}) {
    const CRect rc = ChildRect(*button);
    dc->ExcludeClipRect(&rc);
  }
  if (!m_imgToolbar.IsEmpty() && m_imgToolbar.GetBitmap()) {
    CDC mem;
    mem.CreateCompatibleDC(dc);
    HGDIOBJ old = mem.SelectObject(HGDIOBJ(m_imgToolbar.GetBitmap()));
    dc->SetStretchBltMode(COLORONCOLOR);
    dc->StretchBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, m_imgToolbar.GetWidth(),
                   m_imgToolbar.GetHeight(), SRCCOPY);
    mem.SelectObject(old);
  } else {
    dc->FillSolidRect(&client, kBarColour);
  }
  dc->RestoreDC(saved);
  return TRUE;
}

LRESULT CDlgInput::OnParentBackground(WPARAM wParam, LPARAM lParam) {
  const RECT* rect = reinterpret_cast<const RECT*>(wParam);
  GuiBkgndRequest* req = reinterpret_cast<GuiBkgndRequest*>(lParam);
  if (!rect || !req) return 0;
  const CRect rc(rect);
  if (req->kind == 0) {
    if (!req->dc) return 0;
    req->dc->FillSolidRect(req->x, req->y, rc.Width(), rc.Height(), kBarColour);
    return 1;
  }
  if (req->kind != 1 || !req->image || req->image->IsEmpty()) return 0;
  Veltra::COImage& image = *req->image;
  const HWND control = req->control;
  const bool onBar = control == m_btnSearch.m_hWnd || control == m_btnBack.m_hWnd ||
                     control == m_btnForward.m_hWnd || control == m_btnMainMenu.m_hWnd;
  const CRect target(0, 0, image.GetWidth(), image.GetHeight());
  if (onBar && !m_imgToolbar.IsEmpty()) {
    const CRect source(0, 0, m_imgToolbar.GetWidth(), m_imgToolbar.GetHeight());
    image.DrawPart(target, m_imgToolbar, source, 0, 6, Veltra::COImage::kPartRepeat, Veltra::COImage::kPartRepeat);
  } else {
    image.Fill(0xFFFFFFFF);
  }
  return 1;
}

LRESULT CDlgInput::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GUI_PARENTBKGND) return OnParentBackground(wParam, lParam);
  return CDialog::WindowProc(message, wParam, lParam);
}
