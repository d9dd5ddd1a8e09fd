// The digest of the part of a file the server holds after a break, had from
// the copies kept while the file was sent.
#include <gtest/gtest.h>

#include <string>

#include "platform/Digest.h"
#include "run/DigestCheckpoints.h"

namespace norvo::run {
namespace {

using platform::DigestKind;
using platform::MakeDigest;

std::string Sha256Of(const std::string& bytes) {
  auto digest = MakeDigest(DigestKind::Sha256);
  digest->Update(bytes.data(), bytes.size());
  return digest->FinishHex();
}

TEST(DigestCheckpoints, TheLastCopyBeforeTheBreakAndTheBytesSinceGiveTheHeldPartsDigest) {
  std::string file(990, '\0');  // 33 pieces of 30 bytes
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 7 % 251);
  DigestCheckpoints checkpoints(100);
  auto running = MakeDigest(DigestKind::Sha256);
  for (std::size_t done = 0; done < file.size(); done += 30) {  // copies at 120, 240, ... 960
    running->Update(file.data() + done, 30);
    checkpoints.Passed(static_cast<int64_t>(done) + 30, *running);
  }
  auto [at, digest] = checkpoints.ResumeAt(555);
  ASSERT_EQ(at, 480);
  digest->Update(file.data() + at, 555 - at);
  EXPECT_EQ(digest->FinishHex(), Sha256Of(file.substr(0, 555)));

  // The copies past the break are gone; before the first there is none.
  EXPECT_EQ(checkpoints.ResumeAt(900).first, 480);
  auto [start, none] = checkpoints.ResumeAt(99);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace norvo::run
