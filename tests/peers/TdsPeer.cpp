#include "peers/TdsPeer.h"

#include <fstream>

#include "support/Programs.h"

namespace norvo::test {

TdsPeer::TdsPeer(const std::string& folderPath, const std::string& configJson) {
  std::string folder = folderPath;
  if (folder.empty() || folder.back() != '/') folder += '/';
  const std::string configPath = folder + "tds.json";
  logPath_ = folder + "tds.log";
  WriteFile(configPath, configJson);
  process_ = std::make_unique<PeerProcess>(std::vector<std::string>{
      "/usr/bin/python3", PeerPath("tds_server.py"), "--config", configPath, "--log", logPath_});
  port_ = process_->Port();
}

TdsPeer::~TdsPeer() = default;

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
