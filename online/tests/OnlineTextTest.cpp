#include <gtest/gtest.h>

#include "dict/DictResources.h"
#include "online/OnlineText.h"
#include "online/OnlineUpdate.h"

TEST(ExpandTemplateVars, Placeholders) {
  CStringMap vars;
  SetTemplateVar(vars, L"A", L"alpha");
  SetTemplateVar(vars, L"", L"empty");
  SetTemplateVar(vars, L"Loop", L"[$A]");
  struct Case {
    const wchar_t* text;
    const wchar_t* expected;
  } cases[] = {
      {L"x[$A]y", L"xalphay"},
      {L"[$A][$Nothing]", L"alpha[$Nothing]"},
      {L"[$]", L"empty"},
      {L"[$x[$A]", L"[$xalpha"},   // the first "[$" runs into the second
      {L"[$a$b][$A]", L"[$a$b]alpha"},
      {L"[$A", L"[$A"},            // no closing bracket
      {L"[$Loop]", L"[$A]"},       // values are not expanded again
      {L"[[$A]]", L"[alpha]"},
      {L"$[A]", L"$[A]"},
      {L"[$a]", L"[$a]"},          // names are case-sensitive
  };
  for (const Case& c : cases) {
    std::wstring out = L"old";
    EXPECT_EQ(ExpandTemplateVars(out, c.text, vars), (int)std::wcslen(c.expected)) << c.text;
    EXPECT_EQ(out, c.expected) << c.text;
  }
  std::wstring out = L"old";
  EXPECT_EQ(ExpandTemplateVars(out, static_cast<const wchar_t*>(nullptr), vars), 0);
  EXPECT_TRUE(out.empty());
  CStringMap none;
  EXPECT_EQ(ExpandTemplateVars(out, L"[$A]", none), 4);
  EXPECT_EQ(out, L"[$A]");
}

TEST(OnlineText, FilterNameChars) {
  std::wstring out;
  FilterNameChars(out, L"<b>Hi</b> a_b-c.d@e*f!");
  EXPECT_EQ(out, L"bHiba_b-c.d@e*f");
}

TEST(VerifyMD5Hex, DigitsAndLengths) {
  const char abc[] = "abc";  // RFC 1321: 900150983cd24fb0d6963f7d28e17f72
  EXPECT_TRUE(VerifyMD5Hex(L"900150983cd24fb0d6963f7d28e17f72", abc, 3));
  EXPECT_TRUE(VerifyMD5Hex(L"900150983CD24FB0D6963F7D28E17F72", abc, 3));
  EXPECT_FALSE(VerifyMD5Hex(L"900150983cd24fb0d6963f7d28e17f7", abc, 3));    // 31
  EXPECT_FALSE(VerifyMD5Hex(L"900150983cd24fb0d6963f7d28e17f722", abc, 3));  // 33
  EXPECT_FALSE(VerifyMD5Hex(L"900150983cd24fb0d6963f7d28e17fg2", abc, 3));
  EXPECT_FALSE(VerifyMD5Hex(L"900150983cd24fb0d6963f7d28e17f73", abc, 3));
  EXPECT_FALSE(VerifyMD5Hex(L"900150983cd24fb0d6963f7d28e17f72", nullptr, 3));
  EXPECT_TRUE(VerifyMD5Hex(L"d41d8cd98f00b204e9800998ecf8427e", "", 0));
}
