#include "core/FileUtil.h"
#include "core/UiSeam.h"

#include <gtest/gtest.h>
#include <cderr.h>

#include "core/tests/TempFolder.h"

namespace {

bool ReadOnly(const std::wstring& path) {
  return SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
}

}  // namespace

TEST(FileUtil, PresenceTests) {
  TempFolder dir;
  std::wstring file = dir / L"a.txt";
  ASSERT_TRUE(TempFolder::WriteText(file, "x"));
  EXPECT_TRUE(IsFilePresent(file.c_str()));
  EXPECT_FALSE(DirectoryExists(file.c_str()));
  EXPECT_TRUE(DirectoryExists(dir.Path().c_str()));
  EXPECT_FALSE(IsFilePresent(dir.Path().c_str()));
  EXPECT_FALSE(IsFilePresent((dir / L"missing").c_str()));
  EXPECT_FALSE(DirectoryExists((dir / L"missing").c_str()));
  EXPECT_FALSE(IsFilePresent(nullptr));
  EXPECT_FALSE(DirectoryExists(nullptr));
}

TEST(FileUtil, CopyMoveDeleteClearReadOnly) {
  TempFolder dir;
  std::wstring a = dir / L"a", b = dir / L"b", c = dir / L"c";
  ASSERT_TRUE(TempFolder::WriteText(a, "new"));
  ASSERT_TRUE(TempFolder::WriteText(b, "old"));
  EXPECT_FALSE(ForceCopyFile(a.c_str(), b.c_str(), false));
  EXPECT_EQ(TempFolder::ReadText(b), "old");
  ASSERT_TRUE(ReadOnly(b));
  EXPECT_TRUE(ForceCopyFile(a.c_str(), b.c_str(), true));
  EXPECT_EQ(TempFolder::ReadText(b), "new");

  ASSERT_TRUE(TempFolder::WriteText(c, "moved"));
  ASSERT_TRUE(ReadOnly(b));
  EXPECT_FALSE(ForceMoveFile(c.c_str(), b.c_str(), false));
  EXPECT_TRUE(ForceMoveFile(c.c_str(), b.c_str(), true));
  EXPECT_EQ(TempFolder::ReadText(b), "moved");
  EXPECT_FALSE(IsFilePresent(c.c_str()));
  EXPECT_FALSE(ForceMoveFile(dir.Path().c_str(), c.c_str(), true));  // a folder is not a file

  ASSERT_TRUE(ReadOnly(b));
  EXPECT_TRUE(ForceDeleteFile(b.c_str()));
  EXPECT_FALSE(IsFilePresent(b.c_str()));
  EXPECT_FALSE(ForceDeleteFile(b.c_str()));

  std::wstring sub = dir / L"sub", moved = dir / L"moved";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  EXPECT_FALSE(MoveExistingFile(a.c_str(), moved.c_str()));  // a file is not a folder
  EXPECT_TRUE(MoveExistingFile(sub.c_str(), moved.c_str()));
  EXPECT_TRUE(DirectoryExists(moved.c_str()));
  EXPECT_FALSE(ForceCopyFile(nullptr, b.c_str(), true));
}

TEST(FileUtil, WholeFileWritesReplaceAndLeaveNoTemporaryFile) {
  TempFolder dir;
  std::wstring file = dir / L"settings.ini";
  EXPECT_TRUE(WriteWholeFile(file.c_str(), "first", 5));
  EXPECT_EQ(TempFolder::ReadText(file), "first");
  ASSERT_TRUE(ReadOnly(file));
  EXPECT_TRUE(WriteWholeFile(file.c_str(), "second!", 7));
  EXPECT_EQ(TempFolder::ReadText(file), "second!");
  EXPECT_TRUE(WriteFileReplacing(file.c_str(), "", 0));
  EXPECT_EQ(TempFolder::ReadText(file), "");
  EXPECT_EQ(dir.List(), L"settings.ini");
  EXPECT_FALSE(WriteWholeFile(dir.Path().c_str(), "x", 1));
  EXPECT_FALSE(WriteWholeFile(nullptr, "x", 1));
  EXPECT_FALSE(WriteWholeFile((dir / L"no\\such\\folder.txt").c_str(), "x", 1));
}

// A write that fails half-way (here: the source bytes end in unreadable
// memory) must leave the old file whole, not truncated.
TEST(FileUtil, FailedWriteKeepsTheOldFile) {
  TempFolder dir;
  std::wstring file = dir / L"dictcfg.xmc";
  ASSERT_TRUE(TempFolder::WriteText(file, "old contents"));
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  uint8_t* region = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * info.dwPageSize, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(region, nullptr);
  ASSERT_NE(VirtualAlloc(region, info.dwPageSize, MEM_COMMIT, PAGE_READWRITE), nullptr);
  memset(region, 'n', info.dwPageSize);
  EXPECT_FALSE(WriteWholeFile(file.c_str(), region, 2 * info.dwPageSize));
  VirtualFree(region, 0, MEM_RELEASE);
  EXPECT_EQ(TempFolder::ReadText(file), "old contents");
  EXPECT_EQ(dir.List(), L"dictcfg.xmc");
}

TEST(FileUtil, DeleteDirectoryTree) {
  TempFolder dir;
  EXPECT_FALSE(DeleteDirectoryTree(L"C:\\", true));
  EXPECT_FALSE(DeleteDirectoryTree(nullptr, true));

  std::wstring tree = dir / L"tree", empty = tree + L"\\empty", full = tree + L"\\full";
  ASSERT_TRUE(CreateDirectoryW(tree.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(empty.c_str(), nullptr));
  ASSERT_TRUE(TempFolder::WriteText(tree + L"\\a.txt", "a"));
  ASSERT_TRUE(TempFolder::WriteText(tree + L"\\b.txt", "b"));
  ASSERT_TRUE(ReadOnly(tree + L"\\b.txt"));
  EXPECT_FALSE(DeleteDirectoryTree(tree.c_str(), false));  // not empty
  EXPECT_TRUE(DeleteDirectoryTree((tree + L"\\").c_str(), true));
  EXPECT_FALSE(DirectoryExists(tree.c_str()));

  // A non-empty subfolder stops the walk: it and the folder stay.
  ASSERT_TRUE(CreateDirectoryW(tree.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(full.c_str(), nullptr));
  ASSERT_TRUE(TempFolder::WriteText(full + L"\\keep.txt", "k"));
  EXPECT_FALSE(DeleteDirectoryTree(tree.c_str(), true));
  EXPECT_TRUE(IsFilePresent((full + L"\\keep.txt").c_str()));
  EXPECT_FALSE(DeleteDirectoryTree((dir / L"missing").c_str(), true));
}

TEST(FileUtil, CreateDirectoryPathReportsTheOutcome) {
  TempFolder dir;
  std::wstring deep = dir / L"a\\b\\c\\";
  EXPECT_TRUE(CreateDirectoryPath(deep.c_str()));
  EXPECT_TRUE(DirectoryExists((dir / L"a\\b\\c").c_str()));
  EXPECT_TRUE(CreateDirectoryPath(deep.c_str()));  // already there

  // Below a file nothing can be created: the answer says so.
  ASSERT_TRUE(TempFolder::WriteText(dir / L"file", "x"));
  EXPECT_FALSE(CreateDirectoryPath((dir / L"file\\sub\\deeper").c_str()));
  EXPECT_FALSE(CreateDirectoryPath(L""));
  EXPECT_FALSE(CreateDirectoryPath(nullptr));
}

TEST(FileUtil, FormatSystemError) {
  std::wstring text = L"unchanged";
  EXPECT_GT(FormatSystemError(text, ERROR_FILE_NOT_FOUND), 0u);
  EXPECT_NE(text, L"unchanged");
  text = L"unchanged";
  EXPECT_EQ(FormatSystemError(text, 0x2000ABCD), 0u);
  EXPECT_EQ(text, L"unchanged");
}

namespace {

struct DialogScript {
  bool chosen = false;
  DWORD error = 0;
  int boxes = 0;
  std::wstring boxText, boxCaption, filters, initial;
  DWORD structSize = 0, flags = 0;
  bool save = false;
};
DialogScript g_script;

bool ScriptedDialog(OPENFILENAMEW& dialog, bool save, DWORD& error) {
  g_script.save = save;
  g_script.structSize = dialog.lStructSize;
  g_script.flags = dialog.Flags;
  g_script.initial = dialog.lpstrFile;
  g_script.filters.clear();
  for (const wchar_t* p = dialog.lpstrFilter; p && *p; p += wcslen(p) + 1) g_script.filters += std::wstring(p) + L";";
  error = g_script.error;
  if (g_script.chosen) {
    wcscpy(dialog.lpstrFile, L"C:\\picked.txt");
    dialog.nFilterIndex = 2;
  } else if (error == FNERR_BUFFERTOOSMALL) {
    dialog.lpstrFile[0] = 5000;
  }
  return g_script.chosen;
}

int ScriptedBox(HWND, const wchar_t* text, const wchar_t* caption, UINT) {
  ++g_script.boxes;
  g_script.boxText = text;
  g_script.boxCaption = caption;
  return IDOK;
}

class FileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    g_script = DialogScript();
    SetFileDialogHandler(&ScriptedDialog);
    SetMessageBoxHandler(&ScriptedBox);
  }
  void TearDown() override {
    SetFileDialogHandler(nullptr);
    SetMessageBoxHandler(nullptr);
  }
};

}  // namespace

TEST_F(FileDialog, ChosenFile) {
  g_script.chosen = true;
  std::wstring name = L"start.txt";
  DWORD index = 1;
  EXPECT_TRUE(ShowSaveFileDialog(name, &index, L"txt", L"Text|*.txt|All|*.*", nullptr, L"Save",
                                 OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT));
  EXPECT_TRUE(g_script.save);
  EXPECT_EQ(g_script.initial, L"start.txt");
  EXPECT_EQ(g_script.filters, L"Text;*.txt;All;*.*;");
  EXPECT_EQ(g_script.structSize, 76u);
  EXPECT_EQ(g_script.flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT));
  EXPECT_EQ(name, L"C:\\picked.txt");
  EXPECT_EQ(index, 2u);
  EXPECT_EQ(g_script.boxes, 0);
}

TEST_F(FileDialog, CancelShowsNothing) {
  std::wstring name = L"start.txt";
  DWORD index = 1;
  EXPECT_FALSE(ShowOpenFileDialog(name, &index, L"All|*.*", nullptr, L"Open", 0));
  EXPECT_FALSE(g_script.save);
  EXPECT_TRUE(name.empty());
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(g_script.boxes, 0);
}

TEST_F(FileDialog, ErrorsAreShown) {
  std::wstring name;
  DWORD index = 1;
  g_script.error = FNERR_BUFFERTOOSMALL;
  EXPECT_FALSE(ShowOpenFileDialog(name, &index, L"All|*.*", nullptr, L"Open", 0));
  EXPECT_EQ(g_script.boxes, 1);
  EXPECT_EQ(g_script.boxText, L"Buffer too small, Required size is: 5000 ");
  EXPECT_EQ(g_script.boxCaption, L"Error Message");
  // The other codes are the common dialogs' own, which the system's message
  // table does not know: the box names them.
  struct Case {
    DWORD error;
    const wchar_t* name;
  } cases[] = {
      {FNERR_INVALIDFILENAME, L"FNERR_INVALIDFILENAME"}, {FNERR_SUBCLASSFAILURE, L"FNERR_SUBCLASSFAILURE"},
      {CDERR_DIALOGFAILURE, L"CDERR_DIALOGFAILURE"},     {CDERR_STRUCTSIZE, L"CDERR_STRUCTSIZE"},
      {CDERR_INITIALIZATION, L"CDERR_INITIALIZATION"},   {CDERR_MEMALLOCFAILURE, L"CDERR_MEMALLOCFAILURE"},
      {0x7777, L"0x7777"},
  };
  for (const Case& c : cases) {
    g_script = DialogScript();
    g_script.error = c.error;
    EXPECT_FALSE(ShowOpenFileDialog(name, &index, L"All|*.*", nullptr, L"Open", 0));
    EXPECT_EQ(g_script.boxes, 1) << c.name;
    EXPECT_NE(g_script.boxText.find(c.name), std::wstring::npos) << g_script.boxText;
    EXPECT_EQ(g_script.boxCaption, L"Error Message");
  }
}
