#include "run/DigestCheckpoints.h"

namespace norvo::run {

void DigestCheckpoints::Passed(int64_t done, const platform::Digest& digest) {
  const int64_t last = kept_.empty() ? 0 : kept_.back().first;
  if (done < last + spacing_) return;
  if (auto copy = digest.Copy()) kept_.emplace_back(done, std::move(copy));
}

std::pair<int64_t, std::unique_ptr<platform::Digest>> DigestCheckpoints::ResumeAt(int64_t offset) {
  while (!kept_.empty() && kept_.back().first > offset) kept_.pop_back();
  if (kept_.empty()) return {0, nullptr};
  auto copy = kept_.back().second->Copy();
  if (!copy) return {0, nullptr};
  return {kept_.back().first, std::move(copy)};
}

}  // namespace norvo::run
