#include "ftp/TransferProgress.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace norvo::ftp {
namespace {

std::string OneDecimal(double value, const char* unit) {
  char text[48];
  // A finite number with one decimal and a short unit always fits.
  static_cast<void>(std::snprintf(text, sizeof text, "%.1f %s", value, unit));
  return text;
}

}  // namespace

TransferProgress::TransferProgress(std::string what, int64_t total, ProgressTimes times, TimePoint now)
    : what_(std::move(what)), total_(total), times_(times), began_(now), next_(now + times.first) {}

void TransferProgress::Restart(int64_t from, TimePoint now) {
  from_ = from;
  began_ = now;
}

std::optional<std::string> TransferProgress::Update(int64_t done, TimePoint now) {
  if (now < next_) return std::nullopt;
  next_ = now + times_.every;
  const double seconds = std::chrono::duration<double>(now - began_).count();
  const double rate = seconds > 0 ? static_cast<double>(done - from_) / seconds : 0;
  std::string line = what_ + ": ";
  if (total_ > 0) {
    line += std::to_string(done * 100 / total_) + "% (" + ByteCountText(done) + " of " +
            ByteCountText(total_) + "), " + RateText(rate);
    if (rate > 0) {
      line += ", about " + DurationText(std::llround(static_cast<double>(total_ - done) / rate)) + " left";
    }
  } else {
    line += ByteCountText(done) + ", " + RateText(rate);
  }
  return line;
}

std::string ByteCountText(int64_t bytes) {
  const auto value = static_cast<double>(bytes);
  if (bytes < int64_t{1000} * 1000) return OneDecimal(value / 1e3, "kB");
  if (bytes < int64_t{1000} * 1000 * 1000) return OneDecimal(value / 1e6, "MB");
  return OneDecimal(value / 1e9, "GB");
}

std::string RateText(double bytesPerSecond) {
  const double bits = bytesPerSecond * 8;
  if (bits < 1e6) return std::to_string(std::llround(bits / 1e3)) + " kbit/s";
  return OneDecimal(bits / 1e6, "Mbit/s");
}

std::string DurationText(int64_t seconds) {
  if (seconds < 60) return std::to_string(seconds) + " s";
  if (seconds < 3600) return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
  return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min";
}

}  // namespace norvo::ftp
