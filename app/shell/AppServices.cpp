#include "app/shell/AppServices.h"

#include <shellapi.h>

#include <cwchar>

#include "app/shell/AppInternal.h"
#include "app/shell/QuorindoApp.h"
#include "core/Clipboard.h"
#include "core/FileUtil.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "core/TripleDes.h"

namespace {

ShellRegistryRoots g_roots = {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE};

bool DefaultShellOpen(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) {
  HINSTANCE result = ShellExecuteW(owner, verb, file, parameters, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

ShellOpenHandler g_shellOpen = &DefaultShellOpen;

// Holds one open key; a key taken again closes the one held first.
class CRegKey {
 public:
  CRegKey() = default;
  ~CRegKey() { Close(); }
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;

  bool Open(HKEY root, const wchar_t* path, REGSAM access) {
    Close();
    return RegOpenKeyExW(root, path, 0, access, &m_key) == ERROR_SUCCESS;
  }
  bool Create(HKEY root, const wchar_t* path) {
    Close();
    return RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) == ERROR_SUCCESS;
  }
  bool SetText(const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  void Close() {
    if (m_key) RegCloseKey(m_key);
    m_key = nullptr;
  }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

const CConfigFile* UiTexts() {
  CQuorindoApp* app = CurrentApp();
  return app ? &app->m_uiText : nullptr;
}

// The configured root of the program's values ("Root" of "RegTab", a number;
// 0 when absent, which no key opens under) and its subkey.
HKEY AppValueRoot(std::wstring& subKey) {
  const CConfigFile* texts = UiTexts();
  if (!texts) return nullptr;
  subKey = texts->GetString(L"RegTab", L"SubKey");
  return reinterpret_cast<HKEY>(static_cast<uintptr_t>(texts->GetInt(L"RegTab", L"Root", 0)));
}

}  // namespace

ShellRegistryRoots SetShellRegistryRoots(const ShellRegistryRoots& roots) {
  ShellRegistryRoots previous = g_roots;
  g_roots = roots;
  return previous;
}

const ShellRegistryRoots& GetShellRegistryRoots() { return g_roots; }

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler) {
  ShellOpenHandler previous = g_shellOpen;
  g_shellOpen = handler ? handler : &DefaultShellOpen;
  return previous;
}

bool ShellOpen(const wchar_t* file, const wchar_t* parameters, HWND owner) {
  if (!file || !*file) return false;
  return g_shellOpen(owner, L"open", file, parameters);
}

bool OpenCommandLink(const wchar_t* command, HWND owner) {
  CQuorindoApp* app = CurrentApp();
  if (!app) return false;
  std::wstring url;
  app->BuildLinkUrl(url, command);
  return ShellOpen(url.c_str(), nullptr, owner);
}

// ---- Registry ------------------------------------------------------------------

void CQuorindoApp::SetAutoStart(bool enable) {
  const std::wstring runKey = m_uiText.GetString(L"RegTab", L"RunKey");
  CRegKey key;
  if (!key.Open(g_roots.runRoot, runKey.c_str(), KEY_ALL_ACCESS)) return;
  if (enable) {
    std::wstring data;
    FormatWString(data, L"\"%s\" -cphs", m_programPath.c_str());
    key.SetText(m_productName.c_str(), data);
  } else {
    RegDeleteValueW(key.Get(), m_productName.c_str());
  }
}

bool RegGetAppValue(CString& out, const wchar_t* name) {
  out.Empty();
  if (!name) return false;
  std::wstring subKey;
  HKEY root = AppValueRoot(subKey);
  CRegKey key;
  if (!root || !key.Open(root, subKey.c_str(), KEY_QUERY_VALUE)) return false;
  wchar_t buffer[513] = {};
  DWORD size = 1024;
  if (RegQueryValueExW(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return false;
  out = buffer;
  return true;
}

bool RegSetAppValue(const wchar_t* name, const wchar_t* text) {
  if (!name || !text) return false;
  std::wstring subKey;
  HKEY root = AppValueRoot(subKey);
  CRegKey key;
  if (!root || !key.Open(root, subKey.c_str(), KEY_ALL_ACCESS)) return false;
  return key.SetText(name, text);
}

void RegisterFileType(const wchar_t* extensionKey, const wchar_t* programKey, const wchar_t* programPath,
                      int iconIndex) {
  if (!extensionKey || !programKey || !programPath) return;
  const std::wstring program(programKey);
  std::wstring icon, command;
  FormatWString(icon, L"%s,%d", programPath, iconIndex);
  FormatWString(command, L"\"%s\" \"%%1\"", programPath);
  const std::pair<std::wstring, std::wstring> entries[] = {
      {extensionKey, program}, {program + L"\\DefaultIcon", icon}, {program + L"\\shell\\open\\command", command}};
  CRegKey key;
  for (const auto& entry : entries)
    if (key.Create(g_roots.classesRoot, entry.first.c_str())) key.SetText(nullptr, entry.second);
}

// ---- Links ---------------------------------------------------------------------

void CQuorindoApp::BuildLinkUrl(std::wstring& out, const wchar_t* command) {
  out = m_uiText.GetString(L"Link", L"Command");
  ReplaceAll(out, L"[$cmd]", command ? command : L"");
  ReplaceAll(out, L"[$pid]", IntToWString(m_productId, 10).c_str());
  ReplaceAll(out, L"[$bn]", IntToWString(m_buildNumber, 10).c_str());
  ReplaceAll(out, L"[$lang]", m_langCode.c_str());
}

std::wstring CQuorindoApp::HelpFilePath() const {
  std::wstring path;
  FormatWString(path, L"%smanual-%s.chm", m_helpFolder.c_str(), m_langCode.c_str());
  return IsFilePresent(path.c_str()) ? path : m_helpFolder + L"manual.chm";
}

uint32_t PercentEncodeString(std::string& out, const char* bytes) {
  out.clear();
  if (!bytes || !*bytes) return 0;
  auto kept = [](unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == '@' || c == '*';
  };
  size_t length = 0;
  for (const char* p = bytes; *p; ++p) length += kept(static_cast<unsigned char>(*p)) ? 1 : 3;
  out.reserve(length);
  static const char kHex[] = "0123456789ABCDEF";
  for (const char* p = bytes; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (kept(c)) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return static_cast<uint32_t>(out.size());
}

// ---- Clipboard -----------------------------------------------------------------

bool CopyTextToClipboard(const wchar_t* text, HWND owner) {
  std::string bytes;
  if (text) WStringToMultiByteStr(bytes, text);
  if (!OpenClipboardPatiently(owner)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes.size() + 1);
  char* data = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!data) {
    if (block) GlobalFree(block);
    CloseClipboard();
    return false;
  }
  memcpy(data, bytes.c_str(), bytes.size() + 1);
  GlobalUnlock(block);
  // The clipboard owns the block only when it took it.
  const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!taken) GlobalFree(block);
  CloseClipboard();
  return taken;
}

// ---- Connection ----------------------------------------------------------------

namespace {

uint32_t ReadProxyFrom(const CConfigFile& settings, std::wstring& server, uint32_t& port, std::wstring& user,
                       std::wstring& password) {
  server.clear();
  user.clear();
  password.clear();
  server = settings.GetString(L"Connection", L"ProxyServer");
  // A stored port outside 1-65535 (edited by hand, an older release) is no
  // port: cut to 16 bits it would send the proxy credentials to another one.
  port = settings.GetInt(L"Connection", L"ProxyPort", 0);
  if (port > 65535) port = 0;
  std::string plain;
  DecryptSettingText(plain, settings.GetString(L"Connection", L"ProxyAuth"));
  std::wstring text(reinterpret_cast<const wchar_t*>(plain.data()), plain.size() / sizeof(wchar_t));
  size_t lf = text.find(L'\n');
  if (lf == std::wstring::npos) {
    user = text;
  } else {
    user = text.substr(0, lf);
    password = text.substr(lf + 1);
  }
  return settings.GetInt(L"Connection", L"Connect", 0);
}

}  // namespace

uint32_t ReadProxySettings(std::wstring& server, uint32_t& port, std::wstring& user, std::wstring& password) {
  CQuorindoApp* app = CurrentApp();
  if (app) return ReadProxyFrom(app->m_settings, server, port, user, password);
  server.clear();
  user.clear();
  password.clear();
  port = 0;
  return 0;
}

bool GetConnectionSetting(std::wstring& server, uint32_t& port, std::wstring& user, std::wstring& password) {
  server.clear();
  user.clear();
  password.clear();
  port = 0;
  CQuorindoApp* app = CurrentApp();
  if (!app || app->m_settings.GetInt(L"Connection", L"Connect", 0) != 1) return false;
  ReadProxySettings(server, port, user, password);
  return true;
}

uint32_t CQuorindoApp::GetProxySettings(std::wstring& server, uint32_t& port, std::wstring& user,
                                        std::wstring& password) {
  return ReadProxyFrom(m_settings, server, port, user, password);
}
