#include "dict/DictInfo.h"

#include <cwchar>
#include <memory>

#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "dict/DictHost.h"

namespace {

constexpr int32_t kElement = 5;

std::wstring PathText(CXmlNode* node, const wchar_t* path) {
  std::wstring text;
  node->GetPathValue(text, path);
  return text;
}

std::wstring Attribute(CXmlNode* node, const wchar_t* name) {
  std::wstring text;
  if (node) node->GetAttribute(text, name);
  return text;
}

uint32_t NumberAttribute(CXmlNode* node, const wchar_t* name, uint32_t absent = 0) {
  uint32_t v = 0;
  if (!node || !node->GetIntAttribute(&v, name, 0)) return absent;
  return v;
}

// Counts the child elements of that name, so that no array is sized by a
// count the document does not back with elements.
uint32_t CountChildElements(CXmlNode* node, const wchar_t* name, uint32_t atMost) {
  uint32_t n = 0;
  while (n < atMost && node->FindChildElement(name, kElement, static_cast<int>(n))) ++n;
  return n;
}

bool DecodeHexIcon(std::string& bytes, const std::wstring& hex) {
  bytes.clear();
  if (hex.size() % 2) return false;
  bytes.resize(hex.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    uint8_t b;
    if (!HexPairToByte(&b, hex[2 * i], hex[2 * i + 1])) {
      bytes.clear();
      return false;
    }
    bytes[i] = static_cast<char>(b);
  }
  return true;
}

}  // namespace

void CDictInfo::Clear() {
  delete record_;
  record_ = nullptr;
}

const GlossaryTable* CDictInfo::GetTable(uint32_t i) const {
  if (!record_ || i >= record_->glossaryCount) return nullptr;
  return &record_->glossaries[i];
}

bool CDictInfo::Parse(CXmlNode* root) {
  Clear();
  if (!root) return false;
  std::unique_ptr<DictInfoRecord> r(new (std::nothrow) DictInfoRecord);
  if (!r) return false;

  r->name = PathText(root, L"/name/#text");
  r->version = PathText(root, L"/version/#text");
  r->format = PathText(root, L"/format/#text");
  std::wstring iconHex = PathText(root, L"/icon/#text");
  r->date = PathText(root, L"/date/#text");
  r->update = PathText(root, L"/update/#text");
  r->type = PathText(root, L"/type/#text");
  root->GetUIntText(&r->byteOrder, L"/byte_order/#text", 0);
  root->GetUIntText(&r->flags, L"/flag/#text", 16);

  CXmlNode* charset = root->FindChildElement(L"charset", kElement, 0);
  CXmlNode* info = root->FindChildElement(L"info", kElement, 0);
  CXmlNode* layout = root->FindChildElement(L"layout", kElement, 0);
  CXmlNode* res = root->FindChildElement(L"res", kElement, 0);
  CXmlNode* gls = root->FindChildElement(L"gls", kElement, 0);
  uint32_t id = 0;
  root->GetUIntText(&id, L"/id/#text", 0);
  if (id == 0 || !charset || !info || !layout || !res || !gls) return false;
  r->idText = IntToWString(id, 10);

  if (iconHex.empty()) {
    std::wstring path = DictHost().GetIconFolder() + L"deficon.png";
    ReadFileToString(r->iconBytes, path.c_str());
  } else {
    DecodeHexIcon(r->iconBytes, iconHex);
  }

  r->keyCharset = Attribute(charset, L"key");
  r->dataCharset = Attribute(charset, L"data");
  r->descriptionCount = NumberAttribute(info, L"count");
  r->layoutStyle = Attribute(layout, L"style");
  r->resourceCount = NumberAttribute(res, L"index_count");
  r->resourceMaxNameSize = NumberAttribute(res, L"maxsize_key");
  r->resourceMaxDataSize = NumberAttribute(res, L"maxsize_data");
  r->glossaryCount = NumberAttribute(gls, L"count");
  r->indexLanguage = Attribute(gls, L"index_lang");
  // Without an "index_sort" the keys compare without a locale.
  r->indexSort = NumberAttribute(gls, L"index_sort", 0xFFFFFFFF);
  r->keyCount = NumberAttribute(gls, L"index_count");
  r->maxKeySize = NumberAttribute(gls, L"maxsize_key");
  r->maxDataSize = NumberAttribute(gls, L"maxsize_data");

  if (r->idText.empty() || r->name.empty() || r->version.empty() || r->iconBytes.empty() ||
      r->descriptionCount < 1 || r->glossaryCount < 1 || r->keyCharset.empty() ||
      r->dataCharset.empty() || r->keyCount < 1 || r->maxKeySize < 1 || r->maxDataSize < 1)
    return false;

  if (CountChildElements(info, L"table", r->descriptionCount) < r->descriptionCount) return false;
  r->descriptions.resize(r->descriptionCount);
  for (uint32_t i = 0; i < r->descriptionCount; ++i) {
    CXmlNode* t = info->FindChildElement(L"table", kElement, static_cast<int>(i));
    InfoDescription& d = r->descriptions[i];
    d.language = Attribute(t, L"lang");
    d.title = PathText(t, L"/title/#text");
    d.edition = PathText(t, L"/edition/#text");
    d.description = PathText(t, L"/description/#text");
    d.author = PathText(t, L"/publication/author/#text");
    d.email = PathText(t, L"/publication/email/#text");
    d.website = PathText(t, L"/publication/website/#text");
    d.copyright = PathText(t, L"/publication/copyright/#text");
  }

  if (CountChildElements(gls, L"table", r->glossaryCount) < r->glossaryCount) return false;
  r->glossaries.resize(r->glossaryCount);
  for (uint32_t i = 0; i < r->glossaryCount; ++i) {
    CXmlNode* t = gls->FindChildElement(L"table", kElement, static_cast<int>(i));
    GlossaryTable& g = r->glossaries[i];
    g.sourceLanguage = Attribute(t, L"lang_from");
    g.targetLanguage = Attribute(t, L"lang_to");
    g.contentType = Attribute(t, L"content_type");
    g.title = Attribute(t, L"title");
    g.indexCount = NumberAttribute(t, L"index_count");
  }

  record_ = r.release();
  return true;
}

const InfoDescription* CDictInfo::FindDescription(const wchar_t* languageCode) const {
  if (!record_ || record_->descriptions.empty()) return nullptr;
  const InfoDescription* prefix = nullptr;
  for (const InfoDescription& d : record_->descriptions) {
    int m = DictHost().MatchLanguageCode(d.language.c_str(), languageCode);
    if (m == 1) return &d;
    if (m == 2 && !prefix) prefix = &d;
  }
  return prefix ? prefix : &record_->descriptions[0];
}
