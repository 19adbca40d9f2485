#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "dict/DictFile.h"
#include "dict/DictFormat.h"
#include "dict/DictManager.h"
#include "dict/tests/DictTestKit.h"

namespace {

constexpr uint32_t kBase = 0x100;

class ManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.uiTexts[L"/10"] = L"0x100";
    Install(kBase, {SimpleEntry(L"base", L"b"), SimpleEntry(L"common", L"base's")});
    Install(0x200, {SimpleEntry(L"apple", L"a"), SimpleEntry(L"azure", L"z"), SimpleEntry(L"common", L"x")},
            L"flags = 0x18");
    Install(0x300, {SimpleEntry(L"banana", L"b"), SimpleEntry(L"cherry", L"c")}, L"flags = 0x04");
    WriteConfig(L"<install><dict src=\"00000100.tdc\"/><dict src=\"00000200.tdc\"/><dict src=\"00000300.tdc\"/>"
                L"<dict src=\"00000200.tdc\"/></install><query_group></query_group>"
                L"<index_group><dict id=\"200\"/><dict id=\"200\"/></index_group><grab_group/>");
  }
  std::wstring Build(uint32_t id, const std::vector<std::wstring>& entries, const std::wstring& fields = L"",
                     const std::wstring& options = L"") {
    return MakeDict(host_, L"m" + std::to_wstring(id) + options.substr(options.size() > 9 ? 9 : 0),
                    DictSource(id, fields, entries), options);
  }
  void Install(uint32_t id, const std::vector<std::wstring>& entries, const std::wstring& fields = L"") {
    std::wstring path = Build(id, entries, fields);
    wchar_t name[16];
    swprintf(name, 16, L"%.8x.tdc", id);
    ASSERT_TRUE(CopyFileW(path.c_str(), (host_.GetDictFolder() + name).c_str(), FALSE));
  }
  void WriteConfig(const std::wstring& body) {
    ASSERT_TRUE(WriteEnvelopeFile(host_.GetDictFolder() + L"dictcfg.xmc",
                                  L"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config>" + body + L"</config>"));
  }
  CTestHost host_;
  CDictManager manager_;
};

TEST_F(ManagerTest, LoadConfigDropsRepeatsAndAddsTheBaseDictionary) {
  ASSERT_TRUE(manager_.LoadConfig());
  EXPECT_EQ(manager_.GetDicts().size(), 3u);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(manager_.GetGroupCount(kGroupQuery), 3u);  // an empty query group takes every dictionary
  ASSERT_EQ(manager_.GetGroupCount(kGroupIndex), 2u);   // the repeat dropped, the base added
  EXPECT_EQ(manager_.GetGroupItem(kGroupIndex, 0)->id, 0x200u);
  EXPECT_EQ(manager_.GetGroupItem(kGroupIndex, 1)->id, kBase);
  EXPECT_EQ(manager_.GetGroupCount(kGroupGrab), 0u);
}

TEST_F(ManagerTest, SaveConfigRoundTripsThroughAReplacedFile) {
  ASSERT_TRUE(manager_.LoadConfig());
  ASSERT_TRUE(manager_.AddToGroup(kGroupGrab, 0x200));
  manager_.GetGroupItem(kGroupQuery, 1)->enable = false;
  ASSERT_TRUE(manager_.SaveConfig());
  EXPECT_EQ(ListFolder(host_.GetDictFolder()).size(), 4u);  // three dictionaries and the configuration
  CDictManager again;
  ASSERT_TRUE(again.LoadConfig());
  EXPECT_EQ(again.GetGroupCount(kGroupGrab), 1u);
  EXPECT_FALSE(again.GetGroupItem(kGroupQuery, 1)->enable);
}

TEST_F(ManagerTest, MissingFileShowsOneMessageAndLoadingGoesOn) {
  DeleteFileW((host_.GetDictFolder() + L"00000300.tdc").c_str());
  ASSERT_TRUE(manager_.LoadConfig());
  EXPECT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(manager_.GetDicts().size(), 2u);
}

TEST_F(ManagerTest, GroupRulesFollowTheHeaderFlags) {
  ASSERT_TRUE(manager_.LoadConfig());
  EXPECT_FALSE(manager_.AddToGroup(kGroupIndex, 0x300));  // locked
  std::wstring error;
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"AddDictFail 300");
  EXPECT_FALSE(manager_.AddToGroup(kGroupGrab, 0x300));  // locked
  EXPECT_TRUE(manager_.RemoveFromGroup(kGroupIndex, 0x200));
  EXPECT_FALSE(manager_.RemoveFromGroup(kGroupIndex, 0x999));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"NoClearAllIndexGroup");
  // The text names the dictionary whichever rule refuses it.
  host_.uiTexts[L"Message/UninstallDictFail"] = L"Cannot uninstall %08X.";
  EXPECT_FALSE(manager_.UninstallDict(kBase));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"Cannot uninstall 00000100.");
  EXPECT_FALSE(manager_.UninstallDict(0x999));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"Cannot uninstall 00000999.");
}

TEST_F(ManagerTest, InstallNewAndUninstall) {
  ASSERT_TRUE(manager_.LoadConfig());
  std::wstring path = Build(0x400, {SimpleEntry(L"kiwi", L"k")});
  uint32_t id;
  ASSERT_TRUE(manager_.InstallDict(id, path.c_str(), true));
  EXPECT_EQ(id, 0x400u);
  EXPECT_TRUE(FileExists(host_.GetDictFolder() + L"00000400.tdc"));
  EXPECT_EQ(manager_.GroupIndexOf(kGroupQuery, 0x400), 3);
  EXPECT_EQ(manager_.GroupIndexOf(kGroupIndex, 0x400), -1);
  EXPECT_FALSE(manager_.InstallDict(id, path.c_str(), true));
  EXPECT_EQ(id, 0xFFFFFFFFu);
  std::wstring error;
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"LoadDictRepeat " + path + L" Title 1024 00000400");
  host_.uiTexts[L"Message/LoadDictRepeat"] = L"%s %s %s %s %n %99999999d";  // more directives than texts
  EXPECT_FALSE(manager_.InstallDict(id, path.c_str(), true));
  manager_.GetErrorText(error);
  EXPECT_EQ(error.find(path + L" Title 1024 1024"), 0u) << error;
  const std::wstring icon = manager_.FindDict(0x400)->GetIconPath();
  EXPECT_TRUE(FileExists(icon));
  ASSERT_TRUE(manager_.UninstallDict(0x400));
  EXPECT_FALSE(FileExists(host_.GetDictFolder() + L"00000400.tdc"));
  EXPECT_FALSE(FileExists(icon)) << "the icon stays in the temporary folder";
  EXPECT_TRUE(FileExists(manager_.FindDict(0x200)->GetIconPath())) << "another dictionary lost its icon";
  CDictManager again;
  ASSERT_TRUE(again.LoadConfig());
  EXPECT_EQ(again.GetDicts().size(), 3u);
}

TEST_F(ManagerTest, UpdateKeepsMembershipsAndAFailedUpdateKeepsTheOldCopy) {
  ASSERT_TRUE(manager_.LoadConfig());
  manager_.GetGroupItem(kGroupIndex, 0)->enable = false;
  uint32_t id;
  std::wstring newer = Build(0x200, {SimpleEntry(L"apricot", L"new")}, L"flags = 0x18");
  ASSERT_TRUE(manager_.InstallDict(id, newer.c_str(), false));
  CDictFile* d = manager_.FindDict(0x200);
  ASSERT_NE(d, nullptr);
  EXPECT_GE(d->FindExact(L"apricot", 7), 0);
  EXPECT_FALSE(manager_.GetGroupItem(kGroupIndex, 0)->enable);

  std::wstring broken = Build(0x200, {SimpleEntry(L"broken", L"x")}, L"flags = 0x18", L"--damage=info-noterm");
  EXPECT_FALSE(manager_.InstallDict(id, broken.c_str(), false));
  std::wstring error;
  manager_.GetErrorText(error);
  EXPECT_EQ(error.find(L"LoadDictFileFail"), 0u);
  EXPECT_GE(d->FindExact(L"apricot", 7), 0);

  // A staging copy that cannot be written fails the update and keeps the old copy open.
  RemoveDirectoryW(host_.GetTempFolder().c_str());
  for (const std::wstring& n : ListFolder(host_.GetTempFolder())) DeleteFileW((host_.GetTempFolder() + n).c_str());
  RemoveDirectoryW(host_.GetTempFolder().c_str());
  EXPECT_FALSE(manager_.InstallDict(id, newer.c_str(), false));
  EXPECT_FALSE(d->IsEmpty());
  EXPECT_GE(d->FindExact(L"apricot", 7), 0);
}

// The program ended in the middle of an update: the installed copy was moved
// aside and the new one was not yet in place, or both lie there.
TEST_F(ManagerTest, AnUpdateCutShortKeepsTheDictionary) {
  const std::wstring installed = host_.GetDictFolder() + L"00000200.tdc";
  const std::wstring aside = installed + L".old";
  const std::wstring newer = Build(0x200, {SimpleEntry(L"apricot", L"new")}, L"flags = 0x18");
  struct Case {
    const char* name;
    bool newInPlace;  // the new copy was put in place before the end
    const wchar_t* word;
  } cases[] = {{"only the copy kept aside", false, L"apple"}, {"both copies", true, L"apricot"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(CopyFileW(installed.c_str(), aside.c_str(), FALSE));
    if (c.newInPlace) {
      ASSERT_TRUE(CopyFileW(newer.c_str(), installed.c_str(), FALSE));
    } else {
      ASSERT_TRUE(DeleteFileW(installed.c_str()));
    }
    host_.messages.clear();
    CDictManager manager;
    ASSERT_TRUE(manager.LoadConfig());
    EXPECT_TRUE(host_.messages.empty());
    CDictFile* d = manager.FindDict(0x200);
    ASSERT_NE(d, nullptr);
    EXPECT_GE(d->FindExact(c.word, static_cast<int>(wcslen(c.word))), 0);
    EXPECT_EQ(manager.GroupIndexOf(kGroupIndex, 0x200), 0);
    ASSERT_TRUE(FileExists(installed));
  }
}

TEST_F(ManagerTest, FailedNewInstallLeavesNoFileBehind) {
  ASSERT_TRUE(manager_.LoadConfig());
  for (const std::wstring& n : ListFolder(host_.GetTempFolder())) DeleteFileW((host_.GetTempFolder() + n).c_str());
  RemoveDirectoryW(host_.GetTempFolder().c_str());
  std::wstring path = Build(0x500, {SimpleEntry(L"plum", L"p")});
  uint32_t id;
  EXPECT_FALSE(manager_.InstallDict(id, path.c_str(), true));
  EXPECT_FALSE(FileExists(host_.GetDictFolder() + L"00000500.tdc"));
  EXPECT_EQ(manager_.FindDict(0x500), nullptr);
  std::wstring error;
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"InstallDictFail");
  // A text that names the file gets it; no conversion is left unfilled.
  host_.uiTexts[L"Message/InstallDictFail"] = L"Cannot install %s.%s";
  EXPECT_FALSE(manager_.InstallDict(id, path.c_str(), true));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"Cannot install " + path + L".");
}

// Files that open but give no words or no entries: the writer's damage kinds,
// and cuts, a bit flip and a section length spoiled by hand in a good file.
// Installing refuses each with its own text and leaves nothing behind.
TEST_F(ManagerTest, DamagedContentsAreRefusedAtInstallation) {
  ASSERT_TRUE(manager_.LoadConfig());
  const std::wstring resources = L"resource = pic.png | text:PNGDATA\nresource = Notes.txt | text:hello\n";
  const std::vector<std::wstring> entries = {SimpleEntry(L"apple", L"a"), SimpleEntry(L"banana", L"b"),
                                             SimpleEntry(L"cherry", L"c"), SimpleEntry(L"date", L"d"),
                                             SimpleEntry(L"elder", L"e"), SimpleEntry(L"fig", L"f")};
  struct Damaged {
    std::wstring what, path;
  };
  std::vector<Damaged> files;
  const struct {
    const wchar_t* name;
    std::wstring fields;
    std::vector<std::wstring> kinds;
  } built[] = {
      {L"plain", resources, {L"bad-offsets", L"bad-data-offsets", L"oversized", L"res-escape"}},
      {L"packed", resources + L"key_block = 64", {L"bad-zlib", L"oversized"}},
  };
  for (const auto& b : built) {
    std::vector<std::wstring> paths = MakeDamagedDicts(host_, b.name, DictSource(0x400, b.fields, entries), b.kinds);
    ASSERT_EQ(paths.size(), b.kinds.size());
    for (size_t i = 0; i < paths.size(); ++i) files.push_back({std::wstring(b.name) + L" " + b.kinds[i], paths[i]});
  }

  const std::wstring good = Build(0x400, entries, resources);
  std::ifstream in(good.c_str(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  dictfmt::Section keys{}, res{};
  dictfmt::WalkSections(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()),
                        [&](const dictfmt::Section& s) {
                          if (s.type == dictfmt::kSectionKeyIndex) keys = s;
                          if (s.type == dictfmt::kSectionResourceIndex) res = s;
                        });
  ASSERT_GT(res.offset, keys.offset);
  auto spoiled = [&](const std::wstring& what, std::string changed) {
    std::wstring path = host_.root + L"src\\hand" + std::to_wstring(files.size()) + L".tdc";
    std::ofstream(path.c_str(), std::ios::binary).write(changed.data(), static_cast<std::streamsize>(changed.size()));
    files.push_back({what, path});
  };
  spoiled(L"cut in the resource index", bytes.substr(0, res.offset + 10));
  spoiled(L"last byte cut", bytes.substr(0, bytes.size() - 1));
  std::string flipped = bytes;
  flipped[keys.offset + dictfmt::kIndexHeadSize + 8 * 3 + 3] ^= 0x40;  // the fourth key's offset
  spoiled(L"one bit flipped", flipped);
  std::string longer = bytes;
  const uint32_t declared = res.length + 0x1000;
  std::memcpy(&longer[res.offset - 4], &declared, 4);
  spoiled(L"oversized section length", longer);

  for (const Damaged& f : files) {
    CDictFile opened;
    ASSERT_TRUE(opened.Open(f.path.c_str())) << f.what;  // the damage lies beyond what opening reads
    opened.Reset();
    uint32_t id = 0;
    EXPECT_FALSE(manager_.InstallDict(id, f.path.c_str(), true)) << f.what;
    std::wstring error;
    manager_.GetErrorText(error);
    EXPECT_EQ(error, L"DictContentDamaged:\n" + f.path) << f.what;
    EXPECT_EQ(manager_.FindDict(0x400), nullptr) << f.what;
    EXPECT_FALSE(FileExists(host_.GetDictFolder() + L"00000400.tdc")) << f.what;
  }
  uint32_t id = 0;
  ASSERT_TRUE(manager_.InstallDict(id, good.c_str(), true));
  std::wstring data;
  EXPECT_GE(manager_.FindDict(0x400)->LookupEntry(data, L"fig", 3), 0);
}

// While "dictcfg.xmc" cannot be replaced (another program holds it open), an
// install, an update or an uninstall is not done: the configuration on disk
// and the folder keep saying what is installed, and the failure is told.
TEST_F(ManagerTest, ChangesTheConfigurationCannotTakeAreNotDone) {
  ASSERT_TRUE(manager_.LoadConfig());
  host_.uiTexts[L"Message/SaveDictConfigFail"] = L"Cannot save %s";
  const std::wstring config = host_.GetDictFolder() + L"dictcfg.xmc";
  const std::wstring fresh = Build(0x600, {SimpleEntry(L"plum", L"p")});
  const std::wstring newer = Build(0x200, {SimpleEntry(L"apricot", L"new")}, L"flags = 0x18");
  HANDLE held = CreateFileW(config.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  uint32_t id;
  std::wstring error;

  EXPECT_FALSE(manager_.InstallDict(id, fresh.c_str(), true));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"Cannot save " + config);
  EXPECT_EQ(manager_.FindDict(0x600), nullptr);
  EXPECT_EQ(manager_.GroupIndexOf(kGroupQuery, 0x600), -1);
  EXPECT_FALSE(FileExists(host_.GetDictFolder() + L"00000600.tdc"));

  EXPECT_FALSE(manager_.InstallDict(id, newer.c_str(), false));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"Cannot save " + config);
  ASSERT_NE(manager_.FindDict(0x200), nullptr);
  EXPECT_GE(manager_.FindDict(0x200)->FindExact(L"apple", 5), 0);
  EXPECT_FALSE(FileExists(host_.GetDictFolder() + L"00000200.tdc.old"));

  EXPECT_FALSE(manager_.UninstallDict(0x300));
  manager_.GetErrorText(error);
  EXPECT_EQ(error, L"Cannot save " + config);
  EXPECT_NE(manager_.FindDict(0x300), nullptr);
  EXPECT_EQ(manager_.GroupIndexOf(kGroupQuery, 0x300), 2);
  EXPECT_TRUE(FileExists(host_.GetDictFolder() + L"00000300.tdc"));

  // A group edit stays in memory; its save tells the user.
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_FALSE(manager_.SaveConfig());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].find(L"Cannot save " + config), std::wstring::npos) << host_.messages[0];
  CloseHandle(held);

  CDictManager again;
  ASSERT_TRUE(again.LoadConfig());
  EXPECT_EQ(again.GetDicts().size(), 3u);
  EXPECT_EQ(again.FindDict(0x600), nullptr);
  ASSERT_NE(again.FindDict(0x200), nullptr);
  EXPECT_GE(again.FindDict(0x200)->FindExact(L"apple", 5), 0);
  EXPECT_NE(again.FindDict(0x300), nullptr);
  EXPECT_EQ(host_.messages.size(), 1u);  // every listed file is there

  // Once the file can be written again, the same steps are done.
  ASSERT_TRUE(manager_.InstallDict(id, fresh.c_str(), true));
  ASSERT_TRUE(manager_.UninstallDict(0x300));
  CDictManager after;
  ASSERT_TRUE(after.LoadConfig());
  EXPECT_NE(after.FindDict(0x600), nullptr);
  EXPECT_EQ(after.FindDict(0x300), nullptr);
}

TEST_F(ManagerTest, QueryGroupRendersOneFragmentPerHoldingMember) {
  WriteTextFile(host_.GetDictFolder() + L"layout_def.cfg", L"[comm]\nDictB=[;\nDictE=];\nGlsB=;\nGlsE=;\n", true);
  ASSERT_TRUE(manager_.LoadConfig());
  std::vector<CDictFile*> dicts;
  std::vector<std::wstring> fragments;
  EXPECT_EQ(manager_.QueryGroup(dicts, fragments, L"banana", kGroupQuery), 1u);
  EXPECT_EQ(dicts[0]->GetId(), 0x300u);
  EXPECT_EQ(manager_.QueryGroup(dicts, fragments, L"common", kGroupQuery), 2u);
  manager_.GetGroupItem(kGroupQuery, 0)->enable = false;
  EXPECT_EQ(manager_.QueryGroup(dicts, fragments, L"common", kGroupQuery), 1u);
  EXPECT_EQ(dicts[0]->GetId(), 0x200u);
  EXPECT_EQ(manager_.QueryGroup(dicts, fragments, L"", kGroupQuery), 0u);
  EXPECT_EQ(manager_.QueryGroup(dicts, fragments, L"common", 3), 0u);
  EXPECT_TRUE(fragments.empty());
}

TEST_F(ManagerTest, FindIndexPositionRanksMissesByRangeThenPrefix) {
  ASSERT_TRUE(manager_.LoadConfig());
  // Index group: 0x200 (apple, azure, common) then the base (base, common).
  uint32_t member, entry;
  EXPECT_TRUE(manager_.FindIndexPosition(member, entry, L"AZURE", 0xFFFFFFFF));
  EXPECT_EQ(member, 0u);
  EXPECT_EQ(entry, 1u);
  // Inside both ranges; the base shares "bas" with its nearest key.
  EXPECT_FALSE(manager_.FindIndexPosition(member, entry, L"bass", 0xFFFFFFFF));
  EXPECT_EQ(member, 1u);
  EXPECT_EQ(entry, 0u);
  EXPECT_FALSE(manager_.FindIndexPosition(member, entry, L"b", 0xFFFFFFFF));
  EXPECT_EQ(member, 0u);  // inside the range of 0x200 beats a prefix before the base's first key

  EXPECT_FALSE(manager_.FindIndexPosition(member, entry, L"zz", 0xFFFFFFFF));
  EXPECT_EQ(member, 0u);
  EXPECT_EQ(entry, 0u);  // every side 1 and no common prefix: the initial values
  EXPECT_FALSE(manager_.FindIndexPosition(member, entry, L"basf", 1));
  EXPECT_EQ(member, 1u);
  EXPECT_EQ(entry, 0u);
  EXPECT_FALSE(manager_.FindIndexPosition(member, entry, L"base", 2));
  EXPECT_EQ(member, 0u);
}

TEST_F(ManagerTest, LookupInGroup) {
  ASSERT_TRUE(manager_.LoadConfig());
  EXPECT_TRUE(manager_.LookupInGroup(L"Cherry", 6, true, kGroupQuery, 0xFFFFFFFF));
  EXPECT_FALSE(manager_.LookupInGroup(L"Cherry", 6, true, kGroupGrab, 0xFFFFFFFF));
  EXPECT_FALSE(manager_.LookupInGroup(L"Cherry", 0, true, kGroupQuery, 0xFFFFFFFF));
  EXPECT_FALSE(manager_.LookupInGroup(L"Cherry", 6, true, 7, 0xFFFFFFFF));
}

}  // namespace
