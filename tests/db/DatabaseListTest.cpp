// Opening the connection and reading the database list against the stand-in.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "DatabaseFixture.h"

namespace norvo::test {
namespace {

using run::kServerLogin;
using run::kWindowsLogin;

// A loopback port that nothing listens on.
int ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

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
  ASSERT_EQ(alerts_, (std::vector<std::string>{"Login failed for user 'sa'."}));
  std::vector<run::DatabaseRow> rows;
  EXPECT_EQ(ListDatabases(rows), "Login failed for user 'sa'.");
  EXPECT_EQ(peer_->Logins(), (std::vector<std::string>{"sa:refused"}));
}

TEST_F(DatabaseTest, WindowsLoginThatTheServerCannotCheckFails) {
  StartServer();
  EXPECT_FALSE(OpenDatabase(peer_->Server(), "", kWindowsLogin, "", ""));
  EXPECT_EQ(alerts_.size(), 1u);
}

TEST_F(DatabaseTest, ServerThatIsNotThereFailsWithAnAlert) {
  EXPECT_FALSE(OpenDatabase("127.0.0.1," + std::to_string(ClosedPort()), "", kServerLogin, "sa", "secret"));
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
