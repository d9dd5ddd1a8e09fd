// The pacing of transfers on a simulated clock: no test waits in real time.
#include <gtest/gtest.h>

#include <vector>

#include "net/TransferPace.h"

namespace norvo::test {
namespace {

using namespace norvo::net;
using std::chrono::seconds;

// A clock that moves only when the pace sleeps, starting at a time of day.
struct SimulatedTime {
  std::chrono::steady_clock::time_point now{};
  int start_minute = 0;

  double Elapsed() const { return std::chrono::duration<double>(now.time_since_epoch()).count(); }
  PaceClock Clock() {
    PaceClock clock;
    clock.now = [this] { return now; };
    clock.sleep = [this](std::chrono::steady_clock::duration wait) { now += wait; };
    clock.minute_of_day = [this] { return (start_minute + static_cast<int>(Elapsed()) / 60) % 1440; };
    clock.stop = [] { return false; };
    return clock;
  }
};

// Reads from an endless source through the paced reader until `until` seconds
// have passed or `total` bytes moved; the bytes moved.
long long Pump(SimulatedTime& time, const TransferCap& cap, double until, long long total,
               std::vector<size_t>* steps = nullptr) {
  std::vector<char> buffer(1 << 20);
  long long moved = 0;
  auto read = PacedRead(
      cap,
      [&](char*, size_t size) -> long long {
        if (steps) steps->push_back(size);
        return static_cast<long long>(std::min<long long>(static_cast<long long>(size), total - moved));
      },
      time.Clock());
  while (time.Elapsed() < until && moved < total) moved += read(buffer.data(), buffer.size());
  return moved;
}

TEST(TransferPace, ReadsAndWritesKeepToTheCapOverAMinute) {
  const TransferCap cap{4000, {}};  // 500 000 bytes a second
  SimulatedTime reading;
  std::vector<size_t> steps;
  const long long read = Pump(reading, cap, 60, 1LL << 40, &steps);
  EXPECT_NEAR(static_cast<double>(read) / reading.Elapsed(), 500000, 5000);
  for (size_t step : steps) ASSERT_LE(step, 50000u) << "a tenth of a second's worth at most";

  SimulatedTime writing;
  long long written = 0;
  auto write = PacedWrite(
      cap, [&](const char*, size_t size) { return written += size, true; }, writing.Clock());
  const std::vector<char> chunk(300000);
  while (writing.Elapsed() < 60) ASSERT_TRUE(write(chunk.data(), chunk.size()));
  EXPECT_NEAR(static_cast<double>(written) / writing.Elapsed(), 500000, 5000);
}

TEST(TransferPace, OnlyTheHoursAreCappedAndATransferSpeedsUpAtTheirEnd) {
  const TransferCap cap{800, *settings::ParseHoursWindow("22:00-09:00")};  // 100 000 bytes a second
  SimulatedTime evening;
  evening.start_minute = 21 * 60 + 59;  // outside the hours: nothing waits
  EXPECT_EQ(Pump(evening, cap, 1e9, 40'000'000), 40'000'000);
  EXPECT_EQ(evening.Elapsed(), 0) << "outside the hours nothing waits";

  SimulatedTime morning;
  morning.start_minute = 8 * 60 + 59;  // the hours end one minute into the transfer
  EXPECT_EQ(Pump(morning, cap, 1e9, 40'000'000), 40'000'000);
  EXPECT_GE(morning.Elapsed(), 59);
  EXPECT_LE(morning.Elapsed(), 62) << "6 MB at the cap in the last minute, the rest at once";
}

}  // namespace
}  // namespace norvo::test
