#pragma once
// Starts vsftpd (a LIST-only server: no MLST/MLSD) on a free loopback port,
// anonymous log-on confined to its root, with the writable "pub" folder.
// scripts/install-deps installs it (scripts/deps/ftp.txt).
#include "peers/RealFtpPeer.h"

namespace norvo::test {

struct VsftpdOptions {
  int max_per_ip = 0;  // connections counted per address (0: no limit)
};

class VsftpdPeer : public RealFtpPeer {
 public:
  explicit VsftpdPeer(VsftpdOptions options = {});
  std::string User() const override { return "anonymous"; }
  std::string Password() const override { return ""; }
};

}  // namespace norvo::test
