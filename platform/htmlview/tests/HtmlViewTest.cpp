#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <cstdio>
#include <string>
#include <vector>

#include "guictl/ImageFile.h"
#include "platform/htmlview/HtmlLayout.h"
#include "platform/htmlview/HtmlView.h"
#include "platform/htmlview/tests/ImportSlot.h"

#include <commctrl.h>

using namespace htmlview;

namespace {

struct Recorder : HtmlViewEvents, HostHandler {
  std::vector<std::wstring> before, complete;
  std::vector<std::pair<DocEvent, std::wstring>> events;
  std::vector<int> keys;
  bool cancelAll = false;
  DWORD menuKind = 99;
  std::vector<DWORD> commands;
  bool swallow = false;
  DWORD flags = kHostNo3DBorder;

  void OnBeforeNavigate(const std::wstring& url, bool* cancel) override {
    before.push_back(url);
    if (cancelAll || url.compare(0, 6, L"app://") == 0) *cancel = true;
  }
  void OnDocumentComplete(const std::wstring& url) override { complete.push_back(url); }
  void OnDocumentEvent(DocEvent kind, Element* source, int keyCode) override {
    events.emplace_back(kind, source ? source->Id() : L"");
    if (kind == DocEvent::kKeyDown) keys.push_back(keyCode);
  }
  HRESULT ShowContextMenu(DWORD kind, POINT, Element*) override {
    menuKind = kind;
    return S_OK;
  }
  DWORD GetHostFlags() override { return flags; }
  HRESULT TranslateAccelerator(const MSG&, DWORD command) override {
    commands.push_back(command);
    return swallow ? S_OK : S_FALSE;
  }
};

class ViewTest : public ::testing::Test {
 protected:
  // One frame for all tests: destroying a shown top-level window is slow here.
  static void SetUpTestSuite() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HtmlViewTestFrame";
    RegisterClassW(&wc);
    frame = CreateWindowExW(0, L"HtmlViewTestFrame", L"test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 520, 440,
                            nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
  }
  static void TearDownTestSuite() { DestroyWindow(frame); }
  void SetUp() override {
    ASSERT_TRUE(frame);
    RECT r = {0, 0, 500, 400};
    ASSERT_TRUE(view.Create(frame, r, 119));
    view.SetEvents(&rec);
    view.SetHostHandler(&rec);
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    folder = dir;
  }
  void TearDown() override {
    DestroyWindow(view.Hwnd());
    for (const auto& f : files) DeleteFileW(f.c_str());
  }
  void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      Sleep(1);
    }
  }
  void Load(const std::wstring& url) {
    size_t n = rec.complete.size();
    ASSERT_TRUE(view.Navigate2(url));
    for (int i = 0; i < 100 && rec.complete.size() == n; ++i) Pump();
    ASSERT_EQ(rec.complete.size(), n + 1);
    Pump();
  }
  std::wstring WriteFile(const wchar_t* name, const std::string& bytes) {
    std::wstring path = folder + name;
    FILE* f = _wfopen(path.c_str(), L"wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    files.push_back(path);
    return path;
  }
  std::wstring LoadHtml(const std::wstring& html) {
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(html.data()), html.size() * 2);
    std::wstring path = WriteFile(L"htmlview_page.htm", bytes);
    Load(path);
    return path;
  }
  POINT CenterOf(const wchar_t* id) {
    Element* el = view.GetDocument()->GetItem(id);
    PageRect r = el->PageBox();
    return {r.left + r.width / 2 - view.GetDocument()->ScrollX(), r.top + r.height / 2 - view.GetDocument()->ScrollY()};
  }
  void Click(POINT p) {
    SendMessageW(view.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    Pump();
  }

  static HWND frame;
  HtmlView view;
  Recorder rec;
  std::wstring folder;
  std::vector<std::wstring> files;
};

HWND ViewTest::frame = nullptr;

struct TipFinder {
  HWND owner, tip = nullptr;
};

BOOL CALLBACK FindTip(HWND h, LPARAM lp) {
  auto* f = reinterpret_cast<TipFinder*>(lp);
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(h, GW_OWNER) == f->owner) f->tip = h;
  return TRUE;
}

TEST_F(ViewTest, WindowClassAndDocumentLifecycle) {
  wchar_t cls[64];
  GetClassNameW(view.Hwnd(), cls, 64);
  EXPECT_STREQ(cls, L"Internet Explorer_Server");
  EXPECT_EQ(view.GetDocument(), nullptr);
  EXPECT_FALSE(view.Exec(Command::kSelectAll));
  Load(L"about:blank");
  ASSERT_EQ(rec.before.size(), 1u);
  EXPECT_EQ(rec.before[0], L"about:blank");
  EXPECT_EQ(rec.complete[0], L"about:blank");
  ASSERT_NE(view.GetDocument(), nullptr);
  EXPECT_EQ(view.GetDocument()->Body()->InnerHtml(), L"");
  rec.cancelAll = true;
  EXPECT_FALSE(view.Navigate2(L"about:blank"));
  Pump();
  EXPECT_EQ(rec.complete.size(), 1u);
}

TEST_F(ViewTest, LoadsFilesInEachEncoding) {
  const std::wstring word = L"caf\u00e9";
  std::wstring utf16 = L"\xFEFF<div id='w'>" + word + L"</div>";
  struct {
    const wchar_t* name;
    std::string bytes;
  } files[] = {
      {L"htmlview_u16.htm", std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2)},
      {L"htmlview_u8bom.htm", "\xEF\xBB\xBF<div id='w'>caf\xC3\xA9</div>"},
      {L"htmlview_u8.htm", "<div id='w'>caf\xC3\xA9</div>"},
      {L"htmlview_ansi.htm", "<div id='w'>caf\xE9</div>"},
  };
  for (auto& f : files) {
    std::wstring path = WriteFile(f.name, f.bytes);
    Load(path);
    EXPECT_EQ(rec.complete.back(), path);
    Element* w = view.GetDocument()->GetItem(L"w");
    ASSERT_NE(w, nullptr) << f.name;
    EXPECT_EQ(w->InnerText(), word) << f.name;
  }
}

TEST_F(ViewTest, LinkClickRaisesBeforeNavigateWithRawUrl) {
  LoadHtml(L"<body><a id='l' href='app://dictinfo/a%20b+c'>link text</a><br>"
           L"<div id='row' class='out' onclick=\"window.navigate('dict://headword/x%C3%A9')\" "
           L"onmouseover=\"this.className='over'\" onmouseout=\"this.className='out'\">row <b id='inner'>bold</b></div>"
           L"<a id='blank' href='app://new' target='_blank'>new</a><div title='ID: 00000001'><span id='tip'>tipped</span></div>"
           L"</body>");
  rec.before.clear();
  Click(CenterOf(L"l"));
  ASSERT_EQ(rec.before.size(), 1u);
  EXPECT_EQ(rec.before[0], L"app://dictinfo/a%20b+c");
  ASSERT_FALSE(rec.events.empty());
  EXPECT_EQ(rec.events.back().first, DocEvent::kClick);

  // An inline handler bubbles up from the inner element.
  Click(CenterOf(L"inner"));
  ASSERT_EQ(rec.before.size(), 2u);
  EXPECT_EQ(rec.before[1], L"dict://headword/x%C3%A9");

  // A double click selects the word and reaches the document's ondblclick.
  POINT dbl = CenterOf(L"inner");
  SendMessageW(view.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(dbl.x, dbl.y));
  SendMessageW(view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(dbl.x, dbl.y));
  EXPECT_EQ(rec.events.back(), std::make_pair(DocEvent::kDoubleClick, std::wstring(L"inner")));
  EXPECT_EQ(view.GetDocument()->SelectionText(), L"bold");
  view.Exec(Command::kClearSelection);

  // Hover runs this.className.
  POINT p = CenterOf(L"inner");
  SendMessageW(view.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(view.GetDocument()->GetItem(L"row")->ClassName(), L"over");
  SendMessageW(view.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(450, 380));
  EXPECT_EQ(view.GetDocument()->GetItem(L"row")->ClassName(), L"out");

  // The tool tip follows the title of the element under the mouse; its
  // window is made for the first title.
  TipFinder finder{GetAncestor(view.Hwnd(), GA_ROOT)};
  EnumThreadWindows(GetCurrentThreadId(), FindTip, reinterpret_cast<LPARAM>(&finder));
  EXPECT_FALSE(finder.tip);
  p = CenterOf(L"tip");
  SendMessageW(view.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  EnumThreadWindows(GetCurrentThreadId(), FindTip, reinterpret_cast<LPARAM>(&finder));
  ASSERT_TRUE(finder.tip);
  wchar_t tipText[80] = {};
  TOOLINFOW ti = {};
  ti.cbSize = TTTOOLINFOW_V1_SIZE;
  ti.hwnd = view.Hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(view.Hwnd());
  ti.lpszText = tipText;
  SendMessageW(finder.tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(tipText, L"ID: 00000001");

  // New windows are never opened and never navigate.
  Click(CenterOf(L"blank"));
  EXPECT_EQ(rec.before.size(), 2u);
}

// What the cursor-translation hook does to a window of this class: it patches
// ExtTextOutW, repaints a one-pixel strip at the cursor's row and keeps the
// runs drawn on that row (the text of the whole row, left to right).
struct StripCapture {
  int row = 0;
  bool on = false;
  std::wstring text;
  int lastRight = -65535;
  decltype(&ExtTextOutW) real = nullptr;
} g_strip;

BOOL WINAPI StripExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                            const INT* dx) {
  SIZE size;
  if (g_strip.on && text && count > 0 && GetTextExtentPoint32W(dc, text, count, &size)) {
    UINT align = GetTextAlign(dc);
    POINT ref = {x, y};
    if (align & TA_UPDATECP) GetCurrentPositionEx(dc, &ref);
    int left = (align & TA_CENTER) == TA_CENTER ? ref.x - size.cx / 2 : (align & TA_CENTER) == TA_RIGHT ? ref.x - size.cx
                                                                                                       : ref.x;
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    int top = (align & TA_BASELINE) == TA_BASELINE ? ref.y - tm.tmAscent : (align & TA_BOTTOM) ? ref.y - size.cy : ref.y;
    POINT corners[2] = {{left, top}, {left + size.cx, top + size.cy}};
    LPtoDP(dc, corners, 2);
    RECT run = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    bool hit = run.top + g_strip.row <= g_strip.row && run.bottom + g_strip.row > g_strip.row;
    if (!hit) hit = run.top <= g_strip.row && g_strip.row < run.bottom;
    if (hit && !(!g_strip.text.empty() && run.left < g_strip.lastRight)) {
      g_strip.text.append(text, count);
      g_strip.lastRight = run.right;
    }
  }
  return g_strip.real(dc, x, y, options, rect, text, count, dx);
}

TEST_F(ViewTest, HookReadsTheRowUnderTheCursor) {
  LoadHtml(L"<body style='font-family:Tahoma; font-size:13px'><div id='one'>first line of text</div>"
           L"<div id='two'>second <b>line</b> here <span style='float:right'>right</span></div>"
           L"<div id='three'>third line</div></body>");
  UpdateWindow(view.Hwnd());
  void** slot = FindImport("gdi32.dll", "ExtTextOutW");
  ASSERT_NE(slot, nullptr);
  DWORD old;
  ASSERT_TRUE(VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old));
  g_strip.real = reinterpret_cast<decltype(&ExtTextOutW)>(*slot);
  *slot = reinterpret_cast<void*>(&StripExtTextOut);
  struct {
    const wchar_t* id;
    const wchar_t* text;
  } rows[] = {{L"two", L"second line here right"}, {L"one", L"first line of text"}, {L"three", L"third line"}};
  for (const auto& r : rows) {
    POINT p = CenterOf(r.id);
    RECT client;
    GetClientRect(view.Hwnd(), &client);
    g_strip.row = p.y;
    g_strip.text.clear();
    g_strip.lastRight = -65535;
    g_strip.on = true;
    RECT strip = {0, p.y, client.right, p.y + 1};
    InvalidateRect(view.Hwnd(), &strip, TRUE);
    UpdateWindow(view.Hwnd());
    g_strip.on = false;
    std::wstring got;
    for (wchar_t c : g_strip.text) got.push_back(c);
    // Runs join without their blanks, as the hook joins them.
    std::wstring want;
    for (const wchar_t* c = r.text; *c; ++c) {
      if (*c != L' ') want.push_back(*c);
    }
    got.erase(std::remove(got.begin(), got.end(), L' '), got.end());
    EXPECT_EQ(got, want);
  }
  *slot = reinterpret_cast<void*>(g_strip.real);
  VirtualProtect(slot, sizeof(void*), old, &old);
}

TEST_F(ViewTest, InlineHandlerForms) {
  LoadHtml(L"<div id='d' class='c0'>x</div>");
  Element* d = view.GetDocument()->GetItem(L"d");
  struct {
    const wchar_t* script;
    const wchar_t* navigated;  // null: none
    const wchar_t* className;
  } cases[] = {
      {L"window.navigate('app://a/1')", L"app://a/1", L"c0"},
      {L"this.className='btn1_mouse_over'", nullptr, L"btn1_mouse_over"},
      {L" this.className = \"q\" ; window.navigate(\"app://b/x;y\") ", L"app://b/x;y", L"q"},
      {L"window.navigate('app://c/it\\'s')", L"app://c/it's", L"q"},
      {L"alert('no'); return false; document.write('x')", nullptr, L"q"},
      {L"window.navigate(", nullptr, L"q"},
      {L"navigate('app://d')", L"app://d", L"q"},
  };
  for (const auto& c : cases) {
    rec.before.clear();
    view.RunInlineHandler(d, c.script);
    if (c.navigated) {
      ASSERT_EQ(rec.before.size(), 1u) << testing::PrintToString(std::wstring(c.script));
      EXPECT_EQ(rec.before[0], c.navigated);
    } else {
      EXPECT_TRUE(rec.before.empty());
    }
    EXPECT_EQ(d->ClassName(), c.className);
  }
}

// The same click through the system's input queue (the X server under test).
TEST_F(ViewTest, RealMouseClickOnLink) {
  LoadHtml(L"<body><a id='l' href='app://real/click'>a link to click</a></body>");
  SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  UpdateWindow(frame);
  Pump();
  POINT p = CenterOf(L"l");
  ClientToScreen(view.Hwnd(), &p);
  ASSERT_EQ(WindowFromPoint(p), view.Hwnd());
  SetCursorPos(p.x, p.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  rec.before.clear();
  SendInput(2, in, sizeof(INPUT));
  for (int i = 0; i < 200 && rec.before.empty(); ++i) Pump();
  ASSERT_EQ(rec.before.size(), 1u);
  EXPECT_EQ(rec.before[0], L"app://real/click");
}

TEST_F(ViewTest, DragSelectionCopiesExpectedText) {
  LoadHtml(L"<body style='margin:0; font-family:Tahoma; font-size:13px'><div id='a'>alpha beta gamma</div>"
           L"<div id='b'>delta epsilon</div></body>");
  Document* doc = view.GetDocument();
  PageRect a = doc->GetItem(L"a")->PageBox();
  PageRect b = doc->GetItem(L"b")->PageBox();
  SendMessageW(view.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.left, a.top + a.height / 2));
  // To the middle of "delta": the selection ends inside the second block.
  int x = b.left + 1;
  for (; x < b.left + b.width; ++x) {
    TextPosition pos = doc->NearestTextPosition(x, b.top + b.height / 2);
    if (pos.offset >= 3) break;
  }
  SendMessageW(view.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, b.top + b.height / 2));
  SendMessageW(view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, b.top + b.height / 2));
  Pump();
  EXPECT_EQ(doc->SelectionType(), L"Text");
  EXPECT_TRUE(rec.before.size() <= 1u);
  ASSERT_TRUE(view.Exec(Command::kCopy));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(copied, L"alpha beta gamma\r\ndel");

  // A dialog's page selects nothing by dragging; without the no-border flag it gets its edge.
  view.Exec(Command::kClearSelection);
  rec.flags = kHostDialog;
  SendMessageW(view.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.left, a.top + a.height / 2));
  SendMessageW(view.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, b.top + b.height / 2));
  SendMessageW(view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, b.top + b.height / 2));
  Pump();
  EXPECT_EQ(doc->SelectionType(), L"None");
  EXPECT_TRUE(GetWindowLongPtrW(view.Hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  rec.flags = kHostNo3DBorder;

  // Select all, then clear.
  view.Exec(Command::kSelectAll);
  EXPECT_EQ(doc->SelectionText(), L"alpha beta gamma\r\ndelta epsilon");
  view.Exec(Command::kClearSelection);
  EXPECT_EQ(doc->SelectionType(), L"None");
  // The word under a point.
  POINT p = CenterOf(L"b");
  std::wstring word = doc->WordAtPoint(b.left + 2, p.y);
  EXPECT_EQ(word, L"delta");
}

TEST_F(ViewTest, FormControlsAreRealWindows) {
  LoadHtml(L"<body><input id='chk' type='checkbox' value='y'><input id='txt' type='text' value='abc'>"
           L"<select id='sel' onchange=\"window.navigate('app://texttranslation/set_engine')\">"
           L"<option value='1'>one<option value='2'>two</select>"
           L"<textarea id='ta' onfocus=\"window.navigate('app://texttranslation/get_focus')\">src</textarea>"
           L"<div id='hid' style='display:none'><input id='gone' type='text'></div></body>");
  Document* doc = view.GetDocument();
  Element* chk = doc->GetItem(L"chk");
  HWND hchk = chk->ControlWindow();
  ASSERT_TRUE(hchk);
  wchar_t cls[32];
  GetClassNameW(hchk, cls, 32);
  EXPECT_STREQ(cls, L"Button");
  EXPECT_EQ(GetParent(hchk), view.Hwnd());
  SendMessageW(hchk, BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(chk->Checked());
  ASSERT_FALSE(rec.events.empty());
  EXPECT_EQ(rec.events.back(), std::make_pair(DocEvent::kClick, std::wstring(L"chk")));

  Element* txt = doc->GetItem(L"txt");
  ASSERT_TRUE(txt->ControlWindow());
  txt->SetAttribute(L"disabled", L"disabled");
  EXPECT_FALSE(IsWindowEnabled(txt->ControlWindow()));
  txt->RemoveAttribute(L"disabled");
  EXPECT_TRUE(IsWindowEnabled(txt->ControlWindow()));
  SetWindowTextW(txt->ControlWindow(), L"typed");
  EXPECT_EQ(txt->Value(), L"typed");

  Element* sel = doc->GetItem(L"sel");
  HWND hsel = sel->ControlWindow();
  ASSERT_TRUE(hsel);
  EXPECT_EQ(SendMessageW(hsel, CB_GETCOUNT, 0, 0), 2);
  SendMessageW(hsel, CB_SETCURSEL, 1, 0);
  SendMessageW(view.Hwnd(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hsel));
  EXPECT_EQ(sel->Value(), L"2");
  ASSERT_FALSE(rec.before.empty());
  EXPECT_EQ(rec.before.back(), L"app://texttranslation/set_engine");
  Element* o = doc->CreateElement(L"option");
  o->SetValue(L"3");
  o->SetInnerHtml(L"three");
  sel->AddOption(o);
  EXPECT_EQ(SendMessageW(hsel, CB_GETCOUNT, 0, 0), 3);

  Element* ta = doc->GetItem(L"ta");
  ta->Focus();
  Pump();
  EXPECT_EQ(GetFocus(), ta->ControlWindow());
  ta->SelectText();
  EXPECT_EQ(rec.before.back(), L"app://texttranslation/get_focus");
  ta->SetValue(L"line1\nline2");
  EXPECT_EQ(ta->Value(), L"line1\r\nline2");

  // A control inside a hidden block has no window; showing the block makes one.
  Element* gone = doc->GetItem(L"gone");
  EXPECT_FALSE(gone->ControlWindow());
  doc->GetItem(L"hid")->SetStyle(L"display", L"");
  Pump();
  ASSERT_TRUE(gone->ControlWindow());
  EXPECT_TRUE(IsWindowVisible(gone->ControlWindow()));
  doc->GetItem(L"hid")->SetStyle(L"display", L"none");
  Pump();
  EXPECT_FALSE(IsWindowVisible(gone->ControlWindow()));
  // Replacing the markup takes the windows of the elements that go off the
  // screen (destroyed, or kept hidden for the next page's controls).
  HWND old = gone->ControlWindow();
  doc->Body()->SetInnerHtml(L"<p>empty</p>");
  Pump();
  EXPECT_FALSE(IsWindow(old) && IsWindowVisible(old));
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountVisibleWindow(HWND window, LPARAM count) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int VisibleChildCount(HWND parent) {
  int n = 0;
  EnumChildWindows(parent, CountVisibleWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

int ChildWindowCount(HWND parent) {
  int n = 0;
  EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

// A page whose form is replaced by another (a result page does it on every
// lookup) shows the new form's controls as new ones: nothing of what the
// user did in the old ones, nor of their state, stays.
TEST_F(ViewTest, ReplacedFormShowsOnlyTheNewControlsState) {
  struct Case {
    const wchar_t* before;
    std::function<void(HWND)> use;  // what the user did in the old control
    const wchar_t* after;
    std::function<void(HWND)> check;
  } cases[] = {
      {L"<textarea id='c'>old text</textarea>", [](HWND h) { SendMessageW(h, EM_REPLACESEL, TRUE, LPARAM(L"typed")); },
       L"<textarea id='c'>new text</textarea>",
       [](HWND h) {
         wchar_t text[64] = L"";
         GetWindowTextW(h, text, 64);
         EXPECT_STREQ(text, L"new text");
         EXPECT_FALSE(SendMessageW(h, EM_CANUNDO, 0, 0)) << "the old text came back with Undo";
         EXPECT_FALSE(SendMessageW(h, EM_GETMODIFY, 0, 0));
       }},
      {L"<input id='c' type='text' value='old'>", [](HWND h) { SetWindowTextW(h, L"typed"); },
       L"<input id='c' type='text' value='fresh'>",
       [](HWND h) {
         wchar_t text[64] = L"";
         GetWindowTextW(h, text, 64);
         EXPECT_STREQ(text, L"fresh");
       }},
      {L"<input id='c' type='checkbox' checked>", [](HWND h) { SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0); },
       L"<input id='c' type='checkbox'>", [](HWND h) { EXPECT_EQ(SendMessageW(h, BM_GETCHECK, 0, 0), BST_UNCHECKED); }},
      {L"<select id='c'><option>a<option>b<option>c</select>", [](HWND h) { SendMessageW(h, CB_SETCURSEL, 2, 0); },
       L"<select id='c'><option>x<option selected>y</select>",
       [](HWND h) {
         EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 2);
         EXPECT_EQ(SendMessageW(h, CB_GETCURSEL, 0, 0), 1);
       }},
      {L"<input id='c' type='text'>", [](HWND) {}, L"<input id='c' type='text' disabled>",
       [](HWND h) { EXPECT_FALSE(IsWindowEnabled(h)); }},
      {L"<input id='c' type='text' disabled>", [](HWND) {}, L"<input id='c' type='text'>",
       [](HWND h) { EXPECT_TRUE(IsWindowEnabled(h)); }},
      // Another font: a drop-down list sizes itself to it as a new one does.
      {L"<select id='c' style='font-size:30px'><option>a</select>", [](HWND) {},
       L"<select id='c' style='font-size:11px'><option>a</select>",
       [](HWND h) {
         HWND fresh = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 10, 10,
                                      GetParent(h), nullptr, GetModuleHandleW(nullptr), nullptr);
         SendMessageW(fresh, WM_SETFONT, SendMessageW(h, WM_GETFONT, 0, 0), 0);
         RECT used, made;
         GetWindowRect(h, &used);
         SetWindowPos(fresh, nullptr, 0, 0, used.right - used.left, 200, SWP_NOZORDER | SWP_NOACTIVATE);
         GetWindowRect(fresh, &made);
         EXPECT_EQ(used.bottom - used.top, made.bottom - made.top);
         DestroyWindow(fresh);
       }},
      {L"<input id='c' type='text' style='font-size:30px'>", [](HWND) {}, L"<input id='c' type='text'>",
       [](HWND) {}},
      // The same font: a text box's margins are still those its font gives at its width.
      {L"<textarea id='c'>a</textarea>", [](HWND) {}, L"<textarea id='c'>b</textarea>",
       [](HWND h) {
         RECT used;
         GetWindowRect(h, &used);
         HWND fresh = CreateWindowExW(0, L"EDIT", L"", GetWindowLongW(h, GWL_STYLE) & ~WS_VISIBLE, 0, 0,
                                      used.right - used.left, used.bottom - used.top, GetParent(h), nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
         SendMessageW(fresh, WM_SETFONT, SendMessageW(h, WM_GETFONT, 0, 0), 0);
         EXPECT_EQ(SendMessageW(h, EM_GETMARGINS, 0, 0), SendMessageW(fresh, EM_GETMARGINS, 0, 0));
         DestroyWindow(fresh);
       }},
  };
  LoadHtml(L"<body><div id='form'></div></body>");
  Document* doc = view.GetDocument();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    doc->GetItem(L"form")->SetInnerHtml(c.before);
    Pump();
    HWND before = doc->GetItem(L"c")->ControlWindow();
    ASSERT_TRUE(before);
    c.use(before);
    doc->GetItem(L"form")->SetInnerHtml(c.after);
    Pump();
    HWND after = doc->GetItem(L"c")->ControlWindow();
    ASSERT_TRUE(after);
    EXPECT_TRUE(IsWindowVisible(after));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(after, WM_GETFONT, 0, 0)),
              doc->GetItem(L"c")->ComputedStyle()->font->font);
    c.check(after);
  }
  // However often the form is replaced, its windows do not pile up.
  const wchar_t kForm[] = L"<textarea>t</textarea><select><option>a</select><select></select><input type='checkbox'>";
  doc->GetItem(L"form")->SetInnerHtml(kForm);
  Pump();
  const int windows = ChildWindowCount(view.Hwnd());
  for (int i = 0; i < 20; ++i) {
    doc->GetItem(L"form")->SetInnerHtml(kForm);
    Pump();
  }
  EXPECT_EQ(ChildWindowCount(view.Hwnd()), windows);
}

// The windows of a replaced form stand on their new elements: at the same
// place when the form is, moved, sized and shown again when it is not.
TEST_F(ViewTest, ReplacedFormControlsStandOnTheirElements) {
  const std::wstring kForm = L"<textarea id='a'>t</textarea><select id='b'><option>x</select><input id='c'>";
  const std::wstring kTall = L"<div style='height:1000px'></div>";
  struct Step {
    const char* what;
    std::wstring html;
    int scroll;
  } steps[] = {
      {"first", kForm, 0},
      {"the same form", kForm, 0},
      {"a line above", L"<p>line</p>" + kForm, 0},
      {"wider", L"<textarea id='a' style='width:300px'>t</textarea><select id='b' style='width:200px'><option>x</select>"
                L"<input id='c' style='width:250px'>",
       0},
      {"back", kForm, 0},
      {"scrolled", kTall + kForm + kTall, 1030},
      {"the same, scrolled", kTall + kForm + kTall, 1030},
      {"gone", L"<p>none</p>", 0},
      {"again", kForm, 0},
  };
  LoadHtml(L"<body><div id='form'></div></body>");
  Document* doc = view.GetDocument();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    doc->GetItem(L"form")->SetInnerHtml(step.html);
    Pump();
    doc->ScrollTo(0, step.scroll);
    Pump();
    if (!doc->GetItem(L"a")) continue;
    for (const wchar_t* id : {L"a", L"b", L"c"}) {
      SCOPED_TRACE(testing::Message() << "control " << id);
      Element* el = doc->GetItem(id);
      HWND h = el->ControlWindow();
      ASSERT_TRUE(h);
      EXPECT_TRUE(IsWindowVisible(h));
      RECT r;
      GetWindowRect(h, &r);
      MapWindowPoints(nullptr, view.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
      const PageRect box = el->PageBox();
      EXPECT_EQ(r.left, box.left - doc->ScrollX());
      EXPECT_EQ(r.top, box.top - doc->ScrollY());
      EXPECT_EQ(r.right - r.left, box.width);
      if (!el->Is(L"select")) {
        EXPECT_EQ(r.bottom - r.top, box.height);
      }
    }
  }
  // Nothing of a gone form stays on the screen.
  doc->GetItem(L"form")->SetInnerHtml(L"<p>none</p>");
  Pump();
  EXPECT_EQ(VisibleChildCount(view.Hwnd()), 0);
  // The focus in a control of the form goes back to the view, not on into
  // the next form's control of its kind.
  doc->GetItem(L"form")->SetInnerHtml(kForm);
  Pump();
  SetFocus(doc->GetItem(L"a")->ControlWindow());
  ASSERT_EQ(GetFocus(), doc->GetItem(L"a")->ControlWindow());
  doc->GetItem(L"form")->SetInnerHtml(kForm);
  Pump();
  EXPECT_EQ(GetFocus(), view.Hwnd());
}

// What each control window painted, as the union of its update rectangles.
std::map<HWND, RECT> g_painted;
std::map<HWND, WNDPROC> g_controlProcs;

LRESULT CALLBACK RecordPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RECT update;
  if (message == WM_PAINT && GetUpdateRect(window, &update, FALSE)) {
    RECT& all = g_painted[window];
    UnionRect(&all, &all, &update);
  }
  return CallWindowProcW(g_controlProcs[window], window, message, wParam, lParam);
}

TEST_F(ViewTest, ControlsOfAMovedRowPaintAllOfThemselvesAtTheirNewPlace) {
  // A row of three glossaries, only the first ticked, below a row that moves to the top.
  LoadHtml(
      L"<body><table id='t' cellpadding='0' cellspacing='0'>"
      L"<tr><td><input type='checkbox' id='a'> one</td></tr>"
      L"<tr><td><input type='checkbox' id='b' checked> two<table>"
      L"<tr><td style='padding: 1px'><input type='checkbox' id='g1' checked> first</td></tr>"
      L"<tr><td style='padding: 1px'><input type='checkbox' id='g2'> second</td></tr>"
      L"<tr><td style='padding: 1px'><input type='checkbox' id='g3'> third</td></tr></table></td></tr>"
      L"<tr><td><input type='checkbox' id='c'> three</td></tr></table></body>");
  Document* doc = view.GetDocument();
  const wchar_t* ids[] = {L"a", L"b", L"g1", L"g2", L"g3", L"c"};
  for (const wchar_t* id : ids) {
    HWND box = doc->GetItem(id)->ControlWindow();
    ASSERT_TRUE(box);
    g_controlProcs[box] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordPaint)));
  }
  RedrawWindow(view.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  g_painted.clear();
  ASSERT_NE(doc->GetItem(L"t")->MoveRow(2, 0), nullptr);
  Pump();
  for (const wchar_t* id : ids) {
    HWND box = doc->GetItem(id)->ControlWindow();
    RECT client;
    GetClientRect(box, &client);
    const RECT& painted = g_painted[box];
    EXPECT_TRUE(EqualRect(&painted, &client)) << "control " << std::string(id, id + wcslen(id)) << " painted "
                                              << painted.left << "," << painted.top << " - " << painted.right
                                              << "," << painted.bottom << " of " << client.right << "x"
                                              << client.bottom;
  }
  for (const auto& [box, proc] : g_controlProcs) SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  g_controlProcs.clear();
}

TEST_F(ViewTest, HostHandlerFiltersKeysAndMenus) {
  LoadHtml(L"<body><a id='l' href='app://x'>anchor</a> <img id='i' width='20' height='20'> plain text"
           L"<table id='t' width='200' height='60' border='1'><tr><td id='c'>&nbsp;</td></tr></table></body>");
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  rec.swallow = true;
  SendMessageW(view.Hwnd(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(rec.commands.back(), kCmdSelectAll);
  EXPECT_EQ(view.GetDocument()->SelectionType(), L"None");  // swallowed
  rec.swallow = false;
  SendMessageW(view.Hwnd(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(view.GetDocument()->SelectionType(), L"Text");
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  SendMessageW(view.Hwnd(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(rec.commands.back(), 0u);
  EXPECT_EQ(rec.keys.back(), VK_F5);
  view.Exec(Command::kClearSelection);

  struct {
    const wchar_t* id;
    DWORD kind;
  } cases[] = {{L"l", kMenuAnchor}, {L"i", kMenuImage}, {L"c", kMenuTable}};
  for (const auto& c : cases) {
    POINT p = CenterOf(c.id);
    if (c.kind == kMenuTable) p.x -= 60;
    ClientToScreen(view.Hwnd(), &p);
    SendMessageW(view.Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.Hwnd()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(rec.menuKind, c.kind) << c.id;
  }
  view.Exec(Command::kSelectAll);
  POINT p = CenterOf(L"l");
  ClientToScreen(view.Hwnd(), &p);
  SendMessageW(view.Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.Hwnd()), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(rec.menuKind, kMenuTextSelect);
}

TEST_F(ViewTest, ScrollsWithWheelAndKeys) {
  std::wstring html = L"<body>";
  for (int i = 0; i < 200; ++i) html += L"<div>line " + std::to_wstring(i) + L"</div>";
  LoadHtml(html);
  Document* doc = view.GetDocument();
  EXPECT_GT(doc->ContentHeight(), 400);
  SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  EXPECT_TRUE(GetScrollInfo(view.Hwnd(), SB_VERT, &si));
  SendMessageW(view.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_GT(doc->ScrollY(), 0);
  SendMessageW(view.Hwnd(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(doc->ScrollY(), doc->ContentHeight() - doc->ViewportHeight());
  SendMessageW(view.Hwnd(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(doc->ScrollY(), 0);
  GetScrollInfo(view.Hwnd(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, 0);
}

// Counts the view's frame paints (its scroll bar is drawn with them).
struct FramePaints {
  static WNDPROC original;
  static int count;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCPAINT) ++count;
    return CallWindowProcW(original, hwnd, msg, wp, lp);
  }
};
WNDPROC FramePaints::original = nullptr;
int FramePaints::count = 0;

// The scroll bar follows the page, and a bar that changed is drawn by the
// view's next paint; a page that changed without moving the bar leaves the
// frame alone.
TEST_F(ViewTest, ScrollBarIsDrawnByTheNextPaintWhenItChanged) {
  std::wstring html = L"<body>";
  for (int i = 0; i < 200; ++i) html += L"<div>line " + std::to_wstring(i) + L"</div>";
  LoadHtml(html);
  Document* doc = view.GetDocument();
  ASSERT_TRUE(GetWindowLongPtrW(view.Hwnd(), GWL_STYLE) & WS_VSCROLL);
  FramePaints::original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(view.Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FramePaints::Proc)));
  UpdateWindow(view.Hwnd());

  FramePaints::count = 0;
  doc->ScrollTo(0, 100);
  SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(view.Hwnd(), SB_VERT, &si));
  EXPECT_EQ(si.nPos, 100);
  EXPECT_EQ(si.nMax, doc->ContentHeight() - 1);
  EXPECT_EQ(si.nPage, UINT(doc->ViewportHeight()));
  UpdateWindow(view.Hwnd());
  EXPECT_GE(FramePaints::count, 1);

  FramePaints::count = 0;
  view.OnDocumentChanged();  // no change: the page is painted again, its frame is not
  Pump();
  EXPECT_EQ(FramePaints::count, 0);

  SetWindowLongPtrW(view.Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FramePaints::original));
}

TEST_F(ViewTest, FindBoxAndPrintPreview) {
  LoadHtml(L"<body>one two three</body>");
  ASSERT_TRUE(view.Exec(Command::kFind));
  ASSERT_TRUE(view.FindBox());
  SetDlgItemTextW(view.FindBox(), 100, L"TWO");
  SendMessageW(view.FindBox(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(view.GetDocument()->SelectionText(), L"two");
  SendMessageW(view.FindBox(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(view.FindBox());
  ASSERT_TRUE(view.Exec(Command::kPrintPreview));
  ASSERT_TRUE(view.PreviewWindow());
  UpdateWindow(view.PreviewWindow());
  DestroyWindow(view.PreviewWindow());
  EXPECT_FALSE(view.PreviewWindow());
}

// Print preview shows the form as the user filled it in: the text typed into
// its box and the option picked, not the markup's empty form.
TEST_F(ViewTest, PrintPreviewShowsTheFormAsFilledIn) {
  LoadHtml(L"<body><textarea id='t' cols=30 rows=3></textarea><br><select id='s'><option>English<option>German"
           L"</select> <input type=button value='Translate'></body>");
  Element* text = view.GetDocument()->GetItem(L"t");
  ASSERT_TRUE(text->ControlWindow());
  SetWindowTextW(text->ControlWindow(), L"typed words");
  view.GetDocument()->GetItem(L"s")->SetSelectedIndex(1);
  ASSERT_TRUE(view.Exec(Command::kPrintPreview));
  ASSERT_TRUE(view.PreviewWindow());
  std::wstring drawn;
  {
    DrawnTextCapture capture;
    ASSERT_TRUE(capture.Active());
    RedrawWindow(view.PreviewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    drawn = capture.Text();
  }
  DestroyWindow(view.PreviewWindow());
  for (const wchar_t* shown : {L"typed words", L"German", L"Translate"}) {
    EXPECT_NE(drawn.find(shown), std::wstring::npos)
        << "not in the preview: " << std::string(shown, shown + wcslen(shown));
  }
}

// Paints the current page into a 32-bit bitmap and saves it beside the tests.
struct Snapshot {
  static constexpr int w = 500, h = 400;
  std::vector<uint32_t> pixels;
  Snapshot(Document* doc, const wchar_t* file) {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT rc = {0, 0, w, h};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    doc->Paint(dc, rc);
    GdiFlush();
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    pixels.assign(px, px + w * h);
    BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(BITMAPINFOHEADER) + w * h * 4), 0, 0,
                           sizeof(fh) + sizeof(BITMAPINFOHEADER)};
    // Beside the built program folder, never in it.
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    path = path.substr(0, path.rfind(L'\\')) + L"\\..\\test-output";
    CreateDirectoryW(path.c_str(), nullptr);
    path += std::wstring(L"\\") + file;
    if (FILE* f = _wfopen(path.c_str(), L"wb")) {
      fwrite(&fh, sizeof(fh), 1, f);
      fwrite(&bi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f);
      fwrite(bits, 4, w * h, f);
      fclose(f);
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  int Count(bool (*match)(uint32_t)) const {
    int n = 0;
    for (uint32_t p : pixels) n += match(p & 0xFFFFFF);
    return n;
  }
};

// Renders pages the way the window paints them and saves them beside the tests.
TEST_F(ViewTest, RendersPageToImage) {
  Veltra::COImage icon;
  ASSERT_TRUE(icon.CreateFilled(16, 16, 96.0, 0xFF00C000, 1));
  CPngImage png;
  std::wstring iconPath = folder + L"htmlview_icon.png";
  ASSERT_TRUE(png.WriteFile(iconPath.c_str(), &icon, 0));
  files.push_back(iconPath);
  LoadHtml(L"<html><head><style>.t{color:#1A4177; font-weight:bold} #box{background-color:#EBF1FA}</style></head>"
           L"<body><div id='box' style='padding:5; border:1px solid #A0BDDF'><span class='t'>Quorindo</span>"
           L" result page <font color=red>red</font> <u>under</u> x<sup>2</sup></div>"
           L"<table border='1' cellpadding='3' bordercolor='#4273B7' width='100%'>"
           L"<tr bgcolor='#FFFFDD'><td nowrap>Version</td><td width='100%'>1.0</td></tr></table>"
           L"<p dir='rtl'>right to left</p><p>\u4e2d\u6587\u6587\u672c</p>"
           L"<div nowrap style='width:100%; text-overflow:ellipsis; overflow: hidden' title='tip'>"
           L"<img border='0' src='htmlview_icon.png' width='16' height='16' align='absmiddle'>&nbsp;Dictionaries"
           L"</div></body></html>");
  Snapshot shot(view.GetDocument(), L"htmlview_rendered.bmp");
  EXPECT_EQ(shot.Count([](uint32_t c) { return c == 0x00C000; }), 256);  // the icon, whole
  EXPECT_GT(shot.Count([](uint32_t c) { return c == 0xEBF1FA; }), 1000);  // the styled block's background
  EXPECT_GT(shot.Count([](uint32_t c) { return ((c >> 16) & 255) < 100 && ((c >> 8) & 255) < 100 && (c & 255) < 140; }),
            50);  // text was drawn
}

// The group table of the dictionary options dialog: right floats beside a
// check box row, an unclosed division in the header, row selection colours.
TEST_F(ViewTest, RendersDialogTableToImage) {
  std::wstring rows;
  for (int i = 1; i <= 3; ++i) {
    wchar_t row[2048];
    swprintf(row, 2048,
             L"<tr><td width='100%%' style='border-bottom: 1px solid #CCCCCC' nowrap>"
             L"<div id='dict_%08x_ffffffff' style='color:#000030'>"
             L"<div nowrap align='center' style='width:60; float: right; padding:2;'>y</div>"
             L"<div nowrap align='center' style='width:60; float: right; padding:2;'>%lu</div>"
             L"<div nowrap style='padding:2; '><input id='chk_%08x_ffffffff' type='checkbox' value='y' %ls>"
             L" Dictionary number %d</div></div>"
             L"<table id='gls_%08x' border='0' cellpadding='0' cellspacing='0' style='margin:2 2 2 40; "
             L"border:1 solid #E3E3E3; background-color:#FCFCFC; display: %ls'><tr><td>glossary</td></tr></table>"
             L"</td></tr>",
             i, static_cast<unsigned long>(i), i, i == 2 ? L"checked" : L"", i, i, i == 1 ? L"" : L"none");
    rows += row;
  }
  LoadHtml(L"<body style='margin:0; font-family:Tahoma; font-size:8pt'><div id='main'>"
           L"<table id='tab_install' style='overflow: scroll' border='0' width='100%' cellpadding='0' cellspacing='0'>"
           L"<tr><td width='100%' style='border-bottom: 1px solid #4273B7' nowrap>"
           L"<div style='background-color:#4988CA; color:#FFFFFF;'>"
           L"<div nowrap align='center' style='float: right; width: 60; padding: 5px; border-left: 1px solid #CCCCCC;'>"
           L"<b>Online</b></div>"
           L"<div nowrap align='center' style='float: right; width: 60; padding: 5px; border-left: 1px solid #CCCCCC;'>"
           L"<b>ID</b></div><div nowrap style='padding: 5px;'><b>Query list</b></div><div></td></tr>" +
           rows + L" </table></div></body>");
  Document* doc = view.GetDocument();
  doc->GetItem(L"dict_00000002_ffffffff")->SetStyleColor(L"backgroundColor", 0xFFF1D1);
  Element* id2 = doc->GetItem(L"dict_00000002_ffffffff")->Child(1);
  Element* box2 = doc->GetItem(L"dict_00000002_ffffffff");
  EXPECT_EQ(id2->PageBox().left + id2->OffsetWidth(), box2->PageBox().left + box2->OffsetWidth() - 60);
  EXPECT_EQ(id2->PageBox().top, box2->PageBox().top);
  EXPECT_GT(doc->GetItem(L"gls_00000001")->OffsetHeight(), 0);
  EXPECT_EQ(doc->GetItem(L"gls_00000002")->OffsetHeight(), 0);
  Snapshot shot(doc, L"htmlview_dialog.bmp");
  EXPECT_GT(shot.Count([](uint32_t c) { return c == 0x4988CA; }), 5000);  // the header bar
  EXPECT_GT(shot.Count([](uint32_t c) { return c == 0xFFF1D1; }), 2000);  // the selected row
}

}  // namespace
