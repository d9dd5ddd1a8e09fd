#include "support/PeerProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

extern char** environ;

namespace norvo::test {

PeerProcess::PeerProcess(const std::vector<std::string>& argv) {
  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int rc = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }
  FILE* stream = ::fdopen(out[0], "r");
  char line[256] = {};
  if (stream == nullptr || std::fgets(line, sizeof line, stream) == nullptr) {
    throw std::runtime_error(argv[0] + " printed nothing");
  }
  std::fclose(stream);
  first_line_ = line;
  while (!first_line_.empty() && (first_line_.back() == '\n' || first_line_.back() == '\r'))
    first_line_.pop_back();
}

PeerProcess::~PeerProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
}

}  // namespace norvo::test
