#include "dialogs/options/OptionsCommon.h"

#include "core/ConfigFile.h"
#include "core/UiSeam.h"
#include "dialogs/options/OptionsDlg.h"

std::wstring OptionText(const wchar_t* section, const wchar_t* key) {
  return GetOptionsHost()->GetUiTexts().GetString(section, key);
}

namespace options_detail {

std::vector<std::wstring> SectionKeys(const CConfigFile& store, const wchar_t* section) {
  std::vector<std::wstring> entries, keys;
  store.GetEntries(entries);
  std::wstring prefix = std::wstring(section) + L"/";
  for (const std::wstring& entry : entries)
    if (entry.compare(0, prefix.size(), prefix) == 0) keys.push_back(entry.substr(prefix.size()));
  return keys;
}

std::wstring GetItemText(HWND window, int id) {
  HWND item = ::GetDlgItem(window, id);
  int length = item ? ::GetWindowTextLengthW(item) : 0;
  if (length <= 0) return std::wstring();
  std::wstring text(length + 1, L'\0');
  text.resize(::GetWindowTextW(item, &text[0], length + 1));
  return text;
}

int ShowBox(HWND owner, const std::wstring& text, UINT type) {
  return ShowMessageBox(owner, text.c_str(), AfxGetAppName(), type);
}

std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  EscapeString(out, text.c_str());
  return out;
}

const wchar_t* FlagText(bool on) { return on ? L"y" : L"n"; }

bool SaveSettingsFile() {
  IOptionsHost* host = GetOptionsHost();
  return host->GetSettings().Save((host->GetProgramFolder() + L"config.ini").c_str(), nullptr);
}

}  // namespace options_detail

CConfigFile& COptionPage::Settings() { return GetOptionsHost()->GetSettings(); }

void COptionPage::SetTexts(const wchar_t* section, const std::pair<const wchar_t*, int>* texts, size_t count) {
  for (size_t i = 0; i < count; ++i) SetDlgItemText(texts[i].second, OptionText(section, texts[i].first).c_str());
}

void COptionPage::SaveFlag(const wchar_t* section, const wchar_t* key, int control) {
  Settings().SetValue(section, key, options_detail::FlagText(IsDlgButtonChecked(control) == BST_CHECKED));
}
