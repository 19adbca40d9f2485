#include <cstring>
#include <algorithm>
#include <cwchar>

#include "app/shell/AppInternal.h"
#include "app/shell/QuorindoApp.h"
#include "core/TextStoreKey.h"
#include "core/StrUtil.h"
#include "core/UiSeam.h"

namespace {

constexpr DWORD kPathBuffer = 2048;

// The key's bytes leave memory as soon as the store is read.
struct KeyBytes {
  uint8_t bytes[16] = {};
  ~KeyBytes() { std::memset(bytes, 0, sizeof(bytes)); }
};

}  // namespace

bool CQuorindoApp::InitSystem() {
  if (!m_programPathOverride.empty()) {
    m_programPath = m_programPathOverride;
  } else {
    wchar_t buffer[kPathBuffer] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, kPathBuffer);
    // A full buffer means a cut path (and on older systems no terminator).
    if (length == 0 || length >= kPathBuffer) return false;
    m_programPath.assign(buffer, length);
  }

  size_t slash = m_programPath.rfind(L'\\');
  if (slash != std::wstring::npos) {
    m_programFolder = m_programPath.substr(0, slash + 1);
  } else if (!m_programPath.empty() && m_programPath.back() == L':') {
    m_programFolder = m_programPath + L"\\";
  } else {
    m_programFolder.clear();
  }
  m_dataFolder = m_programFolder + L"data\\";
  m_dictFolder = m_programFolder + L"dict\\";
  m_imageFolder = m_programFolder + L"image\\";
  m_iconFolder = m_programFolder + L"icon\\";
  m_helpFolder = m_programFolder + L"help\\";
  m_tempFolder = m_programFolder + L"temp\\";
  m_updateFolder = m_programFolder + L"update\\";
  m_partnerFolder = m_programFolder + L"partner\\";

  KeyBytes key;
  if (!BuildTextStoreKey(key.bytes)) return false;
  if (!m_uiText.Load((m_programFolder + L"system.inc").c_str(), key.bytes, CConfigFile::kReplaceStore, 0))
    return false;

  m_oemFolder = m_uiText.GetString(L"Software", L"OEM");
  m_productId = static_cast<uint16_t>(m_uiText.GetInt(L"Software", L"ID", 0));
  m_buildNumber = static_cast<uint16_t>(m_uiText.GetInt(L"Software", L"Build", 0));
  m_productName = m_uiText.GetString(L"Software", L"Name");
  m_version = m_uiText.GetString(L"Software", L"Version");
  m_edition = m_uiText.GetString(L"Software", L"Edition");
  if (!m_oemFolder.empty()) {
    const std::wstring base = m_programFolder + m_oemFolder;
    m_dataFolder = base + L"\\data\\";
    m_imageFolder = base + L"\\image\\";
    m_iconFolder = base + L"\\icon\\";
    m_helpFolder = base + L"\\help\\";
  }
  return m_productId != 0 && m_buildNumber != 0 && !m_productName.empty() && !m_version.empty() &&
         !m_edition.empty();
}

int CQuorindoApp::GetUiFontTenths() const {
  constexpr double kSmallest = 6, kLargest = 24;
  const double points = std::wcstod(m_settings.GetString(L"Appearance", L"UIFontSize").c_str(), nullptr);
  if (points == 0 || points != points) return 0;  // absent, not a number
  return static_cast<int>(std::min(std::max(points, kSmallest), kLargest) * 10);
}

bool CQuorindoApp::SaveUserState() {
  const std::wstring path = m_programFolder + L"user.ini";
  if (m_userState.Save(path.c_str(), nullptr)) return true;
  if (m_userStateUnsaved) return false;
  m_userStateUnsaved = true;
  std::wstring text;
  FormatWString(text,
                m_uiText.GetString(L"Message", L"SaveStateFail", L"Quorindo cannot save its state to %s.").c_str(),
                path.c_str());
  // At the end the main window is already hidden: the box then stands alone.
  HWND owner = CWnd::HwndOf(m_pMainWnd);
  ShowMessageBox(owner && ::IsWindowVisible(owner) ? owner : nullptr, text.c_str(), AfxGetAppName(), MB_ICONWARNING);
  return false;
}

bool CQuorindoApp::LoadConfig() {
  if (!m_settings.Load((m_programFolder + L"config.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0))
    return false;
  if (!m_userState.Load((m_programFolder + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0))
    return false;

  m_langCode = m_settings.GetString(L"General", L"LangCode");
  if (m_langCode.empty()) {
    CString stored;
    RegGetAppValue(stored, L"LangCode");
    m_langCode = stored.IsEmpty() ? std::wstring(L"en-US") : std::wstring(static_cast<const wchar_t*>(stored));
    m_settings.SetValue(L"General", L"LangCode", m_langCode);
  }

  const std::wstring langFile = m_dataFolder + L"Lang-" + m_langCode + L".ini";
  if (!m_uiText.Load(langFile.c_str(), nullptr, CConfigFile::kMergeExistingWins, 0)) return false;
  if (!m_langList.Load((m_dataFolder + L"lc-" + m_langCode + L".ini").c_str(), nullptr,
                       CConfigFile::kReplaceStore, 0) &&
      !m_langList.Load((m_dataFolder + L"lc-en-US.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0))
    return false;
  if (!m_uiText.GetString(L"Software", L"Partner").empty())
    m_uiText.Load((m_partnerFolder + L"partner.ini").c_str(), nullptr, CConfigFile::kMergeExistingWins, 0);

  const std::wstring face = m_settings.GetString(L"Appearance", L"UITextFont");
  m_uiBoldFont.DeleteObject();
  m_uiFont.DeleteObject();
  m_uiFont.CreatePointFont(GetUiFontTenths(), face.c_str(), nullptr);
  LOGFONTW bold = {};
  if (m_uiFont.GetSafeHandle() && m_uiFont.GetLogFont(&bold)) {
    bold.lfWeight = FW_BOLD;
    m_uiBoldFont.CreateFontIndirect(&bold);
  }
  return true;
}

// ---- Language codes ------------------------------------------------------------

std::wstring GetLanguageName(const wchar_t* code) {
  CQuorindoApp* app = CurrentApp();
  if (!app || !code) return std::wstring();
  return app->m_langList.GetString(L"LangCode", code);
}

uint32_t GetLanguageLocale(const wchar_t* code) {
  CQuorindoApp* app = CurrentApp();
  if (!app || !code) return LOCALE_USER_DEFAULT;
  return app->m_langList.GetInt(L"LangCode", code, LOCALE_USER_DEFAULT, 0);
}

int MatchLanguageCode(const wchar_t* a, const wchar_t* b) {
  if (!a || !b) return 0;
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  while (*a && *b && lower(*a) == lower(*b)) {
    ++a;
    ++b;
  }
  if (*a) return 0;
  if (!*b) return 1;
  return *b == L'-' || *b == L'.' || *b == L'_' ? 2 : 0;
}
