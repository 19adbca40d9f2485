#include "app/popup/GrabWord.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

static bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static void PrintTo(const RECT& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

// A grab group that knows a fixed set of words and records what was asked.
struct FakeGroup {
  std::set<std::wstring> words;
  std::vector<std::wstring> asked;
  GrabLookup Lookup() {
    return [this](const wchar_t* word, uint32_t length) {
      asked.emplace_back(word, length);
      return words.count(asked.back()) != 0;
    };
  }
};

struct ExtractCase {
  const wchar_t* text;
  int index;
  std::set<std::wstring> known;
  const wchar_t* word;
  bool found;
};

TEST(GrabWordTest, ExtractsTheWordUnderTheCursor) {
  const ExtractCase cases[] = {
      {L"the books here", 5, {L"book"}, L"book", true},
      {L"boxes", 0, {L"box"}, L"box", true},
      {L"boxes", 0, {L"box", L"boxe"}, L"boxe", true},
      {L"as", 1, {}, L"as", false},
      {L"cats'", 1, {L"cats"}, L"cats", true},
      {L"cat's", 1, {L"cat"}, L"cat", true},
      {L"--well-known--", 3, {L"well-known"}, L"well-known", true},
      {L"XMLParser", 1, {}, L"XMLParser", false},
      {L"getWindowText", 3, {}, L"Window", false},
      {L"getWindowText", 4, {}, L"Window", false},
      {L"getWindowText", 1, {}, L"get", false},
      {L"word", 0, {L"word"}, L"word", true},             // index at the left edge
      {L"word", 3, {L"word"}, L"word", true},             // index at the right edge
      {L"a, b", 1, {}, L"", false},                       // punctuation
      {L"hello world", 5, {}, L"", false},                // blank
      {L"\x041a\x043d\x0438\x0433\x0430", 2, {L"\x041a\x043d\x0438\x0433\x0430"},
       L"\x041a\x043d\x0438\x0433\x0430", true},          // Cyrillic
      {L"\x03b1\x03b2\x03b3", 1, {L"\x03b1\x03b2\x03b3"}, L"", false},  // Greek: no script
      {L"\x0627\x0644", 0, {}, L"", false},                            // Arabic
      {L"\x4e2d\x6587\x5b57x", 0, {L"\x4e2d\x6587"}, L"\x4e2d\x6587", true},
      {L"\x4e2d\x6587\x5b57x", 0, {}, L"\x4e2d", false},
      {L"\x3042\x3044\x3046", 1, {L"\x3044\x3046"}, L"\x3044\x3046", true},  // Hiragana
      {L"\xd55c\xad6d\xc5b4", 0, {L"\xd55c\xad6d\xc5b4"}, L"\xd55c\xad6d\xc5b4", true},  // Hangul
  };
  for (const ExtractCase& c : cases) {
    FakeGroup group;
    group.words = c.known;
    std::wstring word = L"stale";
    const bool found =
        ExtractWord(word, c.text, static_cast<int>(wcslen(c.text)), c.index, GrabIgnore(), group.Lookup());
    EXPECT_EQ(c.found, found) << c.text << " @" << c.index;
    EXPECT_EQ(c.word, word) << c.text << " @" << c.index;
  }
}

TEST(GrabWordTest, StemmingAsksInOrderAndOnlyForSAndD) {
  FakeGroup group;
  std::wstring word;
  EXPECT_FALSE(ExtractWord(word, L"boxed", 5, 0, GrabIgnore(), group.Lookup()));
  EXPECT_EQ((std::vector<std::wstring>{L"boxed", L"boxe", L"box"}), group.asked);
  EXPECT_EQ(L"boxed", word);

  group.asked.clear();
  EXPECT_FALSE(ExtractWord(word, L"boxer", 5, 0, GrabIgnore(), group.Lookup()));
  EXPECT_EQ((std::vector<std::wstring>{L"boxer"}), group.asked);

  // Three letters: the "e" rule needs more than three.
  group.asked.clear();
  EXPECT_FALSE(ExtractWord(word, L"bed", 3, 0, GrabIgnore(), group.Lookup()));
  EXPECT_EQ((std::vector<std::wstring>{L"bed", L"be"}), group.asked);
}

TEST(GrabWordTest, CjkTakesAtMostItsLimitAndStopsAfterTheFirstOtherCharacter) {
  FakeGroup group;
  std::wstring word;
  const std::wstring chinese(8, L'\x4e00');
  ExtractWord(word, chinese.c_str(), 8, 0, GrabIgnore(), group.Lookup());
  EXPECT_EQ(5u, group.asked.front().size());
  EXPECT_EQ(5u, group.asked.size());

  group.asked.clear();
  const std::wstring kana(8, L'\x30a2');
  ExtractWord(word, kana.c_str(), 8, 2, GrabIgnore(), group.Lookup());
  EXPECT_EQ(6u, group.asked.front().size());

  group.asked.clear();
  ExtractWord(word, L"\x4e00\x4e01x\x4e02", 4, 0, GrabIgnore(), group.Lookup());
  EXPECT_EQ(L"\x4e00\x4e01x", group.asked.front());

  group.asked.clear();
  ExtractWord(word, L"\x4e00\x4e01", 2, 1, GrabIgnore(), group.Lookup());
  EXPECT_EQ((std::vector<std::wstring>{L"\x4e01"}), group.asked);
  EXPECT_EQ(L"\x4e01", word);
}

TEST(GrabWordTest, BadArgumentsAndIgnoredScriptsGiveNoWord) {
  FakeGroup group;
  group.words = {L"word", L"\x4e00", L"\x0434\x0430"};
  std::wstring word = L"stale";
  EXPECT_FALSE(ExtractWord(word, nullptr, 4, 0, GrabIgnore(), group.Lookup()));
  EXPECT_EQ(L"", word);
  EXPECT_FALSE(ExtractWord(word, L"word", 0, 0, GrabIgnore(), group.Lookup()));
  EXPECT_FALSE(ExtractWord(word, L"word", 4, 4, GrabIgnore(), group.Lookup()));
  EXPECT_FALSE(ExtractWord(word, L"word", 4, -1, GrabIgnore(), group.Lookup()));
  EXPECT_FALSE(ExtractWord(word, L"word", 4, -7, GrabIgnore(), group.Lookup()));
  EXPECT_TRUE(group.asked.empty());

  GrabIgnore latin;
  latin.latin = true;
  EXPECT_FALSE(ExtractWord(word, L"word", 4, 1, latin, group.Lookup()));
  EXPECT_EQ(L"", word);
  GrabIgnore cyrillic;
  cyrillic.cyrillic = true;
  EXPECT_FALSE(ExtractWord(word, L"\x0434\x0430", 2, 0, cyrillic, group.Lookup()));
  EXPECT_TRUE(ExtractWord(word, L"word", 4, 1, cyrillic, group.Lookup()));
  GrabIgnore cjk;
  cjk.cjk = true;
  EXPECT_FALSE(ExtractWord(word, L"\x4e00", 1, 0, cjk, group.Lookup()));
  EXPECT_EQ(L"", word);
}

TEST(GrabWordTest, CharacterClasses) {
  struct {
    wchar_t c;
    bool upper, lower;
  } cases[] = {
      {L'A', true, false},   {L'z', false, true},    {0x00DE, true, false}, {0x00DF, false, true},
      {0x0100, true, false}, {0x0101, false, true},  {0x0114, false, false}, {0x011F, false, false},
      {0x0139, true, false}, {0x013A, false, true},  {0x0178, true, false}, {0x017F, false, true},
      {0x01C5, true, false}, {0x01DD, false, true},  {0x0232, true, false}, {0x0233, false, true},
      {0x0416, true, false}, {0x0436, false, true},  {0x04C1, true, false}, {0x04C2, false, true},
      {L'1', false, false},  {L'\'', false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.upper, IsUpperLetter(c.c)) << std::hex << static_cast<int>(c.c);
    EXPECT_EQ(c.lower, IsLowerLetter(c.c)) << std::hex << static_cast<int>(c.c);
  }
  EXPECT_TRUE(IsGrabWordChar(0x2011));
  EXPECT_FALSE(IsGrabWordChar(0x2012));
  EXPECT_FALSE(IsGrabWordChar(0x0242));
  EXPECT_TRUE(IsCjkChar(0xF900));
  EXPECT_FALSE(IsCjkChar(0x3000));  // CJK punctuation is in no translated block
}

TEST(GrabWordTest, ScriptsFollowTheUnicodeBlocks) {
  // Each translated run of blocks, first and last code point, and the code
  // points just outside it.
  const GrabScript latin = GrabScript::kLatin, cyrillic = GrabScript::kCyrillic, chinese = GrabScript::kChinese,
                   japanese = GrabScript::kJapanese, korean = GrabScript::kKorean, none = GrabScript::kNone;
  struct Case {
    wchar_t first, last;
    GrabScript before, script, after;
  } cases[] = {
      {0x0000, 0x02AF, none, latin, none},      {0x0400, 0x052F, none, cyrillic, none},
      {0x1100, 0x11FF, none, korean, none},     {0x1E00, 0x1EFF, none, latin, none},
      {0x2C60, 0x2C7F, none, latin, none},      {0x2E80, 0x2FDF, none, chinese, none},
      {0x3040, 0x30FF, none, japanese, none},   {0x3130, 0x318F, none, korean, japanese},
      {0x3190, 0x319F, korean, japanese, none}, {0x31C0, 0x31EF, none, chinese, japanese},
      {0x31F0, 0x31FF, chinese, japanese, chinese}, {0x3200, 0x4DBF, japanese, chinese, none},
      {0x4E00, 0x9FBF, none, chinese, none},    {0xAC00, 0xD7AF, none, korean, none},
      {0xF900, 0xFAFF, none, chinese, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << static_cast<int>(c.first));
    if (c.first > 0) {
      EXPECT_EQ(c.before, ScriptOfChar(static_cast<wchar_t>(c.first - 1)));
    }
    EXPECT_EQ(c.script, ScriptOfChar(c.first));
    EXPECT_EQ(c.script, ScriptOfChar(c.last));
    EXPECT_EQ(c.after, ScriptOfChar(static_cast<wchar_t>(c.last + 1)));
  }
  EXPECT_EQ(none, ScriptOfChar(0xFFFF));
}

const SIZE kScreen = {1024, 768};
const POINT kNowhere = {0, 0};

TEST(GrabPlaceTest, BelowRightOfTheCursor) {
  RECT window, zone;
  PlaceGrabWindow(window, zone, 300, 200, {100, 100}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{116, 116, 416, 316}), window);
  EXPECT_EQ((RECT{95, 95, 421, 321}), zone);  // stretched to the point
  PlaceGrabWindow(window, zone, 10, 10, {100, 100}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{116, 116, 266, 166}), window);  // at least 150 x 50
}

TEST(GrabPlaceTest, KeepsOnScreen) {
  RECT window, zone;
  // Lower half: above the cursor.
  PlaceGrabWindow(window, zone, 300, 200, {100, 700}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{116, 716 - 32 - 200, 416, 716 - 32}), window);
  // Upper half: shortened to end 5 above the bottom.
  PlaceGrabWindow(window, zone, 300, 900, {100, 100}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{116, 116, 416, 763}), window);
  // Too tall also above: at 5, as tall as fits above the cursor.
  PlaceGrabWindow(window, zone, 300, 900, {100, 600}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{116, 5, 416, 5 + (616 - 32) - 5}), window);
  // Right edge: moved left; wider than the screen: x 5, screen width less 10.
  PlaceGrabWindow(window, zone, 300, 100, {900, 100}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{1024 - 300 - 5, 116, 1024 - 5, 216}), window);
  PlaceGrabWindow(window, zone, 2000, 100, {900, 100}, false, kNowhere, false, kScreen);
  EXPECT_EQ((RECT{5, 116, 1019, 216}), window);
}

TEST(GrabPlaceTest, KeepShrinksInPlaceAndPinnedZoneIgnoresThePoint) {
  RECT window, zone;
  PlaceGrabWindow(window, zone, 400, 400, {10, 10}, true, {800, 500}, true, kScreen);
  EXPECT_EQ((RECT{800, 500, 1019, 763}), window);
  EXPECT_EQ((RECT{795, 495, 1024, 768}), zone);
  PlaceGrabWindow(window, zone, 100, 100, {10, 10}, true, {800, 500}, false, kScreen);
  EXPECT_EQ((RECT{5, 5, 955, 605}), zone);
}

TEST(GrabPlaceTest, SearchUrl) {
  EXPECT_EQ(L"http://s/?q=a%20b&hl=en&again=a%20b",
            BuildSearchUrl(L"http://s/?q=[$key]&hl=[$langcode]&again=[$key]", L"a%20b", L"en"));
}

}  // namespace
