#include "core/MappedFile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/tests/TempFolder.h"

namespace {

std::string Held(const CMappedFile& file) {
  return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

}  // namespace

TEST(MappedFile, OpensInBothModes) {
  TempFolder dir;
  std::wstring path = dir / L"dict.bin";
  std::string bytes(70000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13);
  ASSERT_TRUE(TempFolder::WriteText(path, bytes));
  for (bool mapped : {false, true}) {
    CMappedFile file;
    ASSERT_TRUE(file.Open(path.c_str(), mapped)) << mapped;
    EXPECT_FALSE(file.IsEmpty());
    EXPECT_EQ(Held(file), bytes);
    EXPECT_EQ(file.GetPath(), path);
    // No handle of ours keeps the file from being opened for writing by others
    // that share reading (the view counts as a reader).
    HANDLE other = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(other, INVALID_HANDLE_VALUE) << mapped << " " << GetLastError();
    CloseHandle(other);
    file.Close();
    EXPECT_TRUE(file.IsEmpty());
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_TRUE(file.GetPath().empty());
  }
  // A heap copy does not hold the file: it can go while the bytes stay.
  CMappedFile copy;
  ASSERT_TRUE(copy.Open(path.c_str(), false));
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(Held(copy), bytes);
}

TEST(MappedFile, EmptyOrMissingFilesFail) {
  TempFolder dir;
  std::wstring empty = dir / L"empty";
  ASSERT_TRUE(TempFolder::WriteText(empty, ""));
  std::wstring good = dir / L"good";
  ASSERT_TRUE(TempFolder::WriteText(good, "abc"));
  for (bool mapped : {false, true}) {
    CMappedFile file;
    ASSERT_TRUE(file.Open(good.c_str(), mapped));
    EXPECT_FALSE(file.Open(empty.c_str(), mapped));  // also drops what was held
    EXPECT_TRUE(file.IsEmpty());
    EXPECT_FALSE(file.Open((dir / L"missing").c_str(), mapped));
    EXPECT_FALSE(file.Open(dir.Path().c_str(), mapped));
    EXPECT_FALSE(file.Open(nullptr, mapped));
    EXPECT_TRUE(file.IsEmpty());
  }
}

TEST(MappedFile, SaveAs) {
  TempFolder dir;
  std::wstring source = dir / L"a", target = dir / L"b";
  CMappedFile file;
  EXPECT_FALSE(file.SaveAs(target.c_str()));
  EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing created
  ASSERT_TRUE(TempFolder::WriteText(source, "dictionary bytes"));
  ASSERT_TRUE(TempFolder::WriteText(target, "an older and longer file"));
  ASSERT_TRUE(file.Open(source.c_str(), true));
  EXPECT_TRUE(file.SaveAs(target.c_str()));
  EXPECT_EQ(TempFolder::ReadText(target), "dictionary bytes");
  EXPECT_FALSE(file.SaveAs(nullptr));
  EXPECT_FALSE(file.SaveAs(dir.Path().c_str()));
}

namespace {

HWND MakeWindow(const wchar_t* className, HWND parent) {
  return CreateWindowExW(0, className, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST(FindChildWindow, FindsDescendantsByClass) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuorindoTestTarget";
  RegisterClassW(&wc);

  HWND top = MakeWindow(L"STATIC", nullptr);
  ASSERT_NE(top, nullptr);
  HWND middle = MakeWindow(L"STATIC", top);
  HWND lower = MakeWindow(L"STATIC", middle);
  EXPECT_EQ(CFindChildWindow(top, L"QuorindoTestTarget").Found(), nullptr);

  HWND target = MakeWindow(L"QuorindoTestTarget", lower);
  EXPECT_EQ(CFindChildWindow(top, L"QuorindoTestTarget").Found(), target);
  EXPECT_EQ(CFindChildWindow(lower, L"QuorindoTestTarget").Found(), target);
  EXPECT_EQ(CFindChildWindow(target, L"QuorindoTestTarget").Found(), nullptr);  // itself is no descendant
  EXPECT_EQ(CFindChildWindow(nullptr, L"QuorindoTestTarget").Found(), nullptr);
  DestroyWindow(top);
}
