#pragma once
// Shared set-up of the cFTP tests: a provider configuration with short
// time-outs, and a connected client on a fresh pyftpdlib server.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FtpPeer.h"
#include "ftp/cFTP.h"

namespace norvo::test {

// Points $NORVO_PROVIDER_CONF at a file with this FTP time-out.
void UseFtpTimeout(int seconds);

class FtpServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void StartServer(FtpPeerOptions options = {});
  // Opens ftp_ on the server as test:secret; false with the message on failure.
  ::testing::AssertionResult Connect();
  std::string ServerPath(const std::string& name) const { return peer_->Root() + "/" + name; }
  std::string LocalPath(const std::string& name) const { return local_folder_ / name; }

  std::unique_ptr<FtpPeer> peer_;
  testing::TempDir local_folder_;
  const std::string local_ = local_folder_.path().string();
  ftp::cFTP ftp_;
};

}  // namespace norvo::test
