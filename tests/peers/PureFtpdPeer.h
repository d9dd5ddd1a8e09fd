#pragma once
// Starts Pure-FTPd for the chrooted user test:secret (a PureDB user file whose
// password hash is SHA-512 crypt: pure-pw's own argon2id costs seconds per
// log-on), in the settings a hosting provider may choose.
#include "peers/RealFtpPeer.h"

namespace norvo::test {

struct PureFtpdOptions {
  bool auto_rename = false;  // -r: an upload onto an existing name is stored as NAME.1
  int max_per_ip = 0;        // -C: connections counted per address (0: no limit)
  // Non-empty: TLS required (-Y 2) with a self-signed certificate for this
  // name (an IP address or a DNS name), written to CertificatePath().
  std::string tls_name;
};

class PureFtpdPeer : public RealFtpPeer {
 public:
  explicit PureFtpdPeer(PureFtpdOptions options = {});
  std::string CertificatePath() const { return folder_ / "certificate.pem"; }
};

}  // namespace norvo::test
