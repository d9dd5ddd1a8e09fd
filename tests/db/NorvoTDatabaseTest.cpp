// Norvo_T as a process with the database phase on: the SQL Server stand-in,
// the account-service stand-in and the RAR stand-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

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
using ::testing::Key;
using ::testing::Not;
using ::testing::Pair;
using ::testing::StartsWith;

// The command lines and environments of the running processes whose command line holds `marker`.
std::vector<std::string> ProcessesWith(const std::string& marker) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string cmdline = ReadFile(entry.path() / "cmdline");
    if (cmdline.find(marker) == std::string::npos) continue;
    found.push_back(cmdline + ReadFile(entry.path() / "environ"));
  }
  return found;
}

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
  // The procedure is dropped after the dump; the restore drill then reads the dump back.
  ASSERT_GE(statements.size(), 2u);
  EXPECT_EQ(statements[statements.size() - 2], "DROP PROCEDURE [dbo].[SP_RESPALDAR_BDD]\r");
  EXPECT_EQ(statements.back(), "RESTORE VERIFYONLY FROM DISK = N'" + work_ + "VERIF_BD05/BD05C001.BAK'");

  // The archiver packed the dump with the password and deleted it; the drill extracted it.
  auto calls = ReadJsonLines(dir_ / "rar.log");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1]["command"], "x");
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

// sql_checksum: the dump is made WITH CHECKSUM and read back WITH CHECKSUM;
// a dump the server cannot read back fails the drill and is reported.
TEST_F(NorvoTDatabaseTest, DrillHasTheServerReadTheDumpBack) {
  WriteFile(dir_ / "provider.ini", ReadFile(dir_ / "provider.ini") + "sql_checksum = on\n");
  StartServer();
  auto run = Run();
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(tds_->Statements(), Contains(HasSubstr("NOFORMAT ,CHECKSUM\r")));
  EXPECT_THAT(tds_->Statements(), Contains("RESTORE VERIFYONLY FROM DISK = N'" + work_ +
                                           "VERIF_BD05/BD05C001.BAK' WITH CHECKSUM"));
  EXPECT_EQ(settings::ReadSetting("Resp_VerifCopia"), "BD05C001.RAR");
  EXPECT_FALSE(std::filesystem::exists(work_ + "VERIF_BD05"));

  StartServer(R"(, "damage_backup": true)");
  run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_THAT(Reports("Tipo=5"), ElementsAre(HasSubstr("&ER=La copia BD05C002.RAR no se pudo verificar: el "
                                                       "servidor no pudo leer el respaldo")));
  EXPECT_THAT(run.err, HasSubstr("media family"));
  EXPECT_FALSE(std::filesystem::exists(work_ + "VERIF_BD05"));
}

TEST_F(NorvoTDatabaseTest, RefusedBackupIsReportedWithTheServersText) {
  StartServer(R"(, "refuse_backup": true)");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
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
  EXPECT_EQ(run.exit_code, 2) << run.err;
  // No box waits for a person: the reason is a line on stderr.
  EXPECT_LT(run.seconds, 15);
  // Every record of the failure on its own line, each named as the program's.
  EXPECT_THAT(run.err,
              HasSubstr("Norvo_T: Login failed for user 'sa'.\nNorvo_T: Unable to connect to data source\n"));
  EXPECT_TRUE(tds_->Statements().empty());
  EXPECT_THAT(Reports("Tipo=5"),
              Contains("Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=Error de conexión con BDD"));
  EXPECT_THAT(Reports("Tipo=4"),
              ElementsAre(HasSubstr("&TR=AR&RE=" + (dir_ / "datos") + "/*.xls&CO=ARC1C001.RAR")));
}

// A fresh installation without the RAR tool: 7-Zip makes real encrypted
// archives of a database dump and a folder set with subfolders.
TEST_F(NorvoTDatabaseTest, SevenZipCopiesInTheCloudOpenOnlyWithThePasswordAndHoldTheSources) {
  StartServer();
  WriteFile(dir_ / "provider.ini",
            "[provider]\nservice_host = " + service_.host() +
                "\narchiver = 7z\narchiver_level = 2\nodbc_driver = FreeTDS\nhttp_timeout_s = 2\n");
  const std::string password = "clave \"secreta\" 7";
  WriteSetting("Resp_SeguPas", password);
  WriteSetting("Resp_Archivo", "1");
  std::filesystem::create_directories(dir_ / "datos/2024");
  // Large enough that 7-Zip works for a while, to be seen in the process list.
  std::string large;
  for (int i = 0; large.size() < (8u << 20); ++i) large += std::to_string(i * 2654435761u) + ";";
  WriteFile(dir_ / "datos/grande.xls", large);
  WriteFile(dir_ / "datos/2024/enero.xls", "enero");
  WriteFile(dir_ / "datos/notas.txt", "no se respalda");
  WriteSetting("Resp_ArchRuta", dir_ / "datos");
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ArchSub", "1");
  const pid_t pid =
      StartProgram({ProgramPath("Norvo_T")},
                   {{"NORVO_REGISTRY", dir_ / "registry.db"}, {"NORVO_PROVIDER_CONF", dir_ / "provider.ini"}},
                   dir_ / "run.err");
  std::vector<std::string> seen;
  for (int i = 0; i < 3000 && seen.empty(); ++i) {
    seen = ProcessesWith(work_ + "ARC1C001.RAR");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(WaitProgram(pid), 0) << ReadFile(dir_ / "run.err");
  ASSERT_THAT(seen, Not(::testing::IsEmpty())) << "7-Zip was not seen running";
  EXPECT_THAT(seen.front(), HasSubstr("-mhe=on"));
  EXPECT_THAT(seen.front(), HasSubstr("-mx=2"));
  EXPECT_THAT(seen.front(), Not(HasSubstr("secreta")));
  EXPECT_THAT(ReadFile(dir_ / "run.err"), HasSubstr("archiver: 7-Zip ("));
  EXPECT_FALSE(std::filesystem::exists(work_ + "BD05C001.BAK")) << "the dump goes once it is packed";
  EXPECT_THAT(Reports("Tipo=4"),
              ElementsAre(HasSubstr("CO=BD05C001.RAR&ED=Y"), HasSubstr("CO=ARC1C001.RAR&ED=Y")));

  const std::string cloud = cloud_.Root() + "/123/" + pc_ + "/";
  EXPECT_THAT(ExtractWith7zz(cloud + "BD05C001.RAR", password).files,
              ElementsAre(Pair("BD05C001.BAK", StartsWith("TAPE"))));
  const Extracted files = ExtractWith7zz(cloud + "ARC1C001.RAR", password);
  EXPECT_THAT(files.files, ElementsAre(Key("2024/enero.xls"), Key("grande.xls")));
  EXPECT_EQ(files.files.at("grande.xls"), large);
  for (const std::string copy : {"BD05C001.RAR", "ARC1C001.RAR"}) {
    EXPECT_NE(ExtractWith7zz(cloud + copy, "clave").exit_code, 0);
    EXPECT_NE(ExtractWith7zz(cloud + copy, "").exit_code, 0);
    const ProgramRun listing = ListWith7zzWithoutPassword(cloud + copy);
    EXPECT_NE(listing.exit_code, 0);
    EXPECT_THAT(listing.err, Not(HasSubstr(".BAK")));
    EXPECT_THAT(listing.err, Not(HasSubstr("enero")));
  }
}

TEST_F(NorvoTDatabaseTest, SevenZipWithNothingMatchingReportsTheNoFilesText) {
  WriteFile(dir_ / "provider.ini",
            "[provider]\nservice_host = " + service_.host() + "\narchiver = 7z\nhttp_timeout_s = 2\n");
  WriteSetting("Resp_Base", "0");
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.pdf");
  const ProgramRun run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_THAT(Reports("Tipo=5"), Contains(HasSubstr("&ER=No existen archivo(s) para comprimir")));
  EXPECT_THAT(Reports("Tipo=4"), ElementsAre(HasSubstr("CO=ARC1C001.RAR&ED=N")));
}

}  // namespace
}  // namespace norvo::test
