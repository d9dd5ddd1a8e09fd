#include "support/Programs.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace norvo::test {

std::string PeerPath(const std::string& name) {
  return std::string(NORVO_SOURCE_DIR) + "/tests/peers/" + name;
}
std::string ProgramPath(const std::string& name) { return std::string(NORVO_BIN_DIR) + "/" + name; }

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::vector<nlohmann::json> ReadJsonLines(const std::string& path) {
  std::vector<nlohmann::json> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(nlohmann::json::parse(line));
  }
  return lines;
}

namespace {

std::vector<char*> CArgs(const std::vector<std::string>& args) {
  std::vector<char*> out;
  for (const auto& arg : args) out.push_back(const_cast<char*>(arg.c_str()));
  out.push_back(nullptr);
  return out;
}

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    if (extra.count(entry.substr(0, entry.find('='))) == 0) env.push_back(entry);
  }
  for (const auto& [name, value] : extra) env.push_back(name + "=" + value);
  return env;
}

}  // namespace

AccountServicePeer::AccountServicePeer(const std::string& folder)
    : config_(folder + "/service.json"), log_(folder + "/service.log") {
  WriteFile(config_, "{}");
  WriteFile(log_, "");
  process_ = std::make_unique<PeerProcess>(std::vector<std::string>{
      "/usr/bin/python3", PeerPath("account_service.py"), "--log", log_, "--config", config_});
  port_ = process_->Port();
}

AccountServicePeer::~AccountServicePeer() = default;

void AccountServicePeer::Configure(const nlohmann::json& config) const { WriteFile(config_, config.dump()); }

std::vector<nlohmann::json> AccountServicePeer::Requests() const { return ReadJsonLines(log_); }

std::vector<std::string> AccountServicePeer::Queries() const {
  std::vector<std::string> queries;
  for (const auto& request : Requests()) {
    std::string text;
    for (const auto& pair : request["query"]) {
      text += (text.empty() ? "" : "&") + pair[0].get<std::string>() + "=" + pair[1].get<std::string>();
    }
    queries.push_back(text);
  }
  return queries;
}

pid_t StartProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   const std::string& errFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  auto args = CArgs(argv);
  auto envStrings = EnvironmentWith(env);
  auto envp = CArgs(envStrings);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
  return pid;
}

int WaitProgram(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  char errFile[] = "/tmp/norvo-run-err-XXXXXX";
  int fd = ::mkstemp(errFile);
  ::close(fd);
  const auto start = std::chrono::steady_clock::now();
  ProgramRun run;
  run.exit_code = WaitProgram(StartProgram(argv, env, errFile));
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.err = ReadFile(errFile);
  ::unlink(errFile);
  return run;
}

}  // namespace norvo::test
