#include "core/XmlNode.h"

#include <cwchar>
#include <new>

// ---------------------------------------------------------------------------
// Node lists

bool CXmlNodeList::Append(CXmlNode* node) {
  if (!node) return false;
  if (node->parent_ && node->parent_ != owner_) return false;
  // A node already linked into this list would turn it into a cycle.
  if (node->previous_ || node->next_ || first_ == node) return false;
  node->parent_ = owner_;
  node->previous_ = last_;
  node->next_ = nullptr;
  if (last_) {
    last_->next_ = node;
  } else {
    first_ = node;
  }
  last_ = node;
  ++count_;
  return true;
}

void CXmlNodeList::DeleteAll() {
  CXmlNode* n = first_;
  first_ = last_ = nullptr;
  count_ = 0;
  while (n) {
    CXmlNode* next = n->next_;
    n->parent_ = n->previous_ = n->next_ = nullptr;
    delete n;
    n = next;
  }
}

void CXmlNodeList::DetachAll() {
  for (CXmlNode* n = first_; n;) {
    CXmlNode* next = n->next_;
    n->parent_ = n->previous_ = n->next_ = nullptr;
    n = next;
  }
  first_ = last_ = nullptr;
  count_ = 0;
}

CXmlNode* CXmlNodeList::FindByName(const wchar_t* name, int index) const {
  for (CXmlNode* n = first_; n; n = n->next_) {
    if (std::wcscmp(n->NamePtr(), name) == 0 && index-- == 0) return n;
  }
  return nullptr;
}

CXmlNode* CXmlNodeList::FindByNameAndKind(const wchar_t* name, int32_t kind, int index) const {
  for (CXmlNode* n = first_; n; n = n->next_) {
    if (n->kind_ == kind && std::wcscmp(n->NamePtr(), name) == 0 && index-- == 0) return n;
  }
  return nullptr;
}

CXmlNode* CXmlNodeList::FirstOfKind(int32_t kind) const {
  for (CXmlNode* n = first_; n; n = n->next_) {
    if (n->kind_ == kind) return n;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Nodes

CXmlNode::~CXmlNode() {
  delete attributes_;
  delete children_;
}

bool CXmlNode::GetName(std::wstring& out) const {
  out = NamePtr();
  return !out.empty();
}

const wchar_t* CXmlNode::NamePtr() const { return name_.c_str(); }

bool CXmlNode::GetValue(std::wstring& out) const {
  out = value_;
  return true;
}

const wchar_t* CXmlNode::ValuePtr() const { return value_.c_str(); }

bool CXmlNode::SetName(const wchar_t* name) {
  if (!name || !IsXmlName(name, std::wcslen(name))) return false;
  name_ = name;
  return true;
}

bool CXmlNode::IsNamed(const wchar_t* name) const { return name && std::wcscmp(NamePtr(), name) == 0; }

CXmlElement* CXmlNode::ToElement() { return kind_ == kXmlElement ? static_cast<CXmlElement*>(this) : nullptr; }

CXmlAttribute* CXmlNode::ToAttribute() {
  return kind_ == kXmlAttribute ? static_cast<CXmlAttribute*>(this) : nullptr;
}

bool CXmlNode::AppendChild(CXmlNode* node) {
  if (!node || node->kind_ == kXmlAttribute) return false;
  if ((node->kind_ == kXmlElement || node->kind_ == kXmlProcessingInstruction || node->kind_ == kXmlDocType) &&
      node->name_.empty())
    return false;
  if ((kind_ != kXmlElement && kind_ != kXmlDocument) || !children_) return false;
  return children_->Append(node);
}

bool CXmlNode::AddAttribute(CXmlNode* attribute) {
  if (!attribute || attribute->kind_ != kXmlAttribute || attribute->name_.empty()) return false;
  if (kind_ != kXmlElement || !attributes_) return false;
  if (attributes_->FindByName(attribute->NamePtr(), 0)) return false;
  return attributes_->Append(attribute);
}

CXmlNode* CXmlNode::FindChild(const wchar_t* name, int index) const {
  return name && children_ ? children_->FindByName(name, index) : nullptr;
}

CXmlNode* CXmlNode::FindChildElement(const wchar_t* name, int32_t kind, int index) const {
  return name && children_ ? children_->FindByNameAndKind(name, kind, index) : nullptr;
}

CXmlNode* CXmlNode::FirstChildOfType(int32_t kind) const { return children_ ? children_->FirstOfKind(kind) : nullptr; }

CXmlNode* CXmlNode::NextSiblingOfType(int32_t kind) const {
  for (CXmlNode* n = next_; n; n = n->next_) {
    if (n->kind_ == kind) return n;
  }
  return nullptr;
}

CXmlNode* CXmlNode::FindPath(const wchar_t* path) const {
  if (!path || *path != L'/') return nullptr;
  const CXmlNode* node = this;
  std::wstring segment;
  while (*path == L'/') {
    const wchar_t* start = path + 1;
    const wchar_t* end = start;
    while (*end && *end != L'/') ++end;
    if (end == start) return nullptr;
    segment.assign(start, end - start);
    int index = 0;
    std::wstring::size_type star = segment.find(L'*');
    if (star != std::wstring::npos) {
      index = static_cast<int>(std::wcstoul(segment.c_str() + star + 1, nullptr, 10));
      segment.erase(star);
    }
    node = node->FindChild(segment.c_str(), index);
    if (!node) return nullptr;
    path = end;
  }
  return const_cast<CXmlNode*>(node);
}

bool CXmlNode::GetPathValue(std::wstring& out, const wchar_t* path) const {
  const CXmlNode* node = FindPath(path);
  if (!node) {
    out.clear();
    return false;
  }
  return node->GetValue(out);
}

bool CXmlNode::GetUIntText(uint32_t* out, const wchar_t* path, int base) const {
  std::wstring text;
  if (!GetPathValue(text, path)) {
    if (out) *out = 0;
    return false;
  }
  if (out) *out = std::wcstoul(text.c_str(), nullptr, base);
  return true;
}

void CXmlNode::GetText(std::wstring& out) const {
  out.clear();
  if (!children_) return;
  std::wstring inner;
  for (CXmlNode* n = children_->first_; n; n = n->next_) {
    if (n->kind_ == kXmlText || n->kind_ == kXmlCData) {
      out += n->value_;
    } else if (n->kind_ == kXmlElement) {
      n->GetText(inner);
      out += inner;
    }
  }
}

CXmlNode* CXmlNode::GetAttributeNode(const wchar_t* name) const {
  return name && attributes_ ? attributes_->FindByName(name, 0) : nullptr;
}

bool CXmlNode::GetAttribute(std::wstring& out, const wchar_t* name) const {
  const CXmlNode* a = GetAttributeNode(name);
  if (!a) {
    out.clear();
    return false;
  }
  out = a->value_;
  return true;
}

bool CXmlNode::GetIntAttribute(uint32_t* out, const wchar_t* name, int base) const {
  const CXmlNode* a = GetAttributeNode(name);
  if (out) *out = a ? std::wcstoul(a->value_.c_str(), nullptr, base) : 0;
  return a != nullptr;
}

bool CXmlNode::GetBoolAttribute(bool* out, const wchar_t* name) const {
  const CXmlNode* a = GetAttributeNode(name);
  bool present = a && !a->value_.empty();
  if (out) {
    wchar_t c = present ? a->value_[0] : 0;
    *out = c == L'y' || c == L'Y' || c == L't' || c == L'T' || c == L'1';
  }
  return present;
}

CXmlNode* CXmlNode::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (kind_ != kXmlElement) return nullptr;
  CXmlNode* existing = GetAttributeNode(name);
  if (existing) {
    existing->value_ = value ? value : L"";
    return existing;
  }
  CXmlAttribute* a = new (std::nothrow) CXmlAttribute;
  if (!a) return nullptr;
  if (!a->SetName(name) || !attributes_->Append(a)) {
    delete a;
    return nullptr;
  }
  a->SetValue(value);
  return a;
}

void CXmlNode::DeleteChildren() {
  if (children_) children_->DeleteAll();
}

void CXmlNode::DeleteAttributes() {
  if (attributes_) attributes_->DeleteAll();
}

void CXmlNode::DetachChildren() {
  if (children_) children_->DetachAll();
}

void CXmlNode::SwapChildren(CXmlNode* other) {
  // Only between two nodes that have children lists: a list may not end up
  // on a node kind that cannot hold one.
  if (!other || other == this || !children_ || !other->children_) return;
  CXmlNodeList* mine = children_;
  children_ = other->children_;
  other->children_ = mine;
  children_->owner_ = this;
  other->children_->owner_ = other;
  for (CXmlNode* n = children_->first_; n; n = n->next_) n->parent_ = this;
  for (CXmlNode* n = other->children_->first_; n; n = n->next_) n->parent_ = other;
}

void CXmlNode::Reset() {
  name_.clear();
  value_.clear();
  DeleteChildren();
  DeleteAttributes();
}

void CXmlNode::Walk(XmlVisitor visitor, const XmlWalkPosition* position, uint32_t user1, uint32_t user2) {
  visitor(this, 0, position, user1, user2);
  if (attributes_ && attributes_->count_) {
    visitor(this, 2, position, user1, user2);
    XmlWalkPosition p = {position->depth + 1, 0, attributes_->count_};
    for (CXmlNode* a = attributes_->first_; a; a = a->next_, ++p.index) {
      visitor(a, 0, &p, user1, user2);
      visitor(a, 1, &p, user1, user2);
    }
    visitor(this, 5, position, user1, user2);
  }
  if (children_ && children_->count_) WalkChildren(visitor, position, user1, user2, true);
  visitor(this, 1, position, user1, user2);
}

void CXmlNode::WalkChildren(XmlVisitor visitor, const XmlWalkPosition* position, uint32_t user1, uint32_t user2,
                            bool withEvents) {
  if (withEvents) visitor(this, 6, position, user1, user2);
  XmlWalkPosition p = {position->depth + 1, 0, children_->count_};
  for (CXmlNode* c = children_->first_; c; c = c->next_) {
    c->Walk(visitor, &p, user1, user2);
    if (c->kind_ == kXmlElement) ++p.index;
  }
  if (withEvents) visitor(this, 6, position, user1, user2);
}

void CXmlNode::QueryChildren(XmlVisitor visitor, uint32_t user1, uint32_t user2) {
  if (!visitor) return;
  const XmlWalkPosition start = {0, 0, 0};
  visitor(this, 0, &start, user1, user2);
  if (children_ && children_->count_) WalkChildren(visitor, &start, user1, user2, false);
  visitor(this, 1, &start, user1, user2);
}

// ---------------------------------------------------------------------------
// Kinds

CXmlElement::CXmlElement() : CXmlNode(kXmlElement) {
  children_ = new CXmlNodeList(this);
  attributes_ = new CXmlNodeList(this);
}

bool CXmlElement::GetValue(std::wstring& out) const {
  out.clear();
  return false;
}

bool CXmlElement::IsSpacePreserved() const {
  for (const CXmlNode* n = this; n && n->Kind() == kXmlElement; n = n->Parent()) {
    const CXmlNode* a = n->GetAttributeNode(L"xml:space");
    if (a) return std::wcscmp(a->ValuePtr(), L"preserve") == 0;
  }
  return false;
}

CXmlDocumentNode::CXmlDocumentNode() : CXmlNode(kXmlDocument) { children_ = new CXmlNodeList(this); }

bool CXmlDocumentNode::GetValue(std::wstring& out) const {
  out.clear();
  return false;
}

bool CXmlDocType::GetValue(std::wstring& out) const {
  out.clear();
  return false;
}

bool CXmlDeclaration::GetValue(std::wstring& out) const {
  out.clear();
  return false;
}
