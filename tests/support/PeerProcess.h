#pragma once
// A peer program started with its standard output on a pipe; its first line
// (the port it listens on, as "<n>" or "PORT <n>") is read back. Ended when
// destroyed.
#include <sys/types.h>

#include <string>
#include <vector>

namespace norvo::test {

class PeerProcess {
 public:
  // Starts argv[0] (a path) and waits at most 15 seconds for its first line.
  explicit PeerProcess(const std::vector<std::string>& argv);
  ~PeerProcess();  // SIGTERM, then waits for it
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // False when the program could not be started or printed no line.
  bool Started() const { return !first_line_.empty(); }
  const std::string& FirstLine() const { return first_line_; }
  // The port of the first line; 0 when it names none.
  int Port() const;
  // Ends it at once (SIGKILL), as a server that dies.
  void Kill();

 private:
  pid_t pid_ = -1;
  std::string first_line_;
};

}  // namespace norvo::test
