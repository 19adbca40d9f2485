#include "app/acceptance/SoakKit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/acceptance/AcceptanceKit.h"
#include "app/popup/PopupMessages.h"
#include "app/search/SearchRes.h"
#include "core/ConfigFile.h"
#include "core/FileUtil.h"
#include "core/TextCodec.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "core/TextStoreKey.h"
#include "grabhook/Scrivet.h"
#include "tools/DictWriter.h"

namespace acceptance {

namespace {

constexpr int kPopupTranslateId = 172;  // the popup's Translate button

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool HasHtmlView(HWND window) { return !Controls(window, L"Internet Explorer_Server", -1, false).empty(); }

}  // namespace

// ---- A copy's settings ----------------------------------------------------

namespace {

// The copy's program texts (system.inc, enciphered with the program's key).
bool LoadSystemTexts(const std::wstring& folder, CConfigFile& texts, uint8_t key[16]) {
  return BuildTextStoreKey(key) &&
         texts.Load((folder + L"system.inc").c_str(), key, CConfigFile::kReplaceStore, 0);
}

}  // namespace

bool PointEngineAt(const std::wstring& folder, const std::string& url) {
  CConfigFile texts;
  uint8_t textsKey[16];
  if (!LoadSystemTexts(folder, texts, textsKey)) return false;
  // The engines (data\tt\tt.xmc) are enciphered with the texts' key 3.
  const std::wstring hex = texts.GetString(L"", L"3", L"");
  uint8_t key[16] = {};
  for (size_t i = 0; i < 16 && 2 * i + 1 < hex.size(); ++i)
    key[i] = static_cast<uint8_t>(std::wcstoul(hex.substr(2 * i, 2).c_str(), nullptr, 16));
  const std::wstring path = folder + L"data\\tt\\tt.xmc";
  CXmlDocument engines;
  if (!engines.LoadFile(path.c_str(), 31, key) || !engines.GetRoot()) return false;
  CXmlNode* address = engines.GetRoot()->FindPath(L"/engine/request/url/#text");
  if (!address || address->Kind() != kXmlText) return false;
  static_cast<CXmlText*>(address)->SetValue(Widen(url).c_str());
  return engines.SaveFile(path.c_str(), 0, nullptr, key);
}

bool PointUpdateAt(const std::wstring& folder, const std::string& url) {
  CConfigFile texts;
  uint8_t key[16];
  if (!LoadSystemTexts(folder, texts, key)) return false;
  texts.SetValue(L"Link", L"Update", Widen(url));
  if (!texts.Save((folder + L"system.inc").c_str(), key)) return false;
  const std::wstring record = L"\xFEFF[Version]\r\nID=1\r\nTime=" + UpdateTime(0) + L"\r\nUpdateTime=\r\n";
  return WriteFileReplacing((folder + L"update\\update.ini").c_str(), record.data(),
                            static_cast<uint32_t>(record.size() * sizeof(wchar_t)));
}

bool SetUserState(const std::wstring& folder, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
  const std::wstring path = folder + L"user.ini";
  CConfigFile state;
  if (IsFilePresent(path.c_str()) && !state.Load(path.c_str(), nullptr, CConfigFile::kReplaceStore, 0)) return false;
  state.SetValue(section, key, value);
  return state.Save(path.c_str(), nullptr);
}

bool WriteDictionaryFile(const std::wstring& path, const char* source, std::string& why) {
  WriterSource parsed;
  std::wstring text, error;
  Utf8ToWString(text, source, -1);
  std::string bytes;
  if (!ParseWriterSource(parsed, text, path.substr(0, path.find_last_of(L'\\') + 1), error) ||
      !BuildDictionary(bytes, parsed, L"", error)) {
    why = Utf8(error);
    return false;
  }
  if (!WriteFileReplacing(path.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()))) {
    why = "cannot write " + Utf8(path);
    return false;
  }
  return true;
}

// ---- Loopback answers -----------------------------------------------------

std::string HttpOk(const std::string& type, const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::wstring UpdateTime(int n) {
  wchar_t text[32];
  std::swprintf(text, 32, L"2020-01-%02d %02d:%02d:00", 2 + n / 1440, n / 60 % 24, n % 60);
  return text;
}

std::string UpdateDescription(int n) {
  std::string time;
  for (wchar_t c : UpdateTime(n)) time.push_back(static_cast<char>(c));
  return "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<update id=\"1\" time=\"" + time +
         "\"><Info><item lang=\"en\"><tip>Notice " + std::to_string(n) +
         "</tip><content>Notice " + std::to_string(n) + "</content></item></Info></update>";
}

// ---- The popup --------------------------------------------------------------

Popup::Popup(DWORD process) {
  // The top-most tool window that holds an HTML view and the Translate button.
  for (HWND window : TopWindows(process, nullptr, nullptr, false)) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((style & WS_EX_TOOLWINDOW) && (style & WS_EX_TOPMOST) && HasHtmlView(window) &&
        Controls(window, nullptr, kPopupTranslateId, false).size() == 1)
      window_ = window;
  }
}

HWND Popup::TranslateButton() const { return Control(window_, nullptr, kPopupTranslateId); }

bool Popup::Show(const std::wstring& word) {
  GrabTextResult record = {};
  const std::wstring line = L"the " + word + L" here";
  record.x = 300;
  record.y = 400;
  record.length = static_cast<int32_t>(line.size());
  record.index = 5;
  std::memcpy(record.text, line.c_str(), line.size() * sizeof(wchar_t));
  COPYDATASTRUCT data = {WM_GRAB_TEXT, sizeof(record), &record};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kDeadlineMs,
                           &answer) ||
      !answer)
    return false;
  HWND popup = window_;
  return WaitFor([popup] { return IsWindowVisible(popup) != FALSE; });
}

bool Popup::Hide() {
  const int right = GetSystemMetrics(SM_CXSCREEN) - 5;
  PostMessageW(window_, WM_GRAB_MOUSEMOVE, 0, MAKELPARAM(right, 5));
  HWND popup = window_;
  return WaitFor([popup] { return !IsWindowVisible(popup); });
}

// ---- Dialogs of the main menu -----------------------------------------------

HWND OpenFromMainMenu(MainWindow& window, MainMenuItem item) {
  DWORD process = 0;
  GetWindowThreadProcessId(window.Frame(), &process);
  if (!TopWindows(process, L"#32770", nullptr, true).empty()) return nullptr;
  if (!window.ChooseFromMainMenu(item)) return nullptr;
  HWND dialog = nullptr;
  WaitFor([&] {
    std::vector<HWND> dialogs = TopWindows(process, L"#32770", nullptr, true);
    dialog = dialogs.empty() ? nullptr : dialogs.front();
    return dialog != nullptr;
  });
  return dialog;
}

bool CloseDialog(DWORD process, HWND dialog) {
  SetForegroundWindow(dialog);
  PressKey(VK_ESCAPE);
  return WaitFor([process] { return TopWindows(process, L"#32770", nullptr, true).empty(); });
}

}  // namespace acceptance
