#pragma once
// Programs of the tests: the project's own (build/bin) and the peers'
// scripts (tests/peers), run with their own environment; and the JSON lines
// the peers log.
#include <sys/types.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/TempDir.h"

namespace norvo::test {

std::string PeerPath(const std::string& name);     // tests/peers/<name>
std::string ProgramPath(const std::string& name);  // build/bin/<name>

// One JSON value per non-empty line of the file.
std::vector<nlohmann::json> ReadJsonLines(const std::string& path);

struct ProgramRun {
  int exit_code = -1;
  std::string err;  // what it wrote on stderr
  double seconds = 0;
};
// Runs the program with extra environment variables and waits for it.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env);
// Starts it without waiting; WaitProgram collects it.
pid_t StartProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   const std::string& errFile);
int WaitProgram(pid_t pid);

// What 7-Zip (7zz) takes out of an archive with this password: every file,
// named relative to the archive's root, with its content; or, when it cannot
// open or extract it, its exit code and what it said.
struct Extracted {
  int exit_code = -1;
  std::string said;
  std::map<std::string, std::string> files;
};
Extracted ExtractWith7zz(const std::string& archive, const std::string& password);
// 7zz's listing of the archive's names, given no password.
ProgramRun ListWith7zzWithoutPassword(const std::string& archive);

}  // namespace norvo::test
