#pragma once
// A test with its own settings store, a SQL Server stand-in and a record of
// the alerts that the database routines raise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TdsPeer.h"
#include "run/Database.h"
#include "settings/Settings.h"

namespace norvo::test {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeTestFolder("db");
    ASSERT_FALSE(folder_.empty());
    setenv("NORVO_REGISTRY", (folder_ + "registry.db").c_str(), 1);
    unsetenv("NORVO_PROVIDER_CONF");
    run::SetDatabaseAlert([this](const std::string& text) { alerts_.push_back(text); });
  }
  void TearDown() override {
    run::SetDatabaseAlert(nullptr);
    peer_.reset();
  }

  // Starts the stand-in and stores the SQL login settings that reach it.
  void StartServer(const std::string& configJson = "{}") {
    peer_ = std::make_unique<TdsPeer>(folder_, configJson);
    ASSERT_TRUE(peer_->Started());
    StoreLogin("sa", "secret");
  }
  void StoreLogin(const std::string& user, const std::string& password) {
    settings::WriteSetting("Resp_BaseSer", peer_->Server());
    settings::WriteSetting("Resp_BaseIns", "");
    settings::WriteSetting("Resp_BaseAut", "Aut2");
    settings::WriteSetting("Resp_BaseUsr", user);
    settings::WriteSetting("Resp_BasePas", password);
  }

  std::string folder_;
  std::unique_ptr<TdsPeer> peer_;
  std::vector<std::string> alerts_;
};

}  // namespace norvo::test
