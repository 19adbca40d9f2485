// XML texts and files: CXmlDocument parses a UTF-16 (FF FE) or UTF-8 (EF BB BF)
// text into a tree under a document node, hands out the root element, and
// prints the tree back into a UTF-16 file with a byte-order mark, optionally
// inside the "?VKC" cipher envelope (16-byte key). A declaration is required
// before the root element. On any parse error the whole tree is deleted and
// ErrorContext() shows the text around the failure.
#pragma once

#include <cstdint>
#include <string>

#include "core/XmlNode.h"

class CXmlDocument {
 public:
  CXmlDocument() = default;
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;
  virtual ~CXmlDocument();

  void Clear();
  CXmlElement* GetRoot() const;
  CXmlDocumentNode* DocumentNode() const { return document_; }

  // buffer ends with two zero bytes (UTF-16) or one (UTF-8).
  bool Parse(const void* buffer, uint32_t flags);
  bool LoadFile(const wchar_t* path, uint32_t flags, const uint8_t* key);
  // Writes through a temporary file: a failed save leaves the old file whole.
  bool SaveFile(const wchar_t* path, uint32_t indent, const XmlPrintOptions* options, const uint8_t* key);

  const std::wstring& FilePath() const { return filePath_; }
  const std::wstring& ErrorContext() const { return errorContext_; }

 private:
  CXmlDocumentNode* document_ = nullptr;
  std::wstring filePath_;
  std::wstring errorContext_;
};

// & < > " ' as references; the length of out.
uint32_t EscapeXmlAttribute(std::wstring& out, const wchar_t* text);

// For tests: the n-th node allocation or list append of the parser from now
// on fails (-1 = never).
void XmlInjectFailures(int allocationsAfter, int appendsAfter);
