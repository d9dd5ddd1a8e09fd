#pragma once
// Helpers of the run tests: the stand-in peers of tests/peers started as
// processes, their logs, and programs run with their own environment.
#include <sys/types.h>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/PeerProcess.h"
#include "support/TempDir.h"

namespace norvo::test {

using testing::ScopedEnv;
using testing::TempDir;

std::string PeerPath(const std::string& name);     // tests/peers/<name>
std::string ProgramPath(const std::string& name);  // build/bin/<name>

void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
std::vector<nlohmann::json> ReadJsonLines(const std::string& path);

// The account-service stand-in on a free loopback port, ended with the object.
class AccountServicePeer {
 public:
  explicit AccountServicePeer(const std::string& folder);
  ~AccountServicePeer();
  AccountServicePeer(const AccountServicePeer&) = delete;
  AccountServicePeer& operator=(const AccountServicePeer&) = delete;

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  void Configure(const nlohmann::json& config) const;
  // Every request so far: {"path", "raw_query", "query": [[key, value], ...]}.
  std::vector<nlohmann::json> Requests() const;
  // The decoded query of each request as "Tipo=4&CL=123&..." (not escaped).
  std::vector<std::string> Queries() const;

 private:
  std::string config_;
  std::string log_;
  std::unique_ptr<PeerProcess> process_;
  int port_ = 0;
};

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

}  // namespace norvo::test
