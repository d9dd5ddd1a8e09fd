// The digest commands a FEAT offers and the digest in each shape of reply.
#include <gtest/gtest.h>

#include "net/FtpDigest.h"

namespace norvo::net {
namespace {

using platform::DigestKind;

TEST(FtpDigest, OfferedStrongestFirstWithTheHashChoiceWhereNeeded) {
  // ProFTPD: SHA-1 is HASH's current algorithm, SHA-256 must be chosen.
  const auto offered = OfferedDigests({"211-Features:", " HASH CRC32;MD5;SHA-1*;SHA-256;SHA-512;", " MD5",
                                       " XCRC", " xsha256", " XSHA512", "211 End"});
  ASSERT_EQ(offered.size(), 6U);
  EXPECT_EQ(offered[0].verb, "HASH");
  EXPECT_EQ(offered[0].choose, "SHA-256");
  EXPECT_EQ(offered[1].verb, "XSHA256");
  EXPECT_EQ(offered[2].kind, DigestKind::Sha1);
  EXPECT_EQ(offered[2].choose, "");  // already the current one
  EXPECT_EQ(offered[5].verb, "XCRC");
  EXPECT_TRUE(OfferedDigests({"211-Features:", " MLST size*;", " REST STREAM", "211 End"}).empty());
  EXPECT_TRUE(OfferedDigests({"500 FEAT not understood"}).empty());
}

TEST(FtpDigest, DigestReadFromEveryReplyShape) {
  const std::string sha256 = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
  EXPECT_EQ(DigestInReply("213 SHA-256 0-6 " + sha256 + " /pub/x.TMP", DigestKind::Sha256), sha256);
  EXPECT_EQ(DigestInReply("250 5891B5B522D5DF086D0FF0B110FBD9D21BB4FC7163AF34D08286A2E846F6BE03",
                          DigestKind::Sha256),
            sha256);
  EXPECT_EQ(DigestInReply("213 MD5 0-6 B1946AC92492D2347C6235B4D2611184 x", DigestKind::Md5),
            "b1946ac92492d2347c6235b4d2611184");
  EXPECT_EQ(DigestInReply("250 363A3020", DigestKind::Crc32), "363a3020");
  EXPECT_EQ(DigestInReply("250 3A3020", DigestKind::Crc32), "003a3020");  // leading zeros dropped
  EXPECT_EQ(DigestInReply("213 CRC32 0-6 3a3020 x", DigestKind::Crc32), "003a3020");
  // A digest of the wrong length, another algorithm's, or none at all.
  EXPECT_FALSE(DigestInReply("250 5891B5B522D5DF086D", DigestKind::Sha256));
  EXPECT_FALSE(DigestInReply("213 SHA-1 0-6 f572d396fae9206628714fb2ce00f72e94f2258f x", DigestKind::Sha256));
  EXPECT_FALSE(DigestInReply("250 Computing digest", DigestKind::Sha1));
  EXPECT_FALSE(DigestInReply("250", DigestKind::Md5));
}

}  // namespace
}  // namespace norvo::net
