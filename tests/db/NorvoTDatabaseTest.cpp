// Norvo_T as a process with the database phase on: the SQL Server stand-in,
// the account-service stand-in and the RAR stand-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "peers/AccountServicePeer.h"
#include "peers/FtpPeer.h"
#include "peers/TdsPeer.h"
#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/Programs.h"
#include "support/RunSettings.h"

namespace norvo::test {
namespace {

using settings::WriteSetting;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;
using ::testing::StartsWith;

class NorvoTDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "provider.ini", "[provider]\nservice_host = " + service_.host() +
                                         "\nrar_path = " + PeerPath("fake_rar") +
                                         "\nodbc_driver = FreeTDS\nhttp_timeout_s = 2\n");
    service_.Configure({{"tipo3", "Acme;" + cloud_.Address() + ";test;secret;/"}});
    SeedRunSettings(dir_ / "drive/");
    WriteSetting("Resp_Base", "1");
    WriteSetting("Resp_BaseAut", "Aut2");
    WriteSetting("Resp_BaseUsr", "sa");
    WriteSetting("Resp_BasePas", "secret");
    WriteSetting("Resp_BaseBas", ",5,");
    WriteSetting("Resp_SeguPas", "clave");
    WriteSetting("Resp_ProgRespLoc", "1");
  }

  // Starts the SQL Server stand-in with databases 1, 5 and 15.
  void StartServer(const std::string& extra = "") {
    tds_ = std::make_unique<TdsPeer>(
        dir_.path().string() + "/",
        R"({"databases": [[1, "master"], [5, "Ventas"], [15, "Otra"]])" + extra + "}");
    ASSERT_TRUE(tds_->Started());
    WriteSetting("Resp_BaseSer", tds_->Server());
  }

  ProgramRun Run() {
    return RunProgram({ProgramPath("Norvo_T")}, {{"NORVO_REGISTRY", dir_ / "registry.db"},
                                                 {"NORVO_PROVIDER_CONF", dir_ / "provider.ini"},
                                                 {"FAKE_RAR_LOG", dir_ / "rar.log"}});
  }

  std::vector<std::string> ArchiveNames(const std::string& archive) {
    auto listing =
        RunProgram({"/bin/sh", "-c", "\"$0\" lb -pclave \"$1\" >&2", PeerPath("fake_rar"), archive}, {});
    std::vector<std::string> names;
    std::istringstream lines(listing.err);
    for (std::string line; std::getline(lines, line);) names.push_back(line);
    return names;
  }

  std::vector<std::string> Reports(const std::string& prefix) {
    std::vector<std::string> matching;
    for (const std::string& query : service_.Queries()) {
      if (query.rfind(prefix, 0) == 0) matching.push_back(query);
    }
    return matching;
  }

  TempDir dir_;
  ScopedEnv registry_{"NORVO_REGISTRY", dir_ / "registry.db"};
  AccountServicePeer service_{dir_.path().string()};
  FtpPeer cloud_;
  std::unique_ptr<TdsPeer> tds_;
  std::string work_ = dir_ / "drive/TEMP_Norvo/";
  std::string pc_ = run::GetMachineName();
};

TEST_F(NorvoTDatabaseTest, SelectedDatabaseIsDumpedArchivedAndReported) {
  StartServer();
  auto run = Run();
  EXPECT_EQ(run.exit_code, 0) << run.err;
  std::vector<std::string> statements = tds_->Statements();
  ASSERT_FALSE(statements.empty());
  EXPECT_EQ(statements.front(), "SELECT dbid,name FROM master..sysdatabases order by dbid");
  // Only database 5 is selected by ",5,": one procedure, for Ventas, into the work folder.
  EXPECT_EQ(std::count_if(statements.begin(), statements.end(),
                          [](const std::string& s) { return s.rfind("CREATE PROCEDURE", 0) == 0; }),
            1);
  EXPECT_THAT(statements,
              Contains(HasSubstr("BACKUP DATABASE [Ventas]\rTO  DISK = '" + work_ + "BD05C001.BAK'")));
  EXPECT_EQ(statements.back(), "DROP PROCEDURE [dbo].[SP_RESPALDAR_BDD]\r");

  // The archiver packed the dump with the password and deleted it.
  auto calls = ReadJsonLines(dir_ / "rar.log");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_THAT(calls[0]["argv"].get<std::vector<std::string>>(),
              IsSupersetOf(std::vector<std::string>{"a", "-df", "-hpclave", work_ + "BD05C001.RAR",
                                                    work_ + "BD05C001.BAK"}));
  EXPECT_FALSE(std::filesystem::exists(work_ + "BD05C001.BAK"));
  EXPECT_THAT(ArchiveNames(work_ + "BD05C001.RAR"), ElementsAre("BD05C001.BAK"));

  EXPECT_THAT(Reports("Tipo=4"),
              ElementsAre("Tipo=4&CL=123&NE=" + pc_ + "&TR=BD&RE=Ventas&CO=BD05C001.RAR&ED=Y"));
  // The archive reached the computer's folder in the cloud, whole.
  const std::string cloudCopy = cloud_.Root() + "/123/" + pc_ + "/BD05C001.RAR";
  EXPECT_EQ(ReadFile(cloudCopy), ReadFile(work_ + "BD05C001.RAR"));
  EXPECT_THAT(ArchiveNames(cloudCopy), ElementsAre("BD05C001.BAK"));
  EXPECT_THAT(service_.Queries(), Not(Contains(HasSubstr("BDD"))));
  EXPECT_THAT(run.err, Not(HasSubstr("Login failed")));
}

TEST_F(NorvoTDatabaseTest, RefusedBackupIsReportedWithTheServersText) {
  StartServer(R"(, "refuse_backup": true)");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(Reports("Tipo=5"), Contains("Tipo=5&CL=123&NO=Acme&NE=" + pc_ +
                                          "&ER=BACKUP DATABASE permission denied in database 'Ventas'."));
  EXPECT_THAT(Reports("Tipo=4"), ElementsAre(HasSubstr("&TR=BD&RE=Ventas&CO=BD05C001.RAR&ED=N")));
}

TEST_F(NorvoTDatabaseTest, RefusedLoginIsAConnectionErrorAndTheFilePhaseStillRuns) {
  StartServer();
  WriteSetting("Resp_BasePas", "wrong");
  WriteSetting("Resp_Archivo", "1");
  std::filesystem::create_directories(dir_ / "datos");
  WriteFile(dir_ / "datos/a.xls", "1");
  WriteSetting("Resp_ArchRuta", dir_ / "datos");
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 0) << run.err;
  // No box waits for a person: the reason is a line on stderr.
  EXPECT_LT(run.seconds, 15);
  EXPECT_THAT(run.err, HasSubstr("Norvo_T: Login failed for user 'sa'."));
  EXPECT_TRUE(tds_->Statements().empty());
  EXPECT_THAT(Reports("Tipo=5"),
              Contains("Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=Error de conexión con BDD"));
  EXPECT_THAT(Reports("Tipo=4"),
              ElementsAre(HasSubstr("&TR=AR&RE=" + (dir_ / "datos") + "/*.xls&CO=ARC1C001.RAR")));
}

}  // namespace
}  // namespace norvo::test
