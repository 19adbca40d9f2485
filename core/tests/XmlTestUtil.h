// Builds the byte buffer CXmlDocument::Parse wants from a wide text: the
// UTF-16 byte-order mark, the text and two zero bytes.
#pragma once

#include <string>

#include "core/XmlDocument.h"

inline std::string Utf16Buffer(const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  bytes.append(2, '\0');
  return bytes;
}

inline bool ParseXml(CXmlDocument& doc, const std::wstring& text, uint32_t flags = kXmlAllFlags) {
  return doc.Parse(Utf16Buffer(text).data(), flags);
}

inline std::wstring PrintXml(const CXmlNode* node, uint32_t indent, XmlPrintOptions options = {0, 0}) {
  std::wstring out;
  node->Print(out, 0, indent, &options);
  return out;
}
