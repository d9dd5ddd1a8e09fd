#include "net/TransferPace.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <thread>

#include "platform/EndRequest.h"
#include "platform/System.h"

namespace norvo::net {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// The longest single wait: the hours and the end request are heard at least this often.
constexpr auto kLongestWait = std::chrono::milliseconds(200);
constexpr auto kHoursCheck = std::chrono::seconds(1);
// The smallest step, so a very low cap does not move its bytes a few at a time.
constexpr std::size_t kSmallestStep = 512;

}  // namespace

PaceClock SystemPaceClock() {
  PaceClock clock;
  clock.now = [] { return Clock::now(); };
  clock.sleep = [](Clock::duration wait) { std::this_thread::sleep_for(wait); };
  clock.minute_of_day = [] {
    const std::tm local = platform::LocalTime(std::time(nullptr));
    return local.tm_hour * 60 + local.tm_min;
  };
  clock.stop = [] { return platform::EndRequested(); };
  return clock;
}

TransferPace::TransferPace(const TransferCap& cap, PaceClock clock)
    : rate_(cap.max_kbps * 1000.0 / 8.0),
      capacity_(rate_ / 2),
      step_(std::max(kSmallestStep, static_cast<std::size_t>(rate_ / 10))),
      hours_(cap.hours),
      clock_(std::move(clock)),
      last_(clock_.now()),
      next_hours_check_(last_) {
  Refresh();
}

void TransferPace::Refresh() {
  const Clock::time_point now = clock_.now();
  if (now >= next_hours_check_) {
    const bool was_inside = inside_;
    inside_ = rate_ > 0 && hours_.Contains(clock_.minute_of_day());  // no cap: never paced
    // Entering the hours starts from an empty bucket; leaving them forgets any debt.
    if (inside_ != was_inside) tokens_ = 0;
    next_hours_check_ = now + kHoursCheck;
  }
  if (inside_) tokens_ = std::min(capacity_, tokens_ + rate_ * Seconds(now - last_).count());
  last_ = now;
}

std::size_t TransferPace::Step(std::size_t wanted) { return inside_ ? std::min(wanted, step_) : wanted; }

void TransferPace::Moved(std::size_t bytes) {
  Refresh();
  if (!inside_) return;
  tokens_ -= static_cast<double>(bytes);
  while (tokens_ < 0 && inside_ && !clock_.stop()) {
    const auto owed = std::chrono::duration_cast<Clock::duration>(Seconds(-tokens_ / rate_));
    clock_.sleep(std::max<Clock::duration>(std::min<Clock::duration>(owed, kLongestWait),
                                           std::chrono::milliseconds(1)));
    Refresh();
  }
}

std::size_t ReceiveBlock(const TransferCap& cap, std::size_t uncapped) {
  constexpr std::size_t kSmallestBlock = std::size_t{16} * 1024;
  if (cap.max_kbps <= 0) return uncapped;
  const auto tenth = static_cast<std::size_t>(cap.max_kbps * 1000.0 / 8.0 / 10.0);
  return std::min(uncapped, std::max(kSmallestBlock, tenth));
}

std::function<long long(char*, std::size_t)> PacedRead(const TransferCap& cap,
                                                       std::function<long long(char*, std::size_t)> read,
                                                       PaceClock clock) {
  if (cap.max_kbps <= 0) return read;
  auto pace = std::make_shared<TransferPace>(cap, std::move(clock));
  return [pace, read = std::move(read)](char* buffer, std::size_t size) -> long long {
    const long long got = read(buffer, pace->Step(size));
    if (got > 0) pace->Moved(static_cast<std::size_t>(got));
    return got;
  };
}

std::function<bool(const char*, std::size_t)> PacedWrite(const TransferCap& cap,
                                                         std::function<bool(const char*, std::size_t)> write,
                                                         PaceClock clock) {
  if (cap.max_kbps <= 0) return write;
  auto pace = std::make_shared<TransferPace>(cap, std::move(clock));
  return [pace, write = std::move(write)](const char* data, std::size_t size) {
    if (!write(data, size)) return false;
    pace->Moved(size);
    return true;
  };
}

}  // namespace norvo::net
