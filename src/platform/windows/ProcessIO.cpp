// Programs run with pipes on Windows: CreateProcessW with the child's
// standard handles on anonymous pipes (or the null device), the input fed
// and the outputs drained on threads of their own so that neither side can
// block the other on a full pipe.
#include "platform/ProcessIO.h"

#include <thread>

#include "platform/SchtasksCommand.h"
#include "platform/windows/ChildProcess.h"
#include "platform/windows/PipedProcess.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

// One pipe: the child's end inheritable, ours not.
struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  bool Open(bool child_reads) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&read, &write, &inherit, 0)) return false;
    return SetHandleInformation(child_reads ? write : read, HANDLE_FLAG_INHERIT, 0) != 0;
  }
  static void Close(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
  }
  ~Pipe() {
    Close(read);
    Close(write);
  }
};

// Reads the handle to its end; keeps everything, or only the last `limit` bytes.
void Drain(HANDLE handle, std::string* kept, std::size_t limit) {
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    kept->append(buffer, got);
    if (kept->size() > limit) kept->erase(0, kept->size() - limit);
  }
}

std::string ArgumentsOf(const std::vector<std::string>& argv) {
  std::string line;
  for (std::size_t i = 1; i < argv.size(); ++i) line += (i > 1 ? " " : "") + QuoteWindowsArgument(argv[i]);
  return line;
}

}  // namespace

PipedRun RunCommandLine(const std::string& program, const std::string& arguments,
                        const PipedOptions& options) {
  PipedRun run;
  if (program.empty()) {
    run.result.error = "no program to start";
    return run;
  }
  const bool keep_out = options.keep_out;
  Pipe in, out, err;
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE null_out = keep_out ? nullptr
                             : CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           &inherit, OPEN_EXISTING, 0, nullptr);
  if (!in.Open(true) || (keep_out && !out.Open(false)) || !err.Open(false)) {
    run.result.error = "pipe: " + SystemErrorText(GetLastError());
    Pipe::Close(null_out);
    return run;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = in.read;
  startup.hStdOutput = keep_out ? out.write : null_out;
  startup.hStdError = err.write;
  ChildCommand command;
  command.name = program;
  command.line = Widen(QuoteWindowsArgument(program) + (arguments.empty() ? "" : " ") + arguments);
  command.folder = options.working_folder;
  command.endsWithCaller = options.process.endsWithCaller;
  ChildProcess child;
  const bool started = StartChildProcess(command, startup, &child, &run.result.error);
  // The child holds its own copies now: ours must go, or no pipe would ever end.
  Pipe::Close(in.read);
  Pipe::Close(out.write);
  Pipe::Close(err.write);
  Pipe::Close(null_out);
  if (!started) return run;
  run.result.started = true;
  // Ends the child when the program is asked to end; its pipes close then.
  std::thread waiter(
      [&] { WaitForChildProcess(child, program, options.process.endsWithCaller, run.result); });
  const std::string& input = options.input;
  std::thread feeder([&in, &input] {
    DWORD written = 0;
    for (std::size_t at = 0; at < input.size(); at += written) {
      if (!WriteFile(in.write, input.data() + at, static_cast<DWORD>(input.size() - at), &written, nullptr))
        break;
    }
    Pipe::Close(in.write);
  });
  std::thread out_reader;
  if (keep_out) out_reader = std::thread([&] { Drain(out.read, &run.out, std::string::npos); });
  Drain(err.read, &run.err, options.kept_error_bytes);
  if (out_reader.joinable()) out_reader.join();
  feeder.join();
  waiter.join();
  return run;
}

std::string FromConsoleText(const std::string& bytes) {
  if (bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0) > 0) {
    return bytes;
  }
  const int length =
      MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
  return Narrow(wide);
}

ProcessOutput RunWithInput(const std::vector<std::string>& argv, const std::string& input,
                           const ProcessOptions& process) {
  PipedOptions options;
  options.input = input;
  options.process = process;
  PipedRun run = RunCommandLine(argv.empty() ? "" : argv[0], ArgumentsOf(argv), options);
  return {run.result, std::move(run.out), std::move(run.err)};
}

ChildRun RunChild(const std::vector<std::string>& argv, const ChildRunOptions& options) {
  PipedOptions piped;
  piped.input = options.input;
  piped.working_folder = options.working_folder;
  piped.keep_out = false;
  piped.kept_error_bytes = options.kept_error_bytes;
  piped.process = options.process;
  PipedRun run = RunCommandLine(argv.empty() ? "" : argv[0], ArgumentsOf(argv), piped);
  return {run.result, std::move(run.err)};
}

}  // namespace norvo::platform
