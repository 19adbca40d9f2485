#include "app/search/tests/SearchTestKit.h"

#include "app/search/SearchApp.h"
#include "core/DesCipher.h"
#include "core/StrUtil.h"

#include <cstdio>

namespace search_test {

AppState& App() {
  static AppState state;
  return state;
}

}  // namespace search_test

using search_test::App;

// ---- The application as SearchApp.h describes it ----------------------------

const CConfigFile& SearchTexts() { return *App().texts; }
const CConfigFile& SearchSettings() { return *App().settings; }
const CConfigFile& SearchUserState() { return *App().user; }
const std::wstring& SearchImageFolder() { return App().imageFolder; }
const std::wstring& SearchIconFolder() { return App().iconFolder; }
const std::wstring& SearchUiLanguage() { return App().language; }
CFont* SearchUiFont() { return &App().uiFont; }
CFont* SearchBoldUiFont() { return &App().boldFont; }
CDictManager& SearchDictManager() {
  static CDictManager empty;
  return App().manager ? *App().manager : empty;
}
void SearchRunDictOptions(int groupKind, uint32_t dictId) { App().dictOptions.push_back({groupKind, dictId}); }

namespace search_test {

void PumpPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

BOOL SpyMain::CreateSpy(int width, int height) {
  if (!CreateEx(0, nullptr, L"main", WS_POPUP | WS_CLIPCHILDREN, 30, 30, width, height, nullptr, nullptr))
    return FALSE;
  ShowWindow(SW_SHOW);
  return TRUE;
}

std::vector<Sent> SpyMain::Lookups(UINT message) const {
  std::vector<Sent> out;
  for (const Sent& s : sent)
    if (s.message == message) out.push_back(s);
  return out;
}

LRESULT SpyMain::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 2028 || message == 2029 || message == 3024) {
    if (message == 3024) {
      sent.push_back({message, L"", wParam, lParam});
      return 1;
    }
    const wchar_t* word = reinterpret_cast<const wchar_t*>(wParam);
    sent.push_back({message, word ? word : L"<null>", wParam, lParam});
    return 1;
  }
  if (message == WM_COMMAND) {
    sent.push_back({message, L"", wParam, lParam});
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL SpyParent::CreateSpy(CWnd* parent, int width, int height) {
  const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
  return CreateEx(0, nullptr, L"spy", style, 0, 0, width, height, HwndOf(parent), nullptr);
}

int SpyParent::Count(UINT code) const {
  int n = 0;
  for (const Command& c : commands) n += c.code == code;
  return n;
}

BOOL SpyParent::OnCommand(WPARAM wParam, LPARAM lParam) {
  commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
  return TRUE;
}

std::wstring KeyName(int i) {
  std::wstring n = IntToWString(uint32_t(i), 10);
  return L"w" + std::wstring(3 - std::min<size_t>(3, n.size()), L'0') + n;
}

std::unique_ptr<CDictFile> MakeWordDict(CTestHost& host, uint32_t id, int keys) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < keys; ++i) entries.push_back(SimpleEntry(KeyName(i), L"text of " + KeyName(i)));
  const std::wstring path = MakeDict(host, L"words" + IntToWString(id, 16), DictSource(id, L"", entries));
  if (path.empty()) return nullptr;
  auto dict = std::make_unique<CDictFile>();
  if (!dict->Open(path.c_str())) return nullptr;
  return dict;
}

std::unique_ptr<CDictManager> MakeManager(CTestHost& host) {
  host.uiTexts[L"/10"] = L"0x100";
  std::wstring config;
  for (uint32_t id : {0x100u, 0x200u, 0x300u}) {
    const std::wstring path = MakeDict(host, L"d" + IntToWString(id, 16),
                                       DictSource(id, L"", {SimpleEntry(L"apple", L"a"), SimpleEntry(L"pear", L"p")}));
    if (path.empty()) return nullptr;
    wchar_t name[16];
    swprintf(name, 16, L"%.8x.tdc", id);
    if (!::CopyFileW(path.c_str(), (host.GetDictFolder() + name).c_str(), FALSE)) return nullptr;
    config += std::wstring(L"<dict src=\"") + name + L"\"/>";
  }
  const std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config><install>" + config +
                            L"</install><query_group></query_group><index_group><dict id=\"200\"/>"
                            L"<dict id=\"300\"/></index_group><grab_group/></config>";
  // The key of the text store's entry 3 that the test host gives.
  const uint8_t key[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                           0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(text.data());
  const int size = cipher.Encrypt(nullptr, plain, int(text.size() * 2));
  std::string envelope(size_t(size), '\0');
  cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, int(text.size() * 2));
  FILE* f = _wfopen((host.GetDictFolder() + L"dictcfg.xmc").c_str(), L"wb");
  if (!f) return nullptr;
  const bool written = fwrite(envelope.data(), 1, envelope.size(), f) == envelope.size();
  fclose(f);
  auto manager = std::make_unique<CDictManager>();
  if (!written || !manager->LoadConfig() || manager->GetGroupCount(kGroupIndex) != 3) return nullptr;
  return manager;
}

bool WritePng(const std::wstring& folder, const wchar_t* name, int width, int height, uint32_t pixel) {
  Veltra::COImage image;
  if (!image.CreateFilled(width, height, 72.0, pixel, 0)) return false;
  CPngImage png;
  return png.WriteFile((folder + name).c_str(), &image, 0) != 0;
}

void WindowTest::SetUp() {
  AppState& app = App();
  app.texts = std::make_unique<CConfigFile>();
  app.settings = std::make_unique<CConfigFile>();
  app.user = std::make_unique<CConfigFile>();
  app.imageFolder = host.root + L"image\\";
  app.iconFolder = host.root + L"icon\\";
  app.manager = nullptr;
  app.dictOptions.clear();
  app.uiFont.DeleteObject();
  app.boldFont.DeleteObject();
  ASSERT_EQ(1, Kestrel_Initialize(app.imageFolder.c_str()));
  ASSERT_TRUE(main.CreateSpy());
  AfxGetApp()->m_pMainWnd = &main;
}

void WindowTest::TearDown() {
  AfxGetApp()->m_pMainWnd = nullptr;
  if (main.m_hWnd) main.DestroyWindow();
  PumpPending();
  Kestrel_UnInitialize();
}

Canvas::Canvas(int width, int height) : m_w(width), m_h(height) {
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  m_dc = ::CreateCompatibleDC(nullptr);
  m_bitmap = ::CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
  m_old = ::SelectObject(m_dc, m_bitmap);
  Fill(RGB(255, 0, 255));
}

Canvas::~Canvas() {
  ::SelectObject(m_dc, m_old);
  ::DeleteObject(m_bitmap);
  ::DeleteDC(m_dc);
}

void Canvas::Fill(COLORREF colour) {
  ::GdiFlush();
  const uint32_t p = (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
  for (int i = 0; i < m_w * m_h; ++i) m_bits[i] = p;
}

COLORREF Canvas::At(int x, int y) const {
  ::GdiFlush();
  const uint32_t p = m_bits[y * m_w + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Canvas::Count(const RECT& rc, COLORREF colour) const {
  int n = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x) n += At(x, y) == colour;
  return n;
}

}  // namespace search_test
