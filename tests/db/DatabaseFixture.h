#pragma once
// A test with its own settings store, a SQL Server stand-in and a record of
// the alerts that the database routines raise.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TdsPeer.h"
#include "run/Database.h"
#include "settings/Settings.h"
#include "support/TempDir.h"

namespace norvo::test {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseDriver("FreeTDS");
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
  // The ODBC driver of the provider configuration.
  void UseDriver(const std::string& driver) {
    std::ofstream(temp_ / "provider.ini") << "[provider]\nodbc_driver = " << driver << "\n";
  }
  void StoreLogin(const std::string& user, const std::string& password) {
    settings::WriteSetting("Resp_BaseSer", peer_->Server());
    settings::WriteSetting("Resp_BaseIns", "");
    settings::WriteSetting("Resp_BaseAut", "Aut2");
    settings::WriteSetting("Resp_BaseUsr", user);
    settings::WriteSetting("Resp_BasePas", password);
  }

  testing::TempDir temp_;
  std::string folder_ = temp_.path().string() + "/";
  testing::ScopedEnv registry_{"NORVO_REGISTRY", temp_ / "registry.db"};
  testing::ScopedEnv provider_{"NORVO_PROVIDER_CONF", temp_ / "provider.ini"};
  std::unique_ptr<TdsPeer> peer_;
  std::vector<std::string> alerts_;
};

}  // namespace norvo::test
