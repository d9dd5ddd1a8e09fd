// The progress lines of a long transfer: none for a short one, then one per
// interval with the share done, the rate since the last (re)start and the
// time left.
#include <gtest/gtest.h>

#include "ftp/TransferProgress.h"

namespace norvo::ftp {
namespace {

using std::chrono::seconds;

TEST(TransferProgress, LineEveryIntervalWithShareRateAndTimeLeft) {
  const auto start = std::chrono::steady_clock::time_point{};
  TransferProgress progress("upload of A.RAR", 100'000'000, {seconds(5), seconds(30)}, start);
  EXPECT_FALSE(progress.Update(1'000'000, start + seconds(4)));
  EXPECT_EQ(progress.Update(10'000'000, start + seconds(10)),
            "upload of A.RAR: 10% (10.0 MB of 100.0 MB), 8.0 Mbit/s, about 1 min 30 s left");
  EXPECT_FALSE(progress.Update(20'000'000, start + seconds(39))) << "not one per chunk";
  // After a break the rate counts from where the transfer went on.
  progress.Restart(20'000'000, start + seconds(40));
  EXPECT_EQ(progress.Update(21'000'000, start + seconds(50)),
            "upload of A.RAR: 21% (21.0 MB of 100.0 MB), 800 kbit/s, about 13 min 10 s left");
  EXPECT_EQ(DurationText(2 * 3600 + 5 * 60 + 9), "2 h 5 min");
  EXPECT_EQ(ByteCountText(4'500'000'000), "4.5 GB");
}

}  // namespace
}  // namespace norvo::ftp
