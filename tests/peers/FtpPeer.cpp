#include "peers/FtpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace norvo::test {
namespace {

// The first line the server prints ("PORT <n>"), waiting at most 15 seconds.
int ReadPort(int fd) {
  std::string line;
  char c;
  while (line.size() < 64) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 15000) <= 0 || read(fd, &c, 1) != 1) return 0;
    if (c == '\n') break;
    line += c;
  }
  if (line.rfind("PORT ", 0) != 0) return 0;
  return std::atoi(line.c_str() + 5);
}

}  // namespace

FtpPeer::FtpPeer(FtpPeerOptions options) : root_(options.root.empty() ? folder_ / "home" : options.root) {
  std::vector<std::string> args = {
      "/usr/bin/python3", std::string(NORVO_SOURCE_DIR) + "/tests/peers/ftp_server.py", "--root", root_};
  for (const std::string& user : options.users) args.insert(args.end(), {"--user", user});
  if (options.throttle > 0) args.insert(args.end(), {"--throttle", std::to_string(options.throttle)});
  if (options.list_only) args.push_back("--list-only");
  if (!options.command_log.empty()) args.insert(args.end(), {"--command-log", options.command_log});
  if (options.truncate_received > 0) {
    args.insert(args.end(), {"--truncate-received", std::to_string(options.truncate_received)});
  }
  if (options.max_logins > 0) args.insert(args.end(), {"--max-logins", std::to_string(options.max_logins)});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (pid_ > 0) port_ = ReadPort(pipe_fds[0]);
  close(pipe_fds[0]);
}

FtpPeer::~FtpPeer() {
  Kill();  // the server keeps no state worth a clean shutdown
}

std::string FtpPeer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

void FtpPeer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

SilentListener::SilentListener() {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd_, 4) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
}

SilentListener::~SilentListener() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace norvo::test
