#include "ftp/RetryBudget.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace norvo::ftp {

RetryPolicy RetryPolicyFor(const settings::ProviderConfig& provider) {
  RetryPolicy policy;
  policy.retries = provider.ftp_retries;
  policy.retry_wait = std::chrono::seconds(provider.ftp_retry_wait_s);
  policy.max_retry_wait = std::chrono::seconds(settings::kMaxFtpRetryWaitS);
  return policy;
}

void WaitUnless(std::chrono::milliseconds wait, const std::function<bool()>& stop) {
  const auto until = std::chrono::steady_clock::now() + wait;
  while (!stop() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(20), until - std::chrono::steady_clock::now()));
  }
}

RetryBudget::RetryBudget(const RetryPolicy& policy, std::function<bool()> stop)
    : policy_(policy), stop_(std::move(stop)), wait_(policy.retry_wait) {}

std::string RetryBudget::Announce() const {
  return "; trying again in " + std::to_string(wait_.count()) + " ms (retry " + std::to_string(used_ + 1) +
         " of " + std::to_string(policy_.retries) + ")";
}

bool RetryBudget::WaitAndCount() {
  WaitUnless(wait_, stop_);
  wait_ = std::min(wait_ * 2, policy_.max_retry_wait);
  ++used_;
  return !stop_();
}

}  // namespace norvo::ftp
