#pragma once
// A test with its own settings store, a SQL Server stand-in and a record of
// the alerts that the database routines raise.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "peers/TdsPeer.h"
#include "run/Database.h"
#include "settings/Settings.h"
#include "support/TempDir.h"

namespace norvo::test {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { UseDriver("FreeTDS"); }
  void TearDown() override {
    database_.reset();
    peer_.reset();
  }

  // Starts the stand-in and stores the SQL login settings that reach it.
  void StartServer(const std::string& configJson = "{}") {
    peer_ = std::make_unique<TdsPeer>(folder_, configJson);
    ASSERT_TRUE(peer_->Started());
    StoreLogin("sa", "secret");
  }
  // The program's database with this ODBC driver; its alerts are recorded.
  void UseDriver(const std::string& driver) {
    database_ = std::make_unique<run::ProgramDatabase>(
        driver, [this](const std::string& text) { alerts_.push_back(text); });
  }
  bool OpenDatabase(const std::string& server, const std::string& instance, std::int16_t mode,
                    const std::string& user, const std::string& password) {
    return database_->OpenDatabase(server, instance, mode, user, password);
  }
  std::string ListDatabases(std::vector<run::DatabaseRow>& rows) { return database_->ListDatabases(rows); }
  std::string DumpDatabase(const std::string& folder, const std::string& file, const std::string& name) {
    return database_->DumpDatabase(folder, file, name);
  }
  void StoreLogin(const std::string& user, const std::string& password) {
    settings::WriteSetting("Resp_BaseSer", peer_->Server());
    settings::WriteSetting("Resp_BaseIns", "");
    settings::WriteSetting("Resp_BaseAut", "Aut2");
    settings::WriteSetting("Resp_BaseUsr", user);
    settings::WriteSetting("Resp_BasePas", password);
  }

  TempDir temp_;
  std::string folder_ = temp_.path().string() + "/";
  ScopedEnv registry_{"NORVO_REGISTRY", temp_ / "registry.db"};
  std::unique_ptr<TdsPeer> peer_;
  std::unique_ptr<run::ProgramDatabase> database_;
  std::vector<std::string> alerts_;
};

}  // namespace norvo::test
