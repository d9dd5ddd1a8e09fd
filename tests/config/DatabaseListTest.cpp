// The window's database list against the SQL Server stand-in.
#include <gtest/gtest.h>

#include "config/services/DatabaseList.h"
#include "peers/TdsPeer.h"
#include "settings/Settings.h"
#include "support/Ports.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

class DatabaseList : public ::testing::Test {
 protected:
  void Start(const std::string& databases) {
    peer_.emplace(dir_.path().string(), R"({"databases": )" + databases + "}");
    ASSERT_TRUE(peer_->Started());
    login_.server = peer_->Server();
  }

  TempDir dir_;
  ScopedEnv store_{"NORVO_REGISTRY", dir_ / "registry.db"};
  std::optional<TdsPeer> peer_;
  config::DatabaseLogin login_{"", "", false, "sa", "secret"};
  std::vector<std::string> alerts_;
  run::ProgramDatabase database_{"FreeTDS", [this](const std::string& text) { alerts_.push_back(text); }};
};

TEST_F(DatabaseList, EntriesInIdOrderWithTheStoredSelection) {
  Start(R"([[6, "Caja"], [1, "master"], [2, "tempdb"], [3, "model"], [4, "msdb"], [5, "Ventas"]])");
  settings::WriteSetting("Resp_BaseBas", ",5,");
  const std::optional<config::DatabaseListing> listing = config::ListDatabaseEntries(database_, login_);
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->entries, (std::vector<std::string>{"1 - master", "2 - tempdb", "3 - model", "4 - msdb",
                                                        "5 - Ventas", "6 - Caja"}));
  EXPECT_EQ(listing->selected, (std::vector<bool>{false, false, false, false, true, false}));
  EXPECT_EQ(listing->error, "");
}

TEST_F(DatabaseList, ASelectionSurvivesSavingAndListingAgain) {
  Start(R"([[12, "Doce"], [123, "Ventas 2026"]])");
  settings::WriteSetting("Resp_BaseBas", config::StoredDatabaseList({"123 - Ventas 2026"}));
  EXPECT_EQ(settings::ReadSetting("Resp_BaseBas"), ",123,");
  const std::optional<config::DatabaseListing> listing = config::ListDatabaseEntries(database_, login_);
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->selected, (std::vector<bool>{false, true}));
}

TEST_F(DatabaseList, StoredListsOfSelections) {
  EXPECT_EQ(config::StoredDatabaseList({}), ",");
  EXPECT_EQ(config::StoredDatabaseList({"5 - Ventas", "7 - Caja - 2"}), ",5,7,");
}

TEST_F(DatabaseList, AFailedConnectionAlertsAndGivesNoListing) {
  Start("[[5, \"Ventas\"]]");
  login_.password = "wrong";
  EXPECT_FALSE(config::ListDatabaseEntries(database_, login_));
  EXPECT_EQ(alerts_.size(), 1u);
  login_.server = "127.0.0.1," + std::to_string(FreeLoopbackPort());
  login_.password = "secret";
  EXPECT_FALSE(config::ListDatabaseEntries(database_, login_));
  EXPECT_EQ(alerts_.size(), 2u);
}

TEST_F(DatabaseList, ARefusedQueryGivesItsDescription) {
  peer_.emplace(dir_.path().string(),
                R"({"fail": [{"match": "sysdatabases", "number": 229, "message": "Denied."}]})");
  login_.server = peer_->Server();
  const std::optional<config::DatabaseListing> listing = config::ListDatabaseEntries(database_, login_);
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing->error, "Denied.");
  EXPECT_TRUE(listing->entries.empty());
}

}  // namespace
}  // namespace norvo::test
