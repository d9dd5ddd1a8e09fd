#pragma once
// Starts the SQL Server stand-in (tests/peers/tds_server.py) on a free
// loopback port for one test, reads back what it recorded, and ends it by
// its process id.
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/PeerProcess.h"

namespace norvo::test {

class TdsPeer {
 public:
  // Keeps its configuration and log in folder (with or without a final "/");
  // configJson: the stand-in's configuration (see tds_server.py).
  TdsPeer(const std::string& folder, const std::string& configJson);
  ~TdsPeer();
  TdsPeer(const TdsPeer&) = delete;
  TdsPeer& operator=(const TdsPeer&) = delete;

  bool Started() const { return port_ > 0; }
  int Port() const { return port_; }
  // The server as a data source: "127.0.0.1,<port>".
  std::string Server() const;

  // Every SQL batch received so far, in order, exactly as sent.
  std::vector<std::string> Statements() const;
  // The outcome of every login so far: "user:ok" or "user:refused".
  std::vector<std::string> Logins() const;
  int Attentions() const;

 private:
  std::vector<nlohmann::json> Events(const std::string& kind) const;

  std::string logPath_;
  std::unique_ptr<PeerProcess> process_;
  int port_ = 0;
};

}  // namespace norvo::test
