#include "peers/ProftpdPeer.h"

#include <sys/stat.h>

#include <fstream>

namespace norvo::test {

ProftpdPeer::ProftpdPeer(ProftpdOptions options)
    : RealFtpPeer("ProFTPD", UnpackedPath("proftpd-core", "/usr/sbin/proftpd")) {
  if (!problem_.empty()) return;
  const std::string users = folder_ / "passwd";
  std::ofstream(users) << User() << ":" << PasswordHash() << ":" << uid_ << ":" << gid_ << "::" << home_
                       << ":/bin/sh\n";
  chmod(users.c_str(), 0600);  // ProFTPD refuses a user file others can read
  const std::string config = folder_ / "proftpd.conf";
  std::ofstream(config) << "ServerType standalone\nDefaultAddress 127.0.0.1\nPort " << port_
                        << "\nUser root\nGroup root\nUseIPv6 off\nUseReverseDNS off\nWtmpLog off\n"
                           "DelayTable none\nPidFile "
                        << folder_ / "proftpd.pid"
                        << "\nScoreboardFile " << folder_ / "scoreboard"
                        << "\nModulePath " << UnpackedPath("proftpd-core", "/usr/lib/proftpd") << "\n"
                        << (options.no_digest ? "" : "LoadModule mod_digest.c\n")
                        << "AuthOrder mod_auth_file.c\nAuthUserFile " << users
                        << "\nRequireValidShell off\nDefaultRoot ~\nAllowOverwrite "
                        << (options.no_overwrite ? "off" : "on") << "\nAllowStoreRestart "
                        << (options.store_restart ? "on" : "off") << "\n"
                        << (options.deny_mlsd ? "<Limit MLSD>\n  DenyAll\n</Limit>\n" : "");
  if (!options.command_log.empty()) {
    std::ofstream(config, std::ios::app)
        << "LogFormat commands \"%r\"\nExtendedLog " << options.command_log << " ALL commands\n";
  }
  Start({UnpackedPath("proftpd-core", "/usr/sbin/proftpd"), "-n", "-q", "-c", config});
}

}  // namespace norvo::test
