#pragma once
// Loopback ports for tests: one nothing listens on, and one that listens and
// never answers.
namespace norvo::test {

// A loopback port that was free a moment ago: a server that is not there,
// or a port for a server that cannot choose its own.
int FreeLoopbackPort();

// Listens on a loopback port and never answers, for the life of the object.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace norvo::test
