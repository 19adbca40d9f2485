// One opened dictionary file: header and sections checked, information parsed,
// key and resource indexes ready for searching, entries rendered through its
// resource set.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/BlockFile.h"
#include "core/MappedFile.h"
#include "dict/DictInfo.h"
#include "dict/DictResources.h"
#include "guictl/OImage.h"

struct DictGroupItem;

class CDictFile {
 public:
  CDictFile();
  virtual ~CDictFile();
  CDictFile(const CDictFile&) = delete;
  CDictFile& operator=(const CDictFile&) = delete;

  bool Open(const wchar_t* path);
  void Reset();
  bool IsEmpty() const { return id_ == 0; }

  static int ReadHeader(uint32_t& id, uint16_t& major, uint16_t& minor, const wchar_t* path);
  static int CheckHeader(uint32_t& id, uint16_t& major, uint16_t& minor, const void* header);

  uint32_t GetId() const { return id_; }
  std::wstring GetIdText(bool hex) const;
  std::wstring GetPath() const { return path_; }
  CDictInfo& GetInfo() { return info_; }
  const InfoDescription* FindDescription(const wchar_t* languageCode) const;
  std::wstring GetTitle(const wchar_t* languageCode) const;
  uint32_t GetGlossaryCount() const { return glossaryCount_; }
  int32_t GetCompareLocale() const { return locale_; }

  bool IsGroupLocked() const;
  bool CanIndex() const;
  bool CanGrab() const;
  bool HasFlag5() const;
  bool IsPermanent() const;

  Veltra::COImage& GetIcon();
  std::wstring GetIconPath() const;
  bool ExtractIcon(std::wstring& path, const wchar_t* name, const void* bytes, uint32_t size,
                   bool overwrite);
  bool SaveAs(const wchar_t* path);
  void ReloadLayout();

  // Key index and resource index.
  uint32_t GetKeyCount() const { return keyCount_; }
  std::wstring GetKey(uint32_t i);
  std::wstring GetKeyWithFlag(uint32_t i, uint8_t& flag);
  std::wstring GetData(uint32_t i);
  std::wstring GetResourceName(uint32_t i);
  std::string GetResourceData(uint32_t i);

  bool FindWord(uint32_t& index, int& position, uint32_t& matchLength, const wchar_t* word,
                int wordLength, bool ignoreCase, signed char level);
  int SearchKeys(bool& lastMark, bool& exactCase, const wchar_t* word, int wordLength,
                 uint32_t first, uint32_t last, signed char level);
  uint32_t FindMatches(std::vector<uint32_t>& entries, const wchar_t* word, int wordLength);
  int FindExact(const wchar_t* word, int wordLength);
  int LookupEntry(std::wstring& data, const wchar_t* word, int wordLength);
  int FindResourceIndex(const wchar_t* name, int nameLength);
  // True when every key, every record's place, the first and last entries and
  // the resource names read: what installing asks of a file.
  bool CheckContents();
  bool ExtractResource(std::wstring& path, const wchar_t* name, int nameLength);

  // Rendering (the resource set does the work).
  void BuildResult(std::wstring& html, const std::vector<uint32_t>& entries, const wchar_t* word,
                   uint32_t groupKind, const DictGroupItem* member);
  void BuildTextResult(std::wstring& text, const wchar_t* key, uint32_t groupKind,
                       const DictGroupItem* member);

 private:
  // One of the two index bodies: where it lies and how far its areas reach.
  struct IndexView {
    const uint8_t* body = nullptr;  // plain body, or the block image
    uint32_t size = 0;              // uncompressed body size
    uint32_t keyArea = 0;           // A
    uint32_t dataArea = 0;          // A + B
    uint32_t count = 0;
    bool compressed = false;
  };

  bool SetUpIndex(IndexView& view, CBlockFile& reader, const uint8_t* section, uint32_t length,
                  uint32_t count, uint32_t slots);
  bool RecordSpan(const IndexView& view, CBlockFile& reader, uint32_t i, bool data, uint32_t entrySlot,
                  uint64_t& at, uint32_t& length);
  bool ReadRecord(const IndexView& view, CBlockFile& reader, uint32_t i, bool data,
                  uint32_t entrySlot, uint32_t recordSlot, uint8_t* buffer, uint32_t bufferSize,
                  const uint8_t*& bytes, uint32_t& length);
  bool ReadKeyInto(uint32_t i, std::wstring& key, uint8_t& flag);
  const uint8_t* KeyImageBytes(uint64_t at, uint32_t length);
  void DecodeText(std::wstring& out, const uint8_t* bytes, uint32_t length, bool utf8) const;
  bool ParseInformation(const uint8_t* section, uint32_t length);

  CMappedFile file_;
  CBlockFile keyReader_;
  CBlockFile resReader_;
  CDictInfo info_;
  CDictResources resources_;
  std::wstring path_;
  uint32_t magic_ = 0, versionTag_ = 0, id_ = 0;
  uint16_t major_ = 0, minor_ = 0;
  uint32_t flags_ = 0;
  uint32_t reserved_[5] = {};
  uint32_t keyHead_[4] = {};
  uint32_t resHead_[4] = {};
  IndexView keyIndex_;
  IndexView resIndex_;
  int32_t locale_ = 1024;
  bool keysUtf8_ = false;
  bool dataUtf8_ = false;
  Veltra::COImage icon_;
  uint32_t glossaryCount_ = 0, keyCount_ = 0, resourceCount_ = 0;
  std::unique_ptr<uint8_t[]> keyBuffer_, dataBuffer_, nameBuffer_;
  uint32_t keyBufferSize_ = 0, dataBufferSize_ = 0, nameBufferSize_ = 0;
  std::wstring probe_;  // key text reused by the searches
  // The entry table and key area of a compressed key index, inflated block
  // by block as searches reach them and kept: a binary search probes all over
  // them, and inflating a block per probe would cost far more than the memory.
  std::unique_ptr<uint8_t[]> keyImage_;
  std::vector<bool> keyImageBlocks_;
  bool keyImageFailed_ = false;
};
