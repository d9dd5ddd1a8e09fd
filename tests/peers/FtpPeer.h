#pragma once
// Starts tests/peers/ftp_server.py (pyftpdlib) on a free loopback port with a
// fresh root folder (or the hostile server of FtpPeerOptions::flood), and
// stops it (by its process id) when destroyed.
#include <memory>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/PeerProcess.h"
#include "support/Ports.h"
#include "support/TempDir.h"

namespace norvo::test {

struct FtpPeerOptions {
  std::vector<std::string> users;    // "name:password"; empty: test:secret
  int throttle = 0;                  // bytes per second on each data connection
  bool list_only = false;            // no MLST/MLSD, like vsftpd
  std::string root;                  // folder to serve; empty: a fresh one
  std::string command_log;           // file that receives every command line
  int truncate_received = 0;         // bytes dropped from every stored file
  int max_logins = 0;                // log-ons accepted before all are refused
  bool no_rename = false;            // RNFR refused (no right to rename)
  bool rename_keeps_target = false;  // RNTO onto an existing name refused
  bool alter_received = false;       // one byte of every stored file changed, its size kept
  std::string encoding;              // of the commands it reads; empty: UTF-8
  // The digest commands offered: "all" (empty), "hash", "x", "none", or "lie"
  // (digests of other bytes than the file holds); see ftp_server.py.
  std::string digests;
  // The data connection of the n-th file transfer is reset after cut_after[n]
  // bytes (cut_control: with the control connection); the first lose_226
  // whole uploads get no 226; no_rest: no REST.
  std::vector<long long> cut_after;
  bool cut_control = false;
  int lose_226 = 0;
  bool no_rest = false;
  bool ignore_rest = false;              // REST answered 350, every transfer from byte 0
  std::vector<std::string> refuse_once;  // commands refused once each, for the moment (4xx)
  // Instead of pyftpdlib, tests/peers/ftp_hostile.py answering "FEAT" or
  // "LISTING" without end, fast or (trickle) a line at a time.
  std::string flood;
  bool trickle = false;
};

// Default options with one field set: With(&FtpPeerOptions::throttle, 1024).
template <typename Field>
FtpPeerOptions With(Field FtpPeerOptions::*field, Field value) {
  FtpPeerOptions options;
  options.*field = value;
  return options;
}

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
  TempDir folder_;
  std::string root_;
  std::unique_ptr<PeerProcess> process_;
  int port_ = 0;
};

}  // namespace norvo::test
