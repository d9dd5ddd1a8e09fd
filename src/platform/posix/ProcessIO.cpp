#include "platform/ProcessIO.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/EndRequest.h"
#include "platform/posix/ChildWait.h"

namespace norvo::platform {
namespace {

// The three pipes of the child; the parent's ends are closed by the destructor.
struct Pipes {
  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
  int err[2] = {-1, -1};
  bool Open() {
    return ::pipe2(in, O_CLOEXEC) == 0 && ::pipe2(out, O_CLOEXEC) == 0 && ::pipe2(err, O_CLOEXEC) == 0;
  }
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  void CloseChildEnds() {
    Close(in[0]);
    Close(out[1]);
    Close(err[1]);
  }
  ~Pipes() {
    for (int* fd : {&in[0], &in[1], &out[0], &out[1], &err[0], &err[1]}) Close(*fd);
  }
};

// Feeds the input and drains both outputs together, so that neither side can
// block the other on a full pipe. With `endable`, an end request (EndRequest.h)
// stops the exchange; the wait that follows ends the child.
void Exchange(Pipes& pipes, const std::string& input, bool endable, std::string& out, std::string& err) {
  std::size_t written = 0;
  if (input.empty()) Pipes::Close(pipes.in[1]);
  // A blocking write of more than the pipe holds would wait for a reader
  // that may itself wait for us to drain its output.
  if (pipes.in[1] >= 0) ::fcntl(pipes.in[1], F_SETFL, O_NONBLOCK);
  char buffer[4096];
  const int wake = endable ? EndRequestWakeFd() : -1;
  while (pipes.in[1] >= 0 || pipes.out[0] >= 0 || pipes.err[0] >= 0) {
    if (endable && EndRequested()) return;
    pollfd fds[4] = {
        {pipes.in[1], POLLOUT, 0}, {pipes.out[0], POLLIN, 0}, {pipes.err[0], POLLIN, 0}, {wake, POLLIN, 0}};
    if (::poll(fds, 4, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      const ssize_t n = ::write(pipes.in[1], input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      const bool again = n < 0 && (errno == EINTR || errno == EAGAIN);
      if (!again && (n <= 0 || written == input.size())) Pipes::Close(pipes.in[1]);
    }
    for (int i = 1; i <= 2; ++i) {
      if (fds[i].revents == 0) continue;
      int& fd = i == 1 ? pipes.out[0] : pipes.err[0];
      const ssize_t n = ::read(fd, buffer, sizeof(buffer));
      if (n > 0) (i == 1 ? out : err).append(buffer, static_cast<std::size_t>(n));
      if (n == 0 || (n < 0 && errno != EINTR)) Pipes::Close(fd);
    }
  }
}

}  // namespace

ProcessOutput RunWithInput(const std::vector<std::string>& argv, const std::string& input,
                           const ProcessOptions& options) {
  ProcessOutput output;
  ProcessResult& result = output.result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return output;
  }
  Pipes pipes;
  if (!pipes.Open()) {
    result.error = std::string("pipe: ") + std::strerror(errno);
    return output;
  }
  // A child that stops reading early must not end this program with SIGPIPE.
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);
  pid_t pid = 0;
  const ChildStreams streams{pipes.in[0], pipes.out[1], pipes.err[1]};
  if (!StartChild(argv, streams, options.endsWithCaller, &pid, &result.error)) {
    ::sigaction(SIGPIPE, &previous, nullptr);
    return output;
  }
  result.started = true;
  pipes.CloseChildEnds();
  Exchange(pipes, input, options.endsWithCaller, output.out, output.err);
  ::sigaction(SIGPIPE, &previous, nullptr);
  WaitForChild(pid, argv[0], options.endsWithCaller, result);
  return output;
}

}  // namespace norvo::platform
