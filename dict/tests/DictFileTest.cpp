#include <gtest/gtest.h>

#include <cstring>

#include "core/TextCodec.h"
#include "dict/DictFile.h"
#include "dict/DictFormat.h"
#include "dict/tests/DictTestKit.h"

namespace {

std::vector<std::wstring> FruitEntries() {
  return {SimpleEntry(L"apple", L"a fruit"),   SimpleEntry(L"Apple", L"a company"),
          SimpleEntry(L"APPLE", L"shouted"),   SimpleEntry(L"banana", L"yellow"),
          SimpleEntry(L"cherry", L"red"),      SimpleEntry(L"date", L"sweet"),
          SimpleEntry(L"elder", L"a tree"),    SimpleEntry(L"fig", L"soft"),
          SimpleEntry(L"grape", L"a vine"),    SimpleEntry(L"Grape", L"a name"),
          SimpleEntry(L"Kiwi", L"a bird"),     SimpleEntry(L"kiwi", L"a fruit too")};
}

struct StorageCase {
  const wchar_t* name;
  const wchar_t* fields;
};

// Plain and compressed bodies, small blocks (reads cross block boundaries),
// UTF-16 keys and data, locale-sorted keys.
const StorageCase kStorage[] = {
    {L"plain", L""},
    {L"compressed", L"key_block = 4096"},
    {L"tinyblocks", L"key_block = 16"},
    {L"utf16", L"key_charset = utf-16\ndata_charset = utf-16\nkey_block = 64"},
    {L"sorted", L"index_sort = 0\nsort_lcid = 1033"},
};

class StorageTest : public ::testing::TestWithParam<StorageCase> {
 protected:
  void SetUp() override {
    path_ = MakeDict(host_, GetParam().name, DictSource(0x2A, GetParam().fields, FruitEntries()));
    ASSERT_FALSE(path_.empty());
    ASSERT_TRUE(dict_.Open(path_.c_str()));
  }
  CTestHost host_;
  std::wstring path_;
  CDictFile dict_;
};

TEST_P(StorageTest, KeysComeSortedInCaseGroupsWithLevelsAndMarks) {
  ASSERT_EQ(dict_.GetKeyCount(), 12u);
  uint8_t flag;
  EXPECT_EQ(dict_.GetKeyWithFlag(0, flag), L"apple");
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(dict_.GetKeyWithFlag(1, flag), L"Apple");
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(dict_.GetKeyWithFlag(2, flag), L"APPLE");
  EXPECT_EQ(flag, 0x82);
  EXPECT_EQ(dict_.GetKeyWithFlag(3, flag), L"banana");
  EXPECT_EQ(flag, 0x80);
  EXPECT_EQ(dict_.GetKey(9), L"Grape");
  EXPECT_EQ(dict_.GetKey(10), L"Kiwi");
  EXPECT_EQ(dict_.GetKey(12), L"");
  EXPECT_NE(dict_.GetData(4).find(L"red"), std::wstring::npos);
}

TEST_P(StorageTest, FindMatchesPutsTheExactCaseFirst) {
  std::vector<uint32_t> entries;
  ASSERT_EQ(dict_.FindMatches(entries, L"Apple", 5), 3u);
  // Without a locale every variant matches with case, so the later come first.
  if (dict_.GetCompareLocale() == -1)
    EXPECT_EQ(entries, (std::vector<uint32_t>{2, 1, 0}));
  else
    EXPECT_EQ(entries, (std::vector<uint32_t>{1, 0, 2}));
  ASSERT_EQ(dict_.FindMatches(entries, L"cherry", 6), 1u);
  EXPECT_EQ(entries[0], 4u);
  EXPECT_EQ(dict_.FindMatches(entries, L"melon", 5), 0u);
}

TEST_P(StorageTest, FindExactFindsEveryKeyAndEveryCaseVariant) {
  for (uint32_t i = 0; i < dict_.GetKeyCount(); ++i) {
    std::wstring key = dict_.GetKey(i);
    int found = dict_.FindExact(key.c_str(), static_cast<int>(key.size()));
    ASSERT_GE(found, 0) << key;
    if (dict_.GetCompareLocale() == -1)
      EXPECT_EQ(_wcsicmp(dict_.GetKey(found).c_str(), key.c_str()), 0) << key;  // case is ignored
    else
      EXPECT_EQ(found, static_cast<int>(i)) << key;
  }
  EXPECT_EQ(dict_.FindExact(L"melon", 5), -1);
}

TEST_P(StorageTest, FindWordReportsHitsAndNearestKeys) {
  uint32_t index, length;
  int position;
  ASSERT_TRUE(dict_.FindWord(index, position, length, L"BANANA", 6, true, 0));
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(length, 6u);
  EXPECT_TRUE(dict_.FindWord(index, position, length, L"apple", 5, true, -1));
  EXPECT_EQ(index, 2u);  // the key with the last-of-word mark
  EXPECT_FALSE(dict_.FindWord(index, position, length, L"aa", 2, true, 0));
  EXPECT_EQ(position, -1);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(length, 1u);
  EXPECT_FALSE(dict_.FindWord(index, position, length, L"zebra", 5, true, 0));
  EXPECT_EQ(position, 1);
  EXPECT_EQ(index, 11u);
  EXPECT_FALSE(dict_.FindWord(index, position, length, L"dates", 5, true, 0));
  EXPECT_EQ(position, 0);
  EXPECT_EQ(index, 5u);  // "date" shares four characters, "elder" none
  EXPECT_EQ(length, 4u);
  EXPECT_FALSE(dict_.FindWord(index, position, length, L"cx", 2, true, 0));
  EXPECT_EQ(index, 4u);  // a tie of one character each: the later key
}

INSTANTIATE_TEST_SUITE_P(Storage, StorageTest, ::testing::ValuesIn(kStorage),
                         [](const ::testing::TestParamInfo<StorageCase>& info) {
                           std::string name;
                           for (const wchar_t* p = info.param.name; *p; ++p) name.push_back(static_cast<char>(*p));
                           return name;
                         });

TEST(DictFileTest, CheckHeaderCodesInOrder) {
  struct Case {
    uint32_t magic, tag, id;
    uint16_t major, minor;
    int code;
  } cases[] = {
      {dictfmt::kMagic, dictfmt::kVersionTag, 5, 1, 3, 0},   {dictfmt::kMagic, dictfmt::kVersionTag, 5, 1, 4, -4},
      {dictfmt::kMagic, dictfmt::kVersionTag, 5, 2, 0, -4},  {dictfmt::kMagic, dictfmt::kVersionTag, 5, 0, 9, -5},
      {dictfmt::kMagic, dictfmt::kVersionTag, 0, 9, 9, -3},  {dictfmt::kMagic, 0, 0, 1, 0, -2},
      {0, 0, 0, 1, 0, -1},
  };
  for (const Case& c : cases) {
    uint8_t header[40] = {};
    std::memcpy(header, &c.magic, 4);
    std::memcpy(header + 4, &c.tag, 4);
    std::memcpy(header + 8, &c.id, 4);
    std::memcpy(header + 12, &c.major, 2);
    std::memcpy(header + 14, &c.minor, 2);
    uint32_t id;
    uint16_t major, minor;
    EXPECT_EQ(CDictFile::CheckHeader(id, major, minor, header), c.code) << c.major << "." << c.minor;
  }
}

// Every damaged file is refused by Open, which leaves the object reset.
TEST(DictFileTest, DamagedFilesFailToOpen) {
  CTestHost host;
  const std::vector<std::wstring> kinds = {
      L"magic",       L"tag",        L"id0",     L"flags",     L"info-id",  L"info-odd",
      L"info-noterm", L"info-empty", L"no-keys", L"key-short", L"truncate", L"header-only",
      L"bad-count",   L"area-beyond", L"zero-head", L"huge-max"};
  std::vector<std::wstring> paths = MakeDamagedDicts(host, L"damaged", DictSource(7, L"", FruitEntries()), kinds);
  ASSERT_EQ(paths.size(), kinds.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    ASSERT_FALSE(paths[i].empty()) << kinds[i];
    CDictFile dict;
    EXPECT_FALSE(dict.Open(paths[i].c_str())) << kinds[i];
    EXPECT_TRUE(dict.IsEmpty());
    EXPECT_EQ(dict.GetKeyCount(), 0u);
  }
}

TEST(DictFileTest, VersionsOutsideOneZeroToOneThreeFailToOpen) {
  CTestHost host;
  for (const wchar_t* version : {L"1.4", L"2.0", L"0.9"}) {
    std::wstring path = MakeDict(host, std::wstring(L"v") + version[0] + version[2],
                                 DictSource(7, std::wstring(L"version = ") + version, FruitEntries()));
    CDictFile dict;
    EXPECT_FALSE(dict.Open(path.c_str())) << version;
    uint32_t id;
    uint16_t major, minor;
    EXPECT_EQ(CDictFile::ReadHeader(id, major, minor, path.c_str()), version[0] == L'0' ? -5 : -4);
  }
  std::wstring path = MakeDict(host, L"v10", DictSource(7, L"version = 1.0", FruitEntries()));
  CDictFile dict;
  EXPECT_TRUE(dict.Open(path.c_str()));
}

TEST(DictFileTest, DamagedCompressedIndexesFailToOpen) {
  CTestHost host;
  const std::vector<std::wstring> kinds = {L"bad-blocktable", L"huge-total", L"huge-block", L"area-beyond"};
  std::vector<std::wstring> paths = MakeDamagedDicts(host, L"packed", DictSource(7, L"key_block = 64", FruitEntries()), kinds);
  ASSERT_EQ(paths.size(), kinds.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    CDictFile dict;
    EXPECT_FALSE(dict.Open(paths[i].c_str())) << kinds[i];
  }
}

// Damage only a read can meet: the file opens, the spoiled records read empty.
TEST(DictFileTest, BadRecordsReadEmptyWithoutOverRead) {
  CTestHost host;
  const std::vector<std::wstring> plainKinds = {L"bad-offsets", L"bad-data-offsets", L"oversized"};
  const std::vector<std::wstring> packedKinds = {L"bad-zlib", L"oversized"};
  std::vector<std::wstring> paths = MakeDamagedDicts(host, L"plain", DictSource(7, L"", FruitEntries()), plainKinds);
  std::vector<std::wstring> packed =
      MakeDamagedDicts(host, L"packed", DictSource(7, L"key_block = 64", FruitEntries()), packedKinds);
  paths.insert(paths.end(), packed.begin(), packed.end());
  ASSERT_EQ(paths.size(), 5u);
  for (const std::wstring& path : paths) {
    CDictFile dict;
    ASSERT_TRUE(dict.Open(path.c_str())) << path;
    uint32_t empty = 0;
    for (uint32_t i = 0; i < dict.GetKeyCount(); ++i) empty += dict.GetKey(i).empty() + dict.GetData(i).empty();
    EXPECT_GT(empty, 0u) << path;
    std::vector<uint32_t> entries;
    dict.FindMatches(entries, L"fig", 3);
    dict.FindExact(L"grape", 5);
  }
}

TEST(DictFileTest, HeaderVersionAndInformationMustAgreeAsText) {
  CTestHost host;
  std::wstring path = MakeDict(host, L"v103", DictSource(9, L"info_version = 1.03", FruitEntries()));
  CDictFile dict;
  EXPECT_FALSE(dict.Open(path.c_str()));
  uint32_t id;
  uint16_t major, minor;
  EXPECT_EQ(CDictFile::ReadHeader(id, major, minor, path.c_str()), 0);
  EXPECT_EQ(id, 9u);
  EXPECT_EQ(CDictFile::ReadHeader(id, major, minor, (host.root + L"missing.tdc").c_str()), -1);
}

TEST(DictFileTest, OpenExposesIdFlagsTitleAndIcon) {
  CTestHost host;
  std::wstring path = MakeDict(host, L"flags", DictSource(0x1A, L"flags = 0x9C", FruitEntries()));
  CDictFile dict;
  ASSERT_TRUE(dict.Open(path.c_str()));
  EXPECT_EQ(dict.GetIdText(true), L"0000001A");
  EXPECT_EQ(dict.GetIdText(false), L"26");
  EXPECT_TRUE(dict.IsGroupLocked());
  EXPECT_TRUE(dict.CanIndex());
  EXPECT_TRUE(dict.CanGrab());
  EXPECT_FALSE(dict.HasFlag5());
  EXPECT_TRUE(dict.IsPermanent());
  EXPECT_EQ(dict.GetTitle(L"en-US"), L"Title 26");
  std::string why;
  EXPECT_TRUE(IsListIcon(dict.GetIcon(), why)) << "a source that names no icon: " << why;
  EXPECT_TRUE(FileExists(dict.GetIconPath()));
  std::wstring copy = host.root + L"copy.tdc";
  EXPECT_TRUE(dict.SaveAs(copy.c_str()));
  CDictFile again;
  EXPECT_TRUE(again.Open(copy.c_str()));
}

// A locale that CompareStringW rejects would make every search miss.
TEST(DictFileTest, RejectedLocaleFallsBackToNoLocale) {
  CTestHost host;
  host.locales[L"xx"] = 0x7FFF;
  std::wstring path = MakeDict(host, L"badlocale", DictSource(11, L"index_lang = xx\nindex_sort = 0\nsort_lcid = 0x7FFF", FruitEntries()));
  CDictFile dict;
  ASSERT_TRUE(dict.Open(path.c_str()));
  EXPECT_EQ(dict.GetCompareLocale(), -1);
  std::vector<uint32_t> entries;
  EXPECT_EQ(dict.FindMatches(entries, L"fig", 3), 1u);
}

TEST(DictFileTest, DictionaryWithIdOneMatchesEveryWord) {
  CTestHost host;
  std::wstring path = MakeDict(host, L"one", DictSource(1, L"", {L"*\t<C A=\"0\"><Y/></C>"}));
  CDictFile dict;
  ASSERT_TRUE(dict.Open(path.c_str()));
  std::vector<uint32_t> entries;
  EXPECT_EQ(dict.FindMatches(entries, L"anything", 8), 1u);
  EXPECT_EQ(entries[0], 0u);
  EXPECT_EQ(dict.FindExact(L"other", 5), 0);
}

class ResourceTest : public ::testing::Test {
 protected:
  void Open(const wchar_t* fields, const wchar_t* options = L"") {
    dict_.Reset();
    path_ = MakeDict(host_, L"res" + std::to_wstring(++built_),
                     DictSource(0x33,
                                std::wstring(L"resource = pic.png | text:PNGDATA\nresource = Notes.txt | text:hello\n") + fields,
                                FruitEntries()),
                     options);
    ASSERT_TRUE(dict_.Open(path_.c_str()));
  }
  CTestHost host_;
  std::wstring path_;
  CDictFile dict_;
  int built_ = 0;
};

TEST_F(ResourceTest, ResourcesAreFoundByNameIgnoringCaseAndExtracted) {
  for (const wchar_t* fields : {L"", L"res_block = 8"}) {
    Open(fields);
    EXPECT_GE(dict_.FindResourceIndex(L"notes.TXT", 9), 0);
    EXPECT_EQ(dict_.FindResourceIndex(L"none", 4), -1);
    std::wstring path;
    ASSERT_TRUE(dict_.ExtractResource(path, L"pic.png", 7));
    EXPECT_EQ(path, host_.GetTempFolder() + L"00000033_res_pic.png");
    std::string bytes;
    ReadFileToString(bytes, path.c_str());
    EXPECT_EQ(bytes, "PNGDATA");
    // An existing non-empty file is reused as it is.
    ASSERT_TRUE(WriteTextFile(path, L"kept", false));
    std::string kept;
    ReadFileToString(kept, path.c_str());
    ASSERT_TRUE(dict_.ExtractResource(path, L"pic.png", 7));
    ReadFileToString(bytes, path.c_str());
    EXPECT_EQ(bytes, kept);
    EXPECT_EQ(dict_.GetResourceData(static_cast<uint32_t>(dict_.FindResourceIndex(L"pic.png", 7))), "PNGDATA");
    DeleteFileW(path.c_str());
  }
}

TEST_F(ResourceTest, NamesThatLeaveTheTemporaryFolderAreRefused) {
  Open(L"", L"--damage=res-escape");
  int i = dict_.FindResourceIndex(L"..\\pic.png", 10);
  ASSERT_GE(i, 0);  // the damaged name is stored, but never used as a path
  std::wstring path;
  EXPECT_FALSE(dict_.ExtractResource(path, L"..\\pic.png", 10));
  EXPECT_TRUE(path.empty());
  EXPECT_FALSE(FileExists(host_.root + L"00000033_res_pic.png"));
  EXPECT_FALSE(dict_.ExtractResource(path, L"a/b", 3));
  EXPECT_FALSE(dict_.ExtractResource(path, L"c:x", 3));
}

}  // namespace
