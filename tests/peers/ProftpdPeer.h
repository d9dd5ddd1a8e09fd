#pragma once
// Starts ProFTPD with mod_digest (HASH, XSHA256, XSHA1, XMD5, XCRC) for the
// chrooted user test:secret, in the settings a hosting provider may choose.
#include "peers/RealFtpPeer.h"

namespace norvo::test {

struct ProftpdOptions {
  bool no_overwrite = false;   // AllowOverwrite off: STOR onto an existing name is refused
  bool deny_mlsd = false;      // <Limit MLSD> DenyAll: MLSD answers 550
  std::string command_log;     // file that receives every command line
  bool no_digest = false;      // without mod_digest: no HASH or X digest commands
  bool store_restart = false;  // AllowStoreRestart on: APPE and REST before STOR accepted
};

class ProftpdPeer : public RealFtpPeer {
 public:
  explicit ProftpdPeer(ProftpdOptions options = {});
};

}  // namespace norvo::test
