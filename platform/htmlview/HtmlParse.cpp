// Tolerant HTML parsing and serialization. The tree builder repairs what the
// program's pages and the dictionaries' fragments leave open (a div unclosed in
// a table cell, rows without cells, stray end tags) the way a browser would
// for these cases, and caps the nesting depth so that layout and painting,
// which recurse over the tree, stay within the thread's stack.
#include <algorithm>
#include <cwctype>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/htmlview/HtmlDom.h"
#include "platform/htmlview/HtmlText.h"

namespace htmlview {

namespace {

constexpr int kMaxDepth = 256;

// Tag sets are looked up, not compared name by name: each start tag asks
// several of them.
using TagSet = std::unordered_set<std::wstring>;

bool IsVoid(const std::wstring& tag) {
  static const TagSet kTags = {L"br",   L"img",  L"input", L"hr",  L"meta",     L"link", L"col",
                               L"base", L"area", L"param", L"wbr", L"basefont", L"embed"};
  return kTags.count(tag) != 0;
}

bool IsRawText(const std::wstring& tag) {
  static const TagSet kTags = {L"style", L"script", L"textarea", L"title", L"xmp"};
  return kTags.count(tag) != 0;
}

bool ClosesParagraph(const std::wstring& tag) {
  static const TagSet kTags = {L"p",  L"div", L"table", L"ul",  L"ol",         L"dl", L"h1",     L"h2",   L"h3",
                               L"h4", L"h5",  L"h6",    L"pre", L"blockquote", L"hr", L"center", L"form", L"address"};
  return kTags.count(tag) != 0;
}

bool IsHeadTag(const std::wstring& tag) {
  static const TagSet kTags = {L"style", L"title", L"meta", L"link", L"script", L"base"};
  return kTags.count(tag) != 0;
}

class TreeBuilder {
 public:
  TreeBuilder(Element* root, Document* doc, bool fullDocument)
      : doc_(doc), full_(fullDocument) {
    if (full_) {
      head_ = doc->Head();
      body_ = doc->Body();
      stack_.push_back(body_);
    } else {
      stack_.push_back(root);
    }
    baseDepth_ = stack_[0]->Depth();
  }

  void Run(const std::wstring& s) {
    size_t i = 0, n = s.size();
    while (i < n) {
      if (s[i] != L'<') {
        size_t next = s.find(L'<', i);
        if (next == std::wstring::npos) next = n;
        AddText(s.substr(i, next - i));
        i = next;
        continue;
      }
      if (s.compare(i, 4, L"<!--") == 0) {
        size_t end = s.find(L"-->", i + 4);
        size_t stop = end == std::wstring::npos ? n : end;
        AddComment(s.substr(i + 4, stop - i - 4));
        i = end == std::wstring::npos ? n : end + 3;
      } else if (i + 1 < n && (s[i + 1] == L'!' || s[i + 1] == L'?')) {
        size_t end = s.find(L'>', i);
        i = end == std::wstring::npos ? n : end + 1;
      } else if (i + 2 < n && s[i + 1] == L'/' && iswalpha(s[i + 2])) {
        size_t p = i + 2;
        std::wstring name = ReadName(s, p);
        size_t end = s.find(L'>', p);
        i = end == std::wstring::npos ? n : end + 1;
        EndTag(name);
      } else if (i + 1 < n && iswalpha(s[i + 1])) {
        i = StartTag(s, i + 1);
      } else {
        AddText(L"<");
        ++i;
      }
    }
  }

 private:
  static std::wstring ReadName(const std::wstring& s, size_t& p) {
    size_t b = p;
    while (p < s.size() && (iswalnum(s[p]) || s[p] == L'-' || s[p] == L'_' || s[p] == L':')) ++p;
    std::wstring name = s.substr(b, p - b);
    ToLowerAscii(name);
    return name;
  }

  Element* Current() const { return stack_.back(); }

  size_t StartTag(const std::wstring& s, size_t p) {
    size_t n = s.size();
    std::wstring name = ReadName(s, p);
    auto el = std::make_unique<Element>(doc_, NodeKind::kElement, name);
    while (p < n) {
      while (p < n && (IsSpace(s[p]) || s[p] == L'/')) ++p;
      if (p >= n || s[p] == L'>') break;
      size_t b = p;
      while (p < n && !IsSpace(s[p]) && s[p] != L'=' && s[p] != L'>' &&
             !(s[p] == L'/' && p + 1 < n && s[p + 1] == L'>')) {
        ++p;
      }
      std::wstring attr = s.substr(b, p - b);
      ToLowerAscii(attr);
      while (p < n && IsSpace(s[p])) ++p;
      std::wstring value;
      if (p < n && s[p] == L'=') {
        ++p;
        while (p < n && IsSpace(s[p])) ++p;
        if (p < n && (s[p] == L'"' || s[p] == L'\'')) {
          wchar_t q = s[p++];
          size_t e = s.find(q, p);
          if (e == std::wstring::npos) e = n;
          value = s.substr(p, e - p);
          p = e < n ? e + 1 : n;
        } else {
          size_t vb = p;
          while (p < n && !IsSpace(s[p]) && s[p] != L'>') ++p;
          value = s.substr(vb, p - vb);
        }
        DecodeCharacterReferences(value);
      }
      if (!attr.empty()) el->AddParsedAttribute(std::move(attr), std::move(value));
    }
    if (p < n) ++p;  // the '>'

    if (IsRawText(name)) {
      size_t end = p;
      for (;;) {
        end = s.find(L"</", end);
        if (end == std::wstring::npos) break;
        size_t q = end + 2;
        if (ReadName(s, q) == name) break;
        end += 2;
      }
      std::wstring content = s.substr(p, (end == std::wstring::npos ? n : end) - p);
      if (name == L"textarea" || name == L"title") DecodeCharacterReferences(content);
      if (name == L"textarea" && !content.empty() && content[0] == L'\n') content.erase(0, 1);
      if (!content.empty()) {
        el->AppendChild(std::make_unique<Element>(doc_, NodeKind::kText, std::move(content)));
      }
      Insert(std::move(el), false);
      if (end == std::wstring::npos) return n;
      size_t close = s.find(L'>', end);
      return close == std::wstring::npos ? n : close + 1;
    }
    Open(std::move(el));
    return p;
  }

  // The place on the stack of the topmost element with one of tags that no
  // element with one of boundaries stands above; -1 when there is none.
  int FindInScope(std::initializer_list<const wchar_t*> tags,
                  std::initializer_list<const wchar_t*> boundaries) const {
    const int found = Topmost(tags);
    return found >= 1 && found >= Topmost(boundaries) ? found : -1;
  }

  int Topmost(std::initializer_list<const wchar_t*> tags) const {
    int top = -1;
    for (const wchar_t* t : tags) {
      auto it = open_.find(t);
      if (it != open_.end() && !it->second.empty()) top = std::max(top, it->second.back());
    }
    return top;
  }

  void Push(Element* el) {
    open_[el->Tag()].push_back(static_cast<int>(stack_.size()));
    stack_.push_back(el);
  }

  void PopTo(int k) {  // removes stack_[k] and above (never the root)
    while (static_cast<int>(stack_.size()) > std::max(k, 1)) {
      open_[stack_.back()->Tag()].pop_back();
      stack_.pop_back();
    }
  }

  void Open(std::unique_ptr<Element> el) {
    const std::wstring tag = el->Tag();
    if (full_ && (tag == L"html" || tag == L"head" || tag == L"body")) {
      Element* target = tag == L"head" ? head_ : tag == L"body" ? body_ : doc_->Root();
      for (auto& a : el->Attributes()) {
        if (!target->HasAttribute(a.first.c_str())) target->SetAttribute(a.first, a.second);
      }
      if (tag == L"body") inBody_ = true;
      return;
    }
    if (!full_ && (tag == L"html" || tag == L"head" || tag == L"body")) return;
    if (ClosesParagraph(tag)) {
      int k = FindInScope({L"p"}, {L"td", L"th", L"table", L"div", L"li"});
      if (k > 0) PopTo(k);
    }
    if (tag == L"li") {
      int k = FindInScope({L"li"}, {L"ul", L"ol", L"td", L"table"});
      if (k > 0) PopTo(k);
    } else if (tag == L"dt" || tag == L"dd") {
      int k = FindInScope({L"dt", L"dd"}, {L"dl", L"td", L"table"});
      if (k > 0) PopTo(k);
    } else if (tag == L"option" || tag == L"optgroup") {
      int k = FindInScope({L"option"}, {L"select"});
      if (k > 0) PopTo(k);
    } else if (tag == L"tr") {
      int k = FindInScope({L"table", L"tbody", L"thead", L"tfoot"}, {});
      if (k > 0) PopTo(k + 1);
    } else if (tag == L"td" || tag == L"th") {
      int k = FindInScope({L"tr", L"table", L"tbody", L"thead", L"tfoot"}, {});
      if (k > 0) {
        PopTo(k + 1);
        if (!stack_[k]->Is(L"tr")) {
          Insert(std::make_unique<Element>(doc_, NodeKind::kElement, L"tr"), true);
        }
      }
    } else if (tag == L"tbody" || tag == L"thead" || tag == L"tfoot") {
      int k = FindInScope({L"table"}, {});
      if (k > 0) PopTo(k + 1);
    }
    Insert(std::move(el), !IsVoid(tag));
  }

  void Insert(std::unique_ptr<Element> el, bool push) {
    Element* raw = el.get();
    Element* parent = Current();
    if (full_ && !inBody_ && stack_.size() == 1) {
      if (IsHeadTag(raw->Tag())) {
        head_->AppendChild(std::move(el));
        return;
      }
      inBody_ = true;
    }
    parent->AppendChild(std::move(el));
    if (push && baseDepth_ + static_cast<int>(stack_.size()) < kMaxDepth) Push(raw);
  }

  void EndTag(const std::wstring& tag) {
    if (tag == L"br") {
      Open(std::make_unique<Element>(doc_, NodeKind::kElement, L"br"));
      return;
    }
    int k;
    if (tag == L"td" || tag == L"th") {
      k = FindInScope({tag.c_str()}, {L"table"});
    } else if (tag == L"tr" || tag == L"tbody" || tag == L"thead" || tag == L"tfoot") {
      k = FindInScope({tag.c_str()}, {L"table"});
    } else if (tag == L"table") {
      k = FindInScope({L"table"}, {});
    } else if (tag == L"option" || tag == L"select") {
      k = FindInScope({tag.c_str()}, {L"td", L"table"});
    } else {
      k = FindInScope({tag.c_str()}, {L"td", L"th", L"table", L"select"});
    }
    if (k > 0) PopTo(k);
  }

  void AddText(std::wstring text) {
    if (text.empty()) return;
    if (full_ && !inBody_ && stack_.size() == 1) {
      bool blank = true;
      for (wchar_t c : text) blank = blank && IsSpace(c);
      if (blank) return;
      inBody_ = true;
    }
    DecodeCharacterReferences(text);
    Element* parent = Current();
    size_t count = parent->ChildCount();
    Element* last = count ? parent->Child(count - 1) : nullptr;
    if (last && last->IsText()) {
      last->AppendText(text);
      return;
    }
    parent->AppendChild(std::make_unique<Element>(doc_, NodeKind::kText, std::move(text)));
  }

  void AddComment(std::wstring text) {
    if (full_ && !inBody_ && stack_.size() == 1) return;
    Current()->AppendChild(std::make_unique<Element>(doc_, NodeKind::kComment, std::move(text)));
  }

  Document* doc_;
  bool full_;
  bool inBody_ = false;
  Element* head_ = nullptr;
  Element* body_ = nullptr;
  std::vector<Element*> stack_;
  // The places on the stack where each tag stands open, bottom to top (the
  // root's excluded): found without a walk down the stack, which at the depth
  // cap took the depth times the number of tags.
  std::unordered_map<std::wstring, std::vector<int>> open_;
  int baseDepth_ = 0;
};

void EscapeInto(std::wstring& out, const std::wstring& text, bool attribute) {
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += attribute ? L"<" : L"&lt;"; break;
      case L'>': out += attribute ? L">" : L"&gt;"; break;
      case L'"': out += attribute ? L"&quot;" : L"\""; break;
      case 0xA0: out += L"&nbsp;"; break;
      default: out.push_back(c);
    }
  }
}

}  // namespace

void ParseFragment(Element* parent, const std::wstring& html) {
  TreeBuilder builder(parent, parent->OwnerDocument(), false);
  builder.Run(html);
}

void ParseDocumentInto(Document* doc, const std::wstring& html) {
  TreeBuilder builder(doc->Root(), doc, true);
  builder.Run(html);
}

void SerializeNode(std::wstring& out, const Element* node, bool outer) {
  switch (node->Kind()) {
    case NodeKind::kText: {
      const Element* p = node->Parent();
      if (p && (p->Is(L"style") || p->Is(L"script"))) {
        out += node->Text();
      } else {
        EscapeInto(out, node->Text(), false);
      }
      return;
    }
    case NodeKind::kComment:
      out += L"<!--";
      out += node->Text();
      out += L"-->";
      return;
    case NodeKind::kElement:
      break;
  }
  if (outer) {
    out.push_back(L'<');
    out += node->Tag();
    for (const auto& a : node->Attributes()) {
      out.push_back(L' ');
      out += a.first;
      out += L"=\"";
      EscapeInto(out, a.second, true);
      out.push_back(L'"');
    }
    out.push_back(L'>');
  }
  for (size_t i = 0; i < node->ChildCount(); ++i) SerializeNode(out, node->Child(i), true);
  if (outer && !IsVoid(node->Tag())) {
    out += L"</";
    out += node->Tag();
    out.push_back(L'>');
  }
}

}  // namespace htmlview
