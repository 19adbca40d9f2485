#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/FileUtil.h"
#include "core/TextCodec.h"
#include "core/XmlDocument.h"
#include "dict/DictManager.h"
#include "online/OnlineUpdate.h"
#include "online/tests/OnlineTestHost.h"

namespace {

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += static_cast<char>(c);
  return out;
}

class ScriptTest : public testing::Test {
 protected:
  ScriptTest() : host(box.Path()), update(&host), app(host.program), down(host.GetUpdateFolder() + L"42\\") {
    CreateDirectoryPath(down.c_str());
  }

  // Runs the "cmd" elements given as XML text.
  int Run(const std::string& commands) {
    std::string text = Utf8Xml("<upgrade id=\"42\"><action>" + commands + "</action></upgrade>");
    text.append(2, '\0');
    CXmlDocument document;
    if (!document.Parse(text.data(), kXmlAllFlags)) return -1;
    return update.RunScript(document.GetRoot()->FindChildElement(L"action", kXmlElement, 0), down);
  }

  static std::wstring ChildProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"online_script_child.exe";
  }

  TempFolder box;
  TestHost host;
  COnlineUpdate update;
  std::wstring app, down;
};

TEST_F(ScriptTest, FolderAndFileCommands) {
  EXPECT_EQ(Run("<cmd act=\"create_dir\" name=\"[$AppPath]a\\b\"/>"
                "<cmd act=\"CREATE_FILE\" name=\"[$AppPath]a\\b\\two.bin\" data=\"4a4B\"/>"
                "<!-- a comment -->"
                "<cmd act=\" Create_File \" name=\"[$DataPath]empty.txt\" data=\"\"/>"
                "<cmd act=\"copy_file\" name=\"[$AppPath]a\\b\\two.bin\" destname=\"[$AppPath]copy.bin\"/>"
                "<cmd act=\"move_file\" name=\"[$AppPath]copy.bin\" destname=\"[$AppPath]moved.bin\"/>"
                "<cmd act=\"move_dir\" name=\"[$AppPath]a\" destname=\"[$AppPath]c\"/>"
                "<cmd act=\"delete_file\" name=\"[$AppPath]none.bin\"/>"
                "<cmd act=\"delete_dir\" name=\"[$AppPath]none\"/>"
                "<cmd act=\"create_dir\" name=\"[$AppPath][$Nothing]x\"/>"),
            1);
  EXPECT_EQ(ReadFileBytes(app + L"c\\b\\two.bin"), "JK");
  EXPECT_EQ(ReadFileBytes(app + L"moved.bin"), "JK");
  EXPECT_FALSE(IsFilePresent((app + L"copy.bin").c_str()));
  EXPECT_FALSE(DirectoryExists((app + L"a").c_str()));
  EXPECT_TRUE(IsFilePresent((app + L"data\\empty.txt").c_str()));
  EXPECT_EQ(GetFileSizeOf((app + L"data\\empty.txt").c_str()), 0u);
  EXPECT_TRUE(DirectoryExists((app + L"[$Nothing]x").c_str()));

  // Existing targets stay unless overwrite or replace says otherwise.
  WriteFileBytes(app + L"src.txt", "new");
  WriteFileBytes(app + L"dst.txt", "old");
  EXPECT_EQ(Run("<cmd act=\"copy_file\" name=\"[$AppPath]src.txt\" destname=\"[$AppPath]dst.txt\"/>"
                "<cmd act=\"move_file\" name=\"[$AppPath]src.txt\" destname=\"[$AppPath]dst.txt\" replace=\"n\"/>"),
            1);
  EXPECT_EQ(ReadFileBytes(app + L"dst.txt"), "old");
  EXPECT_EQ(Run("<cmd act=\"copy_file\" name=\"[$AppPath]src.txt\" destname=\"[$AppPath]dst.txt\" overwrite=\"yes\"/>"),
            1);
  EXPECT_EQ(ReadFileBytes(app + L"dst.txt"), "new");
  EXPECT_EQ(Run("<cmd act=\"delete_dir\" name=\"[$AppPath]c\\b\"/>"), 0);  // not empty
  EXPECT_EQ(Run("<cmd act=\"delete_dir\" name=\"[$AppPath]c\\b\" includechild=\"1\"/>"
                "<cmd act=\"delete_dir\" name=\"[$AppPath]c\"/>"),
            1);
  EXPECT_FALSE(DirectoryExists((app + L"c").c_str()));
}

TEST_F(ScriptTest, FailuresEndTheScript) {
  struct Case {
    const char* commands;
    int result;
  } cases[] = {
      {"", 1},
      {"<cmd act=\"rename\" name=\"[$AppPath]x\"/>", 0},
      {"<cmd act=\"create_file\" name=\"[$AppPath]x\" data=\"abc\"/>", 0},
      {"<cmd act=\"create_file\" name=\"[$AppPath]x\" data=\"zz\"/>", 0},
      {"<cmd act=\"copy_file\" name=\"[$AppPath]missing\" destname=\"[$AppPath]y\"/>", 0},
      {"<cmd act=\"move_file\" name=\"[$AppPath]missing\" destname=\"[$AppPath]y\"/>", 0},
      {"<cmd act=\"move_dir\" name=\"[$AppPath]missing\" destname=\"[$AppPath]y\"/>", 0},
      {"<cmd act=\"create_dir\" name=\"[$AppPath]d1\"/><cmd act=\"restart\"/>"
       "<cmd act=\"create_dir\" name=\"[$AppPath]d2\"/><cmd act=\"exit\"/><cmd act=\"create_dir\" name=\"[$AppPath]d3\"/>",
       3},
      {"<cmd act=\"EXIT\"/><cmd act=\"restart\"/>", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.commands), c.result) << c.commands;
  EXPECT_TRUE(DirectoryExists((app + L"d1").c_str()));
  EXPECT_FALSE(DirectoryExists((app + L"d2").c_str()));
  EXPECT_FALSE(IsFilePresent((app + L"x").c_str()));
}

// Paths may not leave the program's folder, nor reach the Windows or system
// folders (in the test they lie inside it to show that they are refused).
TEST_F(ScriptTest, PathsStayInTheProgramFolder) {
  std::string outside = Narrow(box.Path()) + "outside";
  const std::string names[] = {
      outside,
      "relative\\x",
      "[$AppPath]..\\outside",
      "[$AppPath]a\\..\\..\\outside",
      "[$AppPath]a/../../outside",
      "[$AppPath].\\x",
      "[$AppPath]a\\.. \\. .\\outside",
      "[$AppPath]...\\x",
      "[$AppPath]a\\\\x",
      "[$AppPath]x:stream",
      "[$WinPath]x",
      "[$SysPath]x",
      "[$AppPath]",
      "\\\\server\\share\\x",
  };
  for (const std::string& name : names) {
    EXPECT_EQ(Run("<cmd act=\"create_file\" name=\"" + name + "\" data=\"41\"/>"), 0) << name;
    EXPECT_EQ(Run("<cmd act=\"create_dir\" name=\"" + name + "\"/>"), 0) << name;
  }
  WriteFileBytes(app + L"in.txt", "in");
  EXPECT_EQ(Run("<cmd act=\"copy_file\" name=\"[$AppPath]in.txt\" destname=\"[$AppPath]..\\outside\"/>"), 0);
  EXPECT_EQ(Run("<cmd act=\"copy_file\" name=\"" + outside + "\" destname=\"[$AppPath]y\"/>"), 0);
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$SysPath]cmd.exe\"/>"), 0);
  EXPECT_FALSE(IsFilePresent((box.Path() + L"outside").c_str()));
  EXPECT_FALSE(DirectoryExists((box.Path() + L"outside").c_str()));
  EXPECT_FALSE(DirectoryExists(host.windows.c_str()));
}

TEST_F(ScriptTest, DownloadNamesTakeTheNumberedFile) {
  WriteFileBytes(down + L"1.tmp", "second");
  CreateDirectoryPath((app + L"data").c_str());
  EXPECT_EQ(Run("<cmd act=\"create_dir\" name=\"[$DownPath]sub\"/>"
                "<other/>"
                "<cmd act=\"copy_file\" name=\"HTTP://example.invalid/file\" destname=\"[$DataPath]got.bin\"/>"),
            1);
  EXPECT_TRUE(DirectoryExists((down + L"sub").c_str()));
  EXPECT_EQ(ReadFileBytes(app + L"data\\got.bin"), "second");
}

TEST_F(ScriptTest, DictionaryCommands) {
  std::wstring dict = app + L"new.dic";
  EXPECT_EQ(Run("<cmd act=\"install_dict\" name=\"[$AppPath]new.dic\" index=\"y\" grab=\"True\"/>"), 1);
  std::vector<std::wstring> expected = {L"install " + dict, L"group 2 100", L"group 4 100", L"save"};
  EXPECT_EQ(host.dicts.calls, expected);
  host.dicts.installResult = false;
  EXPECT_EQ(Run("<cmd act=\"install_dict\" name=\"[$AppPath]other.dic\"/>"), 0);
  EXPECT_EQ(Run("<cmd act=\"install_dict\" name=\"" + Narrow(box.Path()) + "x.dic\"/>"), 0);
  EXPECT_EQ(host.dicts.calls.size(), expected.size() + 1);
}

TEST_F(ScriptTest, DictionaryCommandsOnTheDictionaryManager) {
  CDictManager manager;
  CDictManagerCommands commands(manager);
  host.manager = &commands;
  EXPECT_EQ(Run("<cmd act=\"install_dict\" name=\"[$AppPath]missing.dic\"/>"), 0);
  EXPECT_TRUE(host.dicts.calls.empty());
}

TEST_F(ScriptTest, RunStartsTheProgramWithItsSwitches) {
  ASSERT_TRUE(ForceCopyFile(ChildProgram().c_str(), (down + L"3.tmp").c_str(), true));
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$DownPath]3.tmp\" waitexit=\"1\"/>"), 1);
  std::wstring started = down + L"3.tmp.exe";
  ASSERT_TRUE(IsFilePresent(started.c_str()));
  std::string line = ReadFileBytes(started + L".txt");
  std::wstring hex;
  for (wchar_t c : app) {
    wchar_t pair[8];
    swprintf(pair, 8, L"%02X%02X", c & 0xFF, c >> 8);
    hex += pair;
  }
  std::wstring expected = L"\"" + started + L"\" -i" + std::to_wstring(GetCurrentProcessId()) + L" -w4660 -p" + hex;
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(line.data()), line.size() / 2), expected);
  EXPECT_EQ(host.asked, std::vector<std::wstring>{started});

  // Only a ".tmp" at the very end is renamed.
  ASSERT_TRUE(ForceCopyFile(ChildProgram().c_str(), (down + L"a.tmp.tmp").c_str(), true));
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$DownPath]a.tmp.tmp\" waitexit=\"1\"/>"), 1);
  EXPECT_TRUE(IsFilePresent((down + L"a.tmp.tmp.txt").c_str()));
  EXPECT_FALSE(IsFilePresent((down + L"a.tmp.tmp.exe").c_str()));
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$DownPath]missing.exe\"/>"), 0);
}

// Nothing a script names starts unless the user agrees in a question that names it.
TEST_F(ScriptTest, RunStartsOnlyWhatTheUserAgreesTo) {
  host.agree = false;
  ASSERT_TRUE(ForceCopyFile(ChildProgram().c_str(), (down + L"3.tmp").c_str(), true));
  ASSERT_TRUE(ForceCopyFile(ChildProgram().c_str(), (app + L"setup.exe").c_str(), true));
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$DownPath]3.tmp\" waitexit=\"1\"/>"), 0);
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$AppPath]setup.exe\" waitexit=\"1\"/>"
                "<cmd act=\"create_dir\" name=\"[$AppPath]after\"/>"),
            0);
  EXPECT_EQ(host.asked, (std::vector<std::wstring>{down + L"3.tmp.exe", app + L"setup.exe"}));
  EXPECT_FALSE(IsFilePresent((down + L"3.tmp.exe").c_str()));
  EXPECT_FALSE(IsFilePresent((down + L"3.tmp.exe.txt").c_str()));
  EXPECT_FALSE(IsFilePresent((app + L"setup.exe.txt").c_str()));
  EXPECT_FALSE(DirectoryExists((app + L"after").c_str()));
}

// The user's settings and state, the update state, the dictionary
// configuration and the installed dictionaries are never deleted, moved away
// or written over, however a script names them; nor is a dictionary uninstalled.
TEST_F(ScriptTest, UserDataIsRefused) {
  const std::wstring kept[] = {L"config.ini", L"user.ini", L"update\\update.ini", L"dict\\dictcfg.xmc",
                               L"dict\\00000400.tdc"};
  for (const std::wstring& name : kept) {
    ASSERT_TRUE(CreateDirectoryPath((app + name.substr(0, name.find_last_of(L'\\') + 1)).c_str()));
    ASSERT_TRUE(WriteFileBytes(app + name, "kept"));
  }
  WriteFileBytes(app + L"evil.txt", "evil");
  const char* refused[] = {
      "<cmd act=\"delete_file\" name=\"[$AppPath]config.ini\"/>",
      "<cmd act=\"delete_file\" name=\"[$AppPath]USER.INI\"/>",
      "<cmd act=\"delete_file\" name=\"[$AppPath]user.ini. .\"/>",
      "<cmd act=\"delete_file\" name=\"[$UpdatePath]update.ini\"/>",
      "<cmd act=\"delete_file\" name=\"[$AppPath]dict\\00000400.tdc\"/>",
      "<cmd act=\"delete_dir\" name=\"[$AppPath]dict\" includechild=\"1\"/>",
      "<cmd act=\"delete_dir\" name=\"[$AppPath]Dict.\\\" includechild=\"1\"/>",
      "<cmd act=\"delete_dir\" name=\"[$UpdatePath]\" includechild=\"1\"/>",
      "<cmd act=\"move_dir\" name=\"[$AppPath]dict\" destname=\"[$AppPath]gone\"/>",
      "<cmd act=\"move_file\" name=\"[$AppPath]dict\\dictcfg.xmc\" destname=\"[$AppPath]gone.xmc\"/>",
      "<cmd act=\"copy_file\" name=\"[$AppPath]evil.txt\" destname=\"[$AppPath]config.ini\" overwrite=\"1\"/>",
      "<cmd act=\"move_file\" name=\"[$AppPath]evil.txt\" destname=\"[$AppPath]user.ini\" replace=\"1\"/>",
      "<cmd act=\"copy_file\" name=\"[$AppPath]evil.txt\" destname=\"[$AppPath]dict\\00000400.tdc\" overwrite=\"1\"/>",
      "<cmd act=\"create_file\" name=\"[$AppPath]dict\\dictcfg.xmc\" data=\"41\"/>",
      "<cmd act=\"create_file\" name=\"[$AppPath]user.ini \" data=\"41\"/>",
      "<cmd act=\"uninstall_dict\" dictid=\"0x400\"/>",
  };
  for (const char* command : refused) EXPECT_EQ(Run(command), 0) << command;
  for (const std::wstring& name : kept) EXPECT_EQ(ReadFileBytes(app + name), "kept") << Narrow(name);
  EXPECT_EQ(ReadFileBytes(app + L"evil.txt"), "evil");
  EXPECT_TRUE(host.dicts.calls.empty());

  // What lies beside them stays the script's to change.
  EXPECT_EQ(Run("<cmd act=\"create_file\" name=\"[$AppPath]dict\\layout.cfg\" data=\"41\"/>"
                "<cmd act=\"copy_file\" name=\"[$AppPath]evil.txt\" destname=\"[$AppPath]dict\\00000500.tdc\"/>"
                "<cmd act=\"delete_file\" name=\"[$AppPath]dict\\layout.cfg\"/>"
                "<cmd act=\"create_dir\" name=\"[$AppPath]dictionaries\"/>"
                "<cmd act=\"delete_dir\" name=\"[$AppPath]dictionaries\"/>"),
            1);
  EXPECT_EQ(ReadFileBytes(app + L"dict\\00000500.tdc"), "evil");
}

TEST_F(ScriptTest, OverlongCommandLineFailsCleanly) {
  std::string longName = "[$AppPath]" + std::string(1250, 'x') + ".exe";
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"" + longName + "\"/>"), 0);
  std::string fits = "[$AppPath]" + std::string(100, 'x') + ".exe";
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"" + fits + "\"/>"), 0);  // no such program either
}

TEST_F(ScriptTest, StopEndsTheWaitForAProgram) {
  std::wstring program = app + L"sleep.exe";
  ASSERT_TRUE(ForceCopyFile(ChildProgram().c_str(), program.c_str(), true));
  std::thread stopper([this] {
    Sleep(300);
    update.Stop();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$AppPath]sleep.exe\" waitexit=\"t\"/>"
                "<cmd act=\"create_dir\" name=\"[$AppPath]after\"/>"),
            0);
  auto waited = std::chrono::steady_clock::now() - start;
  stopper.join();
  EXPECT_LT(waited, std::chrono::milliseconds(3000));
  EXPECT_FALSE(DirectoryExists((app + L"after").c_str()));
  // Without waitexit the script goes on at once.
  ASSERT_TRUE(ForceCopyFile(ChildProgram().c_str(), (app + L"quick.exe").c_str(), true));
  EXPECT_EQ(Run("<cmd act=\"run\" name=\"[$AppPath]quick.exe\"/><cmd act=\"create_dir\" name=\"[$AppPath]after\"/>"), 1);
  WriteFileBytes(program + L".stop", "");
  Sleep(300);
}

}  // namespace
