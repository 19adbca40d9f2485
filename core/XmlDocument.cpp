// Printing of every node kind, and the document object with its files.
#include "core/XmlDocument.h"

#include <cstring>
#include <new>

#include "core/EnvelopeFile.h"
#include "core/TextCodec.h"

namespace {

const XmlPrintOptions kDefaultOptions = {0, 0};

inline void Indent(std::wstring& out, uint32_t blanks) { out.append(blanks, L' '); }

// & < > always; the double quote too inside attribute values.
void AppendEscaped(std::wstring& out, const std::wstring& value, bool quote) {
  size_t run = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    const wchar_t* ref;
    switch (value[i]) {
      case L'&': ref = L"&amp;"; break;
      case L'<': ref = L"&lt;"; break;
      case L'>': ref = L"&gt;"; break;
      case L'"': ref = quote ? L"&quot;" : nullptr; break;
      default: ref = nullptr; break;
    }
    if (!ref) continue;
    out.append(value, run, i - run);
    out += ref;
    run = i + 1;
  }
  out.append(value, run, std::wstring::npos);
}

void AppendQuoted(std::wstring& out, const std::wstring& literal) {
  wchar_t quote = literal.find(L'"') == std::wstring::npos ? L'"' : L'\'';
  out += quote;
  out += literal;
  out += quote;
}

}  // namespace

// ---------------------------------------------------------------------------
// Printing

void CXmlElement::Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const {
  if (!options) options = &kDefaultOptions;
  Indent(out, level * indent);
  out += L'<';
  out += name_;
  for (const CXmlNode* a = attributes_->First(); a; a = a->NextSibling()) {
    out += L' ';
    a->Print(out, level, indent, options);
  }
  const CXmlNode* first = children_->First();
  if (!first) {
    out += L" />";
    return;
  }
  if (first == children_->Last() && first->Kind() == kXmlText) {
    out += L'>';
    first->Print(out, level + 1, indent, options);
  } else {
    out += L'>';
    for (const CXmlNode* c = first; c; c = c->NextSibling()) {
      if (c->Kind() == kXmlComment && options->skipComments) continue;
      if (indent) {
        out += L"\r\n";
        if (c->Kind() == kXmlText || (c->Kind() == kXmlCData && options->cdataAsText))
          Indent(out, (level + 1) * indent);
      }
      c->Print(out, level + 1, indent, options);
    }
    if (indent) {
      out += L"\r\n";
      Indent(out, level * indent);
    }
  }
  out += L"</";
  out += name_;
  out += L'>';
}

void CXmlAttribute::Print(std::wstring& out, uint32_t, uint32_t, const XmlPrintOptions*) const {
  out += name_;
  out += L"=\"";
  AppendEscaped(out, value_, true);
  out += L'"';
}

void CXmlText::Print(std::wstring& out, uint32_t, uint32_t, const XmlPrintOptions*) const {
  AppendEscaped(out, value_, false);
}

void CXmlCData::Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const {
  if (options && options->cdataAsText) {
    AppendEscaped(out, value_, false);
    return;
  }
  Indent(out, level * indent);
  out += L"<![CDATA[";
  out += value_;
  out += L"]]>";
}

void CXmlComment::Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions* options) const {
  if (options && options->skipComments) return;
  Indent(out, level * indent);
  out += L"<!--";
  out += value_;
  out += L"-->";
}

void CXmlProcessingInstruction::Print(std::wstring& out, uint32_t level, uint32_t indent,
                                      const XmlPrintOptions*) const {
  Indent(out, level * indent);
  out += L"<?";
  out += name_;
  if (!value_.empty()) {
    out += L' ';
    out += value_;
  }
  // The data runs up to "?>", blanks included: the blank written before
  // "?>" is left out when the data ends in one, so that a printed
  // instruction reads back as it prints.
  const wchar_t last = value_.empty() ? L'\0' : value_.back();
  if (last != L' ' && last != L'\t' && last != L'\r' && last != L'\n') out += L' ';
  out += L"?>";
}

void CXmlDocType::Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions*) const {
  Indent(out, level * indent);
  out += L"<!DOCTYPE ";
  out += name_;
  if (!keyword.empty()) {
    // The literals are written quoted, so that the printed text parses again.
    out += L' ';
    out += keyword;
    out += L' ';
    if (keyword == L"PUBLIC" && (!publicId_.empty() || !systemId_.empty())) {
      AppendQuoted(out, publicId_);
      out += L' ';
      AppendQuoted(out, systemId_);
    } else {
      AppendQuoted(out, literal);
    }
  }
  out += value_;
  out += L'>';
}

void CXmlDeclaration::Print(std::wstring& out, uint32_t, uint32_t, const XmlPrintOptions*) const {
  out += L"<?xml ";
  const struct {
    const wchar_t* name;
    const std::wstring& value;
  } fields[] = {{L"version", version}, {L"encoding", encoding}, {L"standalone", standalone}};
  for (const auto& f : fields) {
    if (f.value.empty()) continue;
    out += f.name;
    out += L"=\"";
    AppendEscaped(out, f.value, true);
    out += L"\" ";
  }
  out += L"?>";
}

void CXmlUnknown::Print(std::wstring& out, uint32_t level, uint32_t indent, const XmlPrintOptions*) const {
  Indent(out, level * indent);
  out += L'<';
  out += value_;
  out += L'>';
}

void CXmlDocumentNode::Print(std::wstring& out, uint32_t level, uint32_t indent,
                             const XmlPrintOptions* options) const {
  if (!options) options = &kDefaultOptions;
  for (const CXmlNode* c = children_->First(); c; c = c->NextSibling()) {
    if (c->Kind() == kXmlComment && options->skipComments) continue;
    c->Print(out, level, indent, options);
    if (indent) out += L"\r\n";
  }
}

// ---------------------------------------------------------------------------
// Document

CXmlDocument::~CXmlDocument() { Clear(); }

void CXmlDocument::Clear() {
  delete document_;
  document_ = nullptr;
  filePath_.clear();
}

CXmlElement* CXmlDocument::GetRoot() const { return document_ ? document_->RootElement() : nullptr; }

bool CXmlDocument::Parse(const void* buffer, uint32_t flags) {
  Clear();
  errorContext_.clear();
  const uint8_t* b = static_cast<const uint8_t*>(buffer);
  if (!b || !b[0] || !b[1] || !b[2]) return false;
  std::wstring copy;
  const wchar_t* text;
  if (b[0] == 0xFF && b[1] == 0xFE) {
    const uint8_t* units = b + 2;
    if (reinterpret_cast<uintptr_t>(units) % alignof(wchar_t) == 0) {
      text = reinterpret_cast<const wchar_t*>(units);
    } else {
      // Only a misaligned buffer is copied, unit by unit up to the first zero.
      for (size_t i = 0;; i += 2) {
        wchar_t c = static_cast<wchar_t>(units[i] | units[i + 1] << 8);
        if (!c) break;
        copy += c;
      }
      text = copy.c_str();
    }
  } else if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    const char* utf8 = reinterpret_cast<const char*>(b + 3);
    int length = static_cast<int>(std::strlen(utf8));
    if (length > 0) MultiByteToWString(copy, utf8, length, kCodePageUtf8, 0);
    text = copy.c_str();
  } else {
    return false;
  }
  if (!document_) document_ = new (std::nothrow) CXmlDocumentNode;
  if (!document_) return false;
  const wchar_t* cursor = text;
  if (document_->Parse(&cursor, flags) == kXmlOk) return true;
  const wchar_t* from = cursor - text > 10 ? cursor - 10 : text;
  size_t length = 0;
  while (length < 64 && from[length]) ++length;
  errorContext_.assign(from, length);
  Clear();
  return false;
}

bool CXmlDocument::LoadFile(const wchar_t* path, uint32_t flags, const uint8_t* key) {
  Clear();
  errorContext_.clear();
  if (!path) return false;
  std::string data;
  if (!ReadEnvelopeFile(data, path, key)) return false;
  data.append(2, '\0');
  if (!Parse(data.data(), flags)) return false;
  filePath_ = path;
  return true;
}

bool CXmlDocument::SaveFile(const wchar_t* path, uint32_t indent, const XmlPrintOptions* options,
                            const uint8_t* key) {
  if (!path || !GetRoot()) return false;
  std::wstring text;
  text.reserve(4194304);
  text += L'\xFEFF';
  document_->Print(text, 0, indent, options);
  return WriteEnvelopeFile(path, text.data(), static_cast<uint32_t>(text.size() * sizeof(wchar_t)), key);
}

uint32_t EscapeXmlAttribute(std::wstring& out, const wchar_t* text) {
  out.clear();
  if (!text) return 0;
  size_t length = 0;
  for (const wchar_t* p = text; *p; ++p) {
    switch (*p) {
      case L'&': length += 5; break;
      case L'<':
      case L'>': length += 4; break;
      case L'"':
      case L'\'': length += 6; break;
      default: length += 1; break;
    }
  }
  out.reserve(length);
  for (const wchar_t* p = text; *p; ++p) {
    switch (*p) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&apos;"; break;
      default: out += *p; break;
    }
  }
  return static_cast<uint32_t>(out.size());
}
