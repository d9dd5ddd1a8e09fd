#pragma once
// How often a broken transfer or a log-on refused for the moment is tried
// again, and what one transfer has left of it. The wait before each retry
// starts at retry_wait and doubles, at most max_retry_wait; the waits go in
// short steps and end early on a stop (a request to end the program, a
// cancel), which also spends the budget.
#include <chrono>
#include <functional>
#include <string>

#include "settings/ProviderConfig.h"

namespace norvo::ftp {

struct RetryPolicy {
  int retries = 5;
  std::chrono::milliseconds retry_wait{10000};
  std::chrono::milliseconds max_retry_wait{300000};
};
// The provider's ftp_retries and ftp_retry_wait_s.
RetryPolicy RetryPolicyFor(const settings::ProviderConfig& provider);

// Waits `wait` in short steps, ending early once `stop` says so.
void WaitUnless(std::chrono::milliseconds wait, const std::function<bool()>& stop);

class RetryBudget {
 public:
  RetryBudget(const RetryPolicy& policy, std::function<bool()> stop);
  bool Spent() const { return used_ >= policy_.retries || stop_(); }
  // "; trying again in W ms (retry N of M)", for the line that tells the retry.
  std::string Announce() const;
  // Waits before the next retry and counts it; false when a stop ended the wait.
  bool WaitAndCount();

 private:
  RetryPolicy policy_;
  std::function<bool()> stop_;
  std::chrono::milliseconds wait_;
  int used_ = 0;
};

}  // namespace norvo::ftp
