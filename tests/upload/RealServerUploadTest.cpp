// UploadToCloud against the real FTP servers, set up as hosting providers set
// them up: what each server does to the copy slot.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "peers/ProftpdPeer.h"
#include "peers/PureFtpdPeer.h"
#include "peers/VsftpdPeer.h"
#include "run/CloudUpload.h"
#include "support/Files.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using ::testing::Contains;
using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class RealServerUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RealFtpPeer::CanRun()) GTEST_SKIP() << "the real FTP servers need the tests to run as root";
    std::filesystem::create_directories(local_);
    options_.pause = std::chrono::milliseconds(0);
    options_.session.timeout_s = 10;
    options_.diagnostic = [this](const std::string& line) { diagnostics_.push_back(line); };
  }

  // Uploads `data` as NAME into /pub/123/PC1/ of the server.
  std::string Upload(const RealFtpPeer& peer, const std::string& name, const std::string& data) {
    EXPECT_EQ(peer.Problem(), "");  // the dependency lists install the servers
    WriteFile(local_ + "/" + name, data);
    return UploadToCloud(options_, peer.Address(), peer.User(), peer.Password(), "/pub/123/PC1/", "/pub/123/",
                         local_ + "/", name);
  }
  static std::string Cloud(const RealFtpPeer& peer, const std::string& name) {
    return peer.PubPath() + "/123/PC1/" + name;
  }
  // A slot with an old copy and the temporary file of an earlier failed run.
  static void LeftoverOfAnEarlierRun(const RealFtpPeer& peer) {
    std::filesystem::create_directories(Cloud(peer, ""));
    WriteFile(Cloud(peer, "ARC1C001.RAR"), "old copy");
    WriteFile(Cloud(peer, "ARC1C001.TMP"), "half of a");
    peer.GiveToServer(peer.PubPath());
  }
  static std::vector<std::string> CloudNames(const RealFtpPeer& peer) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Cloud(peer, "")))
      names.push_back(entry.path().filename().string());
    return names;
  }

  TempDir dir_;
  std::string local_ = dir_ / "work";
  CloudUploadOptions options_;
  std::vector<std::string> diagnostics_;
};

TEST_F(RealServerUploadTest, ProftpdProvesTheCopyWithItsDigest) {
  ProftpdOptions options;
  options.command_log = dir_ / "commands.log";
  ProftpdPeer peer(options);
  EXPECT_EQ(Upload(peer, "ARC1C001.RAR", "first copy"), "OK");
  EXPECT_EQ(Upload(peer, "ARC1C001.RAR", "second copy"), "OK");
  EXPECT_EQ(ReadFile(Cloud(peer, "ARC1C001.RAR")), "second copy");
  EXPECT_THAT(diagnostics_, IsEmpty());
  std::ifstream log(options.command_log);
  const std::string commands{std::istreambuf_iterator<char>(log), {}};
  EXPECT_THAT(commands, HasSubstr("OPTS HASH SHA-256"));
  EXPECT_THAT(commands, HasSubstr("HASH /pub/123/PC1/ARC1C001.TMP"));
}

// A temporary file left by an earlier run, on servers that never overwrite:
// ProFTPD's AllowOverwrite off refuses STOR onto it and RNTO onto the old copy
// (and with MLSD denied and no digest, LIST serves the size check); Pure-FTPd's
// -r would store the upload as NAME.TMP.1 beside it and keep it.
TEST_F(RealServerUploadTest, LeftoverTemporaryFileOnServersThatNeverOverwrite) {
  ProftpdOptions strict;
  strict.no_overwrite = strict.deny_mlsd = strict.no_digest = true;
  PureFtpdOptions renaming;
  renaming.auto_rename = true;
  const ProftpdPeer proftpd(strict);
  const PureFtpdPeer pure(renaming);
  for (const RealFtpPeer* peer : std::initializer_list<const RealFtpPeer*>{&proftpd, &pure}) {
    LeftoverOfAnEarlierRun(*peer);
    EXPECT_EQ(Upload(*peer, "ARC1C001.RAR", "a new copy"), "OK");
    EXPECT_EQ(ReadFile(Cloud(*peer, "ARC1C001.RAR")), "a new copy");
    EXPECT_THAT(CloudNames(*peer), ElementsAre("ARC1C001.RAR"));
  }
}

// A server that counts connections per address answers a log-on with 421
// while it still counts another one (here one the test holds, and lets go at
// the first refusal): the log-on is tried again, and stderr says so with the reply.
TEST_F(RealServerUploadTest, ServersCountingConnectionsPerAddress) {
  options_.retry.retry_wait = std::chrono::milliseconds(200);
  const VsftpdPeer vsftpd({1});
  PureFtpdOptions counting;
  counting.max_per_ip = 1;
  const PureFtpdPeer pure(counting);
  for (const RealFtpPeer* peer : std::initializer_list<const RealFtpPeer*>{&vsftpd, &pure}) {
    net::FtpSession held;
    ASSERT_TRUE(held.Connect(peer->Address(), peer->User(), peer->Password(), {})) << peer->Problem();
    diagnostics_.clear();
    options_.diagnostic = [this, &held](const std::string& line) {
      diagnostics_.push_back(line);
      held.Disconnect();
    };
    EXPECT_EQ(Upload(*peer, "ARC1C001.RAR", "a copy"), "OK");
    EXPECT_EQ(ReadFile(Cloud(*peer, "ARC1C001.RAR")), "a copy");
    EXPECT_THAT(diagnostics_, Contains(HasSubstr("failed: 421 ")));
  }
}

// Kills the server's sessions once it holds part of NAME.TMP; joined on destruction.
class SessionKiller {
 public:
  explicit SessionKiller(const RealFtpPeer& peer)
      : thread_([&peer] {
          const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
          std::error_code error;
          while (std::chrono::steady_clock::now() < until) {
            const auto held = std::filesystem::file_size(peer.PubPath() + "/123/PC1/ARC1C001.TMP", error);
            if (!error && held > 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          }
          peer.KillSessions();
        }) {}
  ~SessionKiller() { thread_.join(); }
  SessionKiller(const SessionKiller&) = delete;
  SessionKiller& operator=(const SessionKiller&) = delete;

 private:
  std::thread thread_;
};

// The server's session process dies once part of the file is up (the cap
// keeps the upload slow enough to be caught): the upload logs on again, asks
// how much the server holds, and sends the rest from there; where the server
// refuses to append (ProFTPD's default), it sends the file again whole.
TEST_F(RealServerUploadTest, SessionKilledMidUploadIsResumed) {
  options_.session.cap.max_kbps = 2000;
  options_.retry.retry_wait = std::chrono::milliseconds(200);
  std::string data(400 * 1000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
  ProftpdOptions appending;
  appending.store_restart = true;
  const ProftpdPeer proftpd(appending);
  const PureFtpdPeer pure;
  const VsftpdPeer vsftpd;
  const ProftpdPeer refusing;
  for (const RealFtpPeer* peer :
       std::initializer_list<const RealFtpPeer*>{&proftpd, &pure, &vsftpd, &refusing}) {
    diagnostics_.clear();
    std::string result;
    {
      const SessionKiller killer(*peer);
      result = Upload(*peer, "ARC1C001.RAR", data);
    }
    EXPECT_EQ(result, "OK") << ::testing::PrintToString(diagnostics_);
    EXPECT_TRUE(ReadFile(Cloud(*peer, "ARC1C001.RAR")) == data);  // no dump of 600 kB on failure
    EXPECT_THAT(diagnostics_, Contains(ContainsRegex("sending from byte [1-9]")));
    if (peer == &refusing) {
      EXPECT_THAT(diagnostics_, Contains(HasSubstr("sending from byte 0")));
    }
  }
}

// The provider's own certificate is trusted through ftp_ca_file; the system's
// store alone refuses it, and so does a certificate for another name.
TEST_F(RealServerUploadTest, PureFtpdWithTheProvidersOwnCertificate) {
  options_.session.tls = settings::FtpTls::Require;
  options_.retry.retries = 0;
  PureFtpdOptions tls;
  tls.tls_name = "127.0.0.1";
  PureFtpdPeer own(tls);
  EXPECT_EQ(Upload(own, "ARC1C001.RAR", "a copy"), "No se puede conectar al Cloud");
  EXPECT_THAT(diagnostics_, ElementsAre(HasSubstr("certificate")));
  options_.session.ca_file = own.CertificatePath();
  EXPECT_EQ(Upload(own, "ARC1C001.RAR", "a copy"), "OK");

  tls.tls_name = "ftp.other.example";
  PureFtpdPeer other(tls);
  options_.session.ca_file = other.CertificatePath();
  diagnostics_.clear();
  EXPECT_EQ(Upload(other, "ARC1C001.RAR", "a copy"), "No se puede conectar al Cloud");
  EXPECT_THAT(diagnostics_, ElementsAre(HasSubstr("name")));
}

}  // namespace
}  // namespace norvo::test
