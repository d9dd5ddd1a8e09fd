#pragma once
// Copies of an upload's running digest, taken as the file is sent, so that
// after a break the digest of the file's first N bytes (what the server holds)
// is had by reading only the bytes since the last copy before N, not the whole
// part sent so far again.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/Digest.h"

namespace norvo::run {

class DigestCheckpoints {
 public:
  static constexpr int64_t kSpacing = int64_t{64} << 20;  // bytes of the file between copies
  explicit DigestCheckpoints(int64_t spacing = kSpacing) : spacing_(spacing) {}

  // Tells that `digest` has taken the file's first `done` bytes; keeps a copy
  // when `done` is a spacing past the last copy kept.
  void Passed(int64_t done, const platform::Digest& digest);
  // A copy of the latest digest kept at or before `offset`, and where it
  // stands; {0, nullptr} when there is none (the digest starts afresh). The
  // copies past `offset` are dropped: the transfer goes on from there.
  std::pair<int64_t, std::unique_ptr<platform::Digest>> ResumeAt(int64_t offset);

 private:
  int64_t spacing_;
  std::vector<std::pair<int64_t, std::unique_ptr<platform::Digest>>> kept_;
};

}  // namespace norvo::run
