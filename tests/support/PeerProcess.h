#pragma once
// A peer program started with its standard output on a pipe; its first line
// (usually the port it listens on) is read back. Ended when destroyed.
#include <sys/types.h>

#include <string>
#include <vector>

namespace norvo::test {

class PeerProcess {
 public:
  explicit PeerProcess(const std::vector<std::string>& argv);
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;
  const std::string& FirstLine() const { return first_line_; }
  int Port() const { return std::stoi(first_line_); }

 private:
  pid_t pid_ = -1;
  std::string first_line_;
};

}  // namespace norvo::test
