// The UTF-16 XML document model: one abstract node class with ten kinds, each
// node holding a name, a value, its parent and sibling links, a children list
// and (elements) an attribute list. Queries never fail loudly: a missing node,
// attribute or path gives null or false. Parsing, printing and files are in
// XmlDocument.h. Names compare case-sensitively.
#pragma once

#include <cstdint>
#include <string>

enum XmlNodeKind : int32_t {
  kXmlUnknown = 0,
  kXmlDeclaration = 1,
  kXmlDocType = 2,
  kXmlDocument = 3,
  kXmlComment = 4,
  kXmlElement = 5,
  kXmlText = 6,
  kXmlCData = 7,
  kXmlProcessingInstruction = 8,
  kXmlAttribute = 9,
};

// Text normalisation flags of Parse (attribute values always get 1|2|4|8).
enum : uint32_t {
  kXmlTrimLeading = 1,
  kXmlTrimTrailing = 2,
  kXmlCollapseWhite = 4,
  kXmlLineFeedToBlank = 8,
  kXmlDropWhiteText = 16,
  kXmlAllFlags = 31,
};

// Parse error codes; 0 is success.
enum : uint32_t {
  kXmlOk = 0,
  kXmlErrNoMemory = 3,
  kXmlErrEndOfText = 4,
  kXmlErrNotAllowed = 5,
  kXmlErrPiCharacter = 6,
  kXmlErrAppend = 7,
  kXmlErrEmptyText = 9,
  kXmlErrNoNode = 10,
  kXmlErrDeclaration = 12,
  kXmlErrDocType = 13,  // also an attribute without "="
  kXmlErrAttributeEquals = 13,
  kXmlErrPiMarkup = 14,
  kXmlErrCharData = 16,
  kXmlErrCData = 17,
  kXmlErrComment = 18,
  kXmlErrUnknownMarkup = 19,
  kXmlErrDocTypeName = 21,
  kXmlErrElementStart = 22,
  kXmlErrEndTag = 23,
  kXmlErrElementName = 24,
  kXmlErrAttributeName = 26,
  kXmlErrAttributeValue = 27,
  kXmlErrDuplicateAttribute = 28,
  kXmlErrPiTarget = 29,
};

// Print options: cdataAsText writes CDATA sections as escaped text,
// skipComments leaves comments out.
struct XmlPrintOptions {
  uint8_t cdataAsText;
  uint8_t skipComments;
};

// Position record of QueryChildren: depth, index among the siblings counted
// so far (elements only, for children), number of siblings.
struct XmlWalkPosition {
  uint32_t depth, index, count;
};
// Events: 0 enter, 1 leave, 2 attributes begin, 5 attributes end, 6 children begin/end.
typedef void (*XmlVisitor)(class CXmlNode* node, uint32_t event, const XmlWalkPosition* position, uint32_t user1,
                           uint32_t user2);

class CXmlNode;
class CXmlElement;
class CXmlAttribute;

class CXmlNodeList {
 public:
  explicit CXmlNodeList(CXmlNode* owner) : owner_(owner) {}
  CXmlNodeList(const CXmlNodeList&) = delete;
  CXmlNodeList& operator=(const CXmlNodeList&) = delete;
  virtual ~CXmlNodeList() { DeleteAll(); }

  // Refuses a node that belongs to another parent or already sits in a list.
  bool Append(CXmlNode* node);
  void DeleteAll();
  void DetachAll();
  CXmlNode* FindByName(const wchar_t* name, int index) const;
  CXmlNode* FindByNameAndKind(const wchar_t* name, int32_t kind, int index) const;
  CXmlNode* FirstOfKind(int32_t kind) const;

  CXmlNode* Owner() const { return owner_; }
  CXmlNode* First() const { return first_; }
  CXmlNode* Last() const { return last_; }
  uint32_t Count() const { return count_; }

 private:
  friend class CXmlNode;
  CXmlNode* owner_;
  CXmlNode* first_ = nullptr;
  CXmlNode* last_ = nullptr;
  uint32_t count_ = 0;
};

class CXmlNodeBase {
 public:
  virtual ~CXmlNodeBase() = default;
};

class CXmlNode : public CXmlNodeBase {
 public:
  CXmlNode(const CXmlNode&) = delete;
  CXmlNode& operator=(const CXmlNode&) = delete;
  ~CXmlNode() override;

  virtual bool GetName(std::wstring& out) const;
  virtual const wchar_t* NamePtr() const;
  virtual bool GetValue(std::wstring& out) const;
  virtual const wchar_t* ValuePtr() const;
  virtual void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const = 0;
  // Reads the node at *cursor (NUL-terminated UTF-16) and moves the cursor
  // behind it; on failure the cursor stands where the text went wrong.
  virtual uint32_t Parse(const wchar_t** cursor, uint32_t flags) = 0;

  int32_t Kind() const { return kind_; }
  CXmlNode* Parent() const { return parent_; }
  CXmlNode* PreviousSibling() const { return previous_; }
  CXmlNode* NextSibling() const { return next_; }
  CXmlNodeList* Children() const { return children_; }
  CXmlNodeList* Attributes() const { return attributes_; }
  CXmlNode* FirstChild() const { return children_ ? children_->first_ : nullptr; }

  bool SetName(const wchar_t* name);  // only a valid XML name is taken
  bool IsNamed(const wchar_t* name) const;
  CXmlElement* ToElement();
  CXmlAttribute* ToAttribute();

  bool AppendChild(CXmlNode* node);
  bool AddAttribute(CXmlNode* attribute);
  CXmlNode* FindChild(const wchar_t* name, int index) const;
  CXmlNode* FindChildElement(const wchar_t* name, int32_t kind, int index) const;
  CXmlNode* FirstChildOfType(int32_t kind) const;
  CXmlNode* NextSiblingOfType(int32_t kind) const;

  // Paths are "/" segments of child names, "name*N" for the N-th match:
  // "/id/#text", "/dict*2/name".
  CXmlNode* FindPath(const wchar_t* path) const;
  bool GetPathValue(std::wstring& out, const wchar_t* path) const;
  bool GetUIntText(uint32_t* out, const wchar_t* path, int base) const;
  void GetText(std::wstring& out) const;  // all character data of the subtree

  CXmlNode* GetAttributeNode(const wchar_t* name) const;
  bool GetAttribute(std::wstring& out, const wchar_t* name) const;
  bool GetIntAttribute(uint32_t* out, const wchar_t* name, int base) const;
  bool GetBoolAttribute(bool* out, const wchar_t* name) const;
  CXmlNode* SetAttribute(const wchar_t* name, const wchar_t* value);

  void DeleteChildren();
  void DeleteAttributes();
  void DetachChildren();
  void SwapChildren(CXmlNode* other);
  void Reset();
  void QueryChildren(XmlVisitor visitor, uint32_t user1, uint32_t user2);

 protected:
  explicit CXmlNode(int32_t kind) : kind_(kind) {}
  void WalkChildren(XmlVisitor visitor, const XmlWalkPosition* position, uint32_t user1, uint32_t user2,
                    bool withEvents);
  void Walk(XmlVisitor visitor, const XmlWalkPosition* position, uint32_t user1, uint32_t user2);
  // Parses node as a child of this node and appends it to list; deletes it on
  // failure, and drops an all-white-space text node when asked to.
  uint32_t ParseChild(CXmlNodeList* list, CXmlNode* node, const wchar_t** cursor, uint32_t flags,
                      bool dropWhiteText);
  uint32_t Fail(const wchar_t** cursor, const wchar_t* at, uint32_t code);

  int32_t kind_;
  std::wstring name_;
  std::wstring value_;
  CXmlNode* parent_ = nullptr;
  CXmlNode* previous_ = nullptr;
  CXmlNode* next_ = nullptr;
  CXmlNodeList* children_ = nullptr;
  CXmlNodeList* attributes_ = nullptr;

  friend class CXmlNodeList;
};

class CXmlUnknown : public CXmlNode {
 public:
  CXmlUnknown() : CXmlNode(kXmlUnknown) {}
  const wchar_t* NamePtr() const override { return L"#unknown"; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
};

class CXmlDeclaration : public CXmlNode {
 public:
  CXmlDeclaration() : CXmlNode(kXmlDeclaration) {}
  const wchar_t* NamePtr() const override { return L"xml"; }
  bool GetValue(std::wstring& out) const override;
  const wchar_t* ValuePtr() const override { return L""; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;

  std::wstring version, encoding, standalone;
};

class CXmlDocType : public CXmlNode {
 public:
  CXmlDocType() : CXmlNode(kXmlDocType) {}
  bool GetValue(std::wstring& out) const override;
  const wchar_t* ValuePtr() const override { return L""; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
  const std::wstring& InternalSubset() const { return value_; }

  std::wstring keyword;  // "SYSTEM", "PUBLIC" or empty
  std::wstring literal;  // PUBLIC: public literal, a blank, system literal

 private:
  std::wstring publicId_, systemId_;  // the literals apart, to print them quoted
};

class CXmlComment : public CXmlNode {
 public:
  CXmlComment() : CXmlNode(kXmlComment) {}
  const wchar_t* NamePtr() const override { return L"#comment"; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
};

class CXmlElement : public CXmlNode {
 public:
  CXmlElement();
  bool GetValue(std::wstring& out) const override;
  const wchar_t* ValuePtr() const override { return L""; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  // Parses one element with its content (leading white space skipped).
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
  bool IsSpacePreserved() const;

 private:
  uint32_t ParseContent(const wchar_t** cursor, uint32_t flags);
};

class CXmlText : public CXmlNode {
 public:
  CXmlText() : CXmlNode(kXmlText) {}
  const wchar_t* NamePtr() const override { return L"#text"; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  // Character data up to the next "<"; the caller sets the parent first.
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
  void SetValue(const wchar_t* text) { value_ = text ? text : L""; }
};

class CXmlCData : public CXmlNode {
 public:
  CXmlCData() : CXmlNode(kXmlCData) {}
  const wchar_t* NamePtr() const override { return L"#cdata-section"; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
};

class CXmlProcessingInstruction : public CXmlNode {
 public:
  CXmlProcessingInstruction() : CXmlNode(kXmlProcessingInstruction) {}
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
};

class CXmlAttribute : public CXmlNode {
 public:
  CXmlAttribute() : CXmlNode(kXmlAttribute) {}
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;
  void SetValue(const wchar_t* text) { value_ = text ? text : L""; }
};

class CXmlDocumentNode : public CXmlNode {
 public:
  CXmlDocumentNode();
  const wchar_t* NamePtr() const override { return L"#document"; }
  bool GetValue(std::wstring& out) const override;
  const wchar_t* ValuePtr() const override { return L""; }
  void Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const override;
  uint32_t Parse(const wchar_t** cursor, uint32_t flags) override;

  bool IsEmpty() const { return root_ == nullptr; }
  CXmlElement* RootElement() const { return root_; }
  CXmlDeclaration* Declaration() const { return declaration_; }
  CXmlDocType* DocType() const { return docType_; }

 private:
  CXmlDeclaration* declaration_ = nullptr;  // these three point into the children
  CXmlDocType* docType_ = nullptr;
  CXmlElement* root_ = nullptr;
};

// True when the whole text is one XML 1.0 name.
bool IsXmlName(const wchar_t* text, size_t length);
