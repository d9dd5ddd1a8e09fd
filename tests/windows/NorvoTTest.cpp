// Norvo_T.exe end to end as a process under Wine, against the same peers as
// on Linux: pyftpdlib, the account-service stand-in, the SQL Server stand-in
// through odbc32, and the RAR stand-in (a Windows program).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "StandinArchive.h"
#include "WineSupport.h"
#include "platform/System.h"
#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/RunSettings.h"

namespace norvo::test {
namespace {

using settings::ReadSetting;
using settings::WriteSetting;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
namespace fs = std::filesystem;

class NorvoTTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string letter = platform::EnvironmentValue("NORVO_TEST_DRIVE");
    if (letter.empty()) letter = dir_.path().string().substr(0, 1);
    work_ = letter + ":\\TEMP_Norvo\\";
    fs::remove_all(work_);
    fs::create_directories(cloudRoot_);
    StartCloud();
    WriteFile(dir_ / "provider.ini", "[provider]\nftp_retries = 1\nftp_retry_wait_s = 1\nservice_host = " +
                                         service_.Host() + "\nrar_path = " + ProgramPath("rar_standin") +
                                         "\nodbc_driver = FreeTDS\nhttp_timeout_s = 5\nftp_timeout_s = 10\n");
    SeedRunSettings(letter);
    WriteSetting("Resp_Archivo", "1");
    WriteSetting("Resp_SeguPas", "clave con blanco");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(work_, ignored);
  }

  void StartCloud(int throttle = 0) {
    cloud_ = std::make_unique<FtpServer>(cloudRoot_, throttle);
    ASSERT_TRUE(cloud_->Started());
    Account(cloud_->Address());
  }
  void Account(const std::string& host, const std::string& password = "secret") {
    service_.Configure(R"({"tipo3": "Acme;)" + host + ";test;" + password + R"(;/"})");
  }
  int Run() { return RunProgram({ProgramPath("Norvo_T")}, dir_ / "run.err"); }
  std::string Errors() { return ReadFile(dir_ / "run.err"); }
  std::vector<std::string> NewQueries() {
    std::vector<std::string> all = service_.Queries();
    std::vector<std::string> fresh(all.begin() + static_cast<long>(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }
  std::string Item(const std::string& kind, const std::string& source, const std::string& copy,
                   const std::string& state) const {
    return "Tipo=4&CL=123&NE=" + pc_ + "&TR=" + kind + "&RE=" + source + "&CO=" + copy + "&ED=" + state;
  }
  std::string Error(const std::string& text) const {
    return "Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=" + text;
  }
  std::string CloudFolder() const { return cloudRoot_ + "\\123\\" + pc_ + "\\"; }
  std::vector<std::string> CloudNames() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(CloudFolder(), ec))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string MemberOf(const std::string& archive, const std::string& member) const {
    const auto packed = test::ReadStandinArchive(CloudFolder() + archive);
    if (!packed || packed->password != "clave con blanco") return "<no archive with the password>";
    const std::string* bytes = packed->Member(member);
    return bytes != nullptr ? *bytes : "<no member " + member + ">";
  }

  ScopedStore store_;
  TempDir dir_;
  ScopedEnv provider_{"NORVO_PROVIDER_CONF", dir_ / "provider.ini"};
  AccountServiceStandIn service_{dir_.path().string()};
  std::string cloudRoot_ = dir_ / "cloud";
  std::unique_ptr<FtpServer> cloud_;
  std::string work_;
  std::string pc_ = run::GetMachineName();
  std::size_t seen_ = 0;
};

TEST_F(NorvoTTest, FourRunsRotateThreeCopiesWithTheExactReports) {
  const std::string datos = dir_ / "datos";
  fs::create_directories(datos);
  WriteFile(datos + "\\a.xls", "A");
  WriteFile(datos + "\\b.xls", "B");
  WriteSetting("Resp_ArchRuta", datos);
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ArchRuta2", datos + "\\");
  WriteSetting("Resp_ArchTipo2", "A");
  WriteSetting("Resp_ArchNom2", "nota.txt");
  WriteSetting("Resp_ProgMail", "jefe@acme.example");
  const std::string folderSet = run::ShortPathOf(datos) + "\\*.xls";
  const std::string fileSet = run::ShortPathOf(datos + "\\") + "nota.txt";
  const int slots[] = {1, 2, 3, 1};
  for (int round = 1; round <= 4; ++round) {
    SCOPED_TRACE("run " + std::to_string(round));
    const std::string slot = "C00" + std::to_string(slots[round - 1]) + ".RAR";
    WriteFile(datos + "\\nota.txt", "nota " + std::to_string(round));
    const bool notice = round != 4;
    WriteSetting("Resp_ProgEnv", notice ? "1" : "0");
    ASSERT_EQ(Run(), 0) << Errors();
    std::vector<std::string> expected = {"Tipo=3&Clave=MTIz", Item("AR", folderSet, "ARC1" + slot, "Y"),
                                         Item("AR", fileSet, "ARA2" + slot, "Y")};
    if (notice) expected.push_back("Tipo=7&CL=123&MA=jefe@acme.example&NE=" + pc_);
    EXPECT_THAT(NewQueries(), ElementsAreArray(expected)) << Errors();
    EXPECT_EQ(ReadSetting("Resp_RespUCopia"), std::to_string(slots[round - 1]));
  }
  EXPECT_THAT(CloudNames(), ElementsAre("ARA2C001.RAR", "ARA2C002.RAR", "ARA2C003.RAR", "ARC1C001.RAR",
                                        "ARC1C002.RAR", "ARC1C003.RAR"));
  EXPECT_EQ(MemberOf("ARA2C001.RAR", "nota.txt"), "nota 4");
  EXPECT_EQ(MemberOf("ARA2C002.RAR", "nota.txt"), "nota 2");
  EXPECT_EQ(MemberOf("ARC1C001.RAR", "b.xls"), "B");
  EXPECT_FALSE(fs::exists(work_ + "ARA2C001.RAR")) << "no local copy is kept";
  // Each run's restore drill took the other item: the last tested the fourth run's ARA2.
  EXPECT_EQ(ReadSetting("Resp_VerifCopia"), "ARA2C001.RAR");
  EXPECT_EQ(ReadSetting("Resp_VerifTurno"), ",ARC1,ARA2,");
  EXPECT_FALSE(fs::exists(work_ + "VERIF_ARA2C001.RAR"));
}

TEST_F(NorvoTTest, DatabaseDumpThroughOdbc32ToTheSqlServerStandIn) {
  WriteFile(dir_ / "tds.json", R"({"databases": [[1, "master"], [5, "Ventas"], [15, "Otra"]]})");
  Peer tds("tds_server.py", {"--config", LinuxPath(dir_ / "tds.json"), "--log", LinuxPath(dir_ / "tds.log"),
                             "--drive", "W=" + platform::EnvironmentValue("NORVO_TEST_DRIVE_LINUX")});
  ASSERT_TRUE(tds.Started());
  WriteSetting("Resp_Archivo", "0");
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseSer", "127.0.0.1," + std::to_string(tds.Port()));
  WriteSetting("Resp_BaseAut", "Aut2");
  WriteSetting("Resp_BaseUsr", "sa");
  WriteSetting("Resp_BasePas", "secret");
  WriteSetting("Resp_BaseBas", ",5,");
  ASSERT_EQ(Run(), 0) << Errors();
  EXPECT_THAT(NewQueries(), ElementsAre("Tipo=3&Clave=MTIz", Item("BD", "Ventas", "BD05C001.RAR", "Y")))
      << Errors();
  EXPECT_THAT(MemberOf("BD05C001.RAR", "BD05C001.BAK"),
              ::testing::StartsWith(std::string("TAPE\0Norvo", 10)));
  EXPECT_THAT(ReadFile(dir_ / "tds.log"),
              ::testing::HasSubstr(R"(TO  DISK = 'W:\\TEMP_Norvo\\BD05C001.BAK')"));
  // The restore drill had the server read the dump back from the copy.
  EXPECT_THAT(
      ReadFile(dir_ / "tds.log"),
      ::testing::HasSubstr(R"(RESTORE VERIFYONLY FROM DISK = N'W:\\TEMP_Norvo\\VERIF_BD05\\BD05C001.BAK')"));
}

TEST_F(NorvoTTest, ARefusedFtpLogOnIsReportedAndNothingIsStored) {
  WriteFile(dir_ / "nota.txt", "x");
  WriteSetting("Resp_ArchRuta", dir_.path().string() + "\\");
  WriteSetting("Resp_ArchTipo", "A");
  WriteSetting("Resp_ArchNom", "nota.txt");
  Account(cloud_->Address(), "wrong");
  ASSERT_EQ(Run(), 2) << Errors() << "an item failed";
  EXPECT_THAT(NewQueries(), ElementsAre("Tipo=3&Clave=MTIz",
                                        Item("AR", run::ShortPathOf(dir_.path().string() + "\\") + "nota.txt",
                                             "ARA1C001.RAR", "N"),
                                        Error("No se puede conectar al Cloud")));
  EXPECT_THAT(CloudNames(), ::testing::IsEmpty());
}

// A run whose archiver works for a long time (the RAR stand-in holds until
// ended), with what it needs to find that archiver's process.
class HeldArchiverTest : public NorvoTTest {
 protected:
  void SetUp() override {
    NorvoTTest::SetUp();
    WriteSetting("Resp_ArchRuta", dir_.path().string() + "\\");
    WriteSetting("Resp_ArchTipo", "A");
    WriteSetting("Resp_ArchNom", "datos.bin");
    WriteFile(dir_ / "datos.bin", "datos");
  }
  // The archiver's process id once it has started; 0 when it never did.
  unsigned long ArchiverId() {
    const std::string id = AwaitFile(hold_);
    return id.empty() ? 0 : std::stoul(id);
  }
  std::string hold_ = dir_ / "archiver.pid";
  ScopedEnv holding_{"RAR_STANDIN_HOLD", hold_};
};

// Killed while its archiver works, the run takes the archiver along (it runs
// in a job that kills it when the run ends), so the next run never meets it
// still writing the work files.
TEST_F(HeldArchiverTest, AKilledRunTakesItsArchiverAlong) {
  StartedProgram run({ProgramPath("Norvo_T")}, dir_ / "run.err");
  const unsigned long archiver = ArchiverId();
  ASSERT_NE(archiver, 0u) << "the archiver never started: " << Errors();
  run.Kill();
  EXPECT_TRUE(ProcessEnds(archiver, 10000)) << "the archiver outlived its run";
}

// Ctrl+Break ends the run as SIGTERM does on Linux: the archiver is ended,
// the interruption reported, nothing saved, exit status 1.
TEST_F(HeldArchiverTest, CtrlBreakEndsTheArchiverAndTheRun) {
  WriteSetting("Resp_RespUCopia", "2");
  AllocConsole();  // the event goes through a console the run shares; fails when there is one
  StartedProgram run({ProgramPath("Norvo_T")}, dir_ / "run.err", CREATE_NEW_PROCESS_GROUP);
  const unsigned long archiver = ArchiverId();
  ASSERT_NE(archiver, 0u) << "the archiver never started: " << Errors();
  if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, run.Id())) {
    const DWORD why = GetLastError();
    run.Kill();
    if (UnderWine())
      GTEST_SKIP() << "Wine's console without a display sends no control event (error " << why << ")";
    FAIL() << "Ctrl+Break could not be sent: error " << why;
  }
  EXPECT_EQ(run.Wait(), 1) << Errors();
  EXPECT_TRUE(ProcessEnds(archiver, 0)) << "the archiver outlived its run";
  EXPECT_THAT(NewQueries(),
              ::testing::Contains(::testing::HasSubstr("el programa fue interrumpido (CTRL_BREAK_EVENT)")));
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "2");
}

TEST_F(NorvoTTest, ServerKilledMidUploadKeepsTheOldCopyAndTheNextRunSucceeds) {
  WriteSetting("Resp_ProgCopias", "1");
  WriteSetting("Resp_ArchRuta", dir_.path().string() + "\\");
  WriteSetting("Resp_ArchTipo", "A");
  WriteSetting("Resp_ArchNom", "datos.bin");
  const std::string data = dir_ / "datos.bin";
  const std::string source = run::ShortPathOf(dir_.path().string() + "\\") + "datos.bin";
  StartCloud(256 * 1024);
  WriteFile(data, "first copy");
  ASSERT_EQ(Run(), 0) << Errors();
  const std::string oldCopy = ReadFile(CloudFolder() + "ARA1C001.RAR");
  ASSERT_EQ(MemberOf("ARA1C001.RAR", "datos.bin"), "first copy");
  NewQueries();

  std::string big(4 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
  WriteFile(data, big);
  StartedProgram run({ProgramPath("Norvo_T")}, dir_ / "run.err");
  const std::string temporary = CloudFolder() + "ARA1C001.TMP";
  auto uploaded = [&] {
    std::error_code ec;
    const auto size = fs::file_size(temporary, ec);
    return ec ? 0 : size;
  };
  for (int i = 0; i < 400 && uploaded() < 100000; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_GE(uploaded(), 100000u) << "the upload never started";
  cloud_->Kill();
  EXPECT_EQ(run.Wait(), 2) << Errors() << "an item failed";
  EXPECT_EQ(ReadFile(CloudFolder() + "ARA1C001.RAR"), oldCopy) << "the old copy of the slot is intact";
  EXPECT_THAT(NewQueries(), ElementsAre("Tipo=3&Clave=MTIz", Item("AR", source, "ARA1C001.RAR", "N"),
                                        Error("Problema no se pudo copiar el archivo ARA1C001.RAR")))
      << Errors();

  StartCloud();
  ASSERT_EQ(Run(), 0) << Errors();
  EXPECT_THAT(NewQueries(), ElementsAre("Tipo=3&Clave=MTIz", Item("AR", source, "ARA1C001.RAR", "Y")));
  EXPECT_EQ(MemberOf("ARA1C001.RAR", "datos.bin"), big);
  EXPECT_THAT(CloudNames(), ElementsAre("ARA1C001.RAR"));
}

}  // namespace
}  // namespace norvo::test
