// The digests of the system's libraries against published test vectors, fed
// in pieces as an upload feeds them, the last piece into a copy as a resumed
// upload does.
#include <gtest/gtest.h>

#include <string>

#include "platform/Digest.h"

namespace norvo::platform {
namespace {

std::string DigestOf(DigestKind kind, const std::string& text) {
  auto digest = MakeDigest(kind);
  if (!digest) return "no digest";
  digest->Update(text.data(), 1);
  auto copy = digest->Copy();
  if (!copy) return "no copy";
  digest->Update("x", 1);  // the copy goes on apart, and outlives its original
  digest.reset();
  copy->Update(text.data() + 1, text.size() - 1);
  return copy->FinishHex();
}

TEST(Digest, EachKindGivesTheKnownValue) {
  EXPECT_EQ(DigestOf(DigestKind::Sha256, "abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(DigestOf(DigestKind::Sha1, "abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(DigestOf(DigestKind::Md5, "abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(DigestOf(DigestKind::Crc32, "123456789"), "cbf43926");
  EXPECT_EQ(DigestOf(DigestKind::Crc32, "a"), "e8b7be43");
}

}  // namespace
}  // namespace norvo::platform
