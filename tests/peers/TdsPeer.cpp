#include "peers/TdsPeer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace norvo::test {

TdsPeer::TdsPeer(const std::string& folderPath, const std::string& configJson) {
  std::string folder = folderPath;
  if (folder.empty() || folder.back() != '/') folder += '/';
  std::string configPath = folder + "tds.json";
  logPath_ = folder + "tds.log";
  std::ofstream(configPath) << configJson;
  std::string script = std::string(NORVO_SOURCE_DIR) + "/tests/peers/tds_server.py";
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<std::string> args = {"/usr/bin/python3", script, "--config", configPath, "--log", logPath_};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (FILE* out = fdopen(pipeFds[0], "r")) {
    char line[64] = {};
    if (fgets(line, sizeof line, out) != nullptr) std::sscanf(line, "PORT %d", &port_);
    fclose(out);
  } else {
    close(pipeFds[0]);
  }
}

TdsPeer::~TdsPeer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::string TdsPeer::Server() const { return "127.0.0.1," + std::to_string(port_); }

std::vector<nlohmann::json> TdsPeer::Events(const std::string& kind) const {
  std::vector<nlohmann::json> events;
  std::ifstream in(logPath_);
  for (std::string line; std::getline(in, line);) {
    nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
    if (!event.is_discarded() && event.value("event", "") == kind) events.push_back(std::move(event));
  }
  return events;
}

std::vector<std::string> TdsPeer::Statements() const {
  std::vector<std::string> texts;
  for (const nlohmann::json& event : Events("sql")) texts.push_back(event.value("text", ""));
  return texts;
}

std::vector<std::string> TdsPeer::Logins() const {
  std::vector<std::string> logins;
  for (const nlohmann::json& event : Events("login")) {
    logins.push_back(event.value("user", "") + (event.value("ok", false) ? ":ok" : ":refused"));
  }
  return logins;
}

int TdsPeer::Attentions() const { return static_cast<int>(Events("attention").size()); }

}  // namespace norvo::test
