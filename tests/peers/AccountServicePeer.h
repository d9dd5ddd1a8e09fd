#pragma once
// The account-service stand-in (tests/peers/account_service.py) on a free
// loopback port, answering as a test configures it and recording every
// request; ended with the object.
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/PeerProcess.h"

namespace norvo::test {

class AccountServicePeer {
 public:
  // Keeps its configuration and log in folder.
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

}  // namespace norvo::test
