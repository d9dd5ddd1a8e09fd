#include "support/Programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/posix/Spawn.h"

extern char** environ;

namespace norvo::test {

std::string PeerPath(const std::string& name) {
  return std::string(NORVO_SOURCE_DIR) + "/tests/peers/" + name;
}
std::string ProgramPath(const std::string& name) { return std::string(NORVO_BIN_DIR) + "/" + name; }

std::vector<nlohmann::json> ReadJsonLines(const std::string& path) {
  std::vector<nlohmann::json> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(nlohmann::json::parse(line));
  }
  return lines;
}

namespace {

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

pid_t StartProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   const std::string& errFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  auto args = platform::ArgvPointers(argv);
  auto envStrings = EnvironmentWith(env);
  auto envp = platform::ArgvPointers(envStrings);
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

Extracted ExtractWith7zz(const std::string& archive, const std::string& password) {
  TempDir out;
  Extracted extracted;
  const ProgramRun run =
      RunProgram({"/bin/sh", "-c", "7zz x -y -bso0 -bsp0 \"-p$0\" \"-o$1\" -- \"$2\" </dev/null >&2",
                  password, out.path().string(), archive},
                 {});
  extracted.exit_code = run.exit_code;
  extracted.said = run.err;
  if (run.exit_code != 0) return extracted;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out.path())) {
    if (entry.is_regular_file()) {
      extracted.files[entry.path().lexically_relative(out.path()).string()] = ReadFile(entry.path().string());
    }
  }
  return extracted;
}

ProgramRun ListWith7zzWithoutPassword(const std::string& archive) {
  return RunProgram({"/bin/sh", "-c", "7zz l -slt -p -- \"$0\" </dev/null >&2", archive}, {});
}

}  // namespace norvo::test
