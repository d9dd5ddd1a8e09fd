#include "WineSupport.h"

#include <windows.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <thread>

#include "net/HttpGet.h"
#include "platform/SchtasksCommand.h"
#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace norvo::test {
namespace {

std::string Escape(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '/') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// A request to wine_test.py's control service; its answer's body.
std::string Control(const std::string& request) {
  const std::string control = platform::EnvironmentValue("NORVO_PEER_CONTROL");
  if (control.empty()) return "";
  net::HttpGetOptions options;
  options.max_bytes = 4096;
  options.timeout_s = 30;
  return net::HttpGet("http://" + control + request, options).body;
}

HANDLE StartWithErrors(const std::vector<std::string>& argv, const std::string& err_file, DWORD flags,
                       DWORD* id) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE err = CreateFileW(platform::Widen(err_file).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string line;
  for (const std::string& arg : argv) line += (line.empty() ? "" : " ") + platform::QuoteWindowsArgument(arg);
  std::wstring command = platform::Widen(line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(err);
  if (!started) return nullptr;
  CloseHandle(process.hThread);
  *id = process.dwProcessId;
  return process.hProcess;
}

int WaitFor(HANDLE process) {
  if (process == nullptr) return -1;
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<int>(code);
}

}  // namespace

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

bool StartServiceAndWait(const std::wstring& name, std::chrono::seconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  std::unique_ptr<SC_HANDLE__, decltype(&CloseServiceHandle)> manager(
      OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT), &CloseServiceHandle);
  if (!manager) return false;
  std::unique_ptr<SC_HANDLE__, decltype(&CloseServiceHandle)> service(
      OpenServiceW(manager.get(), name.c_str(), SERVICE_START | SERVICE_QUERY_STATUS), &CloseServiceHandle);
  if (!service) return false;
  while (std::chrono::steady_clock::now() < deadline) {
    StartServiceW(service.get(), 0, nullptr);  // refused while the manager is busy, or already running
    // A started service may still stop again while the manager settles: watch it for a while.
    for (int i = 0; i < 20; ++i) {
      SERVICE_STATUS status{};
      if (!QueryServiceStatus(service.get(), &status)) return false;
      if (status.dwCurrentState == SERVICE_RUNNING) return true;
      if (status.dwCurrentState == SERVICE_STOPPED) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  return false;
}

std::string LinuxPath(const std::string& windows_path) {
  std::string path = windows_path;
  if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') path.erase(0, 2);
  for (char& c : path) c = c == '\\' ? '/' : c;
  return path;
}

std::string SourcePath(const std::string& relative) {
  std::string path = "Z:" + std::string(NORVO_SOURCE_DIR) + "/" + relative;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string ProgramPath(const std::string& name) { return platform::ProgramFolder() + name + ".exe"; }

Peer::Peer(const std::string& script, const std::vector<std::string>& args) {
  std::string request = "/start?peer=" + Escape(script);
  for (const std::string& arg : args) request += "&arg=" + Escape(arg);
  const std::string answer = Control(request);
  const std::size_t blank = answer.find(' ');
  if (answer.empty() || blank == std::string::npos) return;
  id_ = std::atoi(answer.substr(0, blank).c_str());
  first_line_ = answer.substr(blank + 1);
}

Peer::~Peer() { Kill(); }

int Peer::Port() const {
  const std::size_t digit = first_line_.find_first_of("0123456789");
  return digit == std::string::npos ? 0 : std::atoi(first_line_.c_str() + digit);
}

void Peer::Kill() {
  if (id_ > 0) Control("/stop?id=" + std::to_string(id_));
  id_ = 0;
}

FtpServer::FtpServer(const std::string& root, int throttle)
    : peer_("ftp_server.py", throttle > 0 ? std::vector<std::string>{"--root", LinuxPath(root), "--throttle",
                                                                     std::to_string(throttle)}
                                          : std::vector<std::string>{"--root", LinuxPath(root)}) {}

FtpServer::FtpServer(const std::string& root, const std::vector<std::string>& options)
    : peer_("ftp_server.py", [&] {
        std::vector<std::string> args = {"--root", LinuxPath(root)};
        args.insert(args.end(), options.begin(), options.end());
        return args;
      }()) {}

int FtpServer::Port() const { return peer_.Port(); }

AccountServiceStandIn::AccountServiceStandIn(const std::string& folder)
    : config_(folder + "\\service.json"), log_(folder + "\\service.log") {
  WriteFile(config_, "{}");
  WriteFile(log_, "");
  peer_ = std::make_unique<Peer>(
      "account_service.py",
      std::vector<std::string>{"--log", LinuxPath(log_), "--config", LinuxPath(config_)});
}

std::vector<std::string> AccountServiceStandIn::Queries() const {
  std::vector<std::string> queries;
  std::istringstream lines(ReadFile(log_));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    std::string text;
    const nlohmann::json request = nlohmann::json::parse(line);
    for (const auto& pair : request["query"]) {
      text += (text.empty() ? "" : "&") + pair[0].get<std::string>() + "=" + pair[1].get<std::string>();
    }
    queries.push_back(text);
  }
  return queries;
}

ScopedStore::ScopedStore() {
  std::random_device random;
  root_ = "NorvoTests\\store-" + std::to_string(random() % 1000000000u);
  env_ = std::make_unique<ScopedEnv>("NORVO_REGISTRY_ROOT", root_);
}

ScopedStore::~ScopedStore() {
  env_.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, platform::Widen("Software\\" + root_).c_str());
}

int RunProgram(const std::vector<std::string>& argv, const std::string& err_file) {
  StartedProgram program(argv, err_file);
  return program.Wait();
}

StartedProgram::StartedProgram(const std::vector<std::string>& argv, const std::string& err_file,
                               unsigned long flags)
    : process_(StartWithErrors(argv, err_file, flags, &id_)) {}

StartedProgram::~StartedProgram() { Wait(); }

void StartedProgram::Kill() {
  if (process_ != nullptr) TerminateProcess(static_cast<HANDLE>(process_), 9);
  Wait();
}

bool ProcessEnds(unsigned long id, int milliseconds) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
  if (process == nullptr) return true;
  const bool ended = WaitForSingleObject(process, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process, 9);
  CloseHandle(process);
  return ended;
}

std::string AwaitFile(const std::string& path) {
  for (int i = 0; i < 600; ++i) {
    const std::string text = ReadFile(path);
    if (!text.empty()) return text;
    Sleep(100);
  }
  return {};
}

int StartedProgram::Wait() {
  if (process_ == nullptr) return -1;
  const int code = WaitFor(static_cast<HANDLE>(process_));
  CloseHandle(static_cast<HANDLE>(process_));
  process_ = nullptr;
  return code;
}

}  // namespace norvo::test
