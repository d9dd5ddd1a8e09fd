#include "support/PeerProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/Spawn.h"

extern char** environ;

namespace norvo::test {
namespace {

constexpr int kFirstLineWaitMs = 15000;

// The first line on fd, without its line end; empty when none came in time.
std::string ReadFirstLine(int fd) {
  std::string line;
  char c = 0;
  while (line.size() < 256) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, kFirstLineWaitMs) <= 0 || ::read(fd, &c, 1) != 1) return "";
    if (c == '\n') break;
    line += c;
  }
  while (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

PeerProcess::PeerProcess(const std::vector<std::string>& argv) {
  int out[2];
  if (argv.empty() || ::pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<char*> args = platform::ArgvPointers(argv);
  if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (pid_ > 0) first_line_ = ReadFirstLine(out[0]);
  ::close(out[0]);
}

PeerProcess::~PeerProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

int PeerProcess::Port() const {
  const std::string number = first_line_.rfind("PORT ", 0) == 0 ? first_line_.substr(5) : first_line_;
  return std::atoi(number.c_str());
}

void PeerProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace norvo::test
