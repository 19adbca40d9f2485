#include "regex/Regex.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace regex;

namespace {

constexpr const wchar_t* kUnset = nullptr;  // the group did not take part

struct MatchCase {
  const wchar_t* pattern;
  std::wstring subject;
  uint32_t flags;
  int position;  // offset of the match, -1 for no match
  std::vector<const wchar_t*> groups;
};

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= 32 && c < 127) out += char(c);
    else out += "\\u" + std::to_string(unsigned(c));
  }
  return out;
}

void Check(const MatchCase& c, uint32_t mode) {
  SCOPED_TRACE("pattern " + Narrow(c.pattern) + " subject " + Narrow(c.subject) + " flags " +
               std::to_string(c.flags) + " mode " + std::to_string(mode));
  std::unique_ptr<compiled_pattern> compiled;
  try {
    compiled.reset(new compiled_pattern(c.pattern, c.flags, mode));
  } catch (const bad_regexpr& e) {
    ADD_FAILURE() << e.what();
    return;
  }
  const compiled_pattern& pattern = *compiled;
  match_results results;
  const backref_tag& whole = pattern.match(c.subject, results);
  if (c.position < 0) {
    EXPECT_FALSE(whole.matched);
    EXPECT_EQ(results.size(), pattern.capturing_count());
    for (size_t i = 0; i < results.size(); ++i) EXPECT_FALSE(results[i].matched) << "group " << i;
    return;
  }
  ASSERT_TRUE(whole.matched);
  EXPECT_EQ(whole.begin - c.subject.data(), c.position);
  ASSERT_EQ(results.size(), c.groups.size());
  for (size_t i = 0; i < c.groups.size(); ++i) {
    if (c.groups[i] == kUnset) {
      EXPECT_FALSE(results[i].matched) << "group " << i;
    } else {
      EXPECT_TRUE(results[i].matched) << "group " << i;
      EXPECT_EQ(Narrow(results.str(i)), Narrow(c.groups[i])) << "group " << i;
    }
  }
}

const std::vector<MatchCase>& Cases() {
  static const std::vector<MatchCase> cases = {
      // Literals, runs and the quantifier that splits a run.
      {L"abc", L"xxabcx", 0, 2, {L"abc"}},
      {L"ab*c", L"xabbbc", 0, 1, {L"abbbc"}},
      {L"ab*", L"abab", 0, 0, {L"ab"}},
      {L"a{2", L"xa{2", 0, 1, {L"a{2"}},
      {L"{a}", L"{a}", 0, 0, {L"{a}"}},
      {L"a,}", L"a,}", 0, 0, {L"a,}"}},
      {L"", L"abc", 0, 0, {L""}},
      {L"", L"", 0, 0, {L""}},
      {L"x", L"", 0, -1, {}},
      {L"\u4e2d\u6587", L"ab\u4e2d\u6587", 0, 2, {L"\u4e2d\u6587"}},
      {L"HeLLo", L"xhello", ignore_case, 1, {L"hello"}},
      {L"hello", L"HELLO", 0, -1, {}},
      // Quantifiers.
      {L"a{2}", L"aaa", 0, 0, {L"aa"}},
      {L"a{2,}", L"aaaab", 0, 0, {L"aaaa"}},
      {L"a{1,2}", L"aaa", 0, 0, {L"aa"}},
      {L"a{1,2}?", L"aaa", 0, 0, {L"a"}},
      {L"xa{0}y", L"xy", 0, 0, {L"xy"}},
      {L"a+?", L"aaa", 0, 0, {L"a"}},
      {L"a*?b", L"aab", 0, 0, {L"aab"}},
      {L"a??b", L"ab", 0, 0, {L"ab"}},
      {L"a{2,3}b", L"aab", 0, 0, {L"aab"}},
      {L"a{2,3}c", L"aab", 0, -1, {}},
      {L"a{2,3}?a", L"aaaa", 0, 0, {L"aaa"}},
      {L"(a{2,3})a", L"aaa", 0, 0, {L"aaa", L"aa"}},
      {L"(a{2,3}?)a$", L"aaaa", 0, 0, {L"aaaa", L"aaa"}},
      // Any character, anchors and word assertions.
      {L"a.c", L"a\nc", 0, -1, {}},
      {L"a.c", L"a\nc", dot_all, 0, {L"a\nc"}},
      {L"a.c", L"abc", 0, 0, {L"abc"}},
      {L"^b", L"ab", 0, -1, {}},
      {L"^b", L"a\nb", multi_line, 2, {L"b"}},
      {L"^abc", L"xabc", 0, -1, {}},
      {L"a$", L"a\n", 0, 0, {L"a"}},
      {L"a$", L"a\nb", 0, -1, {}},
      {L"a$", L"a\nb", multi_line, 0, {L"a"}},
      {L"\\Aa", L"ba", 0, -1, {}},
      {L"a\\z", L"a\n", 0, -1, {}},
      {L"a\\Z", L"a\n", 0, 0, {L"a"}},
      {L"a\\Z", L"a\nb", 0, -1, {}},
      {L"\\bfoo\\b", L"afoo foo", 0, 5, {L"foo"}},
      {L"\\Boo", L"foo", 0, 1, {L"oo"}},
      {L"\\b", L" a", 0, 1, {L""}},
      // Sets and class escapes.
      {L"[a-c]+", L"xxabcd", 0, 2, {L"abc"}},
      {L"[]a]+", L"x]a]", 0, 1, {L"]a]"}},
      {L"[^]a]", L"]ab", 0, 2, {L"b"}},
      {L"[a-]+", L"x-a-", 0, 1, {L"-a-"}},
      {L"[\\d_]+", L"ab1_2c", 0, 2, {L"1_2"}},
      {L"[\\W]", L"ab c", 0, 2, {L" "}},
      {L"[\\W]", L"a", 0, -1, {}},
      {L"[[:^digit:]]", L"12\u4e00", 0, 2, {L"\u4e00"}},
      {L"[[:alpha:]]+", L"1ab2", 0, 1, {L"ab"}},
      {L"[[:digit:][:space:]]+", L"a1 2b", 0, 1, {L"1 2"}},
      {L"[a-c]", L"B", ignore_case, 0, {L"B"}},
      {L"[[:lower:]]", L"Q", ignore_case, 0, {L"Q"}},
      {L"[[:lower:]]", L"Q", 0, -1, {}},
      {L"[k]", L"K", ignore_case, 0, {L"K"}},
      {L"[j-l]", L"K", ignore_case, 0, {L"K"}},
      {L"[\u0430-\u0433]+", L"\u0411\u0431\u0432", 0, 1, {L"\u0431\u0432"}},
      {L"\\w+", L" \u4e2d\u6587 ", 0, 1, {L"\u4e2d\u6587"}},
      {L"[[:alpha:]]+", L"1\u0431\u4e2d1", 0, 1, {L"\u0431\u4e2d"}},
      {L"[\\xfa-\\x12c]+", L"a\u00f9\u00fb\u0100\u012c\u012d", 0, 2, {L"\u00fb\u0100\u012c"}},
      {L"[\\n]", L"n", 0, 0, {L"n"}},
      {L"[\\n]", L"\n", text_escapes, 0, {L"\n"}},
      {L"[\\t\\x41\\101\\e\\cA\\b]+", L"xAA\x1b\x01\x08t", 0, 1, {L"AA\x1b\x01\x08t"}},
      {L"\\d+", L"ab123c", 0, 2, {L"123"}},
      {L"\\D+", L"12ab3", 0, 2, {L"ab"}},
      {L"\\s+", L"a \t b", 0, 1, {L" \t "}},
      {L"\\S+", L"  ab ", 0, 2, {L"ab"}},
      {L"\\w+", L"..a_1..", 0, 2, {L"a_1"}},
      {L"\\W+", L"ab.,c", 0, 2, {L".,"}},
      {L"[^\\d]+", L"12ab", 0, 2, {L"ab"}},
      // Escapes.
      {L"\\x41\\e\\cA", L"A\x1b\x01", 0, 0, {L"A\x1b\x01"}},
      {L"\\012\\12", L"\n\n", 0, 0, {L"\n\n"}},
      {L"\\t", L"t", 0, 0, {L"t"}},
      {L"\\t\\n", L"\t\n", text_escapes, 0, {L"\t\n"}},
      {L"\\Qa.b\\E", L"axba.b", 0, 3, {L"a.b"}},
      {L"\\Qa.b", L"a.b", 0, 0, {L"a.b"}},
      {L"x\\Q\\Ey", L"xy", 0, 0, {L"xy"}},
      {L"a\\", L"a\\", 0, 0, {L"a\\"}},
      {L"\\.\\*", L"a.*", 0, 1, {L".*"}},
      // Groups and numbering.
      {L"(a)(b)?", L"a", 0, 0, {L"a", L"a", kUnset}},
      {L"(a)|b", L"b", 0, 0, {L"b", kUnset}},
      {L"(a)(?:b)(c)\\2", L"abcc", 0, 0, {L"abcc", L"a", L"c"}},
      {L"(a)(?:b)(?:c)(d)", L"abcd", 0, 0, {L"abcd", L"a", L"d"}},
      {L"(?:(a)|b)(?>(c))(?:d)(e)", L"bcde", 0, 0, {L"bcde", kUnset, L"c", L"e"}},
      {L"(a(b(c)))", L"abc", 0, 0, {L"abc", L"abc", L"bc", L"c"}},
      {L"(x)(a|ab)(c)", L"xabc", 0, 0, {L"xabc", L"x", L"ab", L"c"}},
      // Alternatives after an unbounded one still size their look-behinds
      // and number their back-references.
      {L"(?:x*|(?<=b)c)d", L"bcd", 0, 1, {L"cd"}},
      {L"(?:x*|(?:y)(z)\\1)w", L"yzzw", 0, 0, {L"yzzw", L"z"}},
      {L"(?:(a)x|ab)", L"ab", 0, 0, {L"ab", kUnset}},
      // Flags inside the pattern.
      {L"(?i)abc", L"ABC", 0, 0, {L"ABC"}},
      {L"(?i:a)b", L"AB", 0, -1, {}},
      {L"(?i:a)b", L"Ab", 0, 0, {L"Ab"}},
      {L"((?i)a)b", L"AB", 0, -1, {}},
      {L"((?i)a)b", L"Ab", 0, 0, {L"Ab", L"A"}},
      {L"(?i-s:a.)", L"A\n", dot_all, -1, {}},
      {L"(?s).", L"\n", 0, 0, {L"\n"}},
      {L"(?m)^b", L"a\nb", 0, 2, {L"b"}},
      {L"(?x) a b # note\n c", L"abc", 0, 0, {L"abc"}},
      {L"a b # note\nc", L"abc", free_spacing, 0, {L"abc"}},
      {L"a b", L"a b", 0, 0, {L"a b"}},
      {L"a +", L"aaa", free_spacing, 0, {L"aaa"}},
      {L"a#x", L"a#x", 0, 0, {L"a#x"}},
      {L"a(?#comment)b", L"ab", 0, 0, {L"ab"}},
      // Look-around and independent groups.
      {L"a(?=b)", L"acab", 0, 2, {L"a"}},
      {L"a(?!b)", L"abac", 0, 2, {L"a"}},
      {L"(?=(\\w+))\\w", L"ab", 0, 0, {L"a", L"ab"}},
      {L"(?<=a)b", L"cbab", 0, 3, {L"b"}},
      {L"(?<!a)b", L"abcb", 0, 3, {L"b"}},
      {L"(?<=ab|b)c", L"xbc", 0, 2, {L"c"}},
      {L"(?<!xb|b)c", L"abc", 0, -1, {}},
      {L"(?<!xb|b)c", L"ac", 0, 1, {L"c"}},
      {L"(?<!ab)c", L"c", 0, 0, {L"c"}},
      {L"(?<=(a+))b", L"aab", 0, 2, {L"b", L"aa"}},
      {L"a(?!)|b", L"ab", 0, 1, {L"b"}},
      {L"a(?<!)|b", L"ab", 0, 1, {L"b"}},
      {L"a(?=)(?<=)", L"ba", 0, 1, {L"a"}},
      {L"(?>a+)b", L"aaab", 0, 0, {L"aaab"}},
      {L"(?>a*)a", L"aaa", 0, -1, {}},
      {L"(?>(a+))b", L"aab", 0, 0, {L"aab", L"aa"}},
      {L"(?>ab|a)c", L"abc", 0, 0, {L"abc"}},
      {L"(?>a|ab)c", L"abc", 0, -1, {}},
      {L"(?:(?>a)|b)+", L"abab", 0, 0, {L"abab"}},
      // Conditionals.
      {L"(a)?(?(1)b|c)", L"ab", 0, 0, {L"ab", L"a"}},
      {L"(a)?(?(1)b|c)", L"c", 0, 0, {L"c", kUnset}},
      {L"(a)?(?(1)b)c", L"c", 0, 0, {L"c", kUnset}},
      {L"(a)?(?(1)b)c", L"abc", 0, 0, {L"abc", L"a"}},
      {L"(?(5)a|b)", L"ab", 0, 1, {L"b"}},
      {L"(?:x)(a)?(?(1)b|c)", L"xab", 0, 0, {L"xab", L"a"}},
      {L"(?:x)(a)?(?(1)b|c)", L"xc", 0, 0, {L"xc", kUnset}},
      {L"(?(?=a)ab|cd)", L"xcd", 0, 1, {L"cd"}},
      {L"(?(?=a)ab|cd)", L"xab", 0, 1, {L"ab"}},
      {L"(?(?!a)cd|ab)", L"ab", 0, 0, {L"ab"}},
      {L"x(?(?<=x)a|b)", L"xa", 0, 0, {L"xa"}},
      {L"(?:(a)|b)(?(1)c|d)+", L"bdd", 0, 0, {L"bdd", kUnset}},
      // Recursion.
      {L"\\((?:[^()]|(?R))*\\)", L"x(a(b)c)y", 0, 1, {L"(a(b)c)"}},
      {L"a(?:(?R))?b", L"xaabbb", 0, 1, {L"aabb"}},
      {L"(?R)a", L"ba", 0, 1, {L"a"}},
      {L"(a)(?:(?R))?c", L"aacc", 0, 0, {L"aacc", L"a"}},
      {L"(\\w)(?:(?R)|!)", L"ab!", 0, 0, {L"ab!", L"a"}},
      // A recursion that matched is not tried again with another length.
      {L"a*(?:\\[(?R)a\\])?", L"[aa]", 0, 0, {L""}},
      // Quantified groups.
      {L"(ab)+", L"ababx", 0, 0, {L"abab", L"ab"}},
      {L"(ab){2}", L"ababab", 0, 0, {L"abab", L"ab"}},
      {L"(a|b)*?c", L"abc", 0, 0, {L"abc", L"b"}},
      {L"(a|ab)*?c", L"abac", 0, 0, {L"abac", L"a"}},
      {L"(a*)*b", L"aab", 0, 0, {L"aab", L""}},
      {L"(a*)+$", L"b", 0, 1, {L"", L""}},
      {L"(a){0}b", L"ab", 0, 1, {L"b", kUnset}},
      {L"(a|b){2,3}c", L"ababc", 0, 1, {L"babc", L"b"}},
      {L"(?:a|b){2,3}?c", L"abbc", 0, 0, {L"abbc"}},
      {L"(a)+?a", L"aaa", 0, 0, {L"aa", L"a"}},
      {L"(?:(a)|b)+", L"ab", 0, 0, {L"ab", L"a"}},
      {L"(\\d+)(?:,(\\d+))*", L"1,22,333", 0, 0, {L"1,22,333", L"1", L"333"}},
      // Back-references.
      {L"(a+)b\\1", L"aabaa", 0, 0, {L"aabaa", L"aa"}},
      {L"(a+)b\\1", L"aaba", 0, 1, {L"aba", L"a"}},
      {L"(a)\\1", L"aA", ignore_case, 0, {L"aA", L"a"}},
      {L"(a)\\1", L"aA", 0, -1, {}},
      {L"\\1(a)", L"aa", 0, -1, {}},
      {L"(a*)b\\1+c", L"bc", 0, 0, {L"bc", L""}},
      {L"()\\1*x", L"x", 0, 0, {L"x", L""}},
      {L"()\\1*?x", L"x", 0, 0, {L"x", L""}},
      {L"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", L"abcdefghijj", 0, 0,
       {L"abcdefghijj", L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j"}},
      // From the right.
      {L"a", L"aa", from_right, 1, {L"a"}},
      {L"a+", L"aab", from_right, 1, {L"a"}},
      {L"^a", L"aa", from_right, 0, {L"a"}},
      // The dot-all anchoring shortcut must still find a later match.
      {L".*b", L"aab\nb", dot_all, 0, {L"aab\nb"}},
      {L".+x", L"ab", dot_all, -1, {}},
      // A reply-parsing shape as the text translator uses it.
      {L"<div id=\"r\">(.*?)</div>", L"<html><DIV ID=\"R\">Hallo\nWelt</div></div>", ignore_case | dot_all, 6,
       {L"<DIV ID=\"R\">Hallo\nWelt</div>", L"Hallo\nWelt"}},
  };
  return cases;
}

}  // namespace

TEST(RegexMatch, TableRecursiveMode) {
  for (const MatchCase& c : Cases()) Check(c, recursive);
}

TEST(RegexMatch, TableOtherModesAgree) {
  for (const MatchCase& c : Cases()) {
    Check(c, iterative);
    Check(c, automatic);
  }
}

// The recursive and the iterative form must agree on every pattern; random
// patterns over a small alphabet reach combinations no table lists.
class RandomPattern {
 public:
  explicit RandomPattern(uint32_t seed) : rng_(seed) {}
  std::wstring Alternatives(int depth) {
    std::wstring text = Sequence(depth);
    while (rng_() % 3 == 0) text += L"|" + Sequence(depth);
    return text;
  }
  std::wstring Subject() {
    std::wstring text;
    for (int i = rng_() % 8; i > 0; --i) text += L"abcA \n"[rng_() % 6];
    return text;
  }

 private:
  std::wstring Quantifier() {
    static const wchar_t* const q[] = {L"", L"", L"*", L"+", L"?", L"*?", L"+?", L"??", L"{1,2}", L"{2}", L"{0,3}?"};
    return q[rng_() % 11];
  }
  std::wstring Sequence(int depth) {
    std::wstring text;
    for (int i = rng_() % 4; i > 0; --i) text += Atom(depth);
    return text;
  }
  std::wstring Atom(int depth) {
    switch (rng_() % (depth > 2 ? 6 : 13)) {
      case 0: case 1: case 2: return std::wstring(1, L"abc"[rng_() % 3]) + Quantifier();
      case 3: return L"." + Quantifier();
      case 4: return L"[a-b\\s]" + Quantifier();
      case 5: return rng_() % 2 ? L"^" : L"\\b";
      case 6: return L"(" + Alternatives(depth + 1) + L")" + Quantifier();
      case 7: return L"(?:" + Alternatives(depth + 1) + L"x?)" + Quantifier();
      case 8: return (rng_() % 2 ? L"(?=" : L"(?!") + Alternatives(depth + 1) + L")";
      case 9: return (rng_() % 2 ? L"(?<=" : L"(?<!") + Alternatives(depth + 1) + L")";
      case 10: return L"(?>" + Alternatives(depth + 1) + L"x?)" + Quantifier();
      case 11: return L"\\1";
      default: return L"(?(1)a|b)";
    }
  }
  std::mt19937 rng_;
};

TEST(RegexMatch, RecursiveAndIterativeFormsAgree) {
  RandomPattern random(20260101);
  int compared = 0;
  for (int i = 0; i < 1500; ++i) {
    std::wstring pattern = L"(" + random.Alternatives(0) + L")";
    std::wstring subject = random.Subject();
    uint32_t flags = i % 4 == 0 ? find_all | keep_all_groups : i % 4 == 1 ? ignore_case | multi_line : 0;
    try {
      compiled_pattern recursive_form(pattern, flags, recursive), iterative_form(pattern, flags, iterative);
      match_results a, b;
      bool matchedA = recursive_form.match(subject, a).matched, matchedB = iterative_form.match(subject, b).matched;
      ++compared;
      SCOPED_TRACE("pattern " + Narrow(pattern) + " subject " + Narrow(subject));
      ASSERT_EQ(matchedA, matchedB);
      ASSERT_EQ(a.size(), b.size());
      for (size_t g = 0; g < a.size(); ++g) {
        ASSERT_EQ(a[g].matched, b[g].matched) << g;
        if (a[g].matched) {
          EXPECT_EQ(a[g].begin, b[g].begin) << g;
          EXPECT_EQ(a[g].end, b[g].end) << g;
        }
      }
    } catch (const bad_regexpr&) {
      // a back-reference to a group the random pattern lacks
    }
  }
  EXPECT_GT(compared, 1000);
}

TEST(RegexMatch, NulTerminatedSubject) {
  compiled_pattern pattern(L"b+");
  match_results results;
  const wchar_t* subject = L"abbc";
  ASSERT_TRUE(pattern.match(subject, results).matched);
  EXPECT_EQ(results[0].begin, subject + 1);
  EXPECT_EQ(results.str(0), L"bb");
  EXPECT_EQ(results.subject, subject);
}

TEST(RegexMatch, BoundedSubjectStopsAtEnd) {
  compiled_pattern pattern(L"ab");
  match_results results;
  const wchar_t* subject = L"xab";
  EXPECT_FALSE(pattern.match(subject, subject + 2, results).matched);
  EXPECT_TRUE(pattern.match(subject, subject + 3, results).matched);
}

TEST(RegexMatch, OutOfRangeGroupIsUnmatched) {
  compiled_pattern pattern(L"(a)");
  match_results results;
  pattern.match(std::wstring(L"a"), results);
  EXPECT_FALSE(results[7].matched);
  EXPECT_EQ(results.str(7), L"");
}

TEST(RegexMatch, PatternIsReusable) {
  compiled_pattern pattern(L"(\\d+)-(\\d+)");
  match_results results;
  for (int i = 0; i < 3; ++i) {
    std::wstring subject = L"x" + std::to_wstring(i) + L"-" + std::to_wstring(i * 7);
    ASSERT_TRUE(pattern.match(subject, results).matched);
    EXPECT_EQ(results.str(1), std::to_wstring(i));
    EXPECT_EQ(results.str(2), std::to_wstring(i * 7));
  }
  EXPECT_FALSE(pattern.match(std::wstring(L"nothing"), results).matched);
  EXPECT_EQ(results.size(), 3u);
}

TEST(RegexFindAll, EmptyMatchesDoNotRepeatAtOnePlace) {
  compiled_pattern pattern(L"a*", find_all | keep_whole_matches);
  match_results results;
  std::wstring subject = L"baa";
  ASSERT_TRUE(pattern.match(subject, results).matched);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].begin - subject.data(), 0);
  EXPECT_EQ(results[0].length(), 0u);
  EXPECT_EQ(results[1].begin - subject.data(), 1);
  EXPECT_EQ(results.str(1), L"aa");
  EXPECT_EQ(results[2].begin - subject.data(), 3);
  EXPECT_EQ(results[2].length(), 0u);
}

TEST(RegexFindAll, CollectsByFlag) {
  std::wstring subject = L"1a 2b 3c";
  match_results results;
  compiled_pattern all(L"(\\d)(?:x)?(\\w)", find_all | keep_all_groups);
  ASSERT_TRUE(all.match(subject, results).matched);
  ASSERT_EQ(results.size(), 9u);
  EXPECT_EQ(results.str(0), L"1a");
  EXPECT_EQ(results.str(4), L"2");
  EXPECT_EQ(results.str(8), L"c");

  compiled_pattern last(L"(\\d)(\\w)", find_all);
  ASSERT_TRUE(last.match(subject, results).matched);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results.str(0), L"3c");
  EXPECT_EQ(results.str(1), L"3");

  compiled_pattern none(L"z", find_all);
  EXPECT_FALSE(none.match(subject, results).matched);
  EXPECT_EQ(results.size(), 0u);
}

TEST(RegexFindAll, AnchorsStayOnTheWholeSubject) {
  compiled_pattern pattern(L"^a", find_all | keep_whole_matches | multi_line);
  match_results results;
  ASSERT_TRUE(pattern.match(std::wstring(L"aa\na"), results).matched);
  EXPECT_EQ(results.size(), 2u);
  compiled_pattern bos(L"^a", find_all | keep_whole_matches);
  ASSERT_TRUE(bos.match(std::wstring(L"aa"), results).matched);
  EXPECT_EQ(results.size(), 1u);
}

TEST(RegexCompile, WidthsAndScanFacts) {
  struct Case { const wchar_t* pattern; uint32_t flags; uint32_t min, max; bool mustScan; };
  const uint32_t inf = 0xFFFFFFFF;
  const Case cases[] = {
      {L"(ab|c)", 0, 1, 2, true},       {L"(a|b*)", 0, 0, inf, true},
      {L"a{2,5}bc", 0, 4, 7, true},     {L"(?=abc)a", 0, 1, 1, true},
      {L"(a)\\1", 0, 2, 2, true},        {L"(a\\1)", 0, 1, inf, true},
      {L"(?(1)ab|c)", 0, 1, 2, true},    {L"(a)?(?(1)ab)", 0, 0, 3, true},
      {L"^abc", 0, 3, 3, false},         {L"^abc", multi_line, 3, 3, true},
      {L"^a|b", 0, 1, 1, true},          {L".*x", dot_all, 1, inf, false},
      {L".*x", 0, 1, inf, true},         {L".*x", dot_all | from_right, 1, inf, true},
      {L"  ^a", free_spacing, 1, 1, false}, {L"", 0, 0, 0, true},
      {L"(?R)", 0, 0, inf, true},
  };
  for (const Case& c : cases) {
    compiled_pattern pattern(c.pattern, c.flags);
    EXPECT_EQ(pattern.min_length(), c.min) << Narrow(c.pattern);
    EXPECT_EQ(pattern.max_length(), c.max) << Narrow(c.pattern);
    EXPECT_EQ(pattern.must_scan(), c.mustScan) << Narrow(c.pattern);
  }
  // An anchored pattern drops from_right: it can only match at the start.
  EXPECT_EQ(compiled_pattern(L"^a", from_right).flags() & from_right, 0u);
}

TEST(RegexCompile, ModeChoice) {
  EXPECT_TRUE(compiled_pattern(L"(x)+", 0, recursive).use_recursion());
  EXPECT_FALSE(compiled_pattern(L"(x)+", 0, automatic).use_recursion());
  EXPECT_FALSE(compiled_pattern(L"a(?R)", 0, automatic).use_recursion());
  EXPECT_TRUE(compiled_pattern(L"(x){1,16}", 0, automatic).use_recursion());
  EXPECT_FALSE(compiled_pattern(L"(x){1,17}", 0, automatic).use_recursion());
  EXPECT_TRUE(compiled_pattern(L"x+", 0, automatic).use_recursion());
  EXPECT_FALSE(compiled_pattern(L"x", 0, iterative).use_recursion());
  EXPECT_FALSE(compiled_pattern(L"x", 0, 7).use_recursion());
}

TEST(RegexCompile, GroupCounts) {
  EXPECT_EQ(compiled_pattern(L"(a)(?:b)(?>c)(?(1)d)(?=(e))").capturing_count(), 3u);
  EXPECT_EQ(compiled_pattern(L"").capturing_count(), 1u);
}

TEST(RegexCompile, BadPatternsThrowTheirTexts) {
  struct Case { const wchar_t* pattern; uint32_t flags; const char* text; };
  const Case cases[] = {
      {L"(", 0, "mismatched parenthesis"},
      {L"(a", 0, "mismatched parenthesis"},
      {L"a)", 0, "mismatched parenthesis"},
      {L"(a))", 0, "mismatched parenthesis"},
      {L"?a", 0, "ill-formed regular expression"},
      {L"(?", 0, "ill-formed regular expression"},
      {L"(?:", 0, "ill-formed regular expression"},
      {L"(?i", 0, "ill-formed regular expression"},
      {L"a(?=", 0, "ill-formed regular expression"},
      {L"(?y)", 0, "bad extension sequence"},
      {L"(?i-y:a)", 0, "bad extension sequence"},
      {L"(?i--s)", 0, "bad extension sequence"},
      {L"(?<x)", 0, "bad extension sequence"},
      {L"(?Ra)", 0, "bad extension sequence"},
      {L"(?(x)a|b)", 0, "bad extension sequence"},
      {L"(?(1x)a|b)", 0, "bad extension sequence"},
      {L"(?(?:a)b)", 0, "bad extension sequence"},
      {L"(?#x", 0, "Expecting end of comment"},
      {L"(x)(?(1)a|b|c)", 0, "Too many alternates in conditional subexpression"},
      {L"*a", 0, "quantifier not expected"},
      {L"a|*b", 0, "quantifier not expected"},
      {L"(*a)", 0, "quantifier not expected"},
      {L"a**", 0, "quantifier not expected"},
      {L"a*??", 0, "quantifier not expected"},
      {L"^*", 0, "quantifier not expected"},
      {L"a$+", 0, "quantifier not expected"},
      {L"\\b?", 0, "quantifier not expected"},
      {L"(?=a)*", 0, "quantifier not expected"},
      {L"(?<=a)+", 0, "quantifier not expected"},
      {L"(?R)*", 0, "quantifier not expected"},
      {L"(?:)*", 0, "quantifier not expected"},
      {L"(?i)*", 0, "quantifier not expected"},
      {L"(?#c)*", 0, "quantifier not expected"},
      {L"x{3,2}", 0, "Can't do {n, m} with n > m"},
      {L"\\c", 0, "incomplete escape sequence \\c"},
      {L"\\E", 0, "quotemeta turned off, but was never turned on"},
      {L"\\8", 0, "reference to nonexistent group"},
      {L"(a)\\2", 0, "reference to nonexistent group"},
      {L"(a)(?:b)\\2", 0, "reference to nonexistent group"},
      {L"[z-a]", 0, "invalid range specified in character set"},
      {L"[abc", 0, "expecting end of character set"},
      {L"[", 0, "expecting end of character set"},
      {L"[]", 0, "expecting end of character set"},
      {L"[a\\", 0, "expecting end of character set"},
      {L"[\\c", 0, "expecting end of character set"},
      {L"[[:alpha:", 0, "expecting end of character set"},
  };
  for (const Case& c : cases) {
    try {
      compiled_pattern pattern(c.pattern, c.flags);
      ADD_FAILURE() << "no error for " << Narrow(c.pattern);
    } catch (const bad_regexpr& e) {
      EXPECT_STREQ(e.what(), c.text) << Narrow(c.pattern);
    }
  }
}

TEST(RegexCompile, BadRegexprIsInvalidArgument) {
  EXPECT_THROW(compiled_pattern(L"("), std::invalid_argument);
}

TEST(RegexCompile, NestingDepth) {
  // Deep but reasonable nesting compiles and matches.
  std::wstring deep = std::wstring(200, L'(') + L"a" + std::wstring(200, L')');
  match_results results;
  EXPECT_TRUE(compiled_pattern(deep).match(std::wstring(L"a"), results).matched);
  EXPECT_EQ(results.size(), 201u);
  // Nesting beyond what the stack holds is refused, not a crash.
  std::wstring absurd = std::wstring(200000, L'(') + L"a" + std::wstring(200000, L')');
  EXPECT_THROW(compiled_pattern{absurd}, bad_regexpr);
}

TEST(RegexCompile, OctalOrBackReference) {
  // \12 is a back-reference once more than twelve groups, group 0 included,
  // were opened before it.
  std::wstring eleven;
  for (int i = 0; i < 11; ++i) eleven += L"(a)";
  match_results results;
  EXPECT_TRUE(compiled_pattern(eleven + L"\\12").match(std::wstring(11, L'a') + L"\n", results).matched);
  EXPECT_TRUE(compiled_pattern(eleven + L"(b)\\12").match(std::wstring(11, L'a') + L"bb", results).matched);
  EXPECT_TRUE(compiled_pattern(eleven + L"(b)\\012").match(std::wstring(11, L'a') + L"b\n", results).matched);
}

// A match must end, with a result or a clean failure, however the pattern
// and the subject are shaped.
TEST(RegexGuard, ExponentialBacktrackingEndsCleanly) {
  for (uint32_t mode : {recursive, iterative}) {
    compiled_pattern pattern(L"(a*)*b", 0, mode);
    match_results results;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pattern.match(std::wstring(30, L'a'), results).matched);
    // Unguarded, 2^30 paths take hours; the bound only tells an end from a hang,
    // with room for a loaded or emulated machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(results.size(), 2u);
    EXPECT_FALSE(results[1].matched);
    // The pattern still works afterwards.
    EXPECT_TRUE(pattern.match(std::wstring(L"aab"), results).matched);
    EXPECT_EQ(results.str(1), L"");
  }
}

struct BigCase {
  const wchar_t* pattern;
  bool alternating;  // "abab..." rather than "aaaa..."
  uint32_t mode;
};

void PrintTo(const BigCase& c, std::ostream* out) {
  *out << Narrow(c.pattern) << (c.mode == recursive ? " recursive" : " iterative");
}

class RegexBigSubject : public testing::TestWithParam<BigCase> {};

TEST_P(RegexBigSubject, EndsWithAResultOrACleanFailure) {
  static const std::wstring as(1 << 20, L'a');
  static const std::wstring abs = [] {
    std::wstring text;
    for (int i = 0; i < (1 << 19); ++i) text += L"ab";
    return text;
  }();
  const BigCase& c = GetParam();
  const std::wstring& subject = c.alternating ? abs : as;
  compiled_pattern pattern(c.pattern, 0, c.mode);
  match_results results;
  const backref_tag& whole = pattern.match(subject, results);
  if (whole.matched) {
    EXPECT_EQ(whole.end, subject.data() + subject.size());
  } else {
    for (size_t i = 0; i < results.size(); ++i) EXPECT_FALSE(results[i].matched);
  }
  // The pattern is unharmed: a short subject gives what a fresh pattern gives.
  match_results fresh;
  EXPECT_EQ(pattern.match(std::wstring(L"aabc"), results).matched,
            compiled_pattern(c.pattern, 0, c.mode).match(std::wstring(L"aabc"), fresh).matched);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, RegexBigSubject,
    testing::Values(BigCase{L"(?:a|b)*c", false, recursive}, BigCase{L"(?:a|b)*c", false, iterative},
                    BigCase{L"(?:ab)*$", true, recursive}, BigCase{L"a*b", false, recursive},
                    BigCase{L"(a+)+b", false, recursive}, BigCase{L"(a+)+b", false, iterative},
                    BigCase{L"(?<!b)a*c", false, recursive}, BigCase{L"(.)*x", true, iterative},
                    BigCase{L"\\w+z", true, recursive}, BigCase{L"(?:(?R)|a)b", false, recursive},
                    BigCase{L"(?:(?R)|a)b", false, iterative}),
    [](const testing::TestParamInfo<BigCase>& info) {
      return "Case" + std::to_string(info.index) + (info.param.mode == recursive ? "Recursive" : "Iterative");
    });

// The iterative form keeps the machine stack flat, so a long subject that
// the recursive form gives up on still matches.
TEST(RegexGuard, IterativeFormMatchesLongSubjects) {
  std::wstring subject;
  for (int i = 0; i < (1 << 18); ++i) subject += L"ab";
  match_results results;
  compiled_pattern pattern(L"(?:(a)b)*$", 0, iterative);
  ASSERT_TRUE(pattern.match(subject, results).matched);
  EXPECT_EQ(results[0].length(), subject.size());
  EXPECT_EQ(results[1].begin - subject.data(), ptrdiff_t(subject.size() - 2));
}

TEST(RegexGuard, LinearWorkIsNotCutShort) {
  const std::wstring as(1 << 20, L'a');
  std::wstring abs;
  for (int i = 0; i < (1 << 19); ++i) abs += L"ab";
  match_results results;
  ASSERT_TRUE(compiled_pattern(L"a+$").match(as, results).matched);
  EXPECT_EQ(results[0].begin, as.data());
  compiled_pattern words(L"[ab]+", find_all | keep_whole_matches);
  EXPECT_TRUE(words.match(abs, results).matched);
  EXPECT_EQ(results.size(), 1u);
  compiled_pattern late(L"(?:x|y)z");
  std::wstring text = abs + L"yz";
  ASSERT_TRUE(late.match(text, results).matched);
  EXPECT_EQ(results[0].begin - text.data(), ptrdiff_t(abs.size()));
  // Half a million matches share one call's allowance and are all found.
  for (uint32_t mode : {recursive, iterative}) {
    compiled_pattern each(L"[bc]", find_all | keep_whole_matches, mode);
    ASSERT_TRUE(each.match(abs, results).matched);
    EXPECT_EQ(results.size(), abs.size() / 2);
    EXPECT_EQ(results[results.size() - 1].begin - abs.data(), ptrdiff_t(abs.size() - 1));
  }
}

// Processor time of this thread in seconds: the clock would count a loaded
// machine's other work as well.
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto s = [](const FILETIME& t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
  return s(kernel) + s(user);
}

// find_all's searches take from one allowance: a search that tries a
// thousand alternatives at each place, repeated for each of thousands of
// matches, used to get a fresh allowance each time (seconds of work in all).
// Past the allowance the call reports no match rather than the matches it
// had found so far, as if they were all.
TEST(RegexGuard, FindAllSharesOneAllowance) {
  std::wstring pattern = L",";
  for (int i = 0; i < 1000; ++i) pattern += L"|\\d{3}" + std::to_wstring(i);
  std::wstring subject;
  for (int i = 0; i < 4000; ++i) subject += L"abcdefghijklmnopqrs,";
  for (uint32_t mode : {recursive, iterative}) {
    SCOPED_TRACE(mode == recursive ? "recursive" : "iterative");
    compiled_pattern many(pattern, find_all | keep_whole_matches, mode);
    match_results results;
    const double start = ThreadSeconds();
    EXPECT_FALSE(many.match(subject, results).matched);
    EXPECT_LT(ThreadSeconds() - start, 3.0);
    EXPECT_EQ(results.size(), 0u);
    // Within the allowance the same pattern finds every match.
    const std::wstring some = subject.substr(0, 400);
    ASSERT_TRUE(many.match(some, results).matched);
    EXPECT_EQ(results.size(), 20u);
  }
}

// One step of a match may compare or repeat many code units: a long literal,
// a back-reference, a quantifier's minimum. Those units count against the
// allowance, else such a pattern tried at each place of a long subject ran
// for minutes within it.
TEST(RegexGuard, UnitsWithinOneStepCount) {
  const std::wstring as(200000, L'a');
  const std::wstring literal = L"x|" + std::wstring(50000, L'a') + L"b";
  const wchar_t* const patterns[] = {L"x|a{50000}b", L"x|a{50000,}?b", literal.c_str(), L"(a{25000})(?:x|\\1b)"};
  for (const wchar_t* text : patterns) {
    for (uint32_t mode : {recursive, iterative}) {
      SCOPED_TRACE(Narrow(std::wstring(text).substr(0, 20)) + (mode == recursive ? " recursive" : " iterative"));
      compiled_pattern pattern(text, 0, mode);
      match_results results;
      const double start = ThreadSeconds();
      EXPECT_FALSE(pattern.match(as, results).matched);
      EXPECT_LT(ThreadSeconds() - start, 3.0);
    }
  }
}

TEST(RegexSubstitution, ParsesReplacementParts) {
  substitution sub(L"(a)(b)", L"x$1$&$`$'\\u\\l\\U\\L\\E\\Q$2\\E\\$y$2", 0);
  using P = replacement_part;
  const std::vector<std::pair<P::kind_t, uint32_t>> expected = {
      {P::literal, 0}, {P::group, 1}, {P::whole_match, 0}, {P::before_match, 0}, {P::after_match, 0},
      {P::upper_next, 0}, {P::lower_next, 0}, {P::upper_until_end, 0}, {P::lower_until_end, 0},
      {P::end_case, 0}, {P::literal, 21}, {P::literal, 26}, {P::group, 2},
  };
  ASSERT_EQ(sub.parts().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(sub.parts()[i].kind, expected[i].first) << i;
    EXPECT_EQ(sub.parts()[i].value, expected[i].second) << i;
  }
  EXPECT_EQ(sub.parts()[10].length, 2u);  // "$2" quoted
  EXPECT_EQ(sub.parts()[11].length, 2u);  // "$y" from "\$" and "y"
  EXPECT_TRUE(sub.parts_need_subject());
  substitution plain(L"a", L"text", 0);
  ASSERT_EQ(plain.parts().size(), 1u);
  EXPECT_FALSE(plain.parts_need_subject());
}

TEST(RegexSubstitution, GroupNumbersStayWithinThePattern) {
  substitution sub(L"(a)(b)", L"$12", 0);
  ASSERT_EQ(sub.parts().size(), 2u);
  EXPECT_EQ(sub.parts()[0].kind, replacement_part::group);
  EXPECT_EQ(sub.parts()[0].value, 1u);
  EXPECT_EQ(sub.parts()[1].kind, replacement_part::literal);
  EXPECT_EQ(sub.replacement().substr(sub.parts()[1].value, sub.parts()[1].length), L"2");
}

TEST(RegexSubstitution, Errors) {
  const char kEscape[] = "expecting escape sequence in substitution string";
  const char kReference[] = "invalid backreference in substitution";
  struct Case {
    const wchar_t* pattern;
    const wchar_t* replacement;
    const char* text;
  } cases[] = {
      {L"(a)(b)", L"$", kReference},  {L"(a)(b)", L"$0", kReference}, {L"(a)(b)", L"$3", kReference},
      {L"(a)(b)", L"$x", kReference}, {L"a", L"$9", kReference},       {L"(a)(b)", L"a\\", kEscape},
      {L"a", L"x\\", kEscape},
  };
  for (const Case& c : cases) {
    try {
      substitution(c.pattern, c.replacement, 0);
      ADD_FAILURE() << "no error for " << Narrow(c.replacement);
    } catch (const bad_regexpr& e) {
      EXPECT_STREQ(e.what(), c.text) << Narrow(c.replacement);
    }
  }
}

TEST(RegexSubstitution, TextEscapesAndReplacementChanges) {
  substitution sub(L"a", L"x\\ty\\x41\\\\", text_escapes);
  EXPECT_EQ(sub.replacement(), L"x\ty\x41\\\\");
  ASSERT_EQ(sub.parts().size(), 2u);  // "x\tyA" and the escaped backslash
  sub.set_replacement(L"$&!");
  EXPECT_EQ(sub.parts()[0].kind, replacement_part::whole_match);
  sub.set_pattern(L"(b)", 0, recursive);
  match_results results;
  EXPECT_TRUE(sub.match(std::wstring(L"abc"), results).matched);
  EXPECT_EQ(results.str(1), L"b");
  EXPECT_EQ(sub.parts()[0].kind, replacement_part::whole_match);
}
