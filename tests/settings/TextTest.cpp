// The text helpers: ASCII letter case whatever the locale, trimming, and
// splitting that keeps empty parts.
#include <gtest/gtest.h>

#include "settings/Text.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

TEST(Text, LetterCaseTrimAndSplit) {
  EXPECT_TRUE(EqualsIgnoreCase("Resp_Base", "RESP_base"));
  EXPECT_FALSE(EqualsIgnoreCase("Año", "AÑO"));  // only A to Z change case
  EXPECT_FALSE(EqualsIgnoreCase("ab", "abc"));
  EXPECT_EQ(AsciiLower("MLSD Ñ"), "mlsd Ñ");
  EXPECT_EQ(Trim(" \t a b \t"), "a b");
  EXPECT_EQ(Trim("  ", " "), "");
  EXPECT_EQ(Split("a | b |  | c", " | "), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(Split("", ","), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace norvo::test
