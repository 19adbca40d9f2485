// Dictionary groups: ordered selections of the opened dictionaries (query,
// index, grab), each member with its enable, minimize and glossary flags.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDictFile;
class CXmlNode;

enum DictGroupKind : int32_t {
  kGroupNone = 0,
  kGroupQuery = 1,
  kGroupIndex = 2,
  kGroupGrab = 4,
};

struct GlossaryEntry {
  uint32_t number;
  bool enable;
};

struct DictGroupItem {
  std::vector<GlossaryEntry> glossaries;
  CDictFile* dictionary = nullptr;
  uint32_t id = 0;
  bool enable = true;
  bool minimize = false;
};

using DictList = std::vector<CDictFile*>;

CDictFile* FindDictInList(const DictList& list, uint32_t id);

class CDictGroup {
 public:
  CDictGroup() = default;
  virtual ~CDictGroup() { Clear(); }
  CDictGroup(const CDictGroup&) = delete;
  CDictGroup& operator=(const CDictGroup&) = delete;

  uint32_t Load(const CXmlNode* element, DictList* dictionaries, int32_t kind);
  uint32_t LoadAll(DictList* dictionaries, int32_t kind);
  // The group's element; a member with the id `without` (0: none) is left out.
  bool Save(std::wstring& out, uint32_t without = 0) const;
  bool Add(uint32_t id);
  bool Remove(uint32_t id);
  bool Refresh(uint32_t id);
  void Clear();

  int32_t GetKind() const { return kind_; }
  uint32_t GetCount() const { return static_cast<uint32_t>(members_.size()); }
  DictGroupItem* GetAt(uint32_t i) const { return i < members_.size() ? members_[i] : nullptr; }
  CDictFile* GetDictAt(uint32_t i) const;
  bool IsEnabled(uint32_t i) const;
  CDictFile* FindById(uint32_t id) const;
  int32_t IndexOf(uint32_t id) const;
  const std::vector<DictGroupItem*>& GetMembers() const { return members_; }

  static bool NormalizeGlossaries(uint32_t count, DictGroupItem& member);
  bool ContainsWord(const wchar_t* word, int wordLength, bool ignoreCase, uint32_t member) const;

 private:
  DictGroupItem* MakeFullMember(CDictFile* dict) const;

  int32_t kind_ = kGroupNone;
  DictList* dictionaries_ = nullptr;
  std::vector<DictGroupItem*> members_;
};
