#include "peers/FtpPeer.h"

#include "support/Programs.h"

namespace norvo::test {

FtpPeer::FtpPeer(FtpPeerOptions options) : root_(options.root.empty() ? folder_ / "home" : options.root) {
  std::vector<std::string> args = {"/usr/bin/python3", PeerPath("ftp_server.py"), "--root", root_};
  if (!options.flood.empty()) {
    args = {"/usr/bin/python3", PeerPath("ftp_hostile.py"), "--flood", options.flood};
    if (options.trickle) args.emplace_back("--trickle");
  }
  for (const std::string& user : options.users) args.insert(args.end(), {"--user", user});
  if (options.throttle > 0) args.insert(args.end(), {"--throttle", std::to_string(options.throttle)});
  if (options.list_only) args.push_back("--list-only");
  if (!options.command_log.empty()) args.insert(args.end(), {"--command-log", options.command_log});
  if (options.truncate_received > 0) {
    args.insert(args.end(), {"--truncate-received", std::to_string(options.truncate_received)});
  }
  if (options.max_logins > 0) args.insert(args.end(), {"--max-logins", std::to_string(options.max_logins)});
  if (options.no_rename) args.emplace_back("--no-rename");
  if (options.rename_keeps_target) args.emplace_back("--rename-keeps-target");
  if (options.alter_received) args.emplace_back("--alter-received");
  if (!options.encoding.empty()) args.insert(args.end(), {"--encoding", options.encoding});
  if (!options.digests.empty()) args.insert(args.end(), {"--digests", options.digests});
  for (long long cut : options.cut_after) args.insert(args.end(), {"--cut-after", std::to_string(cut)});
  if (options.cut_control) args.emplace_back("--cut-control");
  if (options.lose_226 > 0) args.insert(args.end(), {"--lose-226", std::to_string(options.lose_226)});
  if (options.no_rest) args.emplace_back("--no-rest");
  if (options.ignore_rest) args.emplace_back("--ignore-rest");
  for (const std::string& command : options.refuse_once) args.insert(args.end(), {"--refuse-once", command});
  process_ = std::make_unique<PeerProcess>(args);
  port_ = process_->Port();
}

FtpPeer::~FtpPeer() {
  Kill();  // the server keeps no state worth a clean shutdown
}

std::string FtpPeer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

void FtpPeer::Kill() { process_->Kill(); }

}  // namespace norvo::test
