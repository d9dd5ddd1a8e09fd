#pragma once
// The base of the real FTP servers the tests start (vsftpd, ProFTPD,
// Pure-FTPd): each runs in the foreground as root on a free loopback port and
// serves a home folder with a writable "pub" folder, owned by the system's
// "ftp" user, as a hosting provider's chrooted account. The server is ended by
// its process id when the peer is destroyed. ProFTPD and Pure-FTPd come
// unpacked from their .deb files in $NORVO_PEERS_DIR (default
// /opt/norvo-peers), where scripts/install-deps puts them.
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace norvo::test {

class RealFtpPeer {
 public:
  virtual ~RealFtpPeer();
  RealFtpPeer(const RealFtpPeer&) = delete;
  RealFtpPeer& operator=(const RealFtpPeer&) = delete;

  // Why the server could not be started; empty when it runs.
  const std::string& Problem() const { return problem_; }
  // Whether the tests run as root; without, the servers cannot run at all.
  static bool CanRun();
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  virtual std::string User() const { return "test"; }
  virtual std::string Password() const { return "secret"; }
  // The writable folder, "/pub" for the client.
  std::string PubPath() const { return home_ + "/pub"; }
  // Makes a file or folder that the test wrote (as root) the server user's,
  // with everything in it, as if the server had stored it.
  void GiveToServer(const std::string& path) const;
  // Kills (SIGKILL) every session process the server has forked, as a crash
  // or the provider's restart ends them; the server itself goes on listening.
  // How many were killed.
  int KillSessions() const;

 protected:
  // Checks that `program` (a path) can run and prepares the home folder.
  RealFtpPeer(const std::string& name, const std::string& program);
  // The folder of an unpacked package.
  static std::string UnpackedPath(const std::string& package, const std::string& inside);
  // Starts argv (argv[0] is the program) and waits until the port accepts.
  void Start(const std::vector<std::string>& argv);
  // A password hash in crypt(3) form (SHA-512), cheap to check at every log-on.
  std::string PasswordHash();

  TempDir folder_;
  std::string home_;
  std::string problem_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  int port_ = 0;

 private:
  std::string name_;
  pid_t pid_ = -1;
};

}  // namespace norvo::test
