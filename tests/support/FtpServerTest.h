#pragma once
// Shared set-up of the cFTP tests: short time-outs, and a connected client on
// a fresh pyftpdlib server.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ftp/cFTP.h"
#include "peers/FtpPeer.h"

namespace norvo::test {

// Session options with this FTP time-out.
net::FtpSessionOptions FtpTimeout(int seconds);

class FtpServerTest : public ::testing::Test {
 protected:
  void TearDown() override;
  void StartServer(FtpPeerOptions options = {});
  // Opens ftp_ on the server as test:secret; false with the message on failure.
  ::testing::AssertionResult Connect();
  std::string ServerPath(const std::string& name) const { return peer_->Root() + "/" + name; }
  std::string LocalPath(const std::string& name) const { return local_folder_ / name; }

  std::unique_ptr<FtpPeer> peer_;
  TempDir local_folder_;
  const std::string local_ = local_folder_.path().string();
  ftp::cFTP ftp_{FtpTimeout(5)};
};

}  // namespace norvo::test
