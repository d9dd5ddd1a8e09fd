#pragma once
// Progress lines of a long transfer, for a person reading stderr: nothing for
// a transfer shorter than `first`, then a line every `every` with the share
// done, the rate and the time left. The caller passes the time, so the lines
// depend on nothing but the numbers given.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace norvo::ftp {

struct ProgressTimes {
  std::chrono::steady_clock::duration first = std::chrono::seconds(5);
  std::chrono::steady_clock::duration every = std::chrono::seconds(30);
};

class TransferProgress {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  // `what` begins every line ("upload of ARC1C001.7z"); `total` is the
  // file's size in bytes, -1 when unknown.
  TransferProgress(std::string what, int64_t total, ProgressTimes times, TimePoint now);

  // The transfer (re)starts at byte `from`: the rate counts from here on.
  void Restart(int64_t from, TimePoint now);
  // The bytes done so far, of the whole file; a line when one is due.
  std::optional<std::string> Update(int64_t done, TimePoint now);

 private:
  std::string what_;
  int64_t total_;
  ProgressTimes times_;
  TimePoint began_;
  int64_t from_ = 0;
  TimePoint next_;
};

// "1.5 MB", "12.0 GB": decimal units, one decimal.
std::string ByteCountText(int64_t bytes);
// "850 kbit/s", "3.1 Mbit/s".
std::string RateText(double bytesPerSecond);
// "45 s", "3 min 5 s", "1 h 20 min".
std::string DurationText(int64_t seconds);

}  // namespace norvo::ftp
