#include "app/popup/tests/PopupTestKit.h"

#include <windows.h>

#include "core/XmlDocument.h"

void GroupFixture::Install(uint32_t id, const std::vector<std::pair<std::wstring, std::wstring>>& entries) {
  std::vector<std::wstring> lines;
  for (const auto& e : entries) lines.push_back(SimpleEntry(e.first, e.second));
  const std::wstring path = MakeDict(host_, L"d" + std::to_wstring(id), DictSource(id, L"", lines));
  ASSERT_FALSE(path.empty());
  wchar_t name[16];
  swprintf(name, 16, L"%.8x.tdc", id);
  ASSERT_TRUE(CopyFileW(path.c_str(), (host_.GetDictFolder() + name).c_str(), FALSE));
  installed_.push_back(id);
}

bool GroupFixture::LoadGroups(const std::wstring& groups) {
  std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config><install>";
  for (uint32_t id : installed_) {
    wchar_t line[64];
    swprintf(line, 64, L"<dict src=\"%.8x.tdc\"/>", id);
    text += line;
  }
  text += L"</install>" + groups + L"</config>";
  text.push_back(L'\0');
  CXmlDocument doc;
  if (!doc.Parse(text.data(), 0)) return false;
  const std::wstring hex = host_.uiTexts[L"/3"];
  uint8_t key[16] = {};
  for (size_t i = 0; i < 16; ++i) key[i] = static_cast<uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
  if (!doc.SaveFile((host_.GetDictFolder() + L"dictcfg.xmc").c_str(), 0, nullptr, key)) return false;
  return manager_.LoadConfig();
}
