#include "dict/DictGroup.h"

#include <memory>

#include "core/StrUtil.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "dict/DictFile.h"

namespace {

constexpr int32_t kElementKind = 5;

bool ReadEnable(const CXmlNode* element) {
  std::wstring text;
  if (!const_cast<CXmlNode*>(element)->GetAttribute(text, L"enable")) return true;
  return text == L"y" || text == L"Y";
}

const wchar_t* TagOf(int32_t kind) {
  switch (kind) {
    case kGroupQuery: return L"query_group";
    case kGroupIndex: return L"index_group";
    case kGroupGrab: return L"grab_group";
    default: return nullptr;
  }
}

}  // namespace

CDictFile* FindDictInList(const DictList& list, uint32_t id) {
  for (CDictFile* d : list)
    if (d && d->GetId() == id) return d;
  return nullptr;
}

void CDictGroup::Clear() {
  for (DictGroupItem* m : members_) delete m;
  members_.clear();
  kind_ = kGroupNone;
  dictionaries_ = nullptr;
}

DictGroupItem* CDictGroup::MakeFullMember(CDictFile* dict) const {
  DictGroupItem* m = new DictGroupItem;
  m->dictionary = dict;
  m->id = dict->GetId();
  for (uint32_t g = 0; g < dict->GetGlossaryCount(); ++g) m->glossaries.push_back({g, true});
  return m;
}

uint32_t CDictGroup::Load(const CXmlNode* element, DictList* dictionaries, int32_t kind) {
  Clear();
  if (element && dictionaries) {
    CXmlNode* group = const_cast<CXmlNode*>(element);
    for (int i = 0;; ++i) {
      CXmlNode* d = group->FindChildElement(L"dict", kElementKind, i);
      if (!d) break;
      uint32_t id = 0;
      d->GetIntAttribute(&id, L"id", 16);
      CDictFile* dict = FindDictInList(*dictionaries, id);
      // One member per id: a repeated element is dropped.
      if (!dict || IndexOf(id) >= 0) continue;
      std::unique_ptr<DictGroupItem> m(new DictGroupItem);
      m->dictionary = dict;
      m->id = id;
      m->enable = ReadEnable(d);
      for (int j = 0;; ++j) {
        CXmlNode* g = d->FindChildElement(L"gls", kElementKind, j);
        if (!g) break;
        uint32_t number = 0;
        g->GetIntAttribute(&number, L"id", 16);
        if (number < dict->GetGlossaryCount()) m->glossaries.push_back({number, ReadEnable(g)});
      }
      if (NormalizeGlossaries(dict->GetGlossaryCount(), *m)) members_.push_back(m.release());
    }
  }
  kind_ = kind;
  dictionaries_ = dictionaries;
  return GetCount();
}

uint32_t CDictGroup::LoadAll(DictList* dictionaries, int32_t kind) {
  Clear();
  if (dictionaries)
    for (CDictFile* d : *dictionaries)
      if (d) members_.push_back(MakeFullMember(d));
  kind_ = kind;
  dictionaries_ = dictionaries;
  return GetCount();
}

bool CDictGroup::Save(std::wstring& out, uint32_t without) const {
  out.clear();
  const wchar_t* tag = TagOf(kind_);
  if (!dictionaries_ || !tag) return false;
  out += L"<";
  out += tag;
  out += L">\n";
  for (const DictGroupItem* m : members_) {
    if (m->id == without) continue;
    std::wstring line;
    FormatWString(line, L"  <dict id=\"%.8x\" enable=\"%s\" minimize=\"%s\">\n", m->id,
                  m->enable ? L"y" : L"n", m->minimize ? L"y" : L"n");
    out += line;
    for (const GlossaryEntry& g : m->glossaries) {
      std::wstring line;
      FormatWString(line, L"    <gls id=\"%.8x\" enable=\"%s\" />\n", g.number, g.enable ? L"y" : L"n");
      out += line;
    }
    out += L"  </dict>\n";
  }
  out += L"</";
  out += tag;
  out += L">\n";
  return true;
}

bool CDictGroup::Add(uint32_t id) {
  if (!dictionaries_ || IndexOf(id) >= 0) return false;
  CDictFile* dict = FindDictInList(*dictionaries_, id);
  if (!dict) return false;
  members_.push_back(MakeFullMember(dict));
  return true;
}

bool CDictGroup::Remove(uint32_t id) {
  int32_t i = IndexOf(id);
  if (i < 0) return false;
  delete members_[i];
  members_.erase(members_.begin() + i);
  return true;
}

bool CDictGroup::Refresh(uint32_t id) {
  int32_t i = IndexOf(id);
  if (!dictionaries_ || i < 0) return false;
  if (CDictFile* dict = FindDictInList(*dictionaries_, id)) {
    members_[i]->dictionary = dict;
    return NormalizeGlossaries(dict->GetGlossaryCount(), *members_[i]);
  }
  delete members_[i];
  members_.erase(members_.begin() + i);
  return true;
}

CDictFile* CDictGroup::GetDictAt(uint32_t i) const {
  DictGroupItem* m = GetAt(i);
  return m ? m->dictionary : nullptr;
}

bool CDictGroup::IsEnabled(uint32_t i) const {
  DictGroupItem* m = GetAt(i);
  return m && m->enable;
}

CDictFile* CDictGroup::FindById(uint32_t id) const {
  int32_t i = IndexOf(id);
  return i < 0 ? nullptr : members_[i]->dictionary;
}

int32_t CDictGroup::IndexOf(uint32_t id) const {
  for (size_t i = 0; i < members_.size(); ++i)
    if (members_[i]->id == id) return static_cast<int32_t>(i);
  return -1;
}

bool CDictGroup::NormalizeGlossaries(uint32_t count, DictGroupItem& member) {
  std::vector<bool> seen;
  try {
    seen.assign(count, false);
  } catch (...) {
    return false;
  }
  std::vector<GlossaryEntry>& list = member.glossaries;
  for (size_t i = list.size(); i-- > 0;) {
    uint32_t n = list[i].number;
    if (n >= count || seen[n]) {
      list.erase(list.begin() + i);
    } else {
      seen[n] = true;
    }
  }
  for (uint32_t n = 0; n < count; ++n)
    if (!seen[n]) list.push_back({n, false});
  return true;
}

bool CDictGroup::ContainsWord(const wchar_t* word, int wordLength, bool ignoreCase,
                              uint32_t member) const {
  if (!word || wordLength <= 0 || members_.empty()) return false;
  uint32_t index;
  int position;
  uint32_t matchLength;
  auto hits = [&](DictGroupItem* m) {
    return m->enable && m->dictionary &&
           m->dictionary->FindWord(index, position, matchLength, word, wordLength, ignoreCase, 0);
  };
  if (member != 0xFFFFFFFF) return member < members_.size() && hits(members_[member]);
  for (DictGroupItem* m : members_)
    if (hits(m)) return true;
  return false;
}
