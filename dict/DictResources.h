// A dictionary's rendering: layout files, template variables, fonts, and the
// two renderers that turn entry XML into one HTML fragment per lookup.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDictFile;
class CXmlElement;
class CXmlNode;
class CConfigFile;
struct DictGroupItem;
struct XmlWalkPosition;
struct DictInfoRecord;
struct GlossaryTable;
struct InfoDescription;

class CDictResources {
 public:
  CDictResources();
  virtual ~CDictResources();
  CDictResources(const CDictResources&) = delete;
  CDictResources& operator=(const CDictResources&) = delete;

  void Clear();
  void Load(CDictFile* owner);
  bool LoadLayout();
  bool HasRenderer() const { return renderer_ != nullptr; }
  void BuildResult(std::wstring& html, const std::vector<std::wstring>& data,
                   const std::vector<std::wstring>& keys, uint32_t groupKind,
                   const DictGroupItem* member, const wchar_t* languageCode);

 private:
  using Renderer = void (*)(CXmlNode* node, uint32_t event, CDictResources& self);
  static void RenderDefault(CXmlNode* node, uint32_t event, CDictResources& self);
  static void RenderMtt(CXmlNode* node, uint32_t event, CDictResources& self);
  static void Visit(CXmlNode* node, uint32_t event, const XmlWalkPosition* position, uint32_t user1,
                    uint32_t user2);

  // Renderer helpers.
  struct Arg;
  const wchar_t* Layout(const wchar_t* section, const wchar_t* key) const;
  void Put(const wchar_t* section, const wchar_t* key);
  void Format(const wchar_t* section, const wchar_t* key, std::initializer_list<Arg> args);
  bool RenderCommon(CXmlNode* node, uint32_t event);
  void RenderText(CXmlNode* node);
  void BeginEntry(CXmlNode* node);
  void BeginItems(CXmlNode* node);
  void RenderForm(CXmlNode* node, bool enter, const wchar_t* plainAttribute);
  std::wstring Heading(const wchar_t* key) const;
  std::wstring HomographNumber() const;
  bool IsHtmlGlossary() const;

  std::wstring output_;
  std::vector<std::unique_ptr<CXmlElement>> glossaries_;
  CDictFile* owner_ = nullptr;
  std::unique_ptr<CConfigFile> layout_;
  Renderer renderer_ = nullptr;
  std::wstring idText_, iconPath_, layoutStyle_;
  std::wstring textFont_, phoneticFont_, fontSize_, largeSize_, smallSize_;

  // The current result.
  std::wstring groupKindText_, languageCode_;
  const DictGroupItem* member_ = nullptr;
  const DictInfoRecord* info_ = nullptr;
  const InfoDescription* description_ = nullptr;
  std::wstring keyText_;
  uint32_t entryCount_ = 0;
  const GlossaryTable* table_ = nullptr;
  uint32_t glossariesShown_ = 0, glossaryCounter_ = 0, glossaryEntries_ = 0, entryCounter_ = 0;
  uint32_t homographs_ = 0, homographCounter_ = 0, items_ = 0, itemCounter_ = 0;
  uint32_t orthographies_ = 0, orthographyCounter_ = 0, pronunciations_ = 0,
           pronunciationCounter_ = 0;
  uint32_t quotations_ = 0, definitions_ = 0, definitionCounter_ = 0;

  std::wstring imageFolder_, tempFolder_;
};

class CStringMap;
// Replaces placeholders "[$" name "]" by their values; unknown names stay as written.
int ExpandTemplateVars(std::wstring& out, const wchar_t* in, const CStringMap& vars);
