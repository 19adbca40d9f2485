// The owner of every opened dictionary and of the query, index and grab
// groups: "dictcfg.xmc" load and save, install and uninstall, group edits and
// the lookups across a group.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dict/DictGroup.h"

class CDictFile;

// Told after each change to the installed dictionaries or to a group's
// members, whoever made it (a dialog, the update script, a second instance).
class IDictManagerObserver {
 public:
  virtual ~IDictManagerObserver() = default;
  virtual void OnDictsChanged() = 0;
};

// One index member without the word as a key, ranked by FindIndexPosition.
struct IndexCandidate {
  uint32_t member;
  uint32_t matchLength;
  uint32_t entry;
  int32_t side;
};

class CDictManager {
 public:
  CDictManager() = default;
  virtual ~CDictManager();
  CDictManager(const CDictManager&) = delete;
  CDictManager& operator=(const CDictManager&) = delete;

  bool LoadConfig();
  // Writes "dictcfg.xmc"; a failure is told to the user (the changes in
  // memory stay until the program ends).
  bool SaveConfig();
  bool InstallDict(uint32_t& id, const wchar_t* path, bool checkRepeat);
  bool UninstallDict(uint32_t id);
  CDictFile* LoadDictFile(const wchar_t* path, bool checkRepeat);
  CDictFile* LoadDictById(uint32_t id);
  CDictFile* FindDict(uint32_t id) const;
  int32_t IndexOfDict(uint32_t id) const;
  const DictList& GetDicts() const { return dicts_; }

  CDictGroup* GetGroup(int32_t kind);
  bool AddToGroup(int32_t kind, uint32_t id);
  bool RemoveFromGroup(int32_t kind, uint32_t id);
  CDictFile* FindGroupDict(int32_t kind, uint32_t id);
  CDictFile* GetGroupDict(int32_t kind, uint32_t i);
  DictGroupItem* GetGroupItem(int32_t kind, uint32_t i);
  uint32_t GetGroupCount(int32_t kind);
  int32_t GroupIndexOf(int32_t kind, uint32_t id);
  const std::vector<DictGroupItem*>* GetGroupData(int32_t kind);

  void GetErrorText(std::wstring& out);
  void ForEachDict();
  void Clear();
  uint32_t GetBaseDictId() const { return baseId_; }

  // An observer stays registered until removed; it must go before it dies.
  void AddObserver(IDictManagerObserver* observer);
  void RemoveObserver(IDictManagerObserver* observer);

  // Lookups across a group.
  uint32_t QueryGroup(std::vector<CDictFile*>& dictionaries, std::vector<std::wstring>& fragments,
                      const wchar_t* word, int32_t kind);
  bool FindIndexPosition(uint32_t& member, uint32_t& entry, const wchar_t* word, uint32_t choice);
  bool LookupInGroup(const wchar_t* word, uint32_t length, bool ignoreCase, int32_t kind,
                     uint32_t member);

 private:
  void BuildConfigKey(uint8_t key[16]) const;
  // The configuration as it stands, or without the dictionary `without` (0: none).
  bool WriteConfig(uint32_t without);
  std::wstring ConfigWriteFailText() const;
  std::wstring Message(const wchar_t* key) const;
  std::wstring MessageWithId(const wchar_t* key, uint32_t id) const;
  std::wstring InstalledPath(uint32_t id) const;
  void NotifyChanged();

  DictList dicts_;
  CDictGroup queryGroup_, indexGroup_, grabGroup_;
  std::wstring error_;
  uint32_t baseId_ = 0;
  std::vector<IDictManagerObserver*> observers_;
};
