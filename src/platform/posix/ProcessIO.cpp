#include "platform/ProcessIO.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string_view>

#include "platform/EndRequest.h"
#include "platform/posix/ChildWait.h"
#include "platform/posix/Spawn.h"

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

// How the child is set up beyond its three pipes.
struct SpawnPlan {
  bool discard_output = false;  // standard output goes to /dev/null, not to a pipe
  std::string working_folder;   // empty: this program's own
  ProcessOptions process;
};

bool Spawn(const std::vector<std::string>& argv, Pipes& pipes, const SpawnPlan& plan, pid_t& pid,
           std::string& error) {
  int devnull = -1;
  if (plan.discard_output) devnull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (plan.discard_output && devnull < 0) {
    error = std::string("/dev/null: ") + std::strerror(errno);
    return false;
  }
  SpawnSetup setup;
  setup.in = pipes.in[0];
  setup.out = plan.discard_output ? devnull : pipes.out[1];
  setup.err = pipes.err[1];
  setup.folder = plan.working_folder;
  setup.endsWithParent = plan.process.endsWithCaller;
  const bool started = SpawnProgram(argv, setup, &pid, &error);
  if (devnull >= 0) ::close(devnull);
  return started;
}

// Receives what the child wrote: stream 1 is standard output, 2 standard error.
using OutputSink = std::function<void(int stream, std::string_view bytes)>;

// Feeds the input and drains both outputs together, so that neither side can
// block the other on a full pipe. With `endable`, an end request (EndRequest.h)
// stops the exchange; the wait that follows ends the child.
void Exchange(Pipes& pipes, const std::string& input, bool endable, const OutputSink& sink) {
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
      if (n > 0) sink(i, std::string_view(buffer, static_cast<std::size_t>(n)));
      if (n == 0 || (n < 0 && errno != EINTR)) Pipes::Close(fd);
    }
  }
}

// Starts the child on its pipes, feeds it and drains it through sink, then
// waits for it.
ProcessResult RunOnPipes(const std::vector<std::string>& argv, const SpawnPlan& plan,
                         const std::string& input, const OutputSink& sink) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = "no program to start";
    return result;
  }
  Pipes pipes;
  if (!pipes.Open()) {
    result.error = std::string("pipe: ") + std::strerror(errno);
    return result;
  }
  // A child that stops reading early must not end this program with SIGPIPE.
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);
  pid_t pid = 0;
  if (!Spawn(argv, pipes, plan, pid, result.error)) {
    ::sigaction(SIGPIPE, &previous, nullptr);
    return result;
  }
  result.started = true;
  pipes.CloseChildEnds();
  if (plan.discard_output) Pipes::Close(pipes.out[0]);
  Exchange(pipes, input, plan.process.endsWithCaller, sink);
  ::sigaction(SIGPIPE, &previous, nullptr);
  WaitForChild(pid, argv[0], plan.process.endsWithCaller, result);
  return result;
}

}  // namespace

ProcessOutput RunWithInput(const std::vector<std::string>& argv, const std::string& input,
                           const ProcessOptions& options) {
  ProcessOutput output;
  SpawnPlan plan;
  plan.process = options;
  output.result = RunOnPipes(argv, plan, input, [&output](int stream, std::string_view bytes) {
    (stream == 1 ? output.out : output.err).append(bytes);
  });
  return output;
}

ChildRun RunChild(const std::vector<std::string>& argv, const ChildRunOptions& options) {
  ChildRun run;
  const std::size_t kept = options.kept_error_bytes;
  const SpawnPlan plan{true, options.working_folder, options.process};
  run.result = RunOnPipes(argv, plan, options.input, [&run, kept](int, std::string_view bytes) {
    run.error_tail.append(bytes);
    // Trimmed in large steps, so that a chatty child costs no quadratic copying.
    if (run.error_tail.size() > 2 * kept + 4096) run.error_tail.erase(0, run.error_tail.size() - kept);
  });
  if (run.error_tail.size() > kept) run.error_tail.erase(0, run.error_tail.size() - kept);
  return run;
}

}  // namespace norvo::platform
