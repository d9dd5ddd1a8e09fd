// Opening the connection and reading the database list against the stand-in.
#include "DatabaseFixture.h"
#include "support/Ports.h"

namespace norvo::test {
namespace {

using run::kServerLogin;
using run::kWindowsLogin;

TEST_F(DatabaseTest, ListHoldsEveryDatabaseInIdOrderWithUtf8Names) {
  StartServer(R"({"databases": [[7, "Caja"], [1, "master"], [5, "Facturación"]]})");
  ASSERT_TRUE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "secret"));
  std::vector<run::DatabaseRow> rows;
  ASSERT_EQ(ListDatabases(rows), "OK");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].dbid, 1);
  EXPECT_EQ(rows[1].dbid, 5);
  EXPECT_EQ(rows[1].name, "Facturación");
  EXPECT_EQ(rows[2].dbid, 7);
  EXPECT_EQ(rows[2].name, "Caja");
  EXPECT_EQ(peer_->Statements(),
            (std::vector<std::string>{"SELECT dbid,name FROM master..sysdatabases order by dbid"}));
  EXPECT_TRUE(alerts_.empty());
}

TEST_F(DatabaseTest, RefusedListQueryGivesTheServersText) {
  StartServer(R"({"fail": [{"match": "sysdatabases", "number": 229,
                            "message": "The SELECT permission was denied."}]})");
  ASSERT_TRUE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "secret"));
  std::vector<run::DatabaseRow> rows;
  EXPECT_EQ(ListDatabases(rows), "The SELECT permission was denied.");
  EXPECT_TRUE(rows.empty());
}

TEST_F(DatabaseTest, NamedInstanceIsReachedOnTheGivenPort) {
  StartServer();
  // The port stands in for the lookup of the instance's port on the server.
  setenv("TDSPORT", std::to_string(peer_->Port()).c_str(), 1);
  bool opened = OpenDatabase("127.0.0.1", "SQLEXPRESS", kServerLogin, "sa", "secret");
  unsetenv("TDSPORT");
  EXPECT_TRUE(opened);
  EXPECT_EQ(peer_->Logins(), (std::vector<std::string>{"sa:ok"}));
}

TEST_F(DatabaseTest, FailedOpenAlertsAndLaterStatementsFailWithTheReason) {
  StartServer();
  EXPECT_FALSE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "wrong"));
  // The alert gives every record, the server's own first.
  ASSERT_EQ(alerts_,
            (std::vector<std::string>{"Login failed for user 'sa'.\nUnable to connect to data source"}));
  std::vector<run::DatabaseRow> rows;
  EXPECT_EQ(ListDatabases(rows), "Login failed for user 'sa'.");
  EXPECT_EQ(peer_->Logins(), (std::vector<std::string>{"sa:refused"}));
}

TEST_F(DatabaseTest, WindowsLoginThatTheServerCannotCheckSaysWhy) {
  StartServer();
  EXPECT_FALSE(OpenDatabase(peer_->Server(), "", kWindowsLogin, "", ""));
  ASSERT_EQ(alerts_.size(), 1u);
  // The driver's generic record is not the reason: it comes last, after what the driver knows.
  const std::string generic = "Unable to connect to data source";
  const std::string& alert = alerts_[0];
  ASSERT_GT(alert.size(), generic.size()) << alert;
  EXPECT_EQ(alert.substr(alert.size() - generic.size()), generic) << alert;
  EXPECT_EQ(alert.find(generic), alert.size() - generic.size()) << alert;
}

TEST_F(DatabaseTest, ServerThatIsNotThereFailsWithAnAlert) {
  EXPECT_FALSE(
      OpenDatabase("127.0.0.1," + std::to_string(FreeLoopbackPort()), "", kServerLogin, "sa", "secret"));
  ASSERT_EQ(alerts_.size(), 1u);
  EXPECT_FALSE(alerts_[0].empty());
}

TEST_F(DatabaseTest, PasswordThatTheDriverCannotCarryFailsClearly) {
  StartServer(R"({"password": "a};b"})");
  EXPECT_FALSE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "a};b"));
  ASSERT_EQ(alerts_.size(), 1u);
  EXPECT_NE(alerts_[0].find("no admite"), std::string::npos) << alerts_[0];
  EXPECT_TRUE(peer_->Logins().empty());
}

TEST_F(DatabaseTest, DriverComesFromTheProviderConfiguration) {
  StartServer();
  UseDriver("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so");
  EXPECT_TRUE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "secret"));
  UseDriver("NoSuchDriver");
  EXPECT_FALSE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "secret"));
  ASSERT_EQ(alerts_.size(), 1u);
  EXPECT_NE(alerts_[0].find("NoSuchDriver"), std::string::npos) << alerts_[0];
  EXPECT_EQ(peer_->Logins(), (std::vector<std::string>{"sa:ok"}));
}

TEST_F(DatabaseTest, NewOpenReplacesTheConnection) {
  StartServer(R"({"databases": [[5, "Ventas"]]})");
  ASSERT_TRUE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "secret"));
  std::vector<run::DatabaseRow> rows;
  ASSERT_EQ(ListDatabases(rows), "OK");
  EXPECT_FALSE(OpenDatabase(peer_->Server(), "", kServerLogin, "sa", "bad"));
  EXPECT_NE(ListDatabases(rows), "OK");
  EXPECT_TRUE(rows.empty());
}

}  // namespace
}  // namespace norvo::test
