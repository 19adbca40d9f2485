#include "app/popup/PageMenus.h"

#include <algorithm>

#include "core/ConfigFile.h"
#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "dict/DictManager.h"

namespace {

DictGroupItem* FindMember(CDictManager& manager, int32_t kind, uint32_t id) {
  const int32_t i = manager.GroupIndexOf(kind, id);
  return i < 0 ? nullptr : manager.GetGroupItem(kind, static_cast<uint32_t>(i));
}

}  // namespace

bool SetSectionState(CDictManager& manager, int32_t kind, uint32_t id, bool explicitState, bool show,
                     bool& minimized) {
  DictGroupItem* member = FindMember(manager, kind, id);
  if (!member) return false;
  minimized = explicitState ? !show : !member->minimize;
  member->minimize = minimized;
  return true;
}

std::wstring SectionMeaningName(uint32_t id) { return L"dict_meaning_" + IntToWString(id, 10); }
std::wstring SectionShowName(uint32_t id) { return L"dict_show_" + IntToWString(id, 10); }

std::vector<MenuItemText> DictMenuItems(CDictManager& manager, const CConfigFile& texts, int32_t kind, uint32_t id) {
  std::vector<MenuItemText> items;
  const DictGroupItem* member = FindMember(manager, kind, id);
  if (!member) return items;
  const std::wstring suffix = kind == kGroupIndex ? texts.GetString(L"DictMenu", L"IndexGroup") : std::wstring();
  auto text = [&](const wchar_t* key) { return texts.GetString(L"DictMenu", key) + suffix; };
  const bool base = kind == kGroupIndex && id == manager.GetBaseDictId();
  items.push_back({MF_STRING, kCmdDictAbout, texts.GetString(L"DictMenu", L"About")});
  items.push_back({MF_SEPARATOR, 0, std::wstring()});
  items.push_back({static_cast<UINT>(MF_STRING | (base ? MF_GRAYED : 0)), kCmdDictEnable,
                   text(member->enable ? L"Disable" : L"Enable")});
  items.push_back({MF_STRING, kCmdDictMoveTop, text(L"MoveTop")});
  items.push_back({MF_SEPARATOR, 0, std::wstring()});
  items.push_back({MF_STRING, kCmdDictArrange, text(L"ArrangeResults")});
  return items;
}

bool ToggleMemberEnable(CDictManager& manager, int32_t kind, uint32_t id, bool& enabled) {
  DictGroupItem* member = FindMember(manager, kind, id);
  if (!member) return false;
  member->enable = !member->enable;
  enabled = member->enable;
  manager.SaveConfig();
  return true;
}

bool MoveMemberToTop(CDictManager& manager, int32_t kind, uint32_t id) {
  const int32_t i = manager.GroupIndexOf(kind, id);
  // The manager hands out its member list for editing in place.
  auto* members = const_cast<std::vector<DictGroupItem*>*>(manager.GetGroupData(kind));
  if (i < 0 || !members || static_cast<size_t>(i) >= members->size()) return false;
  std::rotate(members->begin(), members->begin() + i, members->begin() + i + 1);
  manager.SaveConfig();
  return true;
}

HMENU BuildResultContextMenu(const CConfigFile& texts, bool textSelected, const std::vector<std::wstring>& voices,
                             int checkedVoice) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  const UINT selectionOnly = textSelected ? MF_STRING : MF_STRING | MF_GRAYED;
  // A text of the form caption, comma, tooltip (the view bar's "Speak") shows its caption.
  auto text = [&](const wchar_t* key) { return texts.GetString(L"DlgView", key, L"", 0); };
  AppendMenuW(menu, MF_STRING, kCmdCtxSearch, text(L"Search").c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, selectionOnly, kCmdCtxSpeak, text(L"Speak").c_str());
  if (!voices.empty()) {
    HMENU sub = CreatePopupMenu();
    for (size_t i = 0; sub && i < voices.size(); ++i) {
      const UINT checked = static_cast<int>(i) == checkedVoice ? MF_CHECKED : 0;
      AppendMenuW(sub, MF_STRING | checked, kCmdVoiceFirst + i, voices[i].c_str());
    }
    if (sub) AppendMenuW(menu, selectionOnly | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text(L"SelectVoice").c_str());
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, selectionOnly, kCmdCtxCopy, text(L"Copy").c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kCmdCtxFind, text(L"Find").c_str());
  AppendMenuW(menu, MF_STRING, kCmdCtxSave, text(L"Save").c_str());
  AppendMenuW(menu, MF_STRING, kCmdCtxPrint, text(L"Print").c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kCmdCtxSelectAll, text(L"SelectAll").c_str());
  return menu;
}

HMENU BuildVoiceMenu(const CConfigFile& texts, const std::vector<std::wstring>& voices, int checkedVoice) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (size_t i = 0; i < voices.size(); ++i) {
    const UINT checked = static_cast<int>(i) == checkedVoice ? MF_CHECKED : 0;
    AppendMenuW(menu, MF_STRING | checked, kCmdVoiceFirst + i, voices[i].c_str());
  }
  // Without a voice (none installed) the menu starts with the options.
  if (!voices.empty()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kCmdVoiceOptions, texts.GetString(L"DlgView", L"SpeechOption", L"", -1).c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kCmdVoiceDownload, texts.GetString(L"DlgOptSpeech", L"DownloadTTS", L"", -1).c_str());
  return menu;
}

UINT ContextMenuCommand(UINT item) {
  switch (item) {
    case kCmdCtxSelectAll: return 163;
    case kCmdCtxPrint: return 1021;
    case kCmdCtxSave: return 1020;
    case kCmdCtxFind: return 1023;
    case kCmdCtxCopy: return 1018;
    case kCmdCtxSpeak: return 1019;
    default: return 0;
  }
}

void CleanLookupText(std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'\r') continue;
    out += c == L'\n' ? L' ' : c;
  }
  TrimWString(out, L" \t\r\n", 0);
  if (out.size() > 1024) out.resize(1024);
  text.swap(out);
}

std::wstring ComposeSavedPage(const std::wstring& shell, const std::wstring& bodyHtml) {
  std::wstring page = shell;
  if (!page.empty() && page[0] == 0xFEFF) page.erase(0, 1);
  const size_t body = page.find(L"<body");
  if (body != std::wstring::npos) page.erase(body);
  // The file is UTF-16: the mark lets browsers and editors read it as such.
  page.insert(0, 1, wchar_t(0xFEFF));
  page += bodyHtml;
  page += L"\n</html>";
  return page;
}

bool WriteSavedPage(const wchar_t* path, const wchar_t* shellPath, const std::wstring& bodyHtml) {
  std::string bytes;
  if (!path || !shellPath || ReadFileToString(bytes, shellPath) == 0) return false;
  // The shipped shell is UTF-8; a shell with a byte-order mark is read by it.
  std::wstring shell;
  uint32_t markLength = 0;
  const uint32_t size = static_cast<uint32_t>(bytes.size());
  const int decoded = DetectByteOrderMark(&markLength, bytes.data(), size) > 0
                          ? DecodeTextBuffer(shell, bytes.data(), size, 0)
                          : Utf8ToWString(shell, bytes.data(), static_cast<int>(size));
  if (decoded < 0) return false;
  const std::wstring page = ComposeSavedPage(shell, bodyHtml);
  ScopedHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  const DWORD pageSize = static_cast<DWORD>(page.size() * sizeof(wchar_t));
  DWORD written = 0;
  const bool ok = WriteFile(file.Get(), page.data(), pageSize, &written, nullptr) && written == pageSize;
  return file.Close() && ok;
}
