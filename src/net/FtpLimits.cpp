#include "net/FtpLimits.h"

#include "net/FtpErrors.h"

namespace norvo::net {

std::chrono::seconds ExchangeTimeLimit(int timeout_s) {
  constexpr int kWaits = 4;  // connect, log on, reply, data
  return std::chrono::seconds(static_cast<long long>(timeout_s > 0 ? timeout_s : 60) * kWaits);
}

ExchangeBudget::ExchangeBudget(std::size_t max_bytes, Clock::duration limit)
    : max_bytes_(max_bytes), deadline_(Clock::now() + limit), timed_(limit > Clock::duration::zero()) {}

bool ExchangeBudget::Take(std::size_t bytes) {
  taken_ += bytes;
  return !OverSize();
}

bool ExchangeBudget::OverTime() const { return timed_ && Clock::now() >= deadline_; }

unsigned ExchangeBudget::Exceeded() const {
  if (OverSize()) return ftp_error::kResponseTooLarge;
  if (OverTime()) return ftp_error::kTimeout;
  return ftp_error::kNone;
}

}  // namespace norvo::net
