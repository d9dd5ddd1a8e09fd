#include "peers/AccountServicePeer.h"

#include "support/Files.h"
#include "support/Programs.h"

namespace norvo::test {

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

}  // namespace norvo::test
