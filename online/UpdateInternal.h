// Pieces shared by the files of the update component; not part of its interface.
#pragma once

#include <string>

#include "core/ConfigFile.h"
#include "core/XmlNode.h"

namespace update_internal {

constexpr wchar_t kBlanks[] = L" \t\r\n";

// An attribute trimmed of blanks, tabs, CR and LF; empty when absent.
inline std::wstring Attribute(CXmlNode* node, const wchar_t* name) {
  std::wstring value;
  node->GetAttribute(value, name);
  TrimWString(value, kBlanks, 0);
  return value;
}

// y, Y, t, T or 1 first; false when absent or empty.
inline bool BoolAttribute(CXmlNode* node, const wchar_t* name) {
  bool value = false;
  node->GetBoolAttribute(&value, name);
  return value;
}

}  // namespace update_internal
