#include "TdsPeer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace norvo::test {
namespace {

// The value of "field" in one JSON line of the stand-in's log, with the
// string escapes that Python's json module writes undone.
std::string JsonField(const std::string& line, const std::string& field) {
  std::string key = "\"" + field + "\": ";
  std::string::size_type at = line.find(key);
  if (at == std::string::npos) return "";
  at += key.size();
  if (line[at] != '"') return line.substr(at, line.find_first_of(",}", at) - at);
  std::string value;
  for (++at; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] != '\\') {
      value += line[at];
      continue;
    }
    char escaped = line[++at];
    if (escaped == 'r') value += '\r';
    else if (escaped == 'n') value += '\n';
    else if (escaped == 't') value += '\t';
    else if (escaped == 'u') {
      unsigned code = std::stoul(line.substr(at + 1, 4), nullptr, 16);
      at += 4;
      if (code < 0x80) value += static_cast<char>(code);
      else if (code < 0x800) {
        value += static_cast<char>(0xC0 | (code >> 6));
        value += static_cast<char>(0x80 | (code & 0x3F));
      } else {
        value += static_cast<char>(0xE0 | (code >> 12));
        value += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        value += static_cast<char>(0x80 | (code & 0x3F));
      }
    } else value += escaped;
  }
  return value;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TdsPeer::TdsPeer(const std::string& folder, const std::string& configJson) {
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

std::vector<std::string> TdsPeer::Events(const std::string& kind, const std::string& field) const {
  std::vector<std::string> values;
  std::ifstream in(logPath_);
  for (std::string line; std::getline(in, line);) {
    if (JsonField(line, "event") != kind) continue;
    if (kind == "login") {
      values.push_back(JsonField(line, "user") + (JsonField(line, "ok") == "true" ? ":ok" : ":refused"));
    } else {
      values.push_back(JsonField(line, field));
    }
  }
  return values;
}

std::vector<std::string> TdsPeer::Statements() const { return Events("sql", "text"); }
std::vector<std::string> TdsPeer::Logins() const { return Events("login", ""); }
int TdsPeer::Attentions() const { return static_cast<int>(Events("attention", "").size()); }

}  // namespace norvo::test
