#include "FtpTestSupport.h"

#include <cstdlib>
#include <filesystem>

namespace norvo::test {

void UseFtpTimeout(int seconds) {
  static testing::TempDir folder;
  std::string file = folder / ("provider-" + std::to_string(seconds) + ".ini");
  WriteWholeFile(file, "[provider]\nftp_timeout_s = " + std::to_string(seconds) + "\n");
  setenv("NORVO_PROVIDER_CONF", file.c_str(), 1);
}

void FtpServerTest::SetUp() { UseFtpTimeout(5); }

void FtpServerTest::TearDown() { ftp_.CloseConnection(); }

void FtpServerTest::StartServer(FtpPeerOptions options) {
  peer_ = std::make_unique<FtpPeer>(std::move(options));
  ASSERT_TRUE(peer_->Started());
}

::testing::AssertionResult FtpServerTest::Connect() {
  if (!peer_) StartServer();
  if (ftp_.OpenConnection(peer_->Address(), "test", "secret")) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << ftp_.GetLastErrorMessage();
}

}  // namespace norvo::test
