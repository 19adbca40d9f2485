#include "dict/DictFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <new>

#include "core/DesCipher.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "dict/DictCompare.h"
#include "dict/DictFormat.h"
#include "dict/DictHost.h"
#include "guictl/ImageFile.h"

using namespace dictfmt;

namespace {

// Largest block a compressed index may declare; zlib cannot expand one
// compressed byte into more than 1032, which bounds the uncompressed total.
constexpr uint32_t kMaxBlockSize = 16u << 20;
constexpr uint64_t kMaxInflateRatio = 1032;

bool IsUtf8Name(const std::wstring& name) { return CompareNoCaseN(name.c_str(), L"utf-8", 0xFFFFFFFF, false); }

// A resource name that names a file of the temporary folder and nothing else.
bool IsSafeResourceName(const wchar_t* name, int length) {
  if (length <= 0) return false;
  if (name[0] == L'.' || name[0] == L' ') return false;
  for (int i = 0; i < length; ++i) {
    wchar_t c = name[i];
    if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c)) return false;
  }
  return true;
}

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) fclose(f);
  }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool WriteBytes(const std::wstring& path, const void* bytes, uint32_t size) {
  FilePtr f(_wfopen(path.c_str(), L"wb"));
  if (!f) return false;
  bool ok = size == 0 || fwrite(bytes, 1, size, f.get()) == size;
  return fclose(f.release()) == 0 && ok;
}

}  // namespace

CDictFile::CDictFile() { Reset(); }

CDictFile::~CDictFile() { Reset(); }

void CDictFile::Reset() {
  path_.clear();
  magic_ = versionTag_ = id_ = flags_ = 0;
  major_ = minor_ = 0;
  std::fill(std::begin(reserved_), std::end(reserved_), 0);
  std::fill(std::begin(keyHead_), std::end(keyHead_), 0);
  std::fill(std::begin(resHead_), std::end(resHead_), 0);
  keyIndex_ = IndexView();
  resIndex_ = IndexView();
  resources_.Clear();
  info_.Clear();
  keyReader_.Close();
  resReader_.Close();
  locale_ = 1024;
  keysUtf8_ = dataUtf8_ = false;
  icon_.Release();
  file_.Close();
  glossaryCount_ = keyCount_ = resourceCount_ = 0;
  keyBuffer_.reset();
  dataBuffer_.reset();
  nameBuffer_.reset();
  keyImage_.reset();
  keyImageBlocks_.clear();
  keyImageFailed_ = false;
  keyBufferSize_ = dataBufferSize_ = nameBufferSize_ = 0;
}

int CDictFile::CheckHeader(uint32_t& id, uint16_t& major, uint16_t& minor, const void* header) {
  id = 0;
  major = minor = 0;
  const uint8_t* h = static_cast<const uint8_t*>(header);
  if (!h || ReadU32(h) != kMagic) return kBadMagic;
  if (ReadU32(h + 4) != kVersionTag) return kBadVersionTag;
  id = ReadU32(h + 8);
  if (id == 0) return kZeroId;
  major = ReadU16(h + 12);
  minor = ReadU16(h + 14);
  if (major > kMajorVersion || (major == kMajorVersion && minor > kMaxMinorVersion))
    return kVersionTooNew;
  if (major == 0) return kVersionTooOld;
  return kHeaderOk;
}

int CDictFile::ReadHeader(uint32_t& id, uint16_t& major, uint16_t& minor, const wchar_t* path) {
  id = 0;
  major = minor = 0;
  if (!path) return -1;
  FilePtr f(_wfopen(path, L"rb"));
  uint8_t header[kHeaderSize];
  if (!f || fread(header, 1, kHeaderSize, f.get()) != kHeaderSize) return -1;
  return CheckHeader(id, major, minor, header);
}

bool CDictFile::Open(const wchar_t* path) {
  Reset();
  if (!path || !file_.Open(path, true)) return false;
  const uint8_t* data = static_cast<const uint8_t*>(file_.GetData());
  const uint32_t size = file_.GetSize();
  bool ok = [&] {
    if (size <= kHeaderSize) return false;
    uint32_t id;
    uint16_t major, minor;
    if (CheckHeader(id, major, minor, data) != kHeaderOk) return false;
    magic_ = ReadU32(data);
    versionTag_ = ReadU32(data + 4);
    major_ = major;
    minor_ = minor;
    flags_ = ReadU32(data + 16);
    for (int i = 0; i < 5; ++i) reserved_[i] = ReadU32(data + 20 + 4 * i);

    Section info{}, keys{}, res{};
    WalkSections(data, size, [&](const Section& s) {
      if (s.type == kSectionInfo) info = s;
      if (s.type == kSectionKeyIndex) keys = s;
      if (s.type == kSectionResourceIndex) res = s;
    });
    if (info.length == 0 || keys.length < kIndexHeadSize) return false;
    for (int i = 0; i < 4; ++i) keyHead_[i] = ReadU32(data + keys.offset + 4 * i);
    if (keyHead_[0] == 0 || keyHead_[1] == 0 || keyHead_[2] == 0) return false;

    if (!ParseInformation(data + info.offset, info.length)) return false;
    const DictInfoRecord& r = *info_.GetRecord();
    if (wcstoul(r.idText.c_str(), nullptr, 10) != id) return false;
    if (r.version != IntToWString(major, 10) + L"." + IntToWString(minor, 10)) return false;
    if (r.flags != flags_) return false;

    keysUtf8_ = IsUtf8Name(r.keyCharset);
    dataUtf8_ = IsUtf8Name(r.dataCharset);
    if (r.indexSort == 0xFFFFFFFF) {
      locale_ = kNoLocale;
    } else {
      uint32_t language = DictHost().GetLanguageLocale(r.indexLanguage.c_str()) & 0xFFFF;
      locale_ = static_cast<int32_t>(((r.indexSort & 0xFFFF) << 16) | language);
      // A locale the system rejects would make every comparison fail.
      if (!IsCompareLocaleUsable(locale_)) locale_ = kNoLocale;
    }
    glossaryCount_ = r.glossaryCount;
    keyCount_ = r.keyCount;
    resourceCount_ = r.resourceCount;

    if (!SetUpIndex(keyIndex_, keyReader_, data + keys.offset, keys.length, keyCount_, 3))
      return false;
    // Every record must fit the areas it lies in, so larger maxima are damage.
    if (r.maxKeySize > keyIndex_.dataArea - keyIndex_.keyArea ||
        r.maxDataSize > keyIndex_.size - keyIndex_.dataArea)
      return false;
    keyBuffer_.reset(new (std::nothrow) uint8_t[r.maxKeySize]);
    dataBuffer_.reset(new (std::nothrow) uint8_t[r.maxDataSize]);
    if (!keyBuffer_ || !dataBuffer_) return false;
    keyBufferSize_ = r.maxKeySize;
    dataBufferSize_ = r.maxDataSize;

    if (res.length >= kIndexHeadSize) {
      for (int i = 0; i < 4; ++i) resHead_[i] = ReadU32(data + res.offset + 4 * i);
      if (!SetUpIndex(resIndex_, resReader_, data + res.offset, res.length, resourceCount_, 1))
        return false;
      // Resource names get a buffer of their own maximum: the key maximum
      // says nothing about them.
      if (r.resourceMaxNameSize > resIndex_.dataArea - resIndex_.keyArea ||
          r.resourceMaxDataSize > resIndex_.size - resIndex_.dataArea)
        return false;
      nameBufferSize_ = std::max<uint32_t>(r.resourceMaxNameSize, 1);
      nameBuffer_.reset(new (std::nothrow) uint8_t[nameBufferSize_]);
      if (!nameBuffer_) return false;
    } else {
      resourceCount_ = 0;
    }
    id_ = id;
    return true;
  }();
  if (!ok) {
    Reset();
    return false;
  }
  path_ = path;
  resources_.Load(this);
  const std::string& icon = info_.GetRecord()->iconBytes;
  LoadPngToImage(icon.data(), static_cast<unsigned>(icon.size()), &icon_);
  std::wstring iconPath;
  ExtractIcon(iconPath, L"icon.png", icon.data(), static_cast<uint32_t>(icon.size()), true);
  return true;
}

bool CDictFile::ParseInformation(const uint8_t* section, uint32_t length) {
  if (length % 8 != 0) return false;
  std::unique_ptr<uint8_t[]> plain(new (std::nothrow) uint8_t[length]);
  if (!plain) return false;
  CDesCipher cipher;
  uint8_t key[16];
  std::memcpy(key, static_cast<const uint8_t*>(file_.GetData()) + 4, 16);
  cipher.SetKey(key, 16);
  if (!cipher.CryptBuffer(plain.get(), section, static_cast<int>(length), true)) return false;
  // The text must end inside the section; copy it so it is aligned and terminated.
  std::wstring text;
  for (uint32_t i = 0; i + 1 < length; i += 2) {
    wchar_t c = static_cast<wchar_t>(plain[i] | (plain[i + 1] << 8));
    if (c == 0) {
      CXmlElement root;
      const wchar_t* cursor = text.c_str();
      if (root.Parse(&cursor, 31) != 0) return false;
      return info_.Parse(&root);
    }
    text.push_back(c);
  }
  return false;
}

bool CDictFile::SetUpIndex(IndexView& view, CBlockFile& reader, const uint8_t* section,
                           uint32_t length, uint32_t count, uint32_t slots) {
  const uint32_t a = ReadU32(section), b = ReadU32(section + 4), packed = ReadU32(section + 12);
  const uint8_t* body = section + kIndexHeadSize;
  const uint32_t stored = length - kIndexHeadSize;
  view = IndexView();
  view.body = body;
  if (packed == 0) {
    view.size = stored;
  } else {
    // The block image: total, block size, n + 1 offsets, zlib streams.
    if (packed > stored || packed < 12) return false;
    const uint32_t total = ReadU32(body), blockSize = ReadU32(body + 4);
    if (total == 0 || blockSize == 0 || blockSize > kMaxBlockSize) return false;
    const uint64_t blocks = (static_cast<uint64_t>(total) + blockSize - 1) / blockSize;
    const uint64_t tableEnd = 8 + 4 * (blocks + 1);
    if (tableEnd >= packed) return false;
    const uint64_t streams = packed - tableEnd;
    if (total > streams * kMaxInflateRatio + 64) return false;
    uint32_t previous = 0;
    for (uint64_t i = 0; i <= blocks; ++i) {
      uint32_t offset = ReadU32(body + 8 + 4 * i);
      if (offset < previous || offset > streams) return false;
      previous = offset;
    }
    if (!reader.Attach(body, packed, slots)) return false;
    view.size = total;
    view.compressed = true;
  }
  const uint64_t tableSize = (static_cast<uint64_t>(count) + 1) * 8;
  if (a == 0 || a > view.size || tableSize > a || static_cast<uint64_t>(a) + b > view.size)
    return false;
  view.keyArea = a;
  view.dataArea = a + b;
  view.count = count;
  return true;
}

const uint8_t* CDictFile::KeyImageBytes(uint64_t at, uint32_t length) {
  if (!keyIndex_.compressed || keyImageFailed_) return nullptr;
  const uint32_t size = keyIndex_.dataArea;
  const uint32_t blockSize = keyReader_.GetBlockSize();
  if (!keyImage_) {
    keyImage_.reset(new (std::nothrow) uint8_t[size]);
    try {
      keyImageBlocks_.assign(size / blockSize + 1, false);
    } catch (const std::bad_alloc&) {
      keyImage_.reset();
    }
    if (!keyImage_) {
      keyImageFailed_ = true;
      return nullptr;
    }
  }
  if (at + length > size) return nullptr;
  const uint32_t first = static_cast<uint32_t>(at / blockSize);
  const uint32_t last = length ? static_cast<uint32_t>((at + length - 1) / blockSize) : first;
  for (uint32_t b = first; b <= last && b < keyImageBlocks_.size(); ++b) {
    if (keyImageBlocks_[b]) continue;
    const uint32_t start = b * blockSize, n = std::min(blockSize, size - start);
    if (keyReader_.Read(keyImage_.get() + start, start, n, 1) != n) return nullptr;
    keyImageBlocks_[b] = true;
  }
  return keyImage_.get() + at;
}

bool CDictFile::RecordSpan(const IndexView& view, CBlockFile& reader, uint32_t i, bool data,
                          uint32_t entrySlot, uint64_t& at, uint32_t& length) {
  if (i >= view.count || !view.body) return false;
  uint8_t pair[16];
  const uint64_t entry = static_cast<uint64_t>(i) * 8;
  if (&view == &keyIndex_ && view.compressed && !keyImageFailed_) {
    const uint8_t* p = KeyImageBytes(entry, 16);
    if (!p) return false;
    std::memcpy(pair, p, 16);
  } else if (view.compressed) {
    if (reader.Read(pair, static_cast<uint32_t>(entry), 16, entrySlot) != 16) return false;
  } else {
    std::memcpy(pair, view.body + entry, 16);
  }
  const uint32_t column = data ? 4 : 0;
  const uint32_t start = ReadU32(pair + column), end = ReadU32(pair + 8 + column);
  const uint64_t base = data ? view.dataArea : view.keyArea;
  const uint64_t limit = data ? view.size : view.dataArea;
  if (end < start || base + end > limit) return false;
  at = base + start;
  length = end - start;
  return true;
}

bool CDictFile::ReadRecord(const IndexView& view, CBlockFile& reader, uint32_t i, bool data,
                           uint32_t entrySlot, uint32_t recordSlot, uint8_t* buffer,
                           uint32_t bufferSize, const uint8_t*& bytes, uint32_t& length) {
  uint64_t at = 0;
  if (!RecordSpan(view, reader, i, data, entrySlot, at, length) || length > bufferSize) return false;
  if (&view == &keyIndex_ && view.compressed && !keyImageFailed_ && !data) {
    bytes = KeyImageBytes(at, length);
    return bytes != nullptr;
  }
  if (!view.compressed) {
    bytes = view.body + at;
    return true;
  }
  if (length && reader.Read(buffer, static_cast<uint32_t>(at), length, recordSlot) != length)
    return false;
  bytes = buffer;
  return true;
}

// A damaged file can open and still give nothing: what a lookup needs is read
// once here. Every key and every record's place; the data of the first and the
// last entry (the first and last blocks of a compressed index); every resource
// name, which must name a plain file, and the first and last resource.
bool CDictFile::CheckContents() {
  if (IsEmpty() || keyCount_ == 0) return false;
  if (resourceCount_ != info_.GetRecord()->resourceCount) return false;  // the resource index was lost
  std::wstring text;
  uint8_t flag = 0;
  uint64_t at = 0;
  uint32_t length = 0;
  for (uint32_t i = 0; i < keyCount_; ++i) {
    if (!ReadKeyInto(i, text, flag)) return false;
    if (!RecordSpan(keyIndex_, keyReader_, i, true, 0, at, length) || length > dataBufferSize_) return false;
  }
  const uint8_t* bytes = nullptr;
  for (uint32_t i : {0u, keyCount_ - 1})
    if (!ReadRecord(keyIndex_, keyReader_, i, true, 0, 2, dataBuffer_.get(), dataBufferSize_, bytes, length))
      return false;
  for (uint32_t i = 0; i < resourceCount_; ++i) {
    text = GetResourceName(i);
    if (!IsSafeResourceName(text.c_str(), static_cast<int>(text.size()))) return false;
    if (!RecordSpan(resIndex_, resReader_, i, true, 0, at, length) ||
        length > info_.GetRecord()->resourceMaxDataSize)
      return false;
  }
  for (uint32_t i : {0u, resourceCount_ - 1})
    if (i < resourceCount_) {
      if (!RecordSpan(resIndex_, resReader_, i, true, 0, at, length)) return false;
      if (length && GetResourceData(i).size() != length) return false;
    }
  return true;
}

void CDictFile::DecodeText(std::wstring& out, const uint8_t* bytes, uint32_t length,
                           bool utf8) const {
  if (utf8) {
    out.clear();
    if (length) Utf8ToWString(out, reinterpret_cast<const char*>(bytes), static_cast<int>(length));
    return;
  }
  out.resize(length / 2);
  if (!out.empty()) std::memcpy(&out[0], bytes, out.size() * 2);
}

bool CDictFile::ReadKeyInto(uint32_t i, std::wstring& key, uint8_t& flag) {
  const uint8_t* bytes;
  uint32_t length;
  if (!ReadRecord(keyIndex_, keyReader_, i, false, 0, 1, keyBuffer_.get(), keyBufferSize_, bytes,
                  length) ||
      length == 0) {
    key.clear();
    flag = 0;
    return false;
  }
  flag = bytes[length - 1];
  DecodeText(key, bytes, length - 1, keysUtf8_);
  return true;
}

std::wstring CDictFile::GetKey(uint32_t i) {
  uint8_t flag;
  return GetKeyWithFlag(i, flag);
}

std::wstring CDictFile::GetKeyWithFlag(uint32_t i, uint8_t& flag) {
  std::wstring key;
  ReadKeyInto(i, key, flag);
  return key;
}

std::wstring CDictFile::GetData(uint32_t i) {
  std::wstring text;
  const uint8_t* bytes;
  uint32_t length;
  if (ReadRecord(keyIndex_, keyReader_, i, true, 0, 2, dataBuffer_.get(), dataBufferSize_, bytes,
                 length))
    DecodeText(text, bytes, length, dataUtf8_);
  return text;
}

std::wstring CDictFile::GetResourceName(uint32_t i) {
  std::wstring name;
  const uint8_t* bytes;
  uint32_t length;
  if (ReadRecord(resIndex_, resReader_, i, false, 0, 0, nameBuffer_.get(), nameBufferSize_, bytes,
                 length))
    DecodeText(name, bytes, length, keysUtf8_);
  return name;
}

std::string CDictFile::GetResourceData(uint32_t i) {
  std::string out;
  if (i >= resIndex_.count || !resIndex_.body) return out;
  // Resource data lands in a string of its exact length, not in a fixed buffer.
  uint8_t pair[16];
  const uint64_t at = static_cast<uint64_t>(i) * 8;
  if (resIndex_.compressed) {
    if (resReader_.Read(pair, static_cast<uint32_t>(at), 16, 0) != 16) return out;
  } else {
    std::memcpy(pair, resIndex_.body + at, 16);
  }
  const uint32_t start = ReadU32(pair + 4), end = ReadU32(pair + 12);
  if (end < start || static_cast<uint64_t>(resIndex_.dataArea) + end > resIndex_.size) return out;
  const uint32_t length = end - start, from = resIndex_.dataArea + start;
  // The maximum was checked against the data area when the file was opened.
  if (length > info_.GetRecord()->resourceMaxDataSize) return out;
  if (!resIndex_.compressed) return std::string(reinterpret_cast<const char*>(resIndex_.body) + from, length);
  try {
    out.resize(length);
  } catch (const std::bad_alloc&) {
    return std::string();
  }
  if (length && resReader_.Read(&out[0], from, length, 0) != length) out.clear();
  return out;
}

bool CDictFile::FindWord(uint32_t& index, int& position, uint32_t& matchLength,
                         const wchar_t* word, int wordLength, bool ignoreCase, signed char level) {
  index = 0;
  position = -1;
  matchLength = 0;
  if (IsEmpty() || !word || wordLength <= 0) return false;
  uint32_t low = 0, n = keyCount_;
  uint8_t flag;
  while (n > 0) {
    uint32_t half = n / 2, mid = low + half;
    ReadKeyInto(mid, probe_, flag);
    bool hit = false, left;
    const wchar_t* key = probe_.c_str();
    int keyLength = static_cast<int>(probe_.size());
    if (ignoreCase) {
      int c = CompareNoCase(key, keyLength, word, wordLength, locale_);
      if (c == 0 && level >= 0) {
        int keyLevel = flag & kLevelMask;
        hit = keyLevel == level;
        left = keyLevel > level;
      } else if (c == 0) {
        hit = (flag & kLastOfWord) != 0;
        left = false;
      } else {
        left = c > 0;
      }
    } else {
      int c = CompareCase(key, keyLength, word, wordLength, locale_);
      hit = c == 0;
      left = c > 0;
    }
    if (hit) {
      index = mid;
      position = 0;
      matchLength = static_cast<uint32_t>(wordLength);
      return true;
    }
    if (left) {
      n = half;
    } else {
      low = mid + 1;
      n = n - half - 1;
    }
  }
  // The word as a NUL-terminated text for the prefix comparisons.
  std::wstring text(word, static_cast<size_t>(wordLength));
  if (low == 0) {
    position = -1;
    index = 0;
    matchLength = keyCount_ ? CommonPrefixLength(text.c_str(), GetKey(0).c_str()) : 0;
  } else if (low >= keyCount_) {
    position = 1;
    index = keyCount_ - 1;
    matchLength = CommonPrefixLength(text.c_str(), GetKey(index).c_str());
  } else {
    position = 0;
    uint32_t a = CommonPrefixLength(text.c_str(), GetKey(low).c_str());
    uint32_t b = CommonPrefixLength(text.c_str(), GetKey(low - 1).c_str());
    index = a < b ? low - 1 : low;
    matchLength = a < b ? b : a;
  }
  return false;
}

int CDictFile::SearchKeys(bool& lastMark, bool& exactCase, const wchar_t* word, int wordLength,
                          uint32_t first, uint32_t last, signed char level) {
  lastMark = exactCase = false;
  if (IsEmpty() || !word || wordLength <= 0 || keyCount_ == 0) return -1;
  last = std::min(last, keyCount_ - 1);
  uint8_t flag;
  while (first <= last) {
    uint32_t mid = first + (last - first) / 2;
    ReadKeyInto(mid, probe_, flag);
    int c = CompareNoCase(probe_.c_str(), static_cast<int>(probe_.size()), word, wordLength,
                          locale_);
    if (c == 0) {
      lastMark = (flag & kLastOfWord) != 0;
      int keyLevel = flag & kLevelMask;
      if (keyLevel == level) {
        exactCase = CompareCase(probe_.c_str(), static_cast<int>(probe_.size()), word,
                                wordLength, locale_) == 0;
        return static_cast<int>(mid);
      }
      c = keyLevel > level ? 1 : -1;
    }
    if (c > 0) {
      if (mid == 0) break;
      last = mid - 1;
    } else {
      first = mid + 1;
    }
  }
  return -1;
}

uint32_t CDictFile::FindMatches(std::vector<uint32_t>& entries, const wchar_t* word,
                                int wordLength) {
  entries.clear();
  if (IsEmpty() || !word || wordLength <= 0 || keyCount_ == 0) return 0;
  if (id_ == 1) {
    entries.push_back(0);
    return 1;
  }
  bool lastMark, exactCase;
  signed char level = 0;
  int i = SearchKeys(lastMark, exactCase, word, wordLength, 0, keyCount_ - 1, level);
  while (i != -1) {
    if (exactCase)
      entries.insert(entries.begin(), static_cast<uint32_t>(i));
    else
      entries.push_back(static_cast<uint32_t>(i));
    if (lastMark || level == kLevelMask) break;
    ++level;
    i = SearchKeys(lastMark, exactCase, word, wordLength, static_cast<uint32_t>(i) + 1,
                   keyCount_ - 1, level);
  }
  return static_cast<uint32_t>(entries.size());
}

int CDictFile::FindExact(const wchar_t* word, int wordLength) {
  if (IsEmpty() || !word || wordLength <= 0 || keyCount_ == 0) return -1;
  if (id_ == 1) return 0;
  // Keys are sorted ignoring case, with the case variants of one word side by
  // side in level order, so a case-sensitive binary search could step over the
  // variant it looks for: find the word's group first, then the variant in it.
  uint32_t first = 0, last = keyCount_ - 1;
  uint8_t flag;
  while (first <= last) {
    uint32_t mid = first + (last - first) / 2;
    ReadKeyInto(mid, probe_, flag);
    int c = CompareNoCase(word, wordLength, probe_.c_str(), static_cast<int>(probe_.size()),
                          locale_);
    if (c == 0) {
      uint32_t start = mid;
      std::wstring key;
      while (start > 0) {
        ReadKeyInto(start - 1, key, flag);
        if ((flag & kLastOfWord) ||
            CompareNoCase(word, wordLength, key.c_str(), static_cast<int>(key.size()), locale_) != 0)
          break;
        --start;
      }
      for (uint32_t i = start; i < keyCount_; ++i) {
        ReadKeyInto(i, key, flag);
        if (CompareNoCase(word, wordLength, key.c_str(), static_cast<int>(key.size()), locale_) != 0)
          break;
        if (CompareCase(word, wordLength, key.c_str(), static_cast<int>(key.size()), locale_) == 0)
          return static_cast<int>(i);
        if (flag & kLastOfWord) break;
      }
      return -1;
    }
    if (c < 0) {
      if (mid == 0) break;
      last = mid - 1;
    } else {
      first = mid + 1;
    }
  }
  return -1;
}

int CDictFile::LookupEntry(std::wstring& data, const wchar_t* word, int wordLength) {
  data.clear();
  int i = FindExact(word, wordLength);
  if (i >= 0) data = GetData(static_cast<uint32_t>(i));
  return i;
}

int CDictFile::FindResourceIndex(const wchar_t* name, int nameLength) {
  if (IsEmpty() || !name || nameLength <= 0 || resourceCount_ == 0 || !resIndex_.body) return -1;
  uint32_t first = 0, last = resourceCount_ - 1;
  while (first <= last) {
    uint32_t mid = first + (last - first) / 2;
    std::wstring key = GetResourceName(mid);
    int c = CompareCase(name, nameLength, key.c_str(), static_cast<int>(key.size()), kNoLocale);
    if (c == 0) return static_cast<int>(mid);
    if (c < 0) {
      if (mid == 0) break;
      last = mid - 1;
    } else {
      first = mid + 1;
    }
  }
  return -1;
}

bool CDictFile::ExtractResource(std::wstring& path, const wchar_t* name, int nameLength) {
  path.clear();
  if (IsEmpty() || !name || nameLength <= 0 || !resIndex_.body) return false;
  // The name becomes part of a path: it must not leave the temporary folder.
  if (!IsSafeResourceName(name, nameLength)) return false;
  int i = FindResourceIndex(name, nameLength);
  if (i < 0) return false;
  std::wstring target =
      DictHost().GetTempFolder() + GetIdText(true) + L"_res_" + std::wstring(name, nameLength);
  if (GetFileSizeOf(target.c_str()) > 0) {
    path = target;
    return true;
  }
  std::string bytes = GetResourceData(static_cast<uint32_t>(i));
  if (bytes.empty() || !WriteBytes(target, bytes.data(), static_cast<uint32_t>(bytes.size())))
    return false;
  path = target;
  return true;
}

std::wstring CDictFile::GetIdText(bool hex) const {
  if (!hex) return info_.GetRecord() ? info_.GetRecord()->idText : std::wstring();
  std::wstring text;
  return UInt32ToHexWString(text, id_, true, true);
}

const InfoDescription* CDictFile::FindDescription(const wchar_t* languageCode) const {
  return info_.FindDescription(languageCode);
}

std::wstring CDictFile::GetTitle(const wchar_t* languageCode) const {
  const InfoDescription* d = FindDescription(languageCode);
  return d ? d->title : std::wstring();
}

bool CDictFile::IsGroupLocked() const { return (flags_ & kFlagGroupLocked) != 0; }
bool CDictFile::CanIndex() const { return (flags_ & kFlagCanIndex) != 0; }
bool CDictFile::CanGrab() const { return (flags_ & kFlagCanGrab) != 0; }
bool CDictFile::HasFlag5() const { return (flags_ & kFlag5) != 0; }
bool CDictFile::IsPermanent() const { return (flags_ & kFlagPermanent) != 0; }

Veltra::COImage& CDictFile::GetIcon() { return icon_; }

std::wstring CDictFile::GetIconPath() const {
  return DictHost().GetTempFolder() + GetIdText(true) + L"_icon.png";
}

bool CDictFile::ExtractIcon(std::wstring& path, const wchar_t* name, const void* bytes,
                            uint32_t size, bool overwrite) {
  path = DictHost().GetTempFolder() + GetIdText(true) + L"_" + (name ? name : L"");
  if (!overwrite && GetFileSizeOf(path.c_str()) > 0) return true;
  if (!bytes || !WriteBytes(path, bytes, size)) {
    path.clear();
    return false;
  }
  return true;
}

bool CDictFile::SaveAs(const wchar_t* path) {
  if (!path || IsEmpty()) return false;
  return file_.SaveAs(path);
}

void CDictFile::ReloadLayout() {
  if (!IsEmpty()) resources_.LoadLayout();
}

void CDictFile::BuildResult(std::wstring& html, const std::vector<uint32_t>& entries,
                            const wchar_t* word, uint32_t groupKind, const DictGroupItem* member) {
  std::vector<std::wstring> data, keys;
  data.reserve(entries.size());
  keys.reserve(entries.size());
  for (uint32_t e : entries) {
    data.push_back(GetData(e));
    keys.push_back(id_ == 1 && word ? std::wstring(word) : GetKey(e));
  }
  resources_.BuildResult(html, data, keys, groupKind, member,
                         DictHost().GetUiLanguageCode().c_str());
}

void CDictFile::BuildTextResult(std::wstring& text, const wchar_t* key, uint32_t groupKind,
                                const DictGroupItem* member) {
  std::vector<std::wstring> data{text}, keys{key ? key : L""};
  resources_.BuildResult(text, data, keys, groupKind, member,
                         DictHost().GetUiLanguageCode().c_str());
}
