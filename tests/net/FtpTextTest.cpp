#include <gtest/gtest.h>

#include "net/FtpErrors.h"
#include "net/FtpExchangeLog.h"
#include "net/FtpText.h"

namespace norvo::test {
namespace {

using namespace norvo::net;

TEST(FtpReplies, CodesAndFinalLines) {
  EXPECT_EQ(ReplyCode("257 \"/\" is current"), 257);
  EXPECT_EQ(ReplyCode("21"), 0);
  EXPECT_EQ(ReplyCode(" MLST type*;"), 0);
  EXPECT_TRUE(IsFinalReplyLine("211 End"));
  EXPECT_TRUE(IsFinalReplyLine("226"));
  EXPECT_FALSE(IsFinalReplyLine("211-Features:"));
  EXPECT_FALSE(IsFinalReplyLine("abc def"));
}

TEST(FtpReplies, PwdReplyQuotedFolder) {
  EXPECT_EQ(ParsePwdReply("257 \"/\" is the current directory."), "/");
  EXPECT_EQ(ParsePwdReply("257 \"/a b/c\""), "/a b/c");
  EXPECT_EQ(ParsePwdReply("257 \"/say \"\"hi\"\"/x\" is current"), "/say \"hi\"/x");
  EXPECT_EQ(ParsePwdReply("257 \"\""), "");
  EXPECT_FALSE(ParsePwdReply("550 \"/\" no"));
  EXPECT_FALSE(ParsePwdReply("257 no quotes here"));
  EXPECT_FALSE(ParsePwdReply("257 \"/unterminated"));
  EXPECT_FALSE(ParsePwdReply(""));
}

TEST(FtpReplies, FeatOffersMlstOnlyAsFeatureLine) {
  EXPECT_TRUE(FeatOffersMlst({"211-Features:", " EPSV", " MLST type*;size*;modify*;", "211 End"}));
  EXPECT_TRUE(FeatOffersMlst({"211-Features:", " mlst", "211 End"}));
  EXPECT_FALSE(FeatOffersMlst({"211-Features:", " EPSV", " MDTM", "211 End"}));
  EXPECT_FALSE(FeatOffersMlst({"211-MLST is not here", "211 End"}));
  EXPECT_FALSE(FeatOffersMlst({"500 Unknown command."}));
}

TEST(FtpReplies, FeatureWithParameterAndSizeReply) {
  const std::vector<std::string> feat = {"211-Features:", " REST STREAM", " SIZE", "211 End"};
  EXPECT_TRUE(FeatOffers(feat, "REST", "STREAM"));
  EXPECT_TRUE(FeatOffers(feat, "size"));
  EXPECT_FALSE(FeatOffers({"211-Features:", " REST", "211 End"}, "REST", "STREAM"));
  EXPECT_FALSE(FeatOffers({"211-REST STREAM", "211 End"}, "REST", "STREAM"));
  EXPECT_EQ(ParseSizeReply("213 4831838208"), 4831838208);
  EXPECT_EQ(ParseSizeReply("213 12\r\n"), 12);
  EXPECT_FALSE(ParseSizeReply("550 No such file."));
  EXPECT_FALSE(ParseSizeReply("213 12 bytes"));
  EXPECT_FALSE(ParseSizeReply("213 99999999999999999999"));
}

TEST(FtpHost, PlainHostUsesPort21AndHostPortItsPort) {
  auto plain = SplitHostPort("ftp.example.com");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->host, "ftp.example.com");
  EXPECT_EQ(plain->port, 21);
  auto with_port = SplitHostPort("127.0.0.1:2121");
  ASSERT_TRUE(with_port);
  EXPECT_EQ(with_port->host, "127.0.0.1");
  EXPECT_EQ(with_port->port, 2121);
  EXPECT_EQ(SplitHostPort("host:0")->port, 21);
  auto v6 = SplitHostPort("[::1]:990");
  ASSERT_TRUE(v6);
  EXPECT_EQ(v6->host, "[::1]");
  EXPECT_EQ(v6->port, 990);
  EXPECT_EQ(SplitHostPort("[::1]")->port, 21);
}

TEST(FtpHost, MalformedServersAreRefused) {
  for (const char* bad : {"", ":21", "host:", "host:65536", "host:12a", "host:21:22", "a b", "user@host",
                          "host/path", "[::1", "[::1]x", "[zz]:21", "host\r\nUSER x"}) {
    EXPECT_FALSE(SplitHostPort(bad)) << bad;
  }
}

TEST(FtpPaths, LineBreaksAndResolution) {
  EXPECT_TRUE(HasLineBreak("a\r\nDELE b"));
  EXPECT_TRUE(HasLineBreak("a\nb"));
  EXPECT_TRUE(HasLineBreak(std::string("a\0b", 3)));
  EXPECT_FALSE(HasLineBreak("a b;c"));
  EXPECT_EQ(ResolveRemotePath("/", "x"), "/x");
  EXPECT_EQ(ResolveRemotePath("/a b", "c d"), "/a b/c d");
  EXPECT_EQ(ResolveRemotePath("/a/", "c"), "/a/c");
  EXPECT_EQ(ResolveRemotePath("/a", "/abs"), "/abs");
  EXPECT_EQ(ResolveRemotePath("/a", ""), "/a");
  EXPECT_EQ(ResolveRemotePath("", "rel"), "rel");
  EXPECT_EQ(RemoteParent("/a/b/c"), "/a/b");
  EXPECT_EQ(RemoteParent("/c"), "/");
  EXPECT_EQ(RemoteParent("c"), "");
  EXPECT_EQ(RemoteBaseName("/a/b/c.RAR"), "c.RAR");
  EXPECT_EQ(RemoteBaseName("*.RAR"), "*.RAR");
  EXPECT_EQ(RemoteBaseName("sub/"), "");
}

TEST(FtpErrorTable, TextsEndWithLineBreakAndUnknownCodesAreEmpty) {
  EXPECT_EQ(FtpErrorTableText(12029), "A connection with the server could not be established\r\n");
  EXPECT_EQ(FtpErrorTableText(12002), "The operation timed out\r\n");
  EXPECT_EQ(FtpErrorTableText(12007), "The server name or address could not be resolved\r\n");
  EXPECT_EQ(FtpErrorTableText(99999), "");
}

TEST(FtpExchangeLogTest, RepliesAttachToTheirCommands) {
  FtpExchangeLog log;
  log.ReplyReceived("220 ready\r\n");
  log.CommandSent("FEAT\r\n");
  log.ReplyReceived("211-Features:\r\n");
  log.ReplyReceived(" MLST size*;\r\n 211 not the end\r\n211 End\r\n");
  log.CommandSent("RETR /x\r\n");
  log.ReplyReceived("150 opening\r\n");
  log.ReplyReceived("226 done\r\n");
  size_t from = 0;
  const FtpExchange* feat = log.Find("FEAT", &from);
  ASSERT_NE(feat, nullptr);
  EXPECT_EQ(feat->code, 211);
  EXPECT_EQ(feat->reply.size(), 4u);
  EXPECT_TRUE(log.SawPreliminary());
  EXPECT_EQ(log.LastReplyText(), "226 done\r\n");
  EXPECT_EQ(log.LastReplyCode(), 226);
}

}  // namespace
}  // namespace norvo::test
