#pragma once
// Starts vsftpd (a LIST-only server: no MLST/MLSD) on a free loopback port,
// anonymous log-on with a writable "pub" folder. vsftpd needs root to confine
// its sessions; scripts/install-deps installs it (scripts/deps/ftp.txt).
#include <sys/types.h>

#include <string>

#include "support/TempDir.h"

namespace norvo::test {

class VsftpdPeer {
 public:
  VsftpdPeer();
  ~VsftpdPeer();
  VsftpdPeer(const VsftpdPeer&) = delete;
  VsftpdPeer& operator=(const VsftpdPeer&) = delete;

  // Why the server could not be started; empty when it runs.
  const std::string& Problem() const { return problem_; }
  // Whether the tests run as root; without, vsftpd cannot run at all.
  static bool CanRun();
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  // The writable folder, "/pub" for the client.
  std::string PubPath() const { return root_ + "/pub"; }

 private:
  TempDir folder_;
  std::string root_;
  std::string problem_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace norvo::test
