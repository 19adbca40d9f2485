#include "tools/DictWriter.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

#include "core/ConfigFile.h"
#include "core/DesCipher.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "dict/DictCompare.h"
#include "dict/DictFormat.h"

using namespace dictfmt;

namespace {

std::wstring Escape(const std::wstring& text) {
  std::wstring out;
  EscapeXmlText(out, text.c_str(), static_cast<uint32_t>(text.size()), false);
  return out;
}

std::wstring Trim(std::wstring s) {
  TrimWString(s, L" \t\r", 0);
  return s;
}

std::vector<std::wstring> SplitBars(const std::wstring& s) {
  std::vector<std::wstring> parts;
  size_t from = 0;
  for (;;) {
    size_t bar = s.find(L'|', from);
    parts.push_back(Trim(s.substr(from, bar == std::wstring::npos ? std::wstring::npos : bar - from)));
    if (bar == std::wstring::npos) break;
    from = bar + 1;
  }
  return parts;
}

std::wstring Part(const std::vector<std::wstring>& parts, size_t i) {
  return i < parts.size() ? parts[i] : std::wstring();
}

// "\n", "\t" and "\\" in entry XML, so an entry fits one source line.
std::wstring Unescape(const std::wstring& s) {
  std::wstring out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'\\' && i + 1 < s.size()) {
      wchar_t c = s[++i];
      out.push_back(c == L'n' ? L'\n' : c == L't' ? L'\t' : c);
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

void PutU32BigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// A PNG of 8-bit RGBA pixels, rows top to bottom.
std::string EncodePng(int width, int height, const std::vector<uint32_t>& rgba) {
  std::string rows;
  for (int y = 0; y < height; ++y) {
    rows.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) PutU32BigEndian(rows, rgba[static_cast<size_t>(y * width + x)]);
  }
  uLongf room = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(room, '\0');
  compress2(reinterpret_cast<Bytef*>(&packed[0]), &room, reinterpret_cast<const Bytef*>(rows.data()),
            static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION);
  packed.resize(room);
  std::string png("\x89PNG\r\n\x1A\n", 8);
  auto chunk = [&png](const char* type, const std::string& data) {
    PutU32BigEndian(png, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    PutU32BigEndian(png, static_cast<uint32_t>(
                             crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
  };
  std::string header;
  PutU32BigEndian(header, static_cast<uint32_t>(width));
  PutU32BigEndian(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  chunk("IHDR", header);
  chunk("IDAT", packed);
  chunk("IEND", "");
  return png;
}

// The icon of a dictionary whose source names none: a closed blue book with
// a white label and the pages' edge below, 16x16 as the lists show icons.
std::string DefaultIcon() {
  constexpr int kSize = 16;
  constexpr uint32_t kClear = 0, kEdge = 0x1A3D66FF, kCover = 0x2F6FB0FF, kSpine = 0x1A4F8BFF,
                     kLabel = 0xFFFFFFFF, kPages = 0xF0EDE4FF;
  std::vector<uint32_t> pixels(kSize * kSize, kClear);
  auto fill = [&pixels](int left, int top, int right, int bottom, uint32_t colour) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) pixels[static_cast<size_t>(y * kSize + x)] = colour;
  };
  fill(2, 1, 14, 15, kEdge);     // outline
  fill(3, 2, 13, 12, kCover);    // front cover
  fill(3, 2, 5, 12, kSpine);     // spine
  fill(7, 4, 11, 7, kLabel);     // label
  fill(4, 12, 13, 14, kPages);   // pages' edge
  return EncodePng(kSize, kSize, pixels);
}

void PutU32(std::string& out, uint32_t v) {
  char b[4];
  std::memcpy(b, &v, 4);
  out.append(b, 4);
}
void SetU32(std::string& out, size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); }

std::string Encode(const std::wstring& text, bool utf8) {
  if (utf8) {
    std::string out;
    if (!text.empty()) WStringToUtf8(out, text.c_str(), static_cast<int>(text.size()));
    return out;
  }
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

// An index body: entry table, name area, data area.
struct Body {
  std::string bytes;
  uint32_t a = 0, b = 0, maxName = 0, maxData = 0;
};

Body BuildBody(const std::vector<std::string>& names, const std::vector<std::string>& data) {
  Body body;
  const size_t n = names.size();
  body.a = static_cast<uint32_t>((n + 1) * 8);
  std::string table, nameArea, dataArea;
  for (size_t i = 0; i <= n; ++i) {
    PutU32(table, static_cast<uint32_t>(nameArea.size()));
    PutU32(table, static_cast<uint32_t>(dataArea.size()));
    if (i == n) break;
    nameArea += names[i];
    dataArea += data[i];
    body.maxName = std::max<uint32_t>(body.maxName, static_cast<uint32_t>(names[i].size()));
    body.maxData = std::max<uint32_t>(body.maxData, static_cast<uint32_t>(data[i].size()));
  }
  body.b = static_cast<uint32_t>(nameArea.size());
  // A and B must not be 0: an empty name area still takes one byte.
  if (body.b == 0) {
    nameArea.push_back('\0');
    body.b = 1;
  }
  body.bytes = table + nameArea + dataArea;
  return body;
}

bool Compress(std::string& image, const std::string& data, uint32_t blockSize) {
  const uint32_t total = static_cast<uint32_t>(data.size());
  const uint32_t blocks = (total + blockSize - 1) / blockSize;
  image.clear();
  PutU32(image, total);
  PutU32(image, blockSize);
  std::string streams;
  std::vector<uint32_t> offsets{0};
  for (uint32_t i = 0; i < blocks; ++i) {
    uint32_t length = std::min(blockSize, total - i * blockSize);
    uLongf room = compressBound(length);
    std::string out(room, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&out[0]), &room,
                  reinterpret_cast<const Bytef*>(data.data()) + static_cast<size_t>(i) * blockSize, length,
                  Z_BEST_COMPRESSION) != Z_OK)
      return false;
    streams.append(out.data(), room);
    offsets.push_back(static_cast<uint32_t>(streams.size()));
  }
  for (uint32_t o : offsets) PutU32(image, o);
  image += streams;
  return true;
}

void AppendSection(std::string& file, uint32_t type, const std::string& data, uint32_t declared) {
  PutU32(file, type);
  PutU32(file, declared);
  file += data;
  while (file.size() % 4) file.push_back('\0');
}

std::string IndexSection(const Body& body, const std::string& stored, bool compressed) {
  std::string s;
  PutU32(s, body.a);
  PutU32(s, body.b);
  PutU32(s, 1);
  PutU32(s, compressed ? static_cast<uint32_t>(stored.size()) : 0);
  return s + stored;
}

}  // namespace

bool ParseWriterSource(WriterSource& s, const std::wstring& text, const std::wstring& folder,
                       std::wstring& error) {
  s.icon = DefaultIcon();
  bool inEntries = false;
  size_t from = 0, lineNumber = 0;
  while (from <= text.size()) {
    size_t end = text.find(L'\n', from);
    std::wstring line = text.substr(from, end == std::wstring::npos ? std::wstring::npos : end - from);
    from = end == std::wstring::npos ? text.size() + 1 : end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (inEntries) {
      if (line.empty()) continue;
      size_t tab = line.find(L'\t');
      if (tab == std::wstring::npos) {
        error = L"line " + IntToWString(static_cast<uint32_t>(lineNumber), 10) + L": entry without a tab";
        return false;
      }
      s.entries.push_back({line.substr(0, tab), Unescape(line.substr(tab + 1))});
      continue;
    }
    std::wstring t = Trim(line);
    if (t.empty() || t[0] == L'#') continue;
    if (t == L"[entries]") {
      inEntries = true;
      continue;
    }
    size_t eq = t.find(L'=');
    if (eq == std::wstring::npos) {
      error = L"line " + IntToWString(static_cast<uint32_t>(lineNumber), 10) + L": no '='";
      return false;
    }
    std::wstring key = Trim(t.substr(0, eq)), value = Trim(t.substr(eq + 1));
    uint32_t number = wcstoul(value.c_str(), nullptr, 0);
    if (key == L"id") s.id = number;
    else if (key == L"version") {
      s.major = static_cast<uint16_t>(wcstoul(value.c_str(), nullptr, 10));
      size_t dot = value.find(L'.');
      s.minor = static_cast<uint16_t>(dot == std::wstring::npos ? 0 : wcstoul(value.c_str() + dot + 1, nullptr, 10));
    } else if (key == L"info_version") s.infoVersion = value;
    else if (key == L"flags") s.flags = number;
    else if (key == L"name") s.name = value;
    else if (key == L"format") s.format = value;
    else if (key == L"date") s.date = value;
    else if (key == L"update") s.update = value;
    else if (key == L"type") s.type = value;
    else if (key == L"byte_order") s.byteOrder = number;
    else if (key == L"key_charset") s.keyCharset = value;
    else if (key == L"data_charset") s.dataCharset = value;
    else if (key == L"layout") s.layout = value;
    else if (key == L"index_lang") s.indexLang = value;
    else if (key == L"index_sort") {
      s.sorted = value != L"none";
      s.indexSort = number;
    } else if (key == L"sort_lcid") s.sortLcid = number;
    else if (key == L"key_block") s.keyBlockSize = number;
    else if (key == L"res_block") s.resBlockSize = number;
    else if (key == L"icon") {
      if (value == L"none") s.icon.clear();
      else if (!ReadFileToString(s.icon, (folder + value).c_str())) {
        error = L"cannot read the icon " + value;
        return false;
      }
    } else if (key == L"description") {
      auto p = SplitBars(value);
      WriterDescription d(Part(p, 0), Part(p, 1), Part(p, 3));
      d.edition = Part(p, 2);
      d.author = Part(p, 4);
      d.email = Part(p, 5);
      d.website = Part(p, 6);
      d.copyright = Part(p, 7);
      s.descriptions.push_back(d);
    } else if (key == L"glossary") {
      auto p = SplitBars(value);
      s.glossaries.push_back({Part(p, 0), Part(p, 1), Part(p, 2), Part(p, 3)});
    } else if (key == L"resource") {
      auto p = SplitBars(value);
      WriterResource r{Part(p, 0), std::string()};
      std::wstring where = Part(p, 1);
      if (where.compare(0, 5, L"text:") == 0) {
        WStringToUtf8(r.bytes, where.c_str() + 5, -1);
        while (!r.bytes.empty() && r.bytes.back() == '\0') r.bytes.pop_back();
      } else if (!ReadFileToString(r.bytes, (folder + where).c_str())) {
        error = L"cannot read the resource " + where;
        return false;
      }
      s.resources.push_back(r);
    } else {
      error = L"unknown field " + key;
      return false;
    }
  }
  return true;
}

bool BuildDictionary(std::string& file, WriterSource s, const std::wstring& damage,
                     std::wstring& error) {
  if (s.descriptions.empty()) s.descriptions.push_back(WriterDescription(L"en", s.name));
  if (s.glossaries.empty()) s.glossaries.push_back({L"en", L"en", L"text", s.name});
  if (s.entries.empty()) {
    error = L"a dictionary needs at least one entry";
    return false;
  }
  const bool keysUtf8 = CompareNoCaseN(s.keyCharset.c_str(), L"utf-8", 0xFFFFFFFF, false);
  const bool dataUtf8 = CompareNoCaseN(s.dataCharset.c_str(), L"utf-8", 0xFFFFFFFF, false);
  // The keys sort with the comparison that the reader searches with.
  const int32_t locale = s.sorted ? static_cast<int32_t>(((s.indexSort & 0xFFFF) << 16) | (s.sortLcid & 0xFFFF))
                                  : kNoLocale;
  // The reader falls back to no locale when the system rejects one; so does the sort.
  const int32_t sortLocale = IsCompareLocaleUsable(locale) ? locale : kNoLocale;
  for (const WriterEntry& e : s.entries) {
    if (e.key.empty() || e.key.find(L'\0') != std::wstring::npos) {
      error = L"an empty key";
      return false;
    }
  }
  std::stable_sort(s.entries.begin(), s.entries.end(), [&](const WriterEntry& x, const WriterEntry& y) {
    return CompareNoCase(x.key.c_str(), static_cast<int>(x.key.size()), y.key.c_str(),
                         static_cast<int>(y.key.size()), sortLocale) < 0;
  });
  std::vector<std::string> keyRecords, dataRecords;
  for (size_t i = 0, level = 0; i < s.entries.size(); ++i) {
    const WriterEntry& e = s.entries[i];
    bool last = i + 1 == s.entries.size() ||
                CompareNoCase(e.key.c_str(), static_cast<int>(e.key.size()), s.entries[i + 1].key.c_str(),
                              static_cast<int>(s.entries[i + 1].key.size()), sortLocale) != 0;
    std::string record = Encode(e.key, keysUtf8);
    record.push_back(static_cast<char>(std::min<size_t>(level, kLevelMask) | (last ? kLastOfWord : 0)));
    keyRecords.push_back(record);
    dataRecords.push_back(Encode(e.xml, dataUtf8));
    level = last ? 0 : level + 1;
  }
  if (damage == L"res-escape" && !s.resources.empty()) s.resources[0].name = L"..\\" + s.resources[0].name;
  std::stable_sort(s.resources.begin(), s.resources.end(), [](const WriterResource& x, const WriterResource& y) {
    return CompareCase(x.name.c_str(), static_cast<int>(x.name.size()), y.name.c_str(),
                       static_cast<int>(y.name.size()), kNoLocale) < 0;
  });
  std::vector<std::string> resNames, resData;
  for (const WriterResource& r : s.resources) {
    resNames.push_back(Encode(r.name, keysUtf8));
    resData.push_back(r.bytes);
  }

  Body keys = BuildBody(keyRecords, dataRecords);
  Body res = BuildBody(resNames, resData);
  uint32_t keyCount = static_cast<uint32_t>(keyRecords.size());
  uint32_t maxKey = keys.maxName, maxData = std::max<uint32_t>(keys.maxData, 1);
  if (damage == L"oversized") maxKey = std::max<uint32_t>(maxKey / 2, 1);
  if (damage == L"huge-max") maxData = 0xFFFFFFF0;
  if (damage == L"bad-count") keyCount = keyCount * 1000 + 1000;
  if (damage == L"bad-offsets") SetU32(keys.bytes, 8 * (keyCount / 2) + 8, 0x7FFFFFF0);
  if (damage == L"bad-data-offsets") SetU32(keys.bytes, 8 * (keyCount / 2) + 12, 0x7FFFFFF0);
  if (damage == L"area-beyond") keys.b = 0x7FFFFFF0;
  if (damage == L"zero-head") keys.a = 0;

  std::wstring version = s.infoVersion.empty()
                             ? IntToWString(s.major, 10) + L"." + IntToWString(s.minor, 10)
                             : s.infoVersion;
  uint32_t infoId = damage == L"info-id" ? s.id + 1 : s.id;
  uint32_t infoFlags = damage == L"flags" ? s.flags ^ 0x08 : s.flags;
  std::wstring iconHex;
  for (unsigned char c : s.icon) {
    std::wstring pair;
    FormatWString(pair, L"%02X", c);
    iconHex += pair;
  }
  auto element = [](const wchar_t* name, const std::wstring& value) {
    return value.empty() ? std::wstring() : L"<" + std::wstring(name) + L">" + Escape(value) + L"</" + name + L">";
  };
  std::wstring xml = L"<dictionary>";
  xml += L"<id>" + IntToWString(infoId, 10) + L"</id>" + element(L"name", s.name) + element(L"version", version) +
         element(L"format", s.format) + element(L"icon", iconHex) + element(L"date", s.date) +
         element(L"update", s.update) + element(L"type", s.type) +
         L"<byte_order>" + IntToWString(s.byteOrder, 10) + L"</byte_order><flag>" + IntToWString(infoFlags, 16) +
         L"</flag>";
  xml += L"<charset key=\"" + Escape(s.keyCharset) + L"\" data=\"" + Escape(s.dataCharset) + L"\"/>";
  xml += L"<info count=\"" + IntToWString(static_cast<uint32_t>(s.descriptions.size()), 10) + L"\">";
  for (const WriterDescription& d : s.descriptions) {
    xml += L"<table lang=\"" + Escape(d.lang) + L"\">" + element(L"title", d.title) + element(L"edition", d.edition) +
           element(L"description", d.description) + L"<publication>" + element(L"author", d.author) +
           element(L"email", d.email) + element(L"website", d.website) + element(L"copyright", d.copyright) +
           L"</publication></table>";
  }
  xml += L"</info><layout style=\"" + Escape(s.layout) + L"\"/>";
  xml += L"<res index_count=\"" + IntToWString(static_cast<uint32_t>(s.resources.size()), 10) + L"\" maxsize_key=\"" +
         IntToWString(res.maxName, 10) + L"\" maxsize_data=\"" + IntToWString(res.maxData, 10) + L"\"/>";
  xml += L"<gls count=\"" + IntToWString(static_cast<uint32_t>(s.glossaries.size()), 10) + L"\" index_lang=\"" +
         Escape(s.indexLang) + L"\" index_sort=\"" + (s.sorted ? IntToWString(s.indexSort, 10) : L"0xFFFFFFFF") +
         L"\" index_count=\"" + IntToWString(keyCount, 10) + L"\" maxsize_key=\"" + IntToWString(maxKey, 10) +
         L"\" maxsize_data=\"" + IntToWString(maxData, 10) + L"\">";
  for (const WriterGlossary& g : s.glossaries) {
    xml += L"<table lang_from=\"" + Escape(g.langFrom) + L"\" lang_to=\"" + Escape(g.langTo) +
           L"\" content_type=\"" + Escape(g.contentType) + L"\" title=\"" + Escape(g.title) + L"\" index_count=\"" +
           IntToWString(keyCount, 10) + L"\"/>";
  }
  xml += L"</gls></dictionary>";
  if (damage != L"info-noterm") xml.push_back(L'\0');
  std::string info(reinterpret_cast<const char*>(xml.data()), xml.size() * 2);
  if (damage == L"info-noterm") {
    // Fill with text to the block size, so no NUL follows by chance.
    while (info.size() % 8) info += " ";
  }
  while (info.size() % 8) info.push_back('\0');

  std::string header;
  PutU32(header, damage == L"magic" ? 0x43494455 : kMagic);
  PutU32(header, damage == L"tag" ? 0x31323335 : kVersionTag);
  PutU32(header, damage == L"id0" ? 0 : s.id);
  uint16_t versions[2] = {s.major, s.minor};
  header.append(reinterpret_cast<const char*>(versions), 4);
  PutU32(header, s.flags);
  for (int i = 0; i < 5; ++i) PutU32(header, 0);

  CDesCipher cipher;
  cipher.SetKey(reinterpret_cast<const uint8_t*>(header.data()) + 4, 16);
  cipher.CryptBuffer(reinterpret_cast<uint8_t*>(&info[0]), reinterpret_cast<const uint8_t*>(info.data()),
                     static_cast<int>(info.size()), false);
  if (damage == L"info-odd") info.resize(info.size() - 4);

  std::string keyStored = keys.bytes, resStored = res.bytes;
  if (s.keyBlockSize && !Compress(keyStored, keys.bytes, s.keyBlockSize)) return false;
  if (s.resBlockSize && !res.bytes.empty() && !Compress(resStored, res.bytes, s.resBlockSize)) return false;
  if (s.keyBlockSize) {
    const uint32_t blocks = (static_cast<uint32_t>(keys.bytes.size()) + s.keyBlockSize - 1) / s.keyBlockSize;
    const size_t base = 8 + 4 * (static_cast<size_t>(blocks) + 1);
    if (damage == L"bad-zlib") keyStored[base + 2] ^= 0x55, keyStored[base + 5] ^= 0x55;
    if (damage == L"bad-blocktable" && blocks >= 1) SetU32(keyStored, 12, 0x7FFFFFF0);
    if (damage == L"huge-total") SetU32(keyStored, 0, 0xFFFFFF00);
    if (damage == L"huge-block") SetU32(keyStored, 4, 0xFFFFFF00);
  }

  file = header;
  if (damage != L"info-empty") AppendSection(file, kSectionInfo, info, static_cast<uint32_t>(info.size()));
  else AppendSection(file, kSectionInfo, std::string(), 0);
  std::string keySection = IndexSection(keys, keyStored, s.keyBlockSize != 0);
  if (damage == L"key-short") keySection.resize(12);
  if (damage != L"no-keys") AppendSection(file, kSectionKeyIndex, keySection, static_cast<uint32_t>(keySection.size()));
  if (!s.resources.empty())
    AppendSection(file, kSectionResourceIndex, IndexSection(res, resStored, s.resBlockSize != 0),
                  static_cast<uint32_t>(resStored.size() + kIndexHeadSize));
  if (damage == L"truncate") file.resize(file.size() - 9);
  if (damage == L"header-only") file.resize(kHeaderSize);
  return true;
}

namespace {

// dictd's numbers: base 64 digits, most significant first.
bool DecodeDictdNumber(uint32_t& value, const std::string& text) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  uint64_t v = 0;
  if (text.empty() || text.size() > 6) return false;
  for (char c : text) {
    const char* at = c ? std::strchr(kDigits, c) : nullptr;
    if (!at) return false;
    v = v * 64 + static_cast<uint64_t>(at - kDigits);
  }
  if (v > 0xFFFFFFFF) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

bool Gunzip(std::string& out, const std::string& in) {
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return false;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  char chunk[1 << 16];
  int r;
  do {
    z.next_out = reinterpret_cast<Bytef*>(chunk);
    z.avail_out = sizeof(chunk);
    r = inflate(&z, Z_NO_FLUSH);
    if (r != Z_OK && r != Z_STREAM_END) break;
    out.append(chunk, sizeof(chunk) - z.avail_out);
  } while (r != Z_STREAM_END);
  inflateEnd(&z);
  return r == Z_STREAM_END;
}

// A line of a dictd definition: "{word}" refers to another head word.
std::wstring LineXml(const std::wstring& line) {
  std::wstring xml;
  size_t from = 0;
  for (;;) {
    size_t open = line.find(L'{', from), close = open == std::wstring::npos ? open : line.find(L'}', open);
    if (close == std::wstring::npos) break;
    xml += Escape(line.substr(from, open - from)) + L"<e>" + Escape(line.substr(open + 1, close - open - 1)) + L"</e>";
    from = close + 1;
  }
  return xml + Escape(line.substr(from));
}

std::wstring EntryXml(const std::wstring& headword, const std::wstring& text) {
  // The first line repeats the head word with its pronunciation between slashes.
  size_t firstEnd = text.find(L'\n');
  std::wstring first = text.substr(0, firstEnd), pronunciation;
  size_t slash = first.find(L'/'), slashEnd = slash == std::wstring::npos ? slash : first.find(L'/', slash + 1);
  if (slashEnd != std::wstring::npos) pronunciation = first.substr(slash + 1, slashEnd - slash - 1);
  std::wstring rest = firstEnd == std::wstring::npos ? std::wstring() : text.substr(firstEnd + 1);
  std::wstring body;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t nl = rest.find(L'\n', start);
    std::wstring line = Trim(rest.substr(start, nl == std::wstring::npos ? std::wstring::npos : nl - start));
    if (!line.empty()) body += (body.empty() ? L"" : L"<n/>") + LineXml(line);
    if (nl == std::wstring::npos) break;
    start = nl + 1;
  }
  std::wstring form = L"<a>" + Escape(headword) + L"</a>";
  if (!pronunciation.empty()) form += L"<c>" + Escape(pronunciation) + L"</c>";
  return L"<C A=\"0\"><F>" + form + L"</F><G><O><d>" + body + L"</d></O></G></C>";
}

}  // namespace

bool ConvertDictd(WriterSource& s, const std::wstring& indexPath, const std::wstring& dictPath,
                  uint32_t limit, std::wstring& error) {
  std::string index, packed, dict;
  if (!ReadFileToString(index, indexPath.c_str())) {
    error = L"cannot read " + indexPath;
    return false;
  }
  if (!ReadFileToString(packed, dictPath.c_str()) || !Gunzip(dict, packed)) {
    error = L"cannot read or unpack " + dictPath;
    return false;
  }
  packed.clear();
  size_t from = 0;
  while (from < index.size() && (!limit || s.entries.size() < limit)) {
    size_t end = index.find('\n', from);
    if (end == std::string::npos) end = index.size();
    std::string line = index.substr(from, end - from);
    from = end + 1;
    size_t t1 = line.find('\t'), t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
    if (t2 == std::string::npos) continue;
    std::string head = line.substr(0, t1);
    uint32_t offset, length;
    if (!DecodeDictdNumber(offset, line.substr(t1 + 1, t2 - t1 - 1)) ||
        !DecodeDictdNumber(length, line.substr(t2 + 1)) ||
        static_cast<uint64_t>(offset) + length > dict.size())
      continue;
    // dictd's own records ("00-database-...") describe the database, not words.
    if (head.compare(0, 10, "00database") == 0 || head.compare(0, 11, "00-database") == 0) continue;
    std::wstring key, text;
    Utf8ToWString(key, head.data(), static_cast<int>(head.size()));
    key = Trim(key);
    if (key.empty()) continue;
    Utf8ToWString(text, dict.data() + offset, static_cast<int>(length));
    s.entries.push_back({key, EntryXml(key, text)});
  }
  if (s.entries.empty()) {
    error = L"no entries in " + indexPath;
    return false;
  }
  return true;
}

void MakeSynthetic(WriterSource& s, uint32_t count, uint32_t seed) {
  uint32_t x = seed * 2654435761u + 1;
  auto next = [&x] {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
  };
  static const wchar_t kSyllables[][4] = {L"ka", L"lo", L"mi", L"ne", L"tor", L"ba", L"ri", L"sen",
                                          L"qua", L"vel", L"do", L"fu", L"gra", L"hin", L"zu", L"pe"};
  for (uint32_t i = 0; i < count; ++i) {
    std::wstring word;
    uint32_t syllables = 2 + next() % 4;
    for (uint32_t j = 0; j < syllables; ++j) word += kSyllables[next() % 16];
    word += IntToWString(i % 97, 10);
    std::wstring meaning = L"meaning " + IntToWString(next() % 100000, 10) + L" of " + word;
    s.entries.push_back({word, L"<C A=\"0\"><F><a>" + word + L"</a></F><G><O><d>" + meaning + L"</d></O></G></C>"});
  }
}
