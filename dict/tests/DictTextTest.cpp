#include <gtest/gtest.h>

#include "core/KeyTree.h"
#include "dict/DictCompare.h"
#include "dict/DictResources.h"

namespace {

TEST(TemplateVarsTest, KnownNamesExpandAndEverythingElseStays) {
  CStringMap vars;
  const std::wstring a = L"A", empty = L"", value = L"x\\y", other = L"E";
  vars.SetAt(&a, &value, true);
  vars.SetAt(&empty, &other, true);
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"[$A]", L"x\\y"},           {L"<[$A]|[$B]>", L"<x\\y|[$B]>"},
      {L"[$A[$A]", L"[$Ax\\y"},     {L"[$A$]", L"[$A$]"},
      {L"[$A", L"[$A"},             {L"[$]", L"E"},
      {L"[[$A]]", L"[x\\y]"},       {L"", L""},
  };
  for (const Case& c : cases) {
    std::wstring out;
    EXPECT_EQ(ExpandTemplateVars(out, c.in, vars), static_cast<int>(wcslen(c.out))) << c.in;
    EXPECT_EQ(out, c.out) << c.in;
  }
  std::wstring out = L"old";
  EXPECT_EQ(ExpandTemplateVars(out, nullptr, vars), 0);
  EXPECT_TRUE(out.empty());
}

TEST(CompareTest, CompareNoCaseNAndPrefixes) {
  EXPECT_TRUE(CompareNoCaseN(L"MTT", L"mtt", 0xFFFFFFFF, false));
  EXPECT_FALSE(CompareNoCaseN(L"MTT", L"mtt", 0xFFFFFFFF, true));
  EXPECT_FALSE(CompareNoCaseN(L"mttx", L"mtt", 0xFFFFFFFF, false));
  EXPECT_TRUE(CompareNoCaseN(L"mttx", L"MTTy", 3, false));
  EXPECT_TRUE(CompareNoCaseN(L"ab", L"ab", 5, true));  // both end before n
  EXPECT_EQ(CommonPrefixLength(L"apple", L"apply"), 4u);
  EXPECT_EQ(CommonPrefixLength(L"", L"apply"), 0u);
  EXPECT_EQ(CommonPrefixLength(L"Apple", L"apple"), 0u);  // case counts
  EXPECT_EQ(CompareNoCase(L"Apple", 5, L"apple", 5, kNoLocale), 0);
  EXPECT_EQ(CompareCase(L"Apple", 5, L"apple", 5, kNoLocale), 0);  // without a locale case is ignored too
  EXPECT_NE(CompareCase(L"Apple", 5, L"apple", 5, 0x0409), 0);
  EXPECT_EQ(CompareNoCase(L"Apple", 5, L"apple", 5, 0x0409), 0);
  EXPECT_EQ(CompareNoCase(L"ab", 2, L"abc", 3, kNoLocale), -1);
  EXPECT_TRUE(IsCompareLocaleUsable(0x0409));
  EXPECT_TRUE(IsCompareLocaleUsable(kNoLocale));
}

}  // namespace
