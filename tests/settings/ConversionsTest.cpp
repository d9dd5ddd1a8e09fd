#include <gtest/gtest.h>

#include "settings/Conversions.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

TEST(Conversions, LeadingNumberTakesTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("3"), 3);
  EXPECT_EQ(LeadingNumber("  12abc"), 12);
  EXPECT_EQ(LeadingNumber("1 2"), 12);
  EXPECT_EQ(LeadingNumber("-7"), -7);
  EXPECT_DOUBLE_EQ(LeadingNumber("2.5x"), 2.5);
  EXPECT_EQ(LeadingNumber("1e3"), 1000);
  EXPECT_EQ(LeadingNumber("4e"), 4);
  EXPECT_EQ(LeadingNumber("."), 0);
}

TEST(Conversions, StrictNumberRefusesEmptyAndText) {
  EXPECT_EQ(StrictNumber("1"), 1.0);
  EXPECT_EQ(StrictNumber(" 1 "), 1.0);
  EXPECT_EQ(StrictNumber("0"), 0.0);
  EXPECT_FALSE(StrictNumber(""));
  EXPECT_FALSE(StrictNumber("  "));
  EXPECT_FALSE(StrictNumber("1a"));
  EXPECT_FALSE(StrictNumber("S"));
}

TEST(Conversions, Int16FailsOutsideItsRangeAndRoundsTiesToEven) {
  EXPECT_EQ(ToInt16(32767), 32767);
  EXPECT_FALSE(ToInt16(32768));
  EXPECT_EQ(ToInt16(-32768), -32768);
  EXPECT_FALSE(ToInt16(-32769));
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_FALSE(ToInt16(32767.5));  // rounds to 32768
  EXPECT_EQ(ToInt16(LeadingNumber("")), 0);
}

TEST(Conversions, BooleanFailsOnEmptyAndUnconvertibleText) {
  EXPECT_EQ(ToBoolean("1"), true);
  EXPECT_EQ(ToBoolean("0"), false);
  EXPECT_EQ(ToBoolean("-1"), true);
  EXPECT_EQ(ToBoolean("True"), true);
  EXPECT_EQ(ToBoolean("false"), false);
  EXPECT_FALSE(ToBoolean(""));
  EXPECT_FALSE(ToBoolean("S"));
  EXPECT_FALSE(ToBoolean("yes"));
}

}  // namespace
}  // namespace norvo::test
