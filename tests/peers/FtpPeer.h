#pragma once
// Starts tests/peers/ftp_server.py (pyftpdlib) on a free loopback port with a
// fresh root folder, and stops it (by its process id) when destroyed.
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace norvo::test {

struct FtpPeerOptions {
  std::vector<std::string> users;  // "name:password"; empty: test:secret
  int throttle = 0;                // bytes per second on each data connection
  bool list_only = false;          // no MLST/MLSD, like vsftpd
};

class FtpPeer {
 public:
  explicit FtpPeer(FtpPeerOptions options = {});
  ~FtpPeer();
  FtpPeer(const FtpPeer&) = delete;
  FtpPeer& operator=(const FtpPeer&) = delete;

  bool Started() const { return port_ > 0; }
  int Port() const { return port_; }
  // "127.0.0.1:<port>", as cFTP takes a server.
  std::string Address() const;
  // The folder the server serves (the users' home).
  const std::string& Root() const { return root_; }
  // Ends the server at once (SIGKILL), as a dropped connection.
  void Kill();

 private:
  testing::TempDir folder_;
  std::string root_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// Whole file contents, and writing them.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& data);

// A silent peer: listens on a loopback port and never answers.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace norvo::test
