// The WinINet backend of src/net against the Linux peers: pyftpdlib for FTP,
// the account-service stand-in for HTTP.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "WineSupport.h"
#include "net/FtpDigest.h"
#include "net/FtpErrors.h"
#include "net/FtpSession.h"
#include "net/HttpGet.h"
#include "run/CloudUpload.h"

namespace norvo::test {
namespace {

using namespace norvo::net;
namespace fs = std::filesystem;

class WinInetFtpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Started()); }
  bool Connect(FtpSession& session, const std::string& password = "secret") {
    FtpSessionOptions options;
    options.timeout_s = 5;
    return session.Connect(server_.Address(), "test", password, options);
  }
  bool Put(FtpSession& session, const std::string& name, const std::string& data,
           const TransferCap& cap = {}) {
    std::size_t at = 0;
    FtpReadFn read = [&](char* buffer, std::size_t size) -> long long {
      const std::size_t n = std::min(size, data.size() - at);
      std::copy_n(data.data() + at, n, buffer);
      at += n;
      return static_cast<long long>(n);
    };
    return session.Store(name, true, PacedRead(cap, read), static_cast<int64_t>(data.size()));
  }
  TempDir dir_;
  std::string root_ = dir_ / "root";
  FtpServer server_{(fs::create_directories(root_), root_)};
};

TEST_F(WinInetFtpTest, FoldersTransfersAndListingsOnOneConnection) {
  FtpSession session;
  ASSERT_TRUE(Connect(session)) << session.LastError();
  EXPECT_EQ(session.CurrentDirectory(), "/");
  ASSERT_TRUE(session.MakeDirectory("copias"));
  ASSERT_TRUE(session.ChangeDirectory("copias"));
  EXPECT_EQ(session.CurrentDirectory(), "/copias");
  std::string data(600 * 1024, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7919 % 251);
  data.replace(0, 4, "\r\n\0\xff", 4);
  ASSERT_TRUE(Put(session, "ARC1C001.TMP", data)) << session.LastError();
  EXPECT_EQ(ReadFile(root_ + "\\copias\\ARC1C001.TMP"), data);
  std::string text;
  bool machine = false;
  ASSERT_TRUE(session.List("", &text, &machine));
  EXPECT_THAT(text, ::testing::HasSubstr("size=" + std::to_string(data.size()) + ";"));
  EXPECT_THAT(text, ::testing::HasSubstr(" ARC1C001.TMP\r\n"));
  ASSERT_TRUE(session.RenameFile("ARC1C001.TMP", "/copias/ARC1C001.RAR"));
  std::string back;
  FtpWriteFn write = [&](const char* bytes, std::size_t size) {
    back.append(bytes, size);
    return true;
  };
  ASSERT_TRUE(session.Retrieve("ARC1C001.RAR", true, write));
  EXPECT_EQ(back, data);
  ASSERT_TRUE(session.DeleteFile("ARC1C001.RAR"));
  ASSERT_TRUE(session.ChangeDirectory(".."));
  ASSERT_TRUE(session.RemoveDirectory("copias"));
  EXPECT_FALSE(fs::exists(root_ + "\\copias"));
}

TEST_F(WinInetFtpTest, ARefusedCommandGivesTheServersReplyAndKeepsTheConnection) {
  FtpSession session;
  ASSERT_TRUE(Connect(session));
  ASSERT_TRUE(session.MakeDirectory("uno"));
  EXPECT_FALSE(session.MakeDirectory("uno"));
  EXPECT_EQ(session.LastError(), ftp_error::kExtendedError);
  EXPECT_THAT(session.LastResponse(), ::testing::StartsWith("550 "));
  EXPECT_FALSE(session.ChangeDirectory("missing"));
  EXPECT_EQ(session.CurrentDirectory(), "/");
  EXPECT_FALSE(session.MakeDirectory("a\r\nDELE /uno"));
  EXPECT_EQ(session.LastError(), ftp_error::kInvalidParameter);
  EXPECT_TRUE(session.MakeDirectory("dos"));
}

// A digest command goes through FtpCommandA and its reply is read. The FEAT
// reply that names the commands comes whole only where WinINet hands out a
// reply's every line; Wine gives its last line, so there no command is seen.
TEST_F(WinInetFtpTest, DigestCommandAndTheFeatReply) {
  FtpSession session;
  ASSERT_TRUE(Connect(session));
  ASSERT_TRUE(Put(session, "abc.bin", "abc"));
  std::string reply;
  ASSERT_TRUE(session.SendCommand("XSHA256 abc.bin", &reply));
  EXPECT_EQ(DigestInReply(reply, platform::DigestKind::Sha256),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad")
      << reply;
  EXPECT_FALSE(session.SendCommand("XSHA256 missing.bin", &reply));
  EXPECT_EQ(session.LastError(), ftp_error::kExtendedError);
  if (UnderWine()) {
    EXPECT_THAT(session.Features(), ::testing::ElementsAre(::testing::StartsWith("211 ")));
  } else {
    EXPECT_THAT(session.Features(), ::testing::Contains(" HASH SHA-256*;SHA-1;MD5;CRC32"));
  }
}

// The slot's old copy goes only once renaming is known to work: a server
// that refuses RNTO onto an existing name gets it deleted and the rename made
// again; an account that may not rename (RNFR refused) keeps both files.
TEST(WinInetUploadTest, TheOldCopyGoesOnlyOnceRenamingIsKnownToWork) {
  TempDir dir;
  WriteFile(dir / "ARC1C001.RAR", "nueva");
  run::CloudUploadOptions options;
  options.session.timeout_s = 5;
  options.pause = std::chrono::milliseconds(0);
  for (const char* refusal : {"--rename-keeps-target", "--no-rename"}) {
    SCOPED_TRACE(refusal);
    const std::string root = dir / (std::string("cloud") + refusal);
    fs::create_directories(root + "\\123\\PC");
    WriteFile(root + "\\123\\PC\\ARC1C001.RAR", "vieja");
    FtpServer server(root, std::vector<std::string>{refusal});
    ASSERT_TRUE(server.Started());
    const std::string outcome = run::UploadToCloud(options, server.Address(), "test", "secret", "/123/PC/",
                                                   "/123/", dir.path().string() + "\\", "ARC1C001.RAR");
    const bool renames = std::string(refusal) == "--rename-keeps-target";
    EXPECT_EQ(outcome, renames ? "OK" : "Problema no se pudo renombrar ARC1C001.TMP");
    EXPECT_EQ(ReadFile(root + "\\123\\PC\\ARC1C001.RAR"), renames ? "nueva" : "vieja");
    EXPECT_EQ(fs::exists(root + "\\123\\PC\\ARC1C001.TMP"), !renames);
  }
}

// The bandwidth cap paces WinINet's transfers as it does libcurl's: 100 000
// bytes at 200 kbps (25 000 bytes a second) take four seconds each way.
TEST_F(WinInetFtpTest, TransfersKeepToTheCap) {
  const TransferCap cap{200, {}};
  const std::string data(100000, 'c');
  FtpSession session;
  ASSERT_TRUE(Connect(session));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Put(session, "capped", data, cap));
  const auto stored = std::chrono::steady_clock::now();
  std::string back;
  ASSERT_TRUE(session.Retrieve("capped", true, PacedWrite(cap, [&](const char* bytes, std::size_t size) {
                                 back.append(bytes, size);
                                 return true;
                               })));
  EXPECT_EQ(back, data);
  EXPECT_GE(stored - start, std::chrono::milliseconds(3500));
  EXPECT_GE(std::chrono::steady_clock::now() - stored, std::chrono::milliseconds(3500));
}

// Uploads a file of a million bytes as ARC1C001.RAR to a server started with
// `cuts` (its --cut-after arguments and the like) and checks that it arrived
// whole, resumed with REST (after a REST 0 at log-on told that the server
// restarts, as Wine hands out only FEAT's last line). Returns the file.
std::string UploadThroughCuts(const TempDir& dir, std::vector<std::string> cuts) {
  std::string data(1000000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 251);
  WriteFile(dir / "ARC1C001.RAR", data);
  const std::string root = dir / "cloud";
  fs::create_directories(root + "\\123\\PC");
  const std::string log = dir / "commands.log";
  cuts.insert(cuts.end(), {"--command-log", LinuxPath(log)});
  FtpServer server(root, cuts);
  EXPECT_TRUE(server.Started());
  run::CloudUploadOptions options;
  options.session.timeout_s = 5;
  options.pause = std::chrono::milliseconds(0);
  options.retry.retry_wait = std::chrono::milliseconds(10);
  std::string said;
  options.diagnostic = [&said](const std::string& line) { said += line + "\n"; };
  EXPECT_EQ(run::UploadToCloud(options, server.Address(), "test", "secret", "/123/PC/", "/123/",
                               dir.path().string() + "\\", "ARC1C001.RAR"),
            "OK")
      << said << ReadFile(log);
  EXPECT_TRUE(ReadFile(root + "\\123\\PC\\ARC1C001.RAR") == data);
  EXPECT_THAT(ReadFile(log), ::testing::HasSubstr("\nREST "));
  return data;
}

// A transfer the server cuts goes on where it broke: REST before STOR for the
// upload, REST before RETR for a download. The second cut comes so near the
// end that every byte is written by then, and only the server's final 426
// tells of it.
TEST(WinInetUploadTest, ABrokenTransferGoesOnFromWhatTheServerHolds) {
  TempDir dir;
  const std::string data = UploadThroughCuts(dir, {"--cut-after", "300000", "--cut-after", "690000"});
  const std::string root = dir / "cloud";
  FtpServer server(root, std::vector<std::string>{});
  ASSERT_TRUE(server.Started());

  FtpSession session;
  FtpSessionOptions plain;
  plain.timeout_s = 5;
  ASSERT_TRUE(session.Connect(server.Address(), "test", "secret", plain));
  EXPECT_TRUE(session.OffersRestart());
  std::string back;
  FtpWriteFn write = [&](const char* bytes, std::size_t size) {
    back.append(bytes, size);
    return true;
  };
  ASSERT_TRUE(session.Retrieve("/123/PC/ARC1C001.RAR", true, write, 999000))
      << session.LastError() << " " << session.LastResponse();
  EXPECT_TRUE(back == data.substr(999000)) << back.size();
}

// A router that drops the control connection mid-transfer: no reply comes.
// Cut near the end, every byte is in the socket's buffer by then, and only
// the missing final reply tells of it.
TEST(WinInetUploadTest, AControlConnectionCutMidTransferIsResumed) {
  TempDir dir;
  UploadThroughCuts(dir, {"--cut-after", "990000", "--cut-control"});
}

TEST_F(WinInetFtpTest, ConnectFailuresCarryWinInetCodes) {
  FtpSession session;
  EXPECT_FALSE(Connect(session, "wrong"));
  // Windows answers a refused log-on with 12003 (the reply is the message),
  // Wine with 12015; both keep the server's reply.
  EXPECT_THAT(session.LastError(), ::testing::AnyOf(ftp_error::kExtendedError, ftp_error::kLoginFailure));
  EXPECT_THAT(session.LastResponse(), ::testing::HasSubstr("530"));
  FtpSessionOptions options;
  options.tls = settings::FtpTls::Require;
  EXPECT_FALSE(session.Connect(server_.Address(), "test", "secret", options)) << "no FTPS on WinINet";
  EXPECT_EQ(session.LastError(), ftp_error::kSecurityChannelError);
  server_.Kill();
  EXPECT_FALSE(Connect(session));
  EXPECT_EQ(session.LastError(), ftp_error::kCannotConnect);
  EXPECT_THAT(FtpErrorText(ftp_error::kCannotConnect), ::testing::EndsWith("\r\n"));
}

TEST_F(WinInetFtpTest, NamesWithBlanksAreListedWhole) {
  if (UnderWine()) GTEST_SKIP() << "Wine's FtpFindFirstFileA cuts names at their first blank";
  FtpSession session;
  ASSERT_TRUE(Connect(session));
  ASSERT_TRUE(Put(session, "con blanco.RAR", "x"));
  std::string text;
  bool machine = false;
  ASSERT_TRUE(session.List("", &text, &machine));
  EXPECT_THAT(text, ::testing::HasSubstr(" con blanco.RAR\r\n"));
}

TEST_F(WinInetFtpTest, ASilentServerFailsTheLogOnAtTheTimeOut) {
  if (UnderWine())
    GTEST_SKIP() << "Wine's WinINet ignores the time-out set: a silent server holds a log-on 30 s";
  // The account-service stand-in says nothing before it gets a request: to
  // an FTP client it is a server that never greets.
  AccountServiceStandIn silent(dir_.path().string());
  FtpSession session;
  FtpSessionOptions options;
  options.timeout_s = 2;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(session.Connect(silent.Host(), "test", "secret", options));
  EXPECT_EQ(session.LastError(), ftp_error::kTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

class WinInetHttpTest : public ::testing::Test {
 protected:
  HttpGetResult Get(const std::string& query, std::size_t max_bytes = 250, int timeout_s = 5) {
    HttpGetOptions options;
    options.max_bytes = max_bytes;
    options.timeout_s = timeout_s;
    return HttpGet("http://" + service_.Host() + "/funciones.php?" + query, options);
  }
  TempDir dir_;
  AccountServiceStandIn service_{dir_.path().string()};
};

TEST_F(WinInetHttpTest, AnswersAreReadUpToTheLimitAndFailuresSayWhy) {
  service_.Configure(
      R"({"tipo3": "Acme;ftp.example;u;p;/base/", "tipo8": "0123456789", "status": {"5": 500}})");
  HttpGetResult answer = Get("Tipo=3&Clave=MTIz+/=");
  ASSERT_TRUE(answer.ok) << answer.error;
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body, "Acme;ftp.example;u;p;/base/");
  EXPECT_EQ(Get("Tipo=8", 4).body, "0123");
  HttpGetResult refused = Get("Tipo=5");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.status, 500);
  EXPECT_THAT(service_.Queries(), ::testing::ElementsAre("Tipo=3&Clave=MTIz+/=", "Tipo=8", "Tipo=5"));
  HttpGetOptions options;
  HttpGetResult closed = HttpGet("http://127.0.0.1:1/funciones.php?Tipo=3", options);
  EXPECT_FALSE(closed.ok);
  EXPECT_THAT(closed.error, ::testing::HasSubstr("12029"));
}

TEST_F(WinInetHttpTest, AServiceThatStallsIsLeftAtTheTimeOut) {
  service_.Configure(R"({"tipo3": "late", "delay_s": {"3": 20}})");
  const auto start = std::chrono::steady_clock::now();
  HttpGetResult late = Get("Tipo=3", 250, 2);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(late.ok);
  EXPECT_LT(waited, std::chrono::seconds(10)) << "the deadline holds whatever WinINet does";
}

}  // namespace
}  // namespace norvo::test
