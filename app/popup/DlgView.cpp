#include "app/popup/DlgView.h"

#include <vector>

#include "app/popup/PageMenus.h"
#include "app/search/OwnerMenu.h"
#include "app/shell/AppServices.h"
#include "app/shell/QuorindoApp.h"
#include "core/ConfigFile.h"
#include "core/FileUtil.h"
#include "core/UiSeam.h"
#include "dialogs/dict/DlgDictInfo.h"
#include "dialogs/dict/DlgDictOption.h"
#include "dict/DictManager.h"

namespace {

constexpr UINT kCmdSelectAll = 163;
constexpr UINT kCmdSearchSelection = 106;

HWND MainWindow() {
  CWnd* main = AfxGetMainWnd();
  return main ? main->m_hWnd : nullptr;
}

std::wstring UiText(const wchar_t* section, const wchar_t* key, int index = -1) {
  return theApp.m_uiText.GetString(section, key, L"", index);
}

// The voice list's descriptions and the entry named by "Voice" of "Speech".
int CurrentVoice(std::vector<std::wstring>& descriptions) {
  const std::wstring current = theApp.m_settings.GetString(L"Speech", L"Voice", L"");
  int checked = -1;
  for (const SpeechVoiceEntry& v : theApp.GetVoiceList()) {
    if (v.first == current) checked = static_cast<int>(descriptions.size());
    descriptions.push_back(v.second);
  }
  return checked;
}

bool IsTextField(htmlview::Element* element) {
  if (!element) return false;
  if (element->Tag() == L"textarea") return true;
  if (element->Tag() != L"input") return false;
  const std::wstring type = element->GetAttribute(L"type");
  return type.empty() || CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, type.c_str(), -1, L"text", -1) == CSTR_EQUAL;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgView, CDialog)
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_NCPAINT()
  ON_WM_SETFOCUS()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CDlgView::CDlgView(CWnd* parent) : CDialog(IDD, parent) {}

CDlgView::~CDlgView() = default;

bool CDlgView::SetResultHtml(const wchar_t* html, const wchar_t* word, bool scrollTop) {
  if (!html || !word) return false;
  return m_view.SetMainHtml(html, word, scrollTop);
}

BOOL CDlgView::OnInitDialog() {
  CDialog::OnInitDialog();

  CPngImage png;
  png.ReadFile((theApp.m_imageFolder + L"viewbar.png").c_str(), &m_imgBack, 0);

  struct {
    CGToolButton* button;
    UINT id;
    const wchar_t* image;
    const wchar_t* key;
    bool captioned;  // caption and tooltip are items 0 and 1 of the key
  } tools[] = {
      {&m_btnSpeak, IDC_VIEW_SPEAK, L"speech.png", L"Speak", false},
      {&m_btnCopy, IDC_VIEW_COPY, L"copy.png", L"Copy", false},
      {&m_btnSave, IDC_VIEW_SAVE, L"save.png", L"Save", false},
      {&m_btnPrint, IDC_VIEW_PRINT, L"print.png", L"Print", false},
      {&m_btnFind, IDC_VIEW_FIND, L"find.png", L"Find", false},
      {&m_btnTranslate, IDC_VIEW_TRANSLATE, L"tt.png", L"TextTranslate", true},
      {&m_btnInfo, IDC_VIEW_INFO, L"info.png", L"Info", true},
  };
  // The buttons keep the font they have when attached and measure their
  // labels with it: they are attached first, then given the interface font.
  m_btnIndex.SubclassDlgItem(IDC_VIEW_INDEX, this);
  for (auto& t : tools) t.button->SubclassDlgItem(t.id, this);
  ApplyFontToChildren(m_hWnd, static_cast<HFONT>(theApp.m_uiFont), false);

  m_btnIndex.SetButtonStyle(0x0F03, 0);
  m_btnIndex.SetCursorType(1);
  Veltra::COImage image;
  if (png.ReadFile((theApp.m_imageFolder + L"switchindex.png").c_str(), &image, 0))
    m_btnIndex.SetImageList(image, 16, 16, 1);
  m_btnIndex.SetText(L"", UiText(L"DlgView", L"HideIndex").c_str(), 0);

  for (auto& t : tools) {
    if (t.button == &m_btnSpeak) t.button->EnableDropDown(1);
    Veltra::COImage icon;
    if (png.ReadFile((theApp.m_imageFolder + t.image).c_str(), &icon, 0)) t.button->SetIcon(&icon, 0);
    t.button->SetPadding(4, 2, 4, 3, 0);
    if (t.captioned)
      t.button->SetText(UiText(L"DlgView", t.key, 0).c_str(), UiText(L"DlgView", t.key, 1).c_str(), 0);
    else if (t.button == &m_btnSpeak)
      t.button->SetText(L"", UiText(L"DlgView", t.key, 1).c_str(), 0);
    else
      t.button->SetText(L"", UiText(L"DlgView", t.key).c_str(), 0);
    t.button->CalcFixSize(0, 1);
  }

  m_view.SetContextMenuCallback(&CDlgView::ResultContextMenu);
  if (m_view.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 0, 0), this, IDC_VIEW_RESULT))
    m_view.Navigate2(L"about:blank");
  return TRUE;
}

void CDlgView::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_view.m_hWnd) return;
  m_btnIndex.SetWindowPos(nullptr, 1, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  int x = 23;
  for (CGToolButton* b : {&m_btnSpeak, &m_btnCopy, &m_btnSave, &m_btnPrint, &m_btnFind, &m_btnTranslate, &m_btnInfo}) {
    CRect rc;
    b->GetWindowRect(&rc);
    b->SetWindowPos(nullptr, x, 1, rc.Width(), 21, SWP_NOZORDER | SWP_NOACTIVATE);
    x += rc.Width() + 5;
  }
  const int h = m_imgBack.GetHeight();
  m_view.SetWindowPos(nullptr, 0, h, cx, cy - h, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDlgView::OnEraseBkgnd(CDC* dc) {
  if (m_imgBack.IsEmpty()) return TRUE;
  HDC hdc = dc->m_hDC;
  for (CWnd* b : std::initializer_list<CWnd*>{&m_btnIndex, &m_btnSpeak, &m_btnCopy, &m_btnSave, &m_btnPrint,
                                               &m_btnFind, &m_btnTranslate, &m_btnInfo}) {
    if (!b->m_hWnd) continue;
    CRect rc;
    b->GetWindowRect(&rc);
    ScreenToClient(&rc);
    ExcludeClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
  }
  CRect client;
  GetClientRect(&client);
  const int h = m_imgBack.GetHeight();
  Veltra::COImage strip;
  if (client.Width() > 0 && strip.Create(client.Width(), h, 72.0, 1)) {
    strip.StretchDraw(0, 0, client.Width(), h, m_imgBack, 0, 0, m_imgBack.GetWidth(), h, 0, 0, 0);
    strip.Draw(hdc, 0, 0, SRCCOPY);
  }
  return TRUE;
}

void CDlgView::OnNcPaint() {
  HDC dc = ::GetWindowDC(m_hWnd);
  if (!dc) return;
  CRect rc;
  GetWindowRect(&rc);
  rc.OffsetRect(-rc.left, -rc.top);
  HBRUSH brush = CreateSolidBrush(0xB77342);
  FrameRect(dc, &rc, brush);
  DeleteObject(brush);
  ::ReleaseDC(m_hWnd, dc);
}

void CDlgView::OnSetFocus(CWnd*) {
  if (HWND doc = m_view.GetDocumentWindow()) ::SetFocus(doc);
}

void CDlgView::OnDestroy() {
  if (m_view.m_hWnd) m_view.DestroyWindow();
  CDialog::OnDestroy();
}

BOOL CDlgView::PreTranslateMessage(MSG* pMsg) {
  // Keys go to the focused page, not to the dialog manager.
  if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP || pMsg->message == WM_CHAR) return FALSE;
  return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CDlgView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GUI_PARENTBKGND:
      return OnParentBackground(reinterpret_cast<const RECT*>(wParam), reinterpret_cast<GuiBkgndRequest*>(lParam));
    case WM_APP_LINK:
      if (CWnd* parent = GetParent()) parent->SendMessage(WM_APP_LINK, wParam, lParam);
      return 0;
    case WM_PAGE_ACTION:
      if (wParam == kActionDictMenu) return ShowDictMenu(reinterpret_cast<const DictMenuRequest*>(lParam));
      if (wParam == kActionSection) return SetSectionState(reinterpret_cast<const SectionRequest*>(lParam));
      return 0;
    case WM_PAGE_READY:
      if (wParam != 0) return 0;
      m_view.ShowWindow(SW_SHOW);
      if (CWnd* parent = GetParent()) parent->PostMessage(WM_PAGE_READY, 0, reinterpret_cast<LPARAM>(m_hWnd));
      return 1;
    default:
      return CDialog::DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CDlgView::OnParentBackground(const RECT* rect, GuiBkgndRequest* request) {
  if (!rect || !request) return 0;
  const RECT area = {request->x, request->y, request->x + (rect->right - rect->left),
                     request->y + (rect->bottom - rect->top)};
  if (request->kind == 0 && request->dc) {
    const COLORREF old = SetBkColor(request->dc->m_hDC, 0xF2E0D1);
    ExtTextOutW(request->dc->m_hDC, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(request->dc->m_hDC, old);
    return 1;
  }
  if (request->kind == 1 && request->image && !request->image->IsEmpty()) {
    RECT control = {0, 0, 0, 0};
    ::GetClientRect(request->control, &control);
    ::MapWindowPoints(request->control, m_hWnd, reinterpret_cast<POINT*>(&control), 2);
    if (m_imgBack.IsEmpty()) return 1;
    const RECT source = {0, 0, m_imgBack.GetWidth(), m_imgBack.GetHeight()};
    request->image->DrawPart(area, m_imgBack, source, 0, control.top, Veltra::COImage::kPartRepeat,
                             Veltra::COImage::kPartRepeat);
    return 1;
  }
  return 0;
}

BOOL CDlgView::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  switch (id) {
    case IDC_VIEW_INDEX: OnIndexButton(); return TRUE;
    case IDC_VIEW_COPY: Copy(); return TRUE;
    case IDC_VIEW_PRINT: m_view.ExecWB(htmlview::Command::kPrintPreview); return TRUE;
    case IDC_VIEW_FIND: m_view.ExecWB(htmlview::Command::kFind); return TRUE;
    case IDC_VIEW_SPEAK:
      if (code == GBN_DROPDOWN)
        ShowVoiceMenu();
      else
        Speak();
      return TRUE;
    case IDC_VIEW_SAVE: SavePage(); return TRUE;
    case kCmdSelectAll: m_view.ExecWB(htmlview::Command::kSelectAll); return TRUE;
    case kCmdSearchSelection: SearchSelection(); return TRUE;
    case IDC_VIEW_TRANSLATE:
      if (HWND main = MainWindow())
        ::SendMessageW(main, WM_PAGE_ACTION, kActionTextTranslation, reinterpret_cast<LPARAM>(L"open"));
      return TRUE;
    case IDC_VIEW_INFO: ShowStartPage(); return TRUE;
    default: return CDialog::OnCommand(wParam, lParam);
  }
}

void CDlgView::OnIndexButton() {
  m_btnIndex.SetTooltip(UiText(L"DlgView", m_btnIndex.GetCheck() ? L"ShowIndex" : L"HideIndex").c_str(), 1);
  if (CWnd* parent = GetParent()) parent->SendMessage(WM_COMMAND, IDC_VIEW_INDEX, 0);
}

void CDlgView::Copy() {
  if (m_view.HasTextSelection()) {
    m_view.ExecWB(htmlview::Command::kCopy);
    return;
  }
  m_view.ExecWB(htmlview::Command::kSelectAll);
  m_view.ExecWB(htmlview::Command::kCopy);
  m_view.ExecWB(htmlview::Command::kClearSelection);
}

void CDlgView::Speak() {
  theApp.GetSpeechVoice();
  std::wstring text;
  if (!m_view.GetSelectedText(text)) ViewBarInputText(text);
  TrimWString(text, L" \t\r\n", 0);
  if (!text.empty()) theApp.SpeakWord(text.c_str(), static_cast<uint32_t>(text.size()));
}

void CDlgView::SearchSelection() {
  std::wstring text;
  m_view.GetSelectedText(text);
  CleanLookupText(text);
  if (text.empty()) return;
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_APP_LINK, reinterpret_cast<WPARAM>(L"headword"), reinterpret_cast<LPARAM>(text.c_str()));
}

void CDlgView::ShowStartPage() {
  m_view.SetInfoHtml(L"", false);
  std::wstring start;
  m_view.GetStartPageHtml(start);
  m_view.SetMainHtml(start.c_str(), L"", true);
}

void CDlgView::ShowVoiceMenu() {
  theApp.GetSpeechVoice();
  std::vector<std::wstring> voices;
  const int checked = CurrentVoice(voices);
  CMenu menu;
  if (!menu.Attach(BuildVoiceMenu(theApp.m_uiText, voices, checked))) return;
  CRect rc;
  m_btnSpeak.GetWindowRect(&rc);
  const UINT chosen = menu.TrackPopupMenu(TPM_RETURNCMD | TPM_NONOTIFY, rc.left + 4, rc.bottom + 2, this);
  if (chosen == kCmdVoiceDownload) {
    OpenCommandLink(L"speech", m_hWnd);
  } else if (chosen == kCmdVoiceOptions) {
    theApp.m_userState.SetValue(L"App", L"ConfigPage", L"3");
    if (HWND main = MainWindow()) ::PostMessageW(main, WM_COMMAND, kCmdOptions, 0);
  } else if (chosen >= kCmdVoiceFirst && chosen - kCmdVoiceFirst < voices.size()) {
    SelectVoice(chosen - kCmdVoiceFirst);
    Speak();
  }
}

void CDlgView::SelectVoice(size_t index) {
  const auto& list = theApp.GetVoiceList();
  if (index < list.size()) theApp.m_settings.SetValue(L"Speech", L"Voice", list[index].first);
}

LRESULT CDlgView::SetSectionState(const SectionRequest* request) {
  if (!request) return 1;
  bool minimized = false;
  if (!::SetSectionState(*theApp.GetDictManager(), request->kind, request->id, request->explicitState != 0,
                         request->show != 0, minimized))
    return 1;
  m_view.SetElementDisplay(SectionMeaningName(request->id).c_str(), minimized ? L"none" : L"");
  m_view.SetElementAttribute(SectionShowName(request->id).c_str(), L"title",
                             UiText(L"Layout", minimized ? L"ShowResult" : L"MinimizeResult").c_str());
  return 1;
}

LRESULT CDlgView::ShowDictMenu(const DictMenuRequest* request) {
  if (!request) return 1;
  CDictManager& manager = *theApp.GetDictManager();
  const std::vector<MenuItemText> items = DictMenuItems(manager, theApp.m_uiText, request->kind, request->id);
  if (items.empty()) return 1;
  COwnerMenu menu;
  if (!menu.CreatePopupMenu()) return 1;
  for (const MenuItemText& item : items) menu.AppendItem(item.flags, item.id, item.text.c_str());
  const UINT chosen = menu.TrackPopupMenu(TPM_RETURNCMD | TPM_NONOTIFY, request->x, request->y, this);
  bool enabled = true;
  switch (chosen) {
    case kCmdDictAbout:
      if (manager.FindDict(request->id)) {
        CDlgDictInfo dialog(nullptr);
        dialog.SetDictId(request->id);
        dialog.DoModal();
      }
      break;
    case kCmdDictEnable:
      if (ToggleMemberEnable(manager, request->kind, request->id, enabled)) {
        if (!enabled) ShowMessageBox(m_hWnd, UiText(L"DictMenu", L"DisableMsg").c_str(),
                                     theApp.m_productName.c_str(), MB_ICONINFORMATION);
        if (HWND main = MainWindow()) ::PostMessageW(main, WM_INDEX_GROUP_CHANGED, 0, 0);
      }
      break;
    case kCmdDictMoveTop:
      if (MoveMemberToTop(manager, request->kind, request->id))
        if (HWND main = MainWindow()) ::PostMessageW(main, WM_INDEX_GROUP_CHANGED, 0, 0);
      break;
    case kCmdDictArrange: {
      CDlgDictOption dialog(nullptr);
      dialog.SetInitialSelection(request->kind, request->id);
      dialog.DoModal();
      break;
    }
    default:
      break;
  }
  return 1;
}

void CDlgView::SavePage() {
  const std::wstring word = m_view.GetCurrentWord();
  if (word.empty()) return;
  std::wstring name = word + L".htm";
  DWORD filter = 0;
  const std::wstring filterText = UiText(L"DlgView", L"SaveFilter");
  if (!ShowSaveFileDialog(name, &filter, L"htm", filterText.c_str(), MainWindow(), nullptr, 0x280806)) return;
  htmlview::Element* body = m_view.GetBody();
  const bool saved =
      body && WriteSavedPage(name.c_str(), (theApp.m_dataFolder + L"start.htm").c_str(), body->OuterHtml());
  if (!saved)
    ShowMessageBox(m_hWnd, UiText(L"Message", L"SaveSearchResultFail").c_str(), theApp.m_productName.c_str(),
                   MB_ICONEXCLAMATION);
}

HRESULT CDlgView::ResultContextMenu(DWORD kind, POINT screen, htmlview::HtmlView* target, htmlview::Element* element,
                                    void* context) {
  (void)target;
  auto* view = static_cast<CResultView*>(context);
  if (kind == 1 || kind == 3) return S_OK;
  if (kind == 2) return IsTextField(element) ? S_FALSE : S_OK;
  if (!view || !view->m_hWnd) return S_OK;
  const bool textSelected = kind == 4 || (kind == 5 && view->HasTextSelection());
  std::vector<std::wstring> voices;
  const int checked = CurrentVoice(voices);
  HMENU menu = BuildResultContextMenu(theApp.m_uiText, textSelected, voices, checked);
  if (!menu) return S_OK;
  CWnd* bar = view->GetParent();
  const UINT chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD, screen.x, screen.y, 0, bar ? bar->m_hWnd : view->m_hWnd,
                                       nullptr);
  DestroyMenu(menu);
  if (!bar) return S_OK;
  if (const UINT command = ContextMenuCommand(chosen)) {
    bar->SendMessage(WM_COMMAND, command, 0);
  } else if (chosen >= kCmdVoiceFirst && chosen - kCmdVoiceFirst < voices.size()) {
    const auto& list = theApp.GetVoiceList();
    theApp.m_settings.SetValue(L"Speech", L"Voice", list[chosen - kCmdVoiceFirst].first);
    bar->SendMessage(WM_COMMAND, IDC_VIEW_SPEAK, 0);
  } else if (chosen == kCmdCtxSearch) {
    if (textSelected) {
      bar->SendMessage(WM_COMMAND, kCmdSearchSelection, 0);
    } else if (htmlview::Document* doc = view->GetHtmlDocument()) {
      POINT pt = screen;
      ::ScreenToClient(view->GetDocumentWindow(), &pt);
      std::wstring word = doc->WordAtPoint(pt.x, pt.y);
      CleanLookupText(word);
      if (!word.empty())
        if (HWND main = MainWindow())
          ::SendMessageW(main, WM_APP_LINK, reinterpret_cast<WPARAM>(L"headword"),
                         reinterpret_cast<LPARAM>(word.c_str()));
    }
  }
  return S_OK;
}
