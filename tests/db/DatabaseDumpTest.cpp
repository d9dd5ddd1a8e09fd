// The dump of a database against the SQL Server stand-in: the exact
// statements in their order, the file the server writes, and the failures.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "DatabaseFixture.h"

namespace norvo::test {
namespace {

using Statements = std::vector<std::string>;

const char* const kFindAux = "SELECT * FROM master..sysdatabases Where name='Norvo'";
const char* const kCreateAux = "CREATE DATABASE \"Norvo\"";
const char* const kUse = "USE Norvo";
const char* const kFindProc = "SELECT * FROM sysobjects WHERE name='SP_RESPALDAR_BDD'";
const char* const kDropProc = "DROP PROCEDURE [dbo].[SP_RESPALDAR_BDD]\r";
const char* const kExec = "EXEC [dbo].SP_RESPALDAR_BDD";

std::string CreateProc(const std::string& path, const std::string& database) {
  return "CREATE PROCEDURE [dbo].[SP_RESPALDAR_BDD]\rAS\rBACKUP DATABASE [" + database +
         "]\r"
         "TO  DISK = '" +
         path +
         "'\r"
         "WITH  INIT ,NOUNLOAD ,NAME = N'Copia de seguridad BDD',  NOSKIP ,  STATS = 10,  "
         "NOFORMAT\r";
}

const char* const kVentas = R"({"databases": [[1, "master"], [5, "Ventas"], [7, "Caja]Chica"]]})";

TEST_F(DatabaseTest, FirstDumpCreatesTheAuxiliaryDatabaseAndTheServerWritesTheFile) {
  StartServer(kVentas);
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "OK");
  EXPECT_EQ(peer_->Statements(),
            (Statements{kFindAux, kCreateAux, kUse, kFindProc, CreateProc(folder_ + "BD05C001.BAK", "Ventas"),
                        kExec, kDropProc}));
  EXPECT_NE(ReadFile(folder_ + "BD05C001.BAK").find("full backup of Ventas"), std::string::npos);
  EXPECT_TRUE(alerts_.empty());
  EXPECT_EQ(peer_->Attentions(), 0);
}

TEST_F(DatabaseTest, SecondDumpFindsTheAuxiliaryDatabaseAndNoLeftoverProcedure) {
  StartServer(kVentas);
  ASSERT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "OK");
  std::size_t first = peer_->Statements().size();
  ASSERT_EQ(DumpDatabase(folder_, "BD07C001.BAK", "Caja]Chica"), "OK");
  Statements all = peer_->Statements();
  Statements second(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
  // The "]" of the name is doubled so that the server sees one name.
  EXPECT_EQ(second, (Statements{kFindAux, kUse, kFindProc,
                                CreateProc(folder_ + "BD07C001.BAK", "Caja]]Chica"), kExec, kDropProc}));
  EXPECT_NE(ReadFile(folder_ + "BD07C001.BAK").find("full backup of Caja]Chica"), std::string::npos);
  EXPECT_EQ(peer_->Logins(), (Statements{"sa:ok", "sa:ok"}));
}

TEST_F(DatabaseTest, ProcedureLeftByAnInterruptedRunIsDroppedFirst) {
  StartServer(R"({"databases": [[5, "Ventas"]], "procedures": ["SP_RESPALDAR_BDD"]})");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C002.BAK", "Ventas"), "OK");
  EXPECT_EQ(peer_->Statements(),
            (Statements{kFindAux, kUse, kFindProc, kDropProc, CreateProc(folder_ + "BD05C002.BAK", "Ventas"),
                        kExec, kDropProc}));
}

TEST_F(DatabaseTest, RefusedBackupReturnsTheServersTextAndLeavesTheProcedureForNextTime) {
  StartServer(R"({"databases": [[5, "Ventas"]], "refuse_backup": true})");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"),
            "BACKUP DATABASE permission denied in database 'Ventas'.");
  Statements statements = peer_->Statements();
  ASSERT_FALSE(statements.empty());
  EXPECT_EQ(statements.back(), kExec);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "BD05C001.BAK"));

  // The next dump finds the procedure and drops it before creating it again.
  DumpDatabase(folder_, "BD05C001.BAK", "Ventas");
  statements = peer_->Statements();
  EXPECT_EQ(std::count(statements.begin(), statements.end(), std::string(kDropProc)), 1);
}

TEST_F(DatabaseTest, RefusedCreateDatabaseStopsTheDump) {
  StartServer(R"({"refuse_create_database": true})");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"),
            "CREATE DATABASE permission denied in database 'master'.");
  EXPECT_EQ(peer_->Statements(), (Statements{kFindAux, kCreateAux}));
}

TEST_F(DatabaseTest, MissingFolderIsReportedWithTheServersText) {
  StartServer(kVentas);
  std::string result = DumpDatabase(folder_ + "missing/", "BD05C001.BAK", "Ventas");
  EXPECT_EQ(result.rfind("Cannot open backup device '" + folder_ + "missing/BD05C001.BAK'", 0), 0u) << result;
}

TEST_F(DatabaseTest, AnyFailingStatementEndsTheDumpWithItsDescription) {
  StartServer(R"({"databases": [[5, "Ventas"]], "aux_database": true,
                  "fail": [{"match": "USE Norvo", "number": 916, "message": "No access."}]})");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "No access.");
  EXPECT_EQ(peer_->Statements(), (Statements{kFindAux, kUse}));
}

TEST_F(DatabaseTest, LongBackupIsAwaitedToItsEnd) {
  StartServer(R"({"databases": [[5, "Ventas"]], "backup_seconds": 1.5})");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "OK");
  // A client that stops reading early cancels the BACKUP and the server removes its file.
  EXPECT_EQ(peer_->Attentions(), 0);
  EXPECT_TRUE(std::filesystem::exists(folder_ + "BD05C001.BAK"));
  EXPECT_EQ(peer_->Statements().back(), kDropProc);
}

TEST_F(DatabaseTest, OlderProtocolVersionDumpsAlike) {
  StartServer(kVentas);
  // TDS 7.1 has no ALL_HEADERS and narrower DONE counts than the default 7.4.
  ScopedEnv version("TDSVER", "7.1");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "OK");
  EXPECT_EQ(peer_->Statements().size(), 7u);
  EXPECT_TRUE(std::filesystem::exists(folder_ + "BD05C001.BAK"));
}

TEST_F(DatabaseTest, RefusedLoginIsTheDumpsResultAndOneAlert) {
  StartServer(kVentas);
  StoreLogin("sa", "wrong");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "Login failed for user 'sa'.");
  EXPECT_EQ(alerts_, (Statements{"Login failed for user 'sa'.\nUnable to connect to data source"}));
  EXPECT_TRUE(peer_->Statements().empty());
}

TEST_F(DatabaseTest, PasswordWithSeparatorsAndBracesLogsIn) {
  StartServer(R"({"user": "us;er=}", "password": "p;w={x}}", "databases": [[5, "Ventas"]]})");
  StoreLogin("us;er=}", "p;w={x}}");
  EXPECT_EQ(DumpDatabase(folder_, "BD05C001.BAK", "Ventas"), "OK");
  EXPECT_EQ(peer_->Logins(), (Statements{"us;er=}:ok"}));
}

}  // namespace
}  // namespace norvo::test
