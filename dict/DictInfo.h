// A dictionary's information: names, descriptions, character sets, layout,
// index sizes and glossary tables, read from its information XML.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CXmlNode;

struct InfoDescription {
  std::wstring language;
  std::wstring title;
  std::wstring edition;
  std::wstring description;
  std::wstring author;
  std::wstring email;
  std::wstring website;
  std::wstring copyright;
};

struct GlossaryTable {
  std::wstring sourceLanguage;
  std::wstring targetLanguage;
  std::wstring contentType;
  std::wstring title;
  uint32_t indexCount = 0;
};

struct DictInfoRecord {
  std::wstring idText;
  std::wstring name;
  std::wstring version;
  std::wstring format;
  std::string iconBytes;
  std::wstring date;
  std::wstring update;
  std::wstring type;
  std::wstring keyCharset;
  std::wstring dataCharset;
  uint32_t flags = 0;
  uint32_t byteOrder = 0;
  uint32_t descriptionCount = 0;
  std::vector<InfoDescription> descriptions;
  std::wstring layoutStyle;
  uint32_t resourceCount = 0;
  uint32_t resourceMaxNameSize = 0;
  uint32_t resourceMaxDataSize = 0;
  uint32_t glossaryCount = 0;
  std::wstring indexLanguage;
  uint32_t indexSort = 0xFFFFFFFF;
  uint32_t keyCount = 0;
  uint32_t maxKeySize = 0;
  uint32_t maxDataSize = 0;
  std::vector<GlossaryTable> glossaries;
};

class CDictInfo {
 public:
  CDictInfo() = default;
  virtual ~CDictInfo() { Clear(); }
  CDictInfo(const CDictInfo&) = delete;
  CDictInfo& operator=(const CDictInfo&) = delete;

  void Clear();
  bool Parse(CXmlNode* root);

  // Null while nothing is parsed.
  const DictInfoRecord* GetRecord() const { return record_; }
  const GlossaryTable* GetTable(uint32_t i) const;
  const InfoDescription* FindDescription(const wchar_t* languageCode) const;

 private:
  DictInfoRecord* record_ = nullptr;
};
