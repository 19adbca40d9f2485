#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/ConfigFile.h"
#include "core/DesCipher.h"
#include "core/tests/TempFolder.h"

namespace {

const uint8_t kKey[16] = {'q', 'u', 'o', 'r', 'i', 'n', 'd', 'o', 1, 2, 3, 4, 5, 6, 7, 8};

std::string Utf16File(const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  return bytes;
}

std::wstring FileText(const std::wstring& path) {
  std::string bytes = TempFolder::ReadText(path);
  std::wstring text(bytes.size() / 2, L'\0');
  if (!text.empty()) memcpy(&text[0], bytes.data(), text.size() * 2);
  return text;
}

// A store loaded from the given UTF-16 text.
class ConfigText : public ::testing::Test {
 protected:
  bool LoadText(const std::wstring& text, uint32_t merge = 0) {
    EXPECT_TRUE(TempFolder::WriteText(dir_ / L"t.ini", Utf16File(text)));
    return config_.Load((dir_ / L"t.ini").c_str(), nullptr, merge, 0);
  }
  std::wstring Raw(const wchar_t* section, const wchar_t* name) {
    const wchar_t* v = config_.GetValue(section, name);
    return v ? v : L"<none>";
  }
  TempFolder dir_;
  CConfigFile config_;
};

}  // namespace

TEST_F(ConfigText, LineGrammarOfLoad) {
  ASSERT_TRUE(LoadText(
      L"top=1\r\n"
      L"a b = c d ;note\n"
      L"x=1;2\n"
      L"q=\"say ;hi\" ;comment\n"
      L"na\"me=1\n"
      L"=novalue\n"
      L"; only a comment\n"
      L"[  A  ]\n"
      L"k=in A\n"
      L"[]\n"
      L"still=A\n"
      L"[broken\n"
      L"after=A too\n"
      L"dup=first\n"
      L"dup=second\n"
      L"[B/C]\n"
      L"deep=1\n"
      L"empty=\n"));
  EXPECT_EQ(Raw(L"", L"top"), L"1");
  EXPECT_EQ(Raw(L"", L"a b"), L"c d");
  EXPECT_EQ(Raw(L"", L"x"), L"1;2");
  EXPECT_EQ(Raw(L"", L"q"), L"\"say ;hi\"");
  EXPECT_EQ(Raw(L"", L"na\"me"), L"<none>");
  EXPECT_EQ(Raw(L"A", L"k"), L"in A");
  EXPECT_EQ(Raw(L"A", L"still"), L"A");
  EXPECT_EQ(Raw(L"A", L"after"), L"A too");
  EXPECT_EQ(Raw(L"A", L"dup"), L"first");
  EXPECT_EQ(Raw(L"B/C", L"deep"), L"1");
  EXPECT_EQ(Raw(L"B/C", L"empty"), L"");
  EXPECT_EQ(Raw(L"a", L"k"), L"<none>");  // sections are case-sensitive
  std::vector<std::wstring> keys;
  EXPECT_EQ(config_.GetEntries(keys), 10);
}

TEST(ConfigLine, Kinds) {
  struct Case {
    const wchar_t* line;
    int32_t kind;
    const wchar_t* name;
    const wchar_t* value;
    const wchar_t* comment;
  } cases[] = {
      {L"", -1, L"", L"", L""},
      {L"  \t\r", 0, L"", L"", L""},
      {L"  ; hello  ", 1, L"", L"", L"hello"},
      {L"[ Sec ] trailing", 2, L"Sec", L"", L""},
      {L"[ ]", -1, L"", L"", L""},
      {L"[Sec", -1, L"", L"", L""},
      {L"k = v ; c", 3, L"k", L"v", L"c"},
      {L"k=v;w", 3, L"k", L"v;w", L""},
      {L"k=\"a ;b\"", 3, L"k", L"\"a ;b\"", L""},
      {L"k\\x=1", -1, L"", L"", L""},
      {L"k;=1", -1, L"", L"", L""},
      {L"novalue", -1, L"", L"", L""},
      {L" = 1", -1, L"", L"", L""},
      {L"k=", 3, L"k", L"", L""},
      {L"k=a=b", 3, L"k", L"a=b", L""},
  };
  for (const Case& c : cases) {
    std::wstring name, value, comment;
    EXPECT_EQ(CConfigFile::ParseLine(name, value, comment, c.line, static_cast<uint32_t>(wcslen(c.line))), c.kind)
        << c.line;
    EXPECT_EQ(name, c.name) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
    EXPECT_EQ(comment, c.comment) << c.line;
  }
  std::wstring n, v, m;
  EXPECT_EQ(CConfigFile::ParseLine(n, v, m, nullptr, 3), -1);
}

TEST_F(ConfigText, Lookups) {
  ASSERT_TRUE(LoadText(
      L"[S]\n"
      L"esc=\"a\\tb\"\n"
      L"keepq=\"a\\\"\n"
      L"list=\"one\", \"t\\x3Bwo\", three\n"
      L"nolist=x,y\n"
      L"hex=0x1F\n"
      L"oct=010\n"
      L"quoted5=\"5\"\n"
      L"ints=-1, 0x10, 7\n"
      L"yes=  yes\n"
      L"on=on\n"
      L"empty=\n"
      L"trail=a, b,\n"));
  EXPECT_EQ(config_.GetString(L"S", L"esc"), L"a\tb");
  EXPECT_EQ(config_.GetString(L"S", L"keepq"), L"\"a\"");
  EXPECT_EQ(config_.GetString(L"S", L"list", L"d", 0), L"one");
  EXPECT_EQ(config_.GetString(L"S", L"list", L"d", 1), L"t;wo");
  EXPECT_EQ(config_.GetString(L"S", L"list", L"d", 2), L"three");
  EXPECT_EQ(config_.GetString(L"S", L"list", L"d", 3), L"d");
  EXPECT_EQ(config_.GetString(L"S", L"nolist", L"d", 0), L"x,y");
  EXPECT_EQ(config_.GetString(L"S", L"nolist", L"d", 1), L"d");
  EXPECT_EQ(config_.GetString(L"S", L"missing", L"dflt"), L"dflt");
  EXPECT_EQ(config_.GetString(L"S", L"missing"), L"");
  EXPECT_EQ(config_.GetString(L"S", L"empty", L"dflt"), L"");
  EXPECT_EQ(config_.GetString(L"S", L"empty", L"dflt", 0), L"dflt");
  EXPECT_EQ(config_.GetString(nullptr, L"esc", L"d"), L"d");
  EXPECT_EQ(config_.GetString(L"S", L"trail", L"d", 1), L"b");
  EXPECT_EQ(config_.GetString(L"S", L"trail", L"d", 2), L"d");

  EXPECT_EQ(config_.GetInt(L"S", L"hex", 9), 31u);
  EXPECT_EQ(config_.GetInt(L"S", L"oct", 9), 8u);
  EXPECT_EQ(config_.GetInt(L"S", L"quoted5", 9), 0u);
  EXPECT_EQ(config_.GetInt(L"S", L"empty", 9), 0u);
  EXPECT_EQ(config_.GetInt(L"S", L"empty", 9, 0), 9u);
  EXPECT_EQ(config_.GetInt(L"S", L"missing", 9), 9u);
  EXPECT_EQ(config_.GetInt(L"S", L"ints", 9, 1), 16u);
  std::vector<int32_t> ints;
  EXPECT_EQ(config_.GetIntList(L"S", L"ints", ints), 3);
  EXPECT_EQ(ints, (std::vector<int32_t>{-1, 16, 7}));
  EXPECT_EQ(config_.GetIntList(L"S", L"missing", ints), 0);
  EXPECT_TRUE(ints.empty());

  EXPECT_TRUE(config_.GetBool(L"S", L"yes", false));
  EXPECT_FALSE(config_.GetBool(L"S", L"on", true));
  EXPECT_FALSE(config_.GetBool(L"S", L"empty", true));
  EXPECT_TRUE(config_.GetBool(L"S", L"missing", true));

  std::vector<std::wstring> items;
  EXPECT_TRUE(config_.GetStringList(L"S", L"list", items));
  EXPECT_EQ(items, (std::vector<std::wstring>{L"\"one\"", L"\"t\\x3Bwo\"", L"three"}));
  EXPECT_FALSE(config_.GetStringList(L"S", L"missing", items));
  EXPECT_TRUE(items.empty());

  std::wstring raw = L"junk";
  EXPECT_TRUE(config_.FindValue(L"S", L"esc", raw));
  EXPECT_EQ(raw, L"\"a\\tb\"");
  EXPECT_FALSE(config_.FindValue(L"S", L"missing", raw));
  EXPECT_EQ(raw, L"");
  EXPECT_EQ(config_.GetValue(L"S", L"missing"), nullptr);
}

TEST_F(ConfigText, MergeModes) {
  ASSERT_TRUE(LoadText(L"[S]\na=1\nb=1\n"));
  ASSERT_TRUE(LoadText(L"[S]\nb=2\nc=2\n", CConfigFile::kMergeExistingWins));
  EXPECT_EQ(Raw(L"S", L"a"), L"1");
  EXPECT_EQ(Raw(L"S", L"b"), L"1");
  EXPECT_EQ(Raw(L"S", L"c"), L"2");
  ASSERT_TRUE(LoadText(L"[S]\nb=3\n", CConfigFile::kMergeLaterWins));
  EXPECT_EQ(Raw(L"S", L"b"), L"3");
  EXPECT_EQ(Raw(L"S", L"a"), L"1");
  ASSERT_TRUE(LoadText(L"[T]\nz=0\n", CConfigFile::kReplaceStore));
  EXPECT_EQ(Raw(L"S", L"a"), L"<none>");
  EXPECT_EQ(Raw(L"T", L"z"), L"0");
}

TEST_F(ConfigText, FailedLoads) {
  ASSERT_TRUE(LoadText(L"[S]\na=1\n"));
  // A null path changes nothing; a missing file with merge keeps the store;
  // a failure with merge 0 leaves it empty.
  EXPECT_FALSE(config_.Load(nullptr, nullptr, 0, 0));
  EXPECT_EQ(Raw(L"S", L"a"), L"1");
  EXPECT_FALSE(config_.Load((dir_ / L"missing.ini").c_str(), nullptr, 2, 0));
  EXPECT_EQ(Raw(L"S", L"a"), L"1");
  ASSERT_TRUE(TempFolder::WriteText(dir_ / L"empty.ini", ""));
  EXPECT_FALSE(config_.Load((dir_ / L"empty.ini").c_str(), nullptr, 0, 0));
  EXPECT_EQ(Raw(L"S", L"a"), L"<none>");

  // A UTF-16 text cut at an odd length is refused, not read as code-page text.
  ASSERT_TRUE(LoadText(L"[S]\na=1\n"));
  std::string odd = Utf16File(L"[S]\nb=2\n") + "x";
  ASSERT_TRUE(TempFolder::WriteText(dir_ / L"odd.ini", odd));
  EXPECT_FALSE(config_.Load((dir_ / L"odd.ini").c_str(), nullptr, 1, 0));
  EXPECT_EQ(Raw(L"S", L"b"), L"<none>");
  EXPECT_EQ(Raw(L"S", L"a"), L"1");
}

TEST_F(ConfigText, CodePageAndUtf8Files) {
  ASSERT_TRUE(TempFolder::WriteText(dir_ / L"a.ini", "[S]\r\nk=caf\xE9\r\n"));
  ASSERT_TRUE(config_.Load((dir_ / L"a.ini").c_str(), nullptr, 0, 0));
  EXPECT_EQ(Raw(L"S", L"k"), L"caf\xE9");
  ASSERT_TRUE(TempFolder::WriteText(dir_ / L"u.ini", "\xEF\xBB\xBF[S]\nk=caf\xC3\xA9\n"));
  ASSERT_TRUE(config_.Load((dir_ / L"u.ini").c_str(), nullptr, 0, 0));
  EXPECT_EQ(Raw(L"S", L"k"), L"caf\xE9");
}

TEST(ConfigSave, ByteExactOrder) {
  TempFolder dir;
  CConfigFile config;
  config.SetValue(L"b", L"x", L"1");
  config.SetValue(L"a", L"z", L"3");
  config.SetValue(L"a", L"y", L"2");
  std::wstring path = dir / L"s.ini";
  ASSERT_TRUE(config.Save(path.c_str(), nullptr));
  EXPECT_EQ(FileText(path), L"\xFEFF[a]\ny=2\nz=3\n\n[b]\nx=1\n");
  std::wstring text = L"keep:";
  EXPECT_EQ(config.FormatIni(text, true), 26u);
  EXPECT_EQ(text, L"keep:[a]\ny=2\nz=3\n\n[b]\nx=1\n");
  EXPECT_FALSE(config.Save(nullptr, nullptr));
}

TEST(ConfigSetValue, SectionAndKeyJoinedBySlash) {
  CConfigFile config;
  EXPECT_TRUE(config.SetValue(L"Appearance/TextFont", L"Tahoma"));
  EXPECT_EQ(config.GetString(L"Appearance", L"TextFont"), L"Tahoma");
  // The key is what follows the last slash, as in the stored entries.
  EXPECT_TRUE(config.SetValue(L"a/b/c", L"1"));
  EXPECT_STREQ(config.GetValue(L"a/b", L"c"), L"1");
  EXPECT_TRUE(config.SetValue(L"/top", L"2"));
  EXPECT_STREQ(config.GetValue(L"", L"top"), L"2");
  // The joined form and the two-part form name one entry.
  config.SetValue(L"S", L"k", L"old");
  EXPECT_TRUE(config.SetValue(L"S/k", L"new"));
  EXPECT_STREQ(config.GetValue(L"S", L"k"), L"new");
  std::vector<std::wstring> entries;
  config.GetEntries(entries);
  EXPECT_EQ(entries, (std::vector<std::wstring>{L"/top", L"Appearance/TextFont", L"S/k", L"a/b/c"}));
  // Without a slash there is no section: nothing is stored.
  EXPECT_FALSE(config.SetValue(L"lonely", L"x"));
  EXPECT_FALSE(config.SetValue(nullptr, L"x"));
  entries.clear();
  EXPECT_EQ(config.GetEntries(entries), 4);
}

// Keys of the empty section come first, without a header, even when another
// section sorts before "/": written after it they would load back into it.
TEST(ConfigSave, EmptySectionKeysFirstAndLoadBackInPlace) {
  TempFolder dir;
  CConfigFile config;
  config.SetValue(L"", L"top", L"1");
  config.SetValue(L"+early", L"k", L"2");
  config.SetValue(L"Z", L"k", L"3");
  std::wstring path = dir / L"s.ini";
  ASSERT_TRUE(config.Save(path.c_str(), nullptr));
  EXPECT_EQ(FileText(path), L"\xFEFFtop=1\n\n[+early]\nk=2\n\n[Z]\nk=3\n");
  CConfigFile back;
  ASSERT_TRUE(back.Load(path.c_str(), nullptr, 0, 0));
  EXPECT_STREQ(back.GetValue(L"", L"top"), L"1");
  EXPECT_EQ(back.GetValue(L"+early", L"top"), nullptr);
  EXPECT_STREQ(back.GetValue(L"+early", L"k"), L"2");
}

// CR and LF inside a value are written as escapes; quotes, escapes and a
// trailing backslash come back as they were.
// A layout text of many lines with no ";" (or no "=") is read once, not once
// per line. A hang bound, not a speed check: the per-line search took minutes.
TEST(ConfigParse, LongTextsWithoutSemicolonsOrKeys) {
  std::wstring noSemicolon = L"[S]\n", noKey = L"[S]\n";
  for (int i = 0; i < 40000; ++i) {
    noSemicolon += L"word word\n";
    noKey += L"word word;\n";
  }
  noKey += L"k=v;\n";
  const struct {
    const std::wstring& text;
    int entries;
  } cases[] = {{noSemicolon, 0}, {noKey, 1}};
  for (const auto& c : cases) {
    CConfigFile config;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(config.Parse(c.text.c_str(), true, 0));
    EXPECT_LT(GetTickCount() - start, 10000u);
    std::vector<std::wstring> keys;
    EXPECT_EQ(config.GetEntries(keys), c.entries);
  }
}

TEST(ConfigSave, RoundTripOfSpecialValues) {
  TempFolder dir;
  const wchar_t* texts[] = {L"line1\nline2", L"cr\r\nlf", L"C:\\dir\\", L"ends with \\", L"say \"hi\"; then?",
                            L"tab\there", L"  blanks kept  ", L"\\"};
  CConfigFile config;
  int i = 0;
  for (const wchar_t* t : texts) {
    std::wstring escaped;
    EscapeString(escaped, t);
    config.SetValue(L"S", (L"q" + std::to_wstring(i)).c_str(), L"\"" + escaped + L"\"");
    ++i;
  }
  config.SetValue(L"S", L"rawlf", L"a\nb");
  config.SetValue(L"S", L"rawslash", L"C:\\Temp\\");
  std::wstring path = dir / L"s.ini";
  ASSERT_TRUE(config.Save(path.c_str(), nullptr));
  std::wstring file = FileText(path);
  EXPECT_NE(file.find(L"rawlf=a\\nb\n"), std::wstring::npos);

  CConfigFile back;
  ASSERT_TRUE(back.Load(path.c_str(), nullptr, 0, 0));
  i = 0;
  for (const wchar_t* t : texts) {
    EXPECT_EQ(back.GetString(L"S", (L"q" + std::to_wstring(i)).c_str(), L"<missing>"), t) << i;
    ++i;
  }
  EXPECT_EQ(back.GetString(L"S", L"rawlf"), L"a\nb");
  EXPECT_EQ(back.GetString(L"S", L"rawslash"), L"C:\\Temp\\");
  EXPECT_EQ(back.GetString(L"S", L"rawslash", nullptr, 0), L"C:\\Temp\\");
}

// A file's text loads with the keys given, and saved and loaded again keeps them.
void ExpectKeysLoadBack(const std::string& text, const std::vector<std::wstring>& keys) {
  TempFolder dir;
  const std::wstring path = dir / L"in.ini", saved = dir / L"out.ini";
  ASSERT_TRUE(TempFolder::WriteText(path, text));
  CConfigFile config, back;
  ASSERT_TRUE(config.Load(path.c_str(), nullptr, 0, 0));
  ASSERT_TRUE(config.Save(saved.c_str(), nullptr));
  ASSERT_TRUE(back.Load(saved.c_str(), nullptr, 0, 0));
  std::vector<std::wstring> before, after;
  config.GetEntries(before);
  back.GetEntries(after);
  EXPECT_EQ(before, keys) << text;
  EXPECT_EQ(after, before) << text;
}

// Names that hold "/" (with "]" after it, or blanks beside it) load back under the same keys.
TEST(ConfigSave, NamesWithSlashesAndBracketsLoadBackTheSame) {
  ExpectKeysLoadBack("[S]\na/b=1\nx]y/z=2\np/q]r/s=3\nc/ d=5\ne /f=6\n[T/U]\nk=4\n",
                     {L"S/a/b", L"S/c/ d", L"S/e /f", L"S/p/q]r/s", L"S/x]y/z", L"T/U/k"});
}

// Names whose last slash can't split them into a section and a name that
// read back (the name after it empty or beginning with "[" or a CR), sections
// that begin with "/" (keys like the empty section's), and names and sections
// that hold a NUL, load back under the same keys.
TEST(ConfigSave, NamesNoLastSlashSplitsLoadBackTheSame) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    std::vector<std::wstring> keys;
  };
  const std::vector<Case> cases = {
      {"[S]\nka/=2\nka/x=1\n", {L"S/ka/", L"S/ka/x"}},
      {"[S]\nk/ =2\nk/ x=1\nk/\rx=3\n", {L"S/k/", L"S/k/\rx", L"S/k/ x"}},
      {"[S]\na/[b]c=1\na/[x=2\nd=3\n", {L"S/a/[b]c", L"S/a/[x", L"S/d"}},
      {"k/=1\n[S]\nm=2\n", {L"/k/", L"S/m"}},
      {"[/c=]\nk=1\n[/=]\nk=2\n", {L"/=/k", L"/c=/k"}},
      {"[S]\ng\0/h=7\nn\0=8\nk\0/=9\n[T\0U]\nk=4\n"s,
       {std::wstring(L"S/g\0/h", 6), std::wstring(L"S/k\0/", 5), std::wstring(L"S/n\0", 4), std::wstring(L"T\0U/k", 5)}},
  };
  for (const Case& c : cases) ExpectKeysLoadBack(c.text, c.keys);
}

TEST(ConfigSave, ListOfQuotedItemsEndingInBackslash) {
  CConfigFile config;
  std::wstring a, b;
  EscapeString(a, L"C:\\one\\");
  EscapeString(b, L"two, three");
  config.SetValue(L"S", L"l", L"\"" + a + L"\", \"" + b + L"\"");
  EXPECT_EQ(config.GetString(L"S", L"l", nullptr, 0), L"C:\\one\\");
  EXPECT_EQ(config.GetString(L"S", L"l", nullptr, 1), L"two, three");
}

TEST(ConfigSave, EncipheredRoundTrip) {
  TempFolder dir;
  CConfigFile config;
  config.SetValue(L"Message", L"Hello", L"\"Gr\xFC\xDF Gott\"");
  std::wstring path = dir / L"system.inc";
  ASSERT_TRUE(config.Save(path.c_str(), kKey));
  std::string bytes = TempFolder::ReadText(path);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(0, 4), "?VKC");
  CConfigFile back;
  ASSERT_TRUE(back.Load(path.c_str(), kKey, 0, 0));
  EXPECT_EQ(back.GetString(L"Message", L"Hello"), L"Gr\xFC\xDF Gott");
  // Plain reader of an envelope, and enciphered reader of a plain file.
  CConfigFile plain;
  EXPECT_TRUE(plain.Load(path.c_str(), nullptr, 0, 0));
  EXPECT_EQ(plain.GetValue(L"Message", L"Hello"), nullptr);
  ASSERT_TRUE(config.Save((dir / L"plain.ini").c_str(), nullptr));
  EXPECT_FALSE(back.Load((dir / L"plain.ini").c_str(), kKey, 0, 0));
  // A truncated envelope is refused.
  ASSERT_TRUE(TempFolder::WriteText(dir / L"cut.inc", bytes.substr(0, bytes.size() - 3)));
  EXPECT_FALSE(back.Load((dir / L"cut.inc").c_str(), kKey, 0, 0));
}

// The save goes through a temporary file: a read-only file is replaced, no
// temporary file is left, and a save that cannot complete keeps the old file.
TEST(ConfigSave, ReplacesThroughTemporaryFile) {
  TempFolder dir;
  std::wstring path = dir / L"user.ini";
  ASSERT_TRUE(TempFolder::WriteText(path, Utf16File(L"[Old]\nk=1\n")));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  CConfigFile config;
  config.SetValue(L"New", L"k", L"2");
  ASSERT_TRUE(config.Save(path.c_str(), nullptr));
  EXPECT_EQ(FileText(path), L"\xFEFF[New]\nk=2\n");
  EXPECT_EQ(dir.List(), L"user.ini");

  // Another program holds the file open: the save fails, the old file stays
  // whole and no temporary file is left.
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  config.SetValue(L"New", L"k", L"3");
  EXPECT_FALSE(config.Save(path.c_str(), nullptr));
  CloseHandle(held);
  EXPECT_EQ(FileText(path), L"\xFEFF[New]\nk=2\n");
  EXPECT_EQ(dir.List(), L"user.ini");

  // A folder in the target's place: the save fails and leaves nothing behind.
  std::wstring folder = dir / L"folder.ini";
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_FALSE(config.Save(folder.c_str(), nullptr));
  EXPECT_EQ(dir.List(), L"folder.ini|user.ini");
}

TEST(ConfigParse, StrictDialect) {
  CConfigFile config;
  ASSERT_TRUE(config.Parse(
      L"top=t;\n"
      L"[Sec]\n"
      L"k=first\n"
      L"second;\n"
      L"n=3;\n"
      L"'bad=1;\n"
      L"/bad=1;\n"
      L"b,ad=1;\n"
      L"q=\"a\\tb\";\n"
      L"[Bad,Name]\n"
      L"still=Sec;\n"
      L"run=v\n"
      L"m=4;\n",
      true, 0));
  EXPECT_STREQ(config.GetValue(L"", L"top"), L"t");
  EXPECT_STREQ(config.GetValue(L"Sec", L"k"), L"first\nsecond");
  EXPECT_STREQ(config.GetValue(L"Sec", L"n"), L"3");
  EXPECT_STREQ(config.GetValue(L"Sec", L"q"), L"a\tb");
  EXPECT_STREQ(config.GetValue(L"Sec", L"still"), L"Sec");
  EXPECT_STREQ(config.GetValue(L"Sec", L"run"), L"v\nm=4");
  EXPECT_EQ(config.GetValue(L"Sec", L"m"), nullptr);
  std::vector<std::wstring> keys;
  EXPECT_EQ(config.GetEntries(keys), 6);

  CConfigFile raw;
  ASSERT_TRUE(raw.Parse(L"q=\"a\\tb\";", false, 0));
  EXPECT_STREQ(raw.GetValue(L"", L"q"), L"\"a\\tb\"");
  EXPECT_FALSE(raw.Parse(nullptr, false, 0));
  EXPECT_STREQ(raw.GetValue(L"", L"q"), L"\"a\\tb\"");
}

TEST(ConfigEscape, Table) {
  std::wstring out;
  EXPECT_EQ(EscapeString(out, L"\a\b\t\n\v\f\r\"'?\\;x"), 27u);
  EXPECT_EQ(out, L"\\a\\b\\t\\n\\v\\f\\r\\\"\\'\\?\\\\\\x3Bx");
  std::wstring back = out;
  UnescapeWString(back);
  EXPECT_EQ(back, L"\a\b\t\n\v\f\r\"'?\\;x");
  EXPECT_EQ(EscapeString(out, nullptr), 0u);
  EXPECT_EQ(out, L"");
  out = L"self";
  EXPECT_EQ(EscapeString(out, out.c_str()), 0u);

  std::wstring inPlace = L"a;b\r\nc\t";
  EXPECT_EQ(EscapeWStringInPlace(inPlace), 11u);
  EXPECT_EQ(inPlace, L"a\\x3Bb\r\nc\\t");
}

TEST(ConfigEscape, Unescape) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"\\101\\x41\\x041", L"AAA"},  // octal, hex, a leading zero not counted
      {L"\\0x", L"\0x"},
      {L"\\400", L" 0"},        // stops before a digit taking the value above 255
      {L"\\x", L"\\x"},         // no hexadecimal digit: stays
      {L"\\xg", L"\\xg"},
      {L"\\q", L"\\q"},         // unknown escape stays
      {L"end\\", L"end\\"},     // a backslash as the last character stays
      {L"\\x3b\\x3B", L";;"},
      {L"\\\\n", L"\\n"},
  };
  for (const Case& c : cases) {
    std::wstring text = c.in;
    UnescapeWString(text);
    std::wstring expected(c.out, c.in[1] == L'0' ? 2 : wcslen(c.out));
    EXPECT_EQ(text, expected) << c.in;
  }
  wchar_t buffer[] = L"a\\tb";
  EXPECT_EQ(UnescapeBuffer(buffer, 4), 3u);
  EXPECT_EQ(buffer[3], L'\0');
}

TEST(ConfigHelpers, SmallFunctions) {
  EXPECT_TRUE(ParseBoolText(L"  yes"));
  EXPECT_TRUE(ParseBoolText(L"\tT"));
  EXPECT_TRUE(ParseBoolText(L"1"));
  EXPECT_FALSE(ParseBoolText(L"on"));
  EXPECT_FALSE(ParseBoolText(L""));
  EXPECT_FALSE(ParseBoolText(nullptr));

  std::wstring t = L" \tab \t";
  TrimWString(t, L" \t", -1);
  EXPECT_EQ(t, L"ab \t");
  TrimWString(t, L" \t", 1);
  EXPECT_EQ(t, L"ab");
  t = L"xxaxx";
  TrimWString(t, L"x", 0);
  EXPECT_EQ(t, L"a");
  t = L"xxx";
  TrimWString(t, L"x", 0);
  EXPECT_EQ(t, L"");

  uint8_t v = 0;
  EXPECT_EQ(ParseHexByte(v, L"00fFz", 5), 4u);
  EXPECT_EQ(v, 0xFF);
  EXPECT_EQ(ParseHexByte(v, L"123", 3), 2u);
  EXPECT_EQ(v, 0x12);
  EXPECT_EQ(ParseHexByte(v, L"g", 1), 0u);
  EXPECT_EQ(ParseOctalByte(v, L"0377", 4), 4u);
  EXPECT_EQ(v, 255);
  EXPECT_EQ(ParseOctalByte(v, L"777", 3), 2u);
  EXPECT_EQ(v, 077);

  const wchar_t* s = L"abc";
  EXPECT_EQ(WStrChr(s, L'b'), s + 1);
  EXPECT_EQ(WStrChr(s, L'z'), nullptr);

  std::wstring url = L"a b";
  UrlEncodeInPlace(url);
  EXPECT_NE(url, L"a b");
}

TEST(ConfigHelpers, WholeFileReaders) {
  TempFolder dir;
  uint8_t* data = reinterpret_cast<uint8_t*>(1);
  EXPECT_EQ(ReadWholeFile(data, (dir / L"none").c_str()), 0u);
  EXPECT_EQ(data, nullptr);
  ASSERT_TRUE(TempFolder::WriteText(dir / L"f", Utf16File(L"hi")));
  ASSERT_EQ(ReadWholeFile(data, (dir / L"f").c_str()), 6u);
  EXPECT_EQ(data[2], 'h');
  delete[] data;
  std::wstring text = L"old";
  EXPECT_EQ(ReadTextFile(text, (dir / L"f").c_str(), 0), 2);
  EXPECT_EQ(text, L"hi");
  EXPECT_EQ(ReadTextFile(text, (dir / L"none").c_str(), 0), -1);
  EXPECT_EQ(text, L"");
}

TEST(ConfigHelpers, ApplyFontToChildren) {
  HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(top, nullptr);
  HWND child = CreateWindowExW(0, L"STATIC", L"c", WS_CHILD, 0, 0, 40, 40, top, nullptr, nullptr, nullptr);
  HWND grandchild = CreateWindowExW(0, L"STATIC", L"g", WS_CHILD, 0, 0, 20, 20, child, nullptr, nullptr, nullptr);
  ASSERT_TRUE(child && grandchild);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto fontOf = [](HWND w) { return reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)); };
  ApplyFontToChildren(top, font, false);
  EXPECT_EQ(fontOf(child), font);
  EXPECT_NE(fontOf(grandchild), font);
  ApplyFontToChildren(top, font, true);
  EXPECT_EQ(fontOf(grandchild), font);
  DestroyWindow(top);
}
