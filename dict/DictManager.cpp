#include "dict/DictManager.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

#include "core/DesCipher.h"
#include "core/FileUtil.h"
#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "dict/DictFile.h"
#include "dict/DictHost.h"

namespace {

constexpr int32_t kElementKind = 5;
constexpr uint32_t kAllMembers = 0xFFFFFFFF;

std::wstring HexId(uint32_t id) {
  std::wstring text;
  FormatWString(text, L"%.8x", id);
  return text;
}

// Message texts are formatted with typed arguments: a text from the store
// whose directives do not match renders them as nothing rather than crashing.
struct MsgArg {
  bool isNumber;
  const wchar_t* text;
  uint32_t number;
  MsgArg(const wchar_t* t) : isNumber(false), text(t ? t : L""), number(0) {}
  MsgArg(const std::wstring& t) : isNumber(false), text(t.c_str()), number(0) {}
  MsgArg(uint32_t n) : isNumber(true), text(L""), number(n) {}
};

std::wstring FormatMessageText(const std::wstring& format, std::initializer_list<MsgArg> args) {
  std::wstring out;
  const MsgArg* next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    wchar_t c = format[i];
    if (c != L'%') {
      out.push_back(c);
      continue;
    }
    size_t j = i + 1;
    // Flags and a width of a few characters (a field of a message is short).
    std::wstring directive = L"%";
    while (j < format.size() && directive.size() < 4 && wcschr(L"0123456789.-#", format[j]))
      directive.push_back(format[j++]);
    if (j >= format.size()) break;
    wchar_t d = format[j];
    i = j;
    if (d == L'%') {
      out.push_back(L'%');
      continue;
    }
    if (!wcschr(L"sSdiuxXc", d) || next == args.end()) continue;
    std::wstring piece;
    if (d == L's' || d == L'S') {
      piece = next->isNumber ? IntToWString(next->number, 10) : next->text;
    } else if (d == L'c') {
      if (!next->isNumber && next->text[0]) piece.assign(1, next->text[0]);
    } else {
      directive.push_back(d == L'i' ? L'd' : d);
      FormatWString(piece, directive.c_str(), next->isNumber ? next->number : 0u);
    }
    out += piece;
    ++next;
  }
  return out;
}

std::wstring FileNamePart(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  if (!path.empty() && (path.back() == L':' || path.back() == L'\\')) return std::wstring();
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void DeleteFilesStartingWith(const std::wstring& prefix) {
  const size_t slash = prefix.rfind(L'\\');
  const std::wstring folder = prefix.substr(0, slash + 1);
  WIN32_FIND_DATAW found;
  ScopedFindHandle search(FindFirstFileW((prefix + L"*").c_str(), &found));
  if (!search.IsValid()) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ForceDeleteFile((folder + found.cFileName).c_str());
  } while (FindNextFileW(search.Get(), &found));
}

}  // namespace

CDictManager::~CDictManager() { Clear(); }

void CDictManager::Clear() {
  queryGroup_.Clear();
  indexGroup_.Clear();
  grabGroup_.Clear();
  for (CDictFile* d : dicts_) delete d;
  dicts_.clear();
}

std::wstring CDictManager::Message(const wchar_t* key) const {
  return DictHost().GetUiText(L"Message", key);
}

std::wstring CDictManager::MessageWithId(const wchar_t* key, uint32_t id) const {
  return FormatMessageText(Message(key), {id});
}

std::wstring CDictManager::InstalledPath(uint32_t id) const {
  return DictHost().GetDictFolder() + HexId(id) + L".tdc";
}

void CDictManager::AddObserver(IDictManagerObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void CDictManager::RemoveObserver(IDictManagerObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CDictManager::NotifyChanged() {
  // A copy: an observer may remove itself while it is told.
  const std::vector<IDictManagerObserver*> observers = observers_;
  for (IDictManagerObserver* o : observers)
    if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->OnDictsChanged();
}

void CDictManager::BuildConfigKey(uint8_t key[16]) const {
  std::memset(key, 0, 16);
  std::wstring text = DictHost().GetUiText(L"", L"3");
  for (size_t i = 0; i < 16 && 2 * i + 1 < text.size(); ++i)
    if (!HexPairToByte(&key[i], text[2 * i], text[2 * i + 1])) break;
}

void CDictManager::GetErrorText(std::wstring& out) {
  out = error_;
  error_.clear();
}

namespace {

// The name an update keeps the installed copy under until the new one is open.
std::wstring CopyKeptAside(const std::wstring& path) { return path + L".old"; }

// An update that was cut short (the program ended between moving the old copy
// aside and putting the new one in place) left only the old copy: it goes
// back, so the dictionary is not lost.
void RestoreCopyKeptAside(const std::wstring& path) {
  const std::wstring aside = CopyKeptAside(path);
  if (!IsFilePresent(path.c_str()) && IsFilePresent(aside.c_str())) ForceMoveFile(aside.c_str(), path.c_str(), false);
}

}  // namespace

bool CDictManager::LoadConfig() {
  IDictHost& host = DictHost();
  baseId_ = wcstoul(host.GetUiText(L"", L"10").c_str(), nullptr, 0);
  Clear();
  error_.clear();
  std::wstring gathered;
  auto fail = [&] {
    Clear();
    error_ = gathered + Message(L"ReadDictConfigFail");
    return false;
  };

  uint8_t key[16];
  BuildConfigKey(key);
  CXmlDocument doc;
  if (!doc.LoadFile((host.GetDictFolder() + L"dictcfg.xmc").c_str(), 24, key)) return fail();
  CXmlNode* root = doc.GetRoot();
  if (!root) return fail();
  CXmlNode* install = root->FindChildElement(L"install", kElementKind, 0);
  CXmlNode* query = root->FindChildElement(L"query_group", kElementKind, 0);
  CXmlNode* index = root->FindChildElement(L"index_group", kElementKind, 0);
  CXmlNode* grab = root->FindChildElement(L"grab_group", kElementKind, 0);
  if (!install || !query || !index || !grab) return fail();

  std::vector<std::wstring> loadedPaths;
  for (int i = 0;; ++i) {
    CXmlNode* d = install->FindChildElement(L"dict", kElementKind, i);
    if (!d) break;
    std::wstring src;
    d->GetAttribute(src, L"src");
    std::wstring path = host.GetDictFolder() + src;
    // A file listed twice is one installation: the repeat is dropped.
    bool repeated = false;
    for (const std::wstring& p : loadedPaths) repeated = repeated || _wcsicmp(p.c_str(), path.c_str()) == 0;
    if (repeated) continue;
    RestoreCopyKeptAside(path);
    if (CDictFile* dict = LoadDictFile(path.c_str(), true)) {
      dicts_.push_back(dict);
      loadedPaths.push_back(path);
    } else {
      host.ShowMessage(error_.c_str(), Message(L"LoadDictFail").c_str(), MB_ICONINFORMATION);
      gathered += error_ + L"\n\n";
      error_.clear();
    }
  }
  if (!FindDict(baseId_)) {
    CDictFile* base = LoadDictById(baseId_);
    if (!base) {
      gathered += error_.empty() ? std::wstring() : error_ + L"\n\n";
      return fail();
    }
    dicts_.push_back(base);
  }
  if (!query->FindChildElement(L"dict", kElementKind, 0))
    queryGroup_.LoadAll(&dicts_, kGroupQuery);
  else
    queryGroup_.Load(query, &dicts_, kGroupQuery);
  indexGroup_.Load(index, &dicts_, kGroupIndex);
  grabGroup_.Load(grab, &dicts_, kGroupGrab);
  if (queryGroup_.IndexOf(baseId_) < 0) queryGroup_.Add(baseId_);
  if (indexGroup_.IndexOf(baseId_) < 0) indexGroup_.Add(baseId_);
  if (dicts_.empty() || queryGroup_.GetCount() == 0 || indexGroup_.GetCount() == 0) return fail();
  return true;
}

bool CDictManager::SaveConfig() {
  if (WriteConfig(0)) return true;
  // Whoever changed the groups learns that the change ends with this run.
  DictHost().ShowMessage(ConfigWriteFailText().c_str(), nullptr, MB_ICONERROR);
  return false;
}

std::wstring CDictManager::ConfigWriteFailText() const {
  return FormatMessageText(Message(L"SaveDictConfigFail"), {DictHost().GetDictFolder() + L"dictcfg.xmc"});
}

bool CDictManager::WriteConfig(uint32_t without) {
  std::wstring text = L"\xFEFF<?xml version=\"1.0\"  encoding=\"UTF-16\" ?>\n<config>\n<install>\n";
  for (CDictFile* d : dicts_) {
    if (d->GetId() == without) continue;
    std::wstring src, line;
    EscapeXmlAttribute(src, FileNamePart(d->GetPath()).c_str());
    FormatWString(line, L"  <dict src=\"%s\" id=\"%.8x\" />\n", src.c_str(), d->GetId());
    text += line;
  }
  text += L"</install>\n";
  for (CDictGroup* g : {&queryGroup_, &indexGroup_, &grabGroup_}) {
    std::wstring part;
    g->Save(part, without);
    text += part;
  }
  text += L"</config>";

  uint8_t key[16];
  BuildConfigKey(key);
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(text.data());
  const int length = static_cast<int>(text.size() * 2);
  const int size = cipher.Encrypt(nullptr, plain, length);
  std::unique_ptr<uint8_t[]> envelope(size > 0 ? new (std::nothrow) uint8_t[size] : nullptr);
  // Written beside the old file and then put in its place, so a failed write
  // never leaves a damaged configuration behind.
  const std::wstring path = DictHost().GetDictFolder() + L"dictcfg.xmc";
  return envelope && cipher.Encrypt(envelope.get(), plain, length) == size &&
         WriteFileReplacing(path.c_str(), envelope.get(), static_cast<uint32_t>(size));
}

CDictFile* CDictManager::LoadDictFile(const wchar_t* path, bool checkRepeat) {
  if (!path) {
    error_ = Message(L"FilenameInvalid");
    return nullptr;
  }
  std::unique_ptr<CDictFile> dict(new (std::nothrow) CDictFile);
  if (!dict) {
    error_ = Message(L"MemoryAllocFail") + L":\n" + path;
    return nullptr;
  }
  if (!dict->Open(path)) {
    error_ = Message(L"LoadDictFileFail") + L":\n" + path;
    return nullptr;
  }
  if (checkRepeat && FindDict(dict->GetId())) {
    error_ = FormatMessageText(Message(L"LoadDictRepeat"),
                               {std::wstring(path), ShortenText(dict->GetTitle(DictHost().GetUiLanguageCode().c_str()), 100, 32),
                                dict->GetId()});
    return nullptr;
  }
  return dict.release();
}

CDictFile* CDictManager::LoadDictById(uint32_t id) {
  return LoadDictFile(InstalledPath(id).c_str(), true);
}

CDictFile* CDictManager::FindDict(uint32_t id) const { return FindDictInList(dicts_, id); }

int32_t CDictManager::IndexOfDict(uint32_t id) const {
  for (size_t i = 0; i < dicts_.size(); ++i)
    if (dicts_[i]->GetId() == id) return static_cast<int32_t>(i);
  return -1;
}

bool CDictManager::InstallDict(uint32_t& id, const wchar_t* path, bool checkRepeat) {
  id = 0xFFFFFFFF;
  if (!path) {
    error_ = Message(L"FilenameInvalid");
    return false;
  }
  std::unique_ptr<CDictFile> incoming(LoadDictFile(path, checkRepeat));
  if (!incoming) return false;
  if (!incoming->CheckContents()) {
    error_ = Message(L"DictContentDamaged") + L":\n" + path;
    return false;
  }
  const uint32_t n = incoming->GetId();
  const std::wstring staging = DictHost().GetTempFolder() + HexId(n) + L".tdc";
  const std::wstring installed = InstalledPath(n);
  // The text may name the file: no directive of it is left unfilled.
  const std::wstring installFail = FormatMessageText(Message(L"InstallDictFail"), {path});
  auto failInstall = [&] {
    ForceDeleteFile(staging.c_str());
    error_ = installFail;
    return false;
  };
  if (!incoming->SaveAs(staging.c_str())) return failInstall();
  incoming.reset();

  CDictFile* current = FindDict(n);
  if (!current) {
    if (!ForceMoveFile(staging.c_str(), installed.c_str(), true)) return failInstall();
    CDictFile* dict = LoadDictFile(installed.c_str(), true);
    if (!dict) {
      // A failed installation leaves no file behind in the dictionary folder.
      ForceDeleteFile(installed.c_str());
      return false;
    }
    dicts_.push_back(dict);
    // The installation is done only once the configuration names it: a
    // dictionary it does not list would be gone at the next start.
    const bool joined = queryGroup_.Add(n);
    if (!joined || !WriteConfig(0)) {
      queryGroup_.Remove(n);
      dicts_.pop_back();
      delete dict;
      ForceDeleteFile(installed.c_str());
      error_ = joined ? ConfigWriteFailText() : installFail;
      return false;
    }
  } else {
    // An update: the staging copy must open before the installed copy is
    // touched, and the old copy is kept aside until the new one is open.
    {
      CDictFile check;
      if (!check.Open(staging.c_str())) return failInstall();
    }
    const std::wstring currentPath = current->GetPath().empty() ? installed : current->GetPath();
    const std::wstring backup = CopyKeptAside(currentPath);
    current->Reset();
    bool kept = ForceMoveFile(currentPath.c_str(), backup.c_str(), true) || !IsFilePresent(currentPath.c_str());
    const bool replaced =
        kept && ForceMoveFile(staging.c_str(), installed.c_str(), true) && current->Open(installed.c_str());
    if (replaced) {
      for (CDictGroup* g : {&queryGroup_, &indexGroup_, &grabGroup_}) g->Refresh(n);
    }
    // An update the configuration cannot take is undone like one that failed.
    if (!replaced || !WriteConfig(0)) {
      current->Reset();
      if (IsFilePresent(backup.c_str())) {
        if (installed != currentPath) ForceDeleteFile(installed.c_str());
        ForceMoveFile(backup.c_str(), currentPath.c_str(), true);
      }
      current->Open(currentPath.c_str());
      for (CDictGroup* g : {&queryGroup_, &indexGroup_, &grabGroup_}) g->Refresh(n);
      if (!replaced) return failInstall();
      error_ = ConfigWriteFailText();
      return false;
    }
    ForceDeleteFile(backup.c_str());
    if (installed != currentPath) ForceDeleteFile(currentPath.c_str());
  }
  id = n;
  NotifyChanged();
  return true;
}

bool CDictManager::UninstallDict(uint32_t id) {
  // The text names the dictionary in every case: it may carry the id's directive.
  if (id == baseId_) {
    error_ = MessageWithId(L"UninstallDictFail", id);
    return false;
  }
  int32_t i = IndexOfDict(id);
  if (i < 0) {
    error_ = MessageWithId(L"UninstallDictFail", id);
    return false;
  }
  CDictFile* dict = dicts_[i];
  if (dict->IsPermanent()) {
    error_ = MessageWithId(L"UninstallDictFail", id);
    return false;
  }
  // The configuration goes first: when it cannot be written, the dictionary
  // stays installed as the file on disk still says.
  if (!WriteConfig(id)) {
    error_ = ConfigWriteFailText();
    return false;
  }
  std::wstring path = dict->GetPath();
  const std::wstring extracted = DictHost().GetTempFolder() + dict->GetIdText(true) + L"_";
  for (CDictGroup* g : {&queryGroup_, &indexGroup_, &grabGroup_}) g->Remove(id);
  dicts_.erase(dicts_.begin() + i);
  delete dict;
  ForceDeleteFile(path.c_str());
  // Its icon and the resources it gave the pages go with it.
  DeleteFilesStartingWith(extracted);
  NotifyChanged();
  return true;
}

CDictGroup* CDictManager::GetGroup(int32_t kind) {
  switch (kind) {
    case kGroupQuery: return &queryGroup_;
    case kGroupIndex: return &indexGroup_;
    case kGroupGrab: return &grabGroup_;
    default: return nullptr;
  }
}

bool CDictManager::AddToGroup(int32_t kind, uint32_t id) {
  CDictGroup* g = GetGroup(kind);
  CDictFile* d = FindDict(id);
  if (g && d) {
    bool allowed = kind == kGroupQuery ||
                   (kind == kGroupIndex && d->CanIndex() && !d->IsGroupLocked()) ||
                   (kind == kGroupGrab && d->CanGrab() && !d->IsGroupLocked());
    if (allowed && g->Add(id)) {
      NotifyChanged();
      return true;
    }
  }
  error_ = MessageWithId(L"AddDictFail", id);
  return false;
}

bool CDictManager::RemoveFromGroup(int32_t kind, uint32_t id) {
  if (kind == kGroupIndex && indexGroup_.GetCount() < 2) {
    error_ = MessageWithId(L"NoClearAllIndexGroup", id);
    return false;
  }
  CDictGroup* g = GetGroup(kind);
  if (g && g->Remove(id)) {
    NotifyChanged();
    return true;
  }
  error_ = MessageWithId(L"RemoveDictFail", id);
  return false;
}

CDictFile* CDictManager::FindGroupDict(int32_t kind, uint32_t id) {
  CDictGroup* g = GetGroup(kind);
  return g ? g->FindById(id) : nullptr;
}

CDictFile* CDictManager::GetGroupDict(int32_t kind, uint32_t i) {
  CDictGroup* g = GetGroup(kind);
  return g ? g->GetDictAt(i) : nullptr;
}

DictGroupItem* CDictManager::GetGroupItem(int32_t kind, uint32_t i) {
  CDictGroup* g = GetGroup(kind);
  return g ? g->GetAt(i) : nullptr;
}

uint32_t CDictManager::GetGroupCount(int32_t kind) {
  CDictGroup* g = GetGroup(kind);
  return g ? g->GetCount() : 0;
}

int32_t CDictManager::GroupIndexOf(int32_t kind, uint32_t id) {
  CDictGroup* g = GetGroup(kind);
  return g ? g->IndexOf(id) : 0;
}

const std::vector<DictGroupItem*>* CDictManager::GetGroupData(int32_t kind) {
  CDictGroup* g = GetGroup(kind);
  return g ? &g->GetMembers() : nullptr;
}

void CDictManager::ForEachDict() {
  for (CDictFile* d : dicts_) d->ReloadLayout();
}

uint32_t CDictManager::QueryGroup(std::vector<CDictFile*>& dictionaries,
                                  std::vector<std::wstring>& fragments, const wchar_t* word,
                                  int32_t kind) {
  dictionaries.clear();
  fragments.clear();
  if (!word || !*word) return 0;
  const std::vector<DictGroupItem*>* members = GetGroupData(kind);
  if (!members) return 0;
  const int length = static_cast<int>(wcslen(word));
  std::vector<uint32_t> entries;
  for (DictGroupItem* m : *members) {
    if (!m->enable || !m->dictionary) continue;
    if (m->dictionary->FindMatches(entries, word, length) == 0) continue;
    std::wstring fragment;
    m->dictionary->BuildResult(fragment, entries, word, static_cast<uint32_t>(kind), m);
    fragments.push_back(std::move(fragment));
    dictionaries.push_back(m->dictionary);
  }
  return static_cast<uint32_t>(fragments.size());
}

bool CDictManager::FindIndexPosition(uint32_t& member, uint32_t& entry, const wchar_t* word,
                                     uint32_t choice) {
  member = 0;
  entry = 0;
  const std::vector<DictGroupItem*>& members = indexGroup_.GetMembers();
  if (!word || members.empty()) return false;
  const int length = static_cast<int>(wcslen(word));
  uint32_t index, matchLength;
  int position;
  auto search = [&](DictGroupItem* m) {
    index = 0;
    position = -1;
    matchLength = 0;
    return m->dictionary &&
           m->dictionary->FindWord(index, position, matchLength, word, length, true, 0);
  };
  auto exact = [&](DictGroupItem* m) {
    int e = m->dictionary->FindExact(word, length);
    if (e != -1) entry = static_cast<uint32_t>(e);
  };
  if (choice == kAllMembers) {
    std::vector<IndexCandidate> candidates;
    for (uint32_t i = 0; i < members.size(); ++i) {
      DictGroupItem* m = members[i];
      if (!m->enable) continue;
      if (search(m)) {
        member = i;
        entry = index;
        exact(m);
        return true;
      }
      candidates.push_back({i, matchLength, index, position});
    }
    uint32_t best = 0;
    for (const IndexCandidate& c : candidates) {
      uint32_t score = c.matchLength + (c.side == 0 ? 0x40000000u : 0u);
      if (score > best) {
        best = score;
        member = c.member;
        entry = c.entry;
      }
    }
    return false;
  }
  if (choice >= members.size() || !members[choice]->enable) return false;
  bool hit = search(members[choice]);
  member = choice;
  entry = index;
  if (!hit) return false;
  exact(members[choice]);
  return true;
}

bool CDictManager::LookupInGroup(const wchar_t* word, uint32_t length, bool ignoreCase,
                                 int32_t kind, uint32_t member) {
  if (!word || length == 0) return false;
  CDictGroup* g = GetGroup(kind);
  if (!g || g->GetCount() == 0) return false;
  return g->ContainsWord(word, static_cast<int>(length), ignoreCase, member);
}
