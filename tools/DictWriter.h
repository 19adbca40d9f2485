// Builds dictionary files from a plain source, optionally damaged in one
// chosen way for tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct WriterDescription {
  std::wstring lang, title, edition, description, author, email, website, copyright;
  WriterDescription(std::wstring l = L"", std::wstring t = L"", std::wstring d = L"")
      : lang(std::move(l)), title(std::move(t)), description(std::move(d)) {}
};

struct WriterGlossary {
  std::wstring langFrom, langTo, contentType, title;
};

struct WriterEntry {
  std::wstring key;
  std::wstring xml;
};

struct WriterResource {
  std::wstring name;
  std::string bytes;
};

struct WriterSource {
  uint32_t id = 1;
  uint16_t major = 1, minor = 3;
  uint32_t flags = 0x18;
  std::wstring infoVersion;  // empty: major.minor
  std::wstring name = L"Dictionary", format, date, update, type;
  uint32_t byteOrder = 0;
  std::wstring keyCharset = L"utf-8", dataCharset = L"utf-8";
  std::wstring layout = L"def";
  std::wstring indexLang = L"en";
  bool sorted = false;     // locale-sorted keys
  uint32_t indexSort = 0;  // sort value when sorted
  uint32_t sortLcid = 1033;
  std::string icon;  // PNG bytes; empty leaves the icon text empty
  uint32_t keyBlockSize = 0, resBlockSize = 0;  // 0: plain index
  std::vector<WriterDescription> descriptions;
  std::vector<WriterGlossary> glossaries;
  std::vector<WriterEntry> entries;
  std::vector<WriterResource> resources;
};

// Reads the plain source format (UTF-8 text); false with a message on error.
bool ParseWriterSource(WriterSource& source, const std::wstring& text, const std::wstring& folder,
                       std::wstring& error);

// Builds the file's bytes; damage names one way to spoil it ("" for none).
bool BuildDictionary(std::string& file, WriterSource source, const std::wstring& damage,
                     std::wstring& error);

// Converts a dictd dictionary (.index and .dict.dz) into a source.
bool ConvertDictd(WriterSource& source, const std::wstring& indexPath, const std::wstring& dictPath,
                  uint32_t limit, std::wstring& error);

// A synthetic dictionary of count made-up words, the same for the same seed.
void MakeSynthetic(WriterSource& source, uint32_t count, uint32_t seed);
