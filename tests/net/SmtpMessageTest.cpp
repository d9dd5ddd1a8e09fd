// The mail's date: the local time with its offset from UTC, in English
// whatever the locale.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "net/SmtpMessage.h"

namespace norvo::test {
namespace {

using namespace norvo::net;

TEST(MailDate, LocalTimeWithItsOffsetFromUtc) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  ::setenv("TZ", "XXX3", 1);  // three hours behind UTC, no summer time
  ::tzset();
  EXPECT_EQ(FormatMailDate(1796000000), "Sun, 29 Nov 2026 21:53:20 -0300");
  ::setenv("TZ", "YYY-5:30", 1);
  ::tzset();
  EXPECT_EQ(FormatMailDate(1796000000), "Mon, 30 Nov 2026 06:23:20 +0530");
  if (saved) {
    ::setenv("TZ", previous.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

}  // namespace
}  // namespace norvo::test
