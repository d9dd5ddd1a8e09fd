#include "peers/PureFtpdPeer.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

namespace norvo::test {

PureFtpdPeer::PureFtpdPeer(PureFtpdOptions options)
    : RealFtpPeer("Pure-FTPd", UnpackedPath("pure-ftpd", "/usr/sbin/pure-ftpd")) {
  if (!problem_.empty()) return;
  const std::string users = folder_ / "pureftpd.passwd";
  const std::string database = folder_ / "pureftpd.pdb";
  // "/./" in the home makes the user chrooted there.
  std::ofstream(users) << User() << ":" << PasswordHash() << ":" << uid_ << ":" << gid_ << "::" << home_
                       << "/./::::::::::::\n";
  const std::string make_db =
      UnpackedPath("pure-ftpd", "/usr/bin/pure-pw") + " mkdb " + database + " -f " + users + " >/dev/null";
  const int status = std::system(make_db.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) problem_ = "pure-pw could not make the user database";
  std::vector<std::string> argv = {UnpackedPath("pure-ftpd", "/usr/sbin/pure-ftpd"),
                                   "-S",
                                   "127.0.0.1," + std::to_string(port_),
                                   "-l",
                                   "puredb:" + database,
                                   "-E"};
  if (options.auto_rename) argv.emplace_back("-r");
  if (options.max_per_ip > 0) argv.insert(argv.end(), {"-C", std::to_string(options.max_per_ip)});
  if (!options.tls_name.empty()) {
    const std::string both = folder_ / "certificate-and-key.pem";
    const bool ip = options.tls_name.find_first_not_of("0123456789.") == std::string::npos;
    const std::string make_certificate =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=" +
        options.tls_name + " -addext subjectAltName=" + (ip ? "IP:" : "DNS:") + options.tls_name +
        " -keyout " + folder_ / "key.pem" + " -out " + CertificatePath() + " 2>/dev/null && cat " +
        CertificatePath() + " " + folder_ / "key.pem" + " > " + both;
    if (std::system(make_certificate.c_str()) != 0) problem_ = "openssl could not make the test certificate";
    argv.insert(argv.end(), {"-Y", "2", "-2", both});
  }
  Start(argv);
}

}  // namespace norvo::test
