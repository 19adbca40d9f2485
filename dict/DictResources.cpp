#include "dict/DictResources.h"

#include <algorithm>
#include <cwchar>

#include "core/ConfigFile.h"
#include "core/HtmlEntity.h"
#include "core/KeyTree.h"
#include "core/StrUtil.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "dict/DictCompare.h"
#include "dict/DictFile.h"
#include "dict/DictGroup.h"
#include "dict/DictHost.h"

namespace {

constexpr int32_t kElementKind = 5;
constexpr int32_t kTextKind = 6;
constexpr int32_t kCDataKind = 7;
enum WalkEvent : uint32_t { kEnter = 0, kLeave = 1 };

// Rows of the "mtt" renderer's languages: the n-th definition of an item is
// its text in the n-th language.
const wchar_t* const kMttLanguages[] = {
    L"ar-SA", L"bg",    L"ca",    L"cs",    L"da",    L"de-DE", L"el",    L"et",    L"eu",
    L"fa",    L"fi",    L"fr-FR", L"he",    L"hi-IN", L"hr",    L"hu",    L"id",    L"it-IT",
    L"ja",    L"kk-KZ", L"ko-KR", L"lv",    L"lt",    L"ms-MY", L"nl-NL", L"nn-NO", L"nb-NO",
    L"pl",    L"pt-BR", L"pt-PT", L"ro-RO", L"ru-RU", L"sk",    L"sl",    L"es-ES", L"sr-BA",
    L"sv-SE", L"tl-PH", L"th",    L"tr",    L"uk",    L"ur",    L"zh-CN", L"zh-HK", L"zh-TW"};

wchar_t FirstLetter(CXmlNode* node) { return node->NamePtr()[0]; }

uint32_t CountChildren(CXmlNode* node, wchar_t letter) {
  uint32_t n = 0;
  for (CXmlNode* c = node->FirstChildOfType(kElementKind); c; c = c->NextSiblingOfType(kElementKind))
    if (FirstLetter(c) == letter) ++n;
  return n;
}

CXmlNode* FirstChild(CXmlNode* node, wchar_t letter) {
  for (CXmlNode* c = node->FirstChildOfType(kElementKind); c; c = c->NextSiblingOfType(kElementKind))
    if (FirstLetter(c) == letter) return c;
  return nullptr;
}

std::wstring Attr(CXmlNode* node, const wchar_t* name) {
  std::wstring v;
  node->GetAttribute(v, name);
  return v;
}

bool HasAttr(CXmlNode* node, const wchar_t* name) { return node->GetAttributeNode(name) != nullptr; }

// Escapes for text and for attribute values: the five markup characters.
std::wstring EscapeHtml(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&#39;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::wstring EscapeText(const std::wstring& text) {
  std::wstring out;
  EscapeXmlText(out, text.c_str(), static_cast<uint32_t>(text.size()), true);
  return out;
}

bool NoCaseEquals(const std::wstring& a, const wchar_t* b) {
  return CompareNoCaseN(a.c_str(), b, 0xFFFFFFFF, false);
}

}  // namespace

// A layout value is data: format it with typed arguments only, so a directive
// without a matching argument renders nothing instead of reading the stack.
struct CDictResources::Arg {
  const wchar_t* text;
  Arg(const wchar_t* t) : text(t ? t : L"") {}
  Arg(const std::wstring& t) : text(t.c_str()) {}
};

CDictResources::CDictResources() : layout_(new CConfigFile) {}

CDictResources::~CDictResources() { Clear(); }

void CDictResources::Clear() {
  output_.clear();
  owner_ = nullptr;
  layout_.reset(new CConfigFile);
  renderer_ = nullptr;
  imageFolder_.clear();
  tempFolder_.clear();
  glossaries_.clear();
  member_ = nullptr;
  info_ = nullptr;
  description_ = nullptr;
  table_ = nullptr;
}

void CDictResources::Load(CDictFile* owner) {
  Clear();
  owner_ = owner;
  if (!owner) return;
  imageFolder_ = DictHost().GetDictFolder() + L"image\\";
  tempFolder_ = DictHost().GetTempFolder();
  iconPath_ = owner->GetIconPath();
  idText_ = owner->GetIdText(false);
  const DictInfoRecord* r = owner->GetInfo().GetRecord();
  layoutStyle_ = r ? r->layoutStyle : std::wstring();
  LoadLayout();
  for (uint32_t i = 0; i < owner->GetGlossaryCount(); ++i) {
    std::unique_ptr<CXmlElement> g(new CXmlElement);
    g->SetName(L"B");
    g->SetAttribute(L"J", IntToWString(i, 10).c_str());
    glossaries_.push_back(std::move(g));
  }
  if (r) {
    // Only a hint: capped, so a damaged maximum cannot ask for a huge block.
    const size_t factor = CompareNoCaseN(r->dataCharset.c_str(), L"utf-8", 0xFFFFFFFF, false) ? 4 : 2;
    output_.reserve(std::min<size_t>(static_cast<size_t>(r->maxDataSize) * factor, size_t{1} << 20));
  }
}

bool CDictResources::LoadLayout() {
  IDictHost& host = DictHost();
  textFont_ = host.GetSetting(L"Appearance", L"TextFont");
  phoneticFont_ = host.GetSetting(L"Appearance", L"PhoneticFont");
  std::wstring sizeName = host.GetSetting(L"Appearance", L"FontSize");
  uint32_t n = wcstoul(host.GetUiText(L"FontSize", sizeName.c_str(), 0).c_str(), nullptr, 0);
  fontSize_ = IntToWString(n, 10);
  largeSize_ = IntToWString(n * 120 / 100, 10);
  smallSize_ = IntToWString(n * 80 / 100, 10);

  CStringMap vars;
  std::wstring imgPath = host.GetDictFolder() + L"image\\", icon = iconPath_;
  // The expanded text is parsed with unescaping, so backslashes are doubled.
  EscapeWStringInPlace(imgPath);
  EscapeWStringInPlace(icon);
  const std::wstring kImg = L"ImgPath", kIcon = L"DictIcon", kId = L"DictID";
  vars.SetAt(&kImg, &imgPath, true);
  vars.SetAt(&kIcon, &icon, true);
  vars.SetAt(&kId, &idText_, true);

  bool mtt = NoCaseEquals(layoutStyle_, L"mtt");
  renderer_ = mtt ? &CDictResources::RenderMtt : &CDictResources::RenderDefault;
  std::wstring folder = host.GetDictFolder();
  std::wstring common, own;
  ReadTextFile(common, (folder + L"layout.cfg").c_str(), 0);
  if (ReadTextFile(own, (folder + L"layout_" + (mtt ? L"mtt" : L"def") + L".cfg").c_str(), 0) <= 0) {
    renderer_ = nullptr;
    return false;
  }
  std::wstring expanded;
  ExpandTemplateVars(expanded, (own + common).c_str(), vars);
  if (!layout_->Parse(expanded.c_str(), true, 0)) {
    renderer_ = nullptr;
    return false;
  }
  return true;
}

int ExpandTemplateVars(std::wstring& out, const wchar_t* in, const CStringMap& vars) {
  out.clear();
  if (!in || !*in) return 0;
  const size_t length = wcslen(in);
  // One pass suffices with a growable string; the result is the same text.
  for (size_t i = 0; i < length;) {
    if (in[i] == L'[' && i + 1 < length && in[i + 1] == L'$') {
      size_t j = i + 2;
      while (j < length && in[j] != L']' && in[j] != L'[' && in[j] != L'$') ++j;
      if (j < length && in[j] == L']') {
        std::wstring name(in + i + 2, j - i - 2);
        if (const std::wstring* value = vars.Tree().Find(&name)) {
          out += *value;
        } else {
          out.append(in + i, j + 1 - i);
        }
        i = j + 1;
        continue;
      }
    }
    out.push_back(in[i++]);
  }
  return static_cast<int>(out.size());
}

void CDictResources::BuildResult(std::wstring& html, const std::vector<std::wstring>& data,
                                 const std::vector<std::wstring>& keys, uint32_t groupKind,
                                 const DictGroupItem* member, const wchar_t* languageCode) {
  groupKindText_ = IntToWString(groupKind, 10);
  languageCode_ = languageCode ? languageCode : L"";
  member_ = member;
  info_ = owner_ ? owner_->GetInfo().GetRecord() : nullptr;
  description_ = owner_ ? owner_->GetInfo().FindDescription(languageCode_.c_str()) : nullptr;
  keyText_.clear();
  entryCount_ = static_cast<uint32_t>(data.size());
  table_ = nullptr;
  glossariesShown_ = glossaryCounter_ = glossaryEntries_ = entryCounter_ = 0;
  homographs_ = homographCounter_ = items_ = itemCounter_ = 0;
  orthographies_ = orthographyCounter_ = pronunciations_ = pronunciationCounter_ = 0;
  quotations_ = definitions_ = definitionCounter_ = 0;

  const uint32_t glossaryCount = static_cast<uint32_t>(glossaries_.size());
  CXmlElement root;
  root.SetName(L"A");
  for (size_t j = 0; j < data.size(); ++j) {
    const wchar_t* cursor = data[j].c_str();
    const std::wstring key = j < keys.size() ? keys[j] : std::wstring();
    for (;;) {
      while (*cursor == L' ' || *cursor == L'\t' || *cursor == L'\r' || *cursor == L'\n') ++cursor;
      if (!*cursor) break;
      const wchar_t* before = cursor;
      std::unique_ptr<CXmlElement> element(new CXmlElement);
      // A parse error ends this entry: the parser need not move past it.
      if (element->Parse(&cursor, 0) != 0 || cursor == before) break;
      uint32_t g = 0;
      if (!element->GetIntAttribute(&g, L"A", 0) || g >= glossaryCount) continue;
      element->SetAttribute(L"K", key.c_str());
      if (glossaries_[g]->AppendChild(element.get())) element.release();
    }
  }
  if (member) {
    for (const GlossaryEntry& e : member->glossaries) {
      if (!e.enable || e.number >= glossaryCount) continue;
      CXmlElement* g = glossaries_[e.number].get();
      if (g->FirstChildOfType(kElementKind) && !g->Parent()) root.AppendChild(g);
    }
  } else {
    for (auto& g : glossaries_)
      if (g->FirstChildOfType(kElementKind)) root.AppendChild(g.get());
  }

  output_.clear();
  if (renderer_) root.QueryChildren(&CDictResources::Visit, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)), 0);
  root.DetachChildren();
  for (auto& g : glossaries_) g->DeleteChildren();
  html = output_;
}

void CDictResources::Visit(CXmlNode* node, uint32_t event, const XmlWalkPosition*, uint32_t user1,
                           uint32_t) {
  CDictResources& self = *reinterpret_cast<CDictResources*>(static_cast<uintptr_t>(user1));
  if ((event == kEnter || event == kLeave) && self.renderer_) self.renderer_(node, event, self);
}

const wchar_t* CDictResources::Layout(const wchar_t* section, const wchar_t* key) const {
  return layout_->GetValue(section, key);
}

void CDictResources::Put(const wchar_t* section, const wchar_t* key) {
  if (const wchar_t* v = Layout(section, key)) output_ += v;
}

void CDictResources::Format(const wchar_t* section, const wchar_t* key,
                            std::initializer_list<Arg> args) {
  const wchar_t* p = Layout(section, key);
  if (!p) return;
  const Arg* next = args.begin();
  for (; *p; ++p) {
    if (*p != L'%') {
      output_.push_back(*p);
      continue;
    }
    if (!*++p) break;
    if (*p == L'%') {
      output_.push_back(L'%');
    } else if (*p == L's' || *p == L't' || *p == L'c') {
      if (next == args.end()) continue;
      if (*p == L'c') {
        if (next->text[0]) output_.push_back(next->text[0]);
      } else {
        output_ += next->text;
      }
      ++next;
    }
  }
}

std::wstring CDictResources::Heading(const wchar_t* key) const {
  return DictHost().GetUiText(L"Layout", key);
}

std::wstring CDictResources::HomographNumber() const {
  return homographs_ > 1 ? IntToWString(homographCounter_ + 1, 10) : std::wstring();
}

bool CDictResources::IsHtmlGlossary() const { return table_ && table_->contentType == L"html"; }

void CDictResources::RenderText(CXmlNode* node) {
  std::wstring text;
  node->GetValue(text);
  output_ += IsHtmlGlossary() ? text : EscapeText(text);
}

// The text nodes and the dictionary and glossary frames, which both renderers
// share; true when the node needs nothing more.
bool CDictResources::RenderCommon(CXmlNode* node, uint32_t event) {
  const int32_t kind = node->Kind();
  if (kind == kTextKind || kind == kCDataKind) {
    if (event == kEnter) RenderText(node);
    return true;
  }
  if (kind != kElementKind) return true;
  const wchar_t letter = FirstLetter(node);
  if (letter == L'A') {
    if (event == kEnter) {
      glossariesShown_ = CountChildren(node, L'B');
      bool minimized = member_ && member_->minimize;
      IDictHost& host = DictHost();
      std::wstring title = EscapeHtml(description_ ? description_->title : std::wstring());
      std::wstring menu = host.GetUiText(L"Layout", L"DictMenu");
      std::wstring toggle = host.GetUiText(L"Layout", minimized ? L"ShowResult" : L"MinimizeResult");
      Format(L"comm", groupKindText_ == L"4" ? L"DictB_Grab" : L"DictB",
             {groupKindText_, textFont_, fontSize_, host.GetUiFontName(), host.GetUiFontSize(), menu,
              groupKindText_, title, toggle, minimized ? L"-10" : L"0", groupKindText_,
              minimized ? L"none" : L""});
    } else {
      Put(L"comm", L"DictE");
    }
    return true;
  }
  if (letter == L'B') {
    if (event == kEnter) {
      glossaryEntries_ = CountChildren(node, L'C');
      uint32_t g = 0;
      node->GetIntAttribute(&g, L"J", 0);
      table_ = owner_ ? owner_->GetInfo().GetTable(g) : nullptr;
      entryCounter_ = 0;
      if (glossariesShown_ == 1) {
        Put(L"comm", L"GlsB");
      } else {
        std::wstring language =
            EscapeHtml(DictHost().GetLanguageName(table_ ? table_->targetLanguage.c_str() : L""));
        Format(L"comm", glossaryCounter_ == 0 ? L"GlsB1" : L"GlsB2", {language});
      }
    } else {
      Put(L"comm", L"GlsE");
      ++glossaryCounter_;
    }
    return true;
  }
  return false;
}

void CDictResources::BeginEntry(CXmlNode* node) {
  keyText_ = Attr(node, L"K");
  homographs_ = CountChildren(node, L'E');
  homographCounter_ = 0;
}

void CDictResources::BeginItems(CXmlNode* node) {
  items_ = CountChildren(node, L'O');
  itemCounter_ = 0;
}

// A form whose first written form lacks the attribute opens plainly; any
// other form shows the key and the homograph number.
void CDictResources::RenderForm(CXmlNode* node, bool enter, const wchar_t* plainAttribute) {
  if (!enter) {
    Format(L"fmt", L"FormE", {textFont_, fontSize_});
    return;
  }
  orthographies_ = CountChildren(node, L'a');
  pronunciations_ = CountChildren(node, L'c');
  orthographyCounter_ = pronunciationCounter_ = 0;
  CXmlNode* a = FirstChild(node, L'a');
  if (a && !HasAttr(a, plainAttribute))
    Put(L"fmt", L"FormB");
  else
    Format(L"fmt", L"FormB1", {fontSize_, EscapeHtml(keyText_), smallSize_, HomographNumber()});
}

void CDictResources::RenderDefault(CXmlNode* node, uint32_t event, CDictResources& self) {
  if (self.RenderCommon(node, event)) return;
  const wchar_t letter = FirstLetter(node);
  const bool enter = event == kEnter;
  auto simple = [&](const wchar_t* begin, const wchar_t* end) {
    self.Put(L"fmt", enter ? begin : end);
  };
  auto counted = [&](const wchar_t* begin, const wchar_t* headingKey, const wchar_t* end) {
    if (enter) {
      self.BeginItems(node);
      self.Format(L"fmt", begin, {self.Heading(headingKey)});
    } else {
      self.Put(L"fmt", end);
    }
  };
  auto wordLink = [&](std::wstring word) {
    if (self.IsHtmlGlossary()) DecodeHtmlEntities(word);
    std::wstring encoded;
    UrlEncode(encoded, word.c_str());
    return encoded;
  };
  switch (letter) {
    case L'C':
      if (enter) {
        self.BeginEntry(node);
        self.Format(L"fmt", self.entryCounter_ == 0 ? L"EntryB0" : L"EntryBn",
                    {self.textFont_, self.fontSize_});
      } else {
        self.Put(L"fmt", L"EntryE");
        ++self.entryCounter_;
      }
      break;
    case L'E':
      if (enter) {
        const wchar_t* key = self.homographCounter_ > 0 ? L"HomB2"
                             : self.entryCounter_ == 0  ? L"HomB"
                                                        : L"HomB1";
        self.Format(L"fmt", key, {self.fontSize_});
      } else {
        self.Put(L"fmt", L"HomE");
        ++self.homographCounter_;
      }
      break;
    case L'G':
      if (enter) self.BeginItems(node);
      simple(L"SenseB", L"SenseE");
      break;
    case L'O':
      if (enter) {
        self.definitions_ = CountChildren(node, L'd');
        self.quotations_ = CountChildren(node, L'Q');
        self.definitionCounter_ = 0;
        self.Put(L"fmt", L"ItemB");
      } else {
        self.Put(L"fmt", L"ItemE");
        ++self.itemCounter_;
      }
      break;
    case L'd':
      if (enter) {
        std::wstring number = IntToWString(self.definitionCounter_ + 1, 10);
        if (self.definitionCounter_ > 0)
          self.Format(L"fmt", L"DefB", {number});
        else if (self.definitions_ > 1)
          self.Format(L"fmt", L"DefB1", {number});
      } else {
        if (self.definitions_ != 1) self.Put(L"fmt", L"DefE");
        ++self.definitionCounter_;
      }
      break;
    case L'P':
      if (enter) {
        self.orthographies_ = CountChildren(node, L'a');
        self.pronunciations_ = CountChildren(node, L'c');
        self.orthographyCounter_ = self.pronunciationCounter_ = 0;
      }
      simple(L"KeyB", L"KeyE");
      break;
    case L'c': {
      const bool beyond = self.pronunciationCounter_ >= self.pronunciations_;
      if (enter) {
        const wchar_t* key = beyond ? L"PronB2" : self.pronunciationCounter_ == 0 ? L"PronB" : L"PronB1";
        self.Format(L"fmt", key, {self.phoneticFont_, self.fontSize_});
      } else {
        const wchar_t* key = beyond ? L"PronE2"
                             : self.pronunciationCounter_ + 1 == self.pronunciations_ ? L"PronE"
                                                                                       : L"PronE1";
        self.Put(L"fmt", key);
        ++self.pronunciationCounter_;
      }
      break;
    }
    case L'F':
      self.RenderForm(node, enter, L"B");
      break;
    case L'a': {
      CXmlNode* parent = node->Parent();
      const bool inForm = parent && parent->Kind() == kElementKind && FirstLetter(parent) == L'F';
      if (enter) {
        const wchar_t* key = self.orthographyCounter_ > 0 ? L"OrthBn" : inForm ? L"OrthB" : L"OrthBk";
        self.Format(L"fmt", key, {self.fontSize_});
      } else {
        self.Format(L"fmt", self.orthographyCounter_ == 0 ? L"OrthE" : L"OrthEn",
                    {self.smallSize_, inForm ? self.HomographNumber() : std::wstring()});
        ++self.orthographyCounter_;
      }
      break;
    }
    case L'r': simple(L"PosB", L"PosE"); break;
    case L's': simple(L"SubcB", L"SubcE"); break;
    case L'S': simple(L"RgB", L"RgE"); break;
    case L'R': simple(L"EgB", L"EgE"); break;
    case L'q': simple(L"QB", L"QE"); break;
    case L'k': simple(L"TrB", L"TrE"); break;
    case L'y':
      if (enter)
        self.Format(L"fmt", L"DB", {EscapeHtml(Attr(node, L"M"))});
      else
        self.Put(L"fmt", L"DE");
      break;
    case L'e':
      if (enter) {
        std::wstring word, label;
        if (HasAttr(node, L"E")) {
          word = Attr(node, L"E");
          label = self.Heading(L"FindWord") + EscapeHtml(word);
          std::wstring encoded;
          UrlEncode(encoded, word.c_str());
          word = encoded;
        } else {
          node->GetText(word);
          word = wordLink(word);
        }
        self.Format(L"fmt", L"RefB", {word, label});
      } else {
        self.Put(L"fmt", L"RefE");
      }
      break;
    case L'h':
    case L'g':
      if (enter) {
        std::wstring text;
        node->GetText(text);
        self.Format(L"fmt", letter == L'h' ? L"SynB" : L"AntB", {wordLink(text)});
      } else {
        self.Put(L"fmt", letter == L'h' ? L"SynE" : L"AntE");
      }
      break;
    case L'z':
      if (enter)
        self.Format(L"fmt", L"ColorB", {EscapeHtml(Attr(node, L"L"))});
      else
        self.Put(L"fmt", L"ColorE");
      break;
    case L'f':
      if (enter && NoCaseEquals(Attr(node, L"E"), L"linkfile") && self.owner_) {
        std::wstring name = Attr(node, L"D"), path;
        if (self.owner_->ExtractResource(path, name.c_str(), static_cast<int>(name.size())))
          self.output_ += EscapeHtml(path);
      }
      break;
    case L'T':
      if (enter)
        self.Format(L"fmt", L"IdiomB", {self.Heading(Attr(node, L"C") == L"JA" ? L"Idiom_JA" : L"Idiom")});
      else
        self.Put(L"fmt", L"IdiomE");
      break;
    case L'H': {
      std::wstring c = Attr(node, L"C");
      if (NoCaseEquals(c, L"phrasalverb"))
        counted(L"PhraseB1", L"PhrasalVerb", L"PhraseE");
      else if (NoCaseEquals(c, L"commonly"))
        counted(L"PhraseB2", L"CommonlyPhrase", L"PhraseE");
      else
        counted(L"PhraseB", L"Phrase", L"PhraseE");
      break;
    }
    case L'K': counted(L"EtymB", L"Etymology", L"EtymE"); break;
    case L'I': counted(L"UsgB", L"Usage", L"UsgE"); break;
    case L'L': {
      std::wstring c = Attr(node, L"C");
      if (NoCaseEquals(c, L"derived"))
        counted(L"ReB1", L"Derived", L"ReE");
      else if (NoCaseEquals(c, L"antonym"))
        counted(L"ReB2", L"Antonym", L"ReE");
      else if (NoCaseEquals(c, L"relatedterm"))
        counted(L"ReB3", L"RelatedTerm", L"ReE");
      else
        counted(L"ReB", L"Reference", L"ReE");
      break;
    }
    case L'N':
      counted(L"NoteB", Attr(node, L"C") == L"wordhistory" ? L"WordHistory" : L"Note", L"NoteE");
      break;
    case L'Y':
      if (enter) {
        DictHost().SetTranslatorSourceText(self.keyText_);
        std::wstring form;
        DictHost().BuildTranslatorFormPage(form, true, false);
        self.output_ += form;
      }
      break;
    case L'n': if (enter) self.output_ += L"<br>"; break;
    case L'Z': if (enter) self.output_ += L"&nbsp;"; break;
    case L'l': self.output_ += enter ? L"<sub>" : L"</sub>"; break;
    case L'm': self.output_ += enter ? L"<sup>" : L"</sup>"; break;
    case L'b': self.output_ += enter ? L"<b>" : L"</b>"; break;
    case L'i': self.output_ += enter ? L"<i>" : L"</i>"; break;
    case L'u': self.output_ += enter ? L"<u>" : L"</u>"; break;
    default: break;
  }
}

void CDictResources::RenderMtt(CXmlNode* node, uint32_t event, CDictResources& self) {
  if (self.RenderCommon(node, event)) return;
  const wchar_t letter = FirstLetter(node);
  const bool enter = event == kEnter;
  switch (letter) {
    case L'C':
      if (enter) {
        self.BeginEntry(node);
        self.Put(L"fmt", self.entryCounter_ == 0 ? L"EntryB" : L"EntryB1");
      } else {
        self.Put(L"fmt", L"EntryE");
        ++self.entryCounter_;
      }
      break;
    case L'E':
      if (enter) {
        self.Put(L"fmt", L"HomB");
      } else {
        self.Put(L"fmt", L"HomE");
        ++self.homographCounter_;
      }
      break;
    case L'F':
      // The second renderer tells a plain form by the attribute "s".
      self.RenderForm(node, enter, L"s");
      break;
    case L'G':
      if (enter) self.BeginItems(node);
      self.Put(L"fmt", enter ? L"SenseB" : L"SenseE");
      break;
    case L'O':
      if (enter) {
        self.definitions_ = CountChildren(node, L'd');
        self.definitionCounter_ = 0;
        self.Format(L"fmt", L"ItemB", {self.textFont_, self.fontSize_});
      } else {
        self.Put(L"fmt", L"ItemE");
      }
      break;
    case L'd':
      if (enter) {
        // Beyond the table's last language a definition shows without a name.
        const size_t rows = sizeof(kMttLanguages) / sizeof(kMttLanguages[0]);
        std::wstring name = self.definitionCounter_ < rows
                                ? EscapeHtml(DictHost().GetLanguageName(kMttLanguages[self.definitionCounter_]))
                                : std::wstring();
        self.Format(L"fmt", L"DefB", {name});
      } else {
        self.Put(L"fmt", L"DefE");
        ++self.definitionCounter_;
      }
      break;
    default: break;
  }
}
