#include "regex/Regex.h"

#include <gtest/gtest.h>

TEST(Regex, Smoke) {
  regex::compiled_pattern p(L"a(b+)c");
  regex::match_results r;
  EXPECT_TRUE(p.match(std::wstring(L"xxabbbc"), r).matched);
  EXPECT_EQ(r.str(1), L"bbb");
}
