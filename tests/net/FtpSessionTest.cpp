// The FTP session against a real server (pyftpdlib) on a loopback port.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "net/FtpErrors.h"
#include "net/FtpLimits.h"
#include "net/FtpSession.h"
#include "peers/FtpPeer.h"

namespace norvo::test {
namespace {

using namespace norvo::net;

namespace fs = std::filesystem;

FtpSessionOptions Quick() {
  FtpSessionOptions options;
  options.timeout_s = 5;
  return options;
}

std::string Fetch(FtpSession& session, const std::string& remote) {
  std::string data;
  FtpWriteFn write = [&](const char* bytes, size_t size) {
    data.append(bytes, size);
    return true;
  };
  EXPECT_TRUE(session.Retrieve(remote, true, write)) << session.LastResponse();
  return data;
}

TEST(FtpSessionServer, RefusedCommandFailsAloneAndKeepsTheConnection) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  FtpSession session;
  ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", Quick()));
  EXPECT_EQ(session.CurrentDirectory(), "/");
  ASSERT_TRUE(session.MakeDirectory("one"));
  EXPECT_FALSE(session.MakeDirectory("one"));
  EXPECT_EQ(session.LastError(), ftp_error::kExtendedError);
  EXPECT_EQ(session.LastResponse().substr(0, 4), "550 ");
  EXPECT_TRUE(session.MakeDirectory("two"));
  EXPECT_TRUE(fs::is_directory(peer.Root() + "/two"));
}

TEST(FtpSessionServer, NamesWithLineBreaksAreNeverSent) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  WriteFile(peer.Root() + "/keep", "x");
  FtpSession session;
  ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", Quick()));
  EXPECT_FALSE(session.MakeDirectory("a\r\nDELE /keep"));
  EXPECT_EQ(session.LastError(), ftp_error::kInvalidParameter);
  EXPECT_FALSE(session.RenameFile("keep", "b\nDELE /keep"));
  EXPECT_FALSE(session.ChangeDirectory("x\rDELE /keep"));
  FtpReadFn nothing = [](char*, size_t) -> long long { return 0; };
  EXPECT_FALSE(session.Store("c\nDELE /keep", true, nothing, 0));
  EXPECT_TRUE(fs::exists(peer.Root() + "/keep"));
  EXPECT_EQ(fs::directory_iterator(peer.Root())->path().filename(), "keep");
  EXPECT_FALSE(FtpSession().Connect(peer.Address(), "test\r\nDELE /keep", "secret", Quick()));
}

TEST(FtpSessionServer, ProxiesOfTheEnvironmentAreNotUsed) {
  ScopedEnv ftpProxy("ftp_proxy", "http://127.0.0.1:1");
  ScopedEnv allProxy("all_proxy", "http://127.0.0.1:1");
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  WriteFile(peer.Root() + "/copia.RAR", "copy");
  FtpSession session;
  ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", Quick())) << session.LastError();
  EXPECT_EQ(Fetch(session, "copia.RAR"), "copy");
}

TEST(FtpSessionServer, ChangeDirectoryKeepsTheServersAnswer) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  fs::create_directories(peer.Root() + "/a b/c");
  FtpSession session;
  ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", Quick()));
  ASSERT_TRUE(session.ChangeDirectory("a b"));
  ASSERT_TRUE(session.ChangeDirectory("c/.."));
  EXPECT_EQ(session.CurrentDirectory(), "/a b");
  EXPECT_FALSE(session.ChangeDirectory("missing"));
  EXPECT_EQ(session.CurrentDirectory(), "/a b");
  std::string folder;
  ASSERT_TRUE(session.PrintDirectory(&folder));
  EXPECT_EQ(folder, "/a b");
}

TEST(FtpSessionServer, TransfersUseAbsolutePathsWhateverTheServersFolder) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  fs::create_directories(peer.Root() + "/d1");
  fs::create_directories(peer.Root() + "/d2");
  FtpSession session;
  ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", Quick()));
  ASSERT_TRUE(session.ChangeDirectory("d1"));
  std::string data = "%2F literal, ;semicolons; and #hash";
  size_t at = 0;
  FtpReadFn read = [&](char* buffer, size_t size) -> long long {
    size_t n = std::min(size, data.size() - at);
    std::copy_n(data.data() + at, n, buffer);
    at += n;
    return static_cast<long long>(n);
  };
  ASSERT_TRUE(session.Store("we%ird #name.txt", true, read, static_cast<int64_t>(data.size())));
  EXPECT_EQ(ReadFile(peer.Root() + "/d1/we%ird #name.txt"), data);
  ASSERT_TRUE(session.ChangeDirectory("/d2"));
  EXPECT_EQ(Fetch(session, "/d1/we%ird #name.txt"), data);
  EXPECT_EQ(Fetch(session, "../d1/we%ird #name.txt"), data);
}

TEST(FtpSessionServer, ListsWithMlsdWhenOfferedElseList) {
  for (bool list_only : {false, true}) {
    FtpPeerOptions options;
    options.list_only = list_only;
    FtpPeer peer(options);
    ASSERT_TRUE(peer.Started());
    WriteFile(peer.Root() + "/f.txt", "12345");
    FtpSession session;
    ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", Quick()));
    std::string text;
    bool machine = false;
    ASSERT_TRUE(session.List("", &text, &machine));
    EXPECT_EQ(machine, !list_only);
    EXPECT_NE(text.find(list_only ? " 5 " : "size=5;"), std::string::npos) << text;
  }
}

TEST(FtpSessionServer, ActiveModeTransfers) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  WriteFile(peer.Root() + "/f.bin", std::string("\0\r\n\xff", 4));
  FtpSession session;
  FtpSessionOptions options = Quick();
  options.passive = false;
  ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", options));
  EXPECT_EQ(Fetch(session, "f.bin"), std::string("\0\r\n\xff", 4));
}

TEST(FtpSessionServer, ConnectFailuresCarryTheirCodes) {
  FtpSession session;
  {
    SilentListener closed;  // a port that is certainly free once closed
    (void)closed;
  }
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  EXPECT_FALSE(session.Connect(peer.Address(), "test", "wrong", Quick()));
  EXPECT_EQ(session.LastError(), ftp_error::kExtendedError);
  EXPECT_EQ(session.LastResponse().substr(0, 4), "530 ");
  EXPECT_FALSE(session.Connected());
  peer.Kill();
  EXPECT_FALSE(session.Connect(peer.Address(), "test", "secret", Quick()));
  EXPECT_EQ(session.LastError(), ftp_error::kCannotConnect);
  SilentListener silent;
  FtpSessionOptions fast = Quick();
  fast.timeout_s = 1;
  EXPECT_FALSE(session.Connect("127.0.0.1:" + std::to_string(silent.Port()), "test", "secret", fast));
  EXPECT_EQ(session.LastError(), ftp_error::kTimeout);
  EXPECT_FALSE(session.Connect("bad host", "test", "secret", fast));
  EXPECT_EQ(session.LastError(), ftp_error::kNameNotResolved);
}

TEST(FtpSessionServer, NothingWorksWithoutConnection) {
  FtpSession session;
  EXPECT_FALSE(session.MakeDirectory("x"));
  EXPECT_EQ(session.LastError(), ftp_error::kInvalidHandle);
  std::string text;
  bool machine = true;
  EXPECT_FALSE(session.List("", &text, &machine));
}

TEST(FtpSessionServer, TlsRequiredNeverFallsBackToPlainText) {
  FtpPeer peer;  // a server without TLS
  ASSERT_TRUE(peer.Started());
  FtpSessionOptions options = Quick();
  options.tls = norvo::settings::FtpTls::Require;
  FtpSession session;
  EXPECT_FALSE(session.Connect(peer.Address(), "test", "secret", options));
  EXPECT_EQ(session.LastError(), ftp_error::kSecurityChannelError);
  options.tls = norvo::settings::FtpTls::Try;
  EXPECT_TRUE(session.Connect(peer.Address(), "test", "secret", options));
}

// A server that sends without end, a FEAT reply or a listing's data, as fast
// as the client reads or a line at a time (no single wait runs out): the
// request fails at its size bound or at the time bound of its time-out.
TEST(FtpSessionServer, EndlessRepliesAndListingsFailAtTheirBounds) {
  struct Flood {
    const char* what;
    bool trickle;
    unsigned error;
  };
  for (const Flood& flood :
       {Flood{"FEAT", false, ftp_error::kResponseTooLarge}, Flood{"FEAT", true, ftp_error::kTimeout},
        Flood{"LISTING", false, ftp_error::kResponseTooLarge}, Flood{"LISTING", true, ftp_error::kTimeout}}) {
    SCOPED_TRACE(std::string(flood.what) + (flood.trickle ? " trickled" : " flooded"));
    FtpPeerOptions hostile;
    hostile.flood = flood.what;
    hostile.trickle = flood.trickle;
    FtpPeer peer(hostile);
    ASSERT_TRUE(peer.Started());
    FtpSessionOptions options;
    options.timeout_s = 1;
    FtpSession session;
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    bool machine = false;
    if (std::string(flood.what) == "FEAT") {
      EXPECT_FALSE(session.Connect(peer.Address(), "test", "secret", options));
    } else {
      ASSERT_TRUE(session.Connect(peer.Address(), "test", "secret", options));
      EXPECT_FALSE(session.List("", &text, &machine));
    }
    EXPECT_EQ(session.LastError(), flood.error);
    EXPECT_LE(text.size(), kMaxListingBytes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, ExchangeTimeLimit(1) + std::chrono::seconds(10))
        << "the bound ends the request, not the server";
  }
}

}  // namespace
}  // namespace norvo::test
