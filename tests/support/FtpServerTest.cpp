#include "support/FtpServerTest.h"

namespace norvo::test {

net::FtpSessionOptions FtpTimeout(int seconds) {
  net::FtpSessionOptions options;
  options.timeout_s = seconds;
  return options;
}

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
