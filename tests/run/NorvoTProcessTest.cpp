// Norvo_T as a process: its own settings store, provider configuration, the
// account-service stand-in and the RAR stand-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

#include "peers/AccountServicePeer.h"
#include "platform/System.h"
#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/Programs.h"
#include "support/RunSettings.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using settings::ReadSetting;
using settings::WriteSetting;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

// "DD-MM-YYYY hh:mm"
bool LooksLikeRunDate(const std::string& text) {
  const std::string shape = "99-99-9999 99:99";
  if (text.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == '9' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
      return false;
  }
  return true;
}

// The cloud of these runs is a port where nothing listens.
const char kNotConnected[] = "No se puede conectar al Cloud";

class NorvoTProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteProvider(service_.host());
    peerEnv_ = {{"NORVO_REGISTRY", dir_ / "registry.db"},
                {"NORVO_PROVIDER_CONF", dir_ / "provider.ini"},
                {"FAKE_RAR_LOG", dir_ / "rar.log"}};
    service_.Configure({{"tipo3", "Acme;127.0.0.1:1;u;p;/base/"}});
    SeedRunSettings(dir_ / "drive/");
    WriteSetting("Resp_Archivo", "1");
    WriteSetting("Resp_ProgRespLoc", "1");
  }

  void WriteProvider(const std::string& host) {
    WriteFile(dir_ / "provider.ini",
              "[provider]\nftp_retries = 1\nftp_retry_wait_s = 1\nservice_host = " + host +
                  "\nrar_path = " + PeerPath("fake_rar") + "\nhttp_timeout_s = 1\n");
  }

  ProgramRun Run(std::map<std::string, std::string> extra = {}) {
    extra.insert(peerEnv_.begin(), peerEnv_.end());
    return RunProgram({ProgramPath("Norvo_T")}, extra);
  }

  // Names in an archive of the work folder, as the RAR stand-in lists them.
  std::vector<std::string> ArchiveNames(const std::string& name, const std::string& password = "") {
    auto listing = RunProgram(
        {"/bin/sh", "-c", "\"$0\" lb \"-p$1\" \"$2\" >&2", PeerPath("fake_rar"), password, work_ + name}, {});
    std::vector<std::string> names;
    std::istringstream lines(listing.err);
    for (std::string line; std::getline(lines, line);) names.push_back(line);
    return names;
  }

  TempDir dir_;
  ScopedEnv registry_{"NORVO_REGISTRY", dir_ / "registry.db"};
  AccountServicePeer service_{dir_.path().string()};
  std::map<std::string, std::string> peerEnv_;
  std::string work_ = dir_ / "drive/TEMP_Norvo/";
  std::string pc_ = GetMachineName();
};

TEST_F(NorvoTProcessTest, FileSetsOfBothKindsWithPasswordSubfoldersBlanksAndQuotes) {
  const std::string folder = dir_ / "Mis Datos \"2024\"";
  std::filesystem::create_directories(folder + "/sub 'x'");
  WriteFile(folder + "/libro 1.xls", "1");
  WriteFile(folder + "/nota.txt", "2");
  WriteFile(folder + "/sub 'x'/libro 2.xls", "3");
  WriteSetting("Resp_SeguPas", "p \"w' x");
  WriteSetting("Resp_ArchRuta", folder);
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ArchSub", "1");
  WriteSetting("Resp_ArchRuta2", folder + "/");
  WriteSetting("Resp_ArchTipo2", "A");
  WriteSetting("Resp_ArchNom2", "nota.txt");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << "packed, but no item reached the cloud: " << run.err;
  EXPECT_THAT(ArchiveNames("ARC1C001.RAR", "p \"w' x"),
              UnorderedElementsAre("libro 1.xls", "sub 'x'/libro 2.xls"));
  EXPECT_THAT(ArchiveNames("ARA2C001.RAR", "p \"w' x"), ElementsAre("nota.txt"));
  EXPECT_THAT(ArchiveNames("ARA2C001.RAR", "wrong"), ElementsAre("Incorrect password"));
  EXPECT_TRUE(platform::FileExists(folder + "/nota.txt")) << "file sets keep their sources";
  const std::string item = "Tipo=4&CL=123&NE=" + pc_ + "&TR=AR&RE=";
  const std::string error = "Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=" + kNotConnected;
  EXPECT_THAT(service_.Queries(),
              ElementsAre("Tipo=3&Clave=MTIz", item + folder + "/*.xls&CO=ARC1C001.RAR&ED=N",
                          item + folder + "/nota.txt&CO=ARA2C001.RAR&ED=N", error, error));
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "1");
  EXPECT_TRUE(LooksLikeRunDate(ReadSetting("Resp_RespFecha"))) << ReadSetting("Resp_RespFecha");
  EXPECT_THAT(run.err, HasSubstr("ARC1C001.RAR: archive of"));
  EXPECT_THAT(run.err, HasSubstr("error: " + std::string(kNotConnected)));
}

TEST_F(NorvoTProcessTest, NoPasswordNoSubfoldersAndTheNextSlot) {
  std::filesystem::create_directories(dir_ / "d/sub");
  WriteFile(dir_ / "d/a.csv", "1");
  WriteFile(dir_ / "d/sub/b.csv", "2");
  WriteSetting("Resp_ArchRuta", dir_ / "d");
  WriteSetting("Resp_ArchFil", "*.csv");
  WriteSetting("Resp_RespUCopia", "1");
  WriteSetting("Resp_ProgRespLoc", "0");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  auto calls = ReadJsonLines(dir_ / "rar.log");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_THAT(calls[0]["argv"], ElementsAre("a", "-dh", "--", work_ + "AR1C002.RAR", dir_ / "d/*.csv"));
  EXPECT_TRUE(calls[0]["password"].is_null());
  EXPECT_FALSE(platform::FileExists(work_ + "AR1C002.RAR")) << "no local copy is kept";
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "2");
}

TEST_F(NorvoTProcessTest, WorkFolderAndArchivesArePrivateWhateverTheUmask) {
  std::filesystem::create_directories(work_);  // left open by an earlier version
  ::chmod(work_.c_str(), 0777);
  WriteFile(dir_ / "a.csv", "1");
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  WriteSetting("Resp_ArchFil", "*.csv");
  const mode_t previous = ::umask(0);
  auto run = Run();
  ::umask(previous);
  EXPECT_EQ(run.exit_code, 2) << run.err;  // no FTP server: the upload fails
  const auto mode = [](const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
  };
  EXPECT_EQ(mode(work_), 0700u);
  EXPECT_EQ(mode(work_ + "AR1C001.RAR"), 0600u);
}

TEST_F(NorvoTProcessTest, OutsideTextCannotForgeStderrLines) {
  service_.Configure({{"tipo3", "Acme\r\nNorvo_T: run finished\x1b[2J;127.0.0.1:1;u;p;/base/"}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("Norvo_T: account of Acme\\r\\nNorvo_T: run finished\\x1B[2J\n"));
}

TEST_F(NorvoTProcessTest, DatabasePhaseWithoutDatabaseAccessReportsTheConnectionError) {
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_Archivo", "0");
  WriteSetting("Resp_BaseBas", ",5,");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_THAT(service_.Queries(), ElementsAre("Tipo=3&Clave=MTIz", "Tipo=5&CL=123&NO=Acme&NE=" + pc_ +
                                                                       "&ER=Error de conexión con BDD"));
}

// Neither rar nor 7-Zip anywhere the run looks: one line says what to
// install, one error report, and no item is made or tried.
TEST_F(NorvoTProcessTest, AnArchiverThatCannotBeFoundIsNamedOnce) {
  WriteFile(dir_ / "provider.ini", "[provider]\nservice_host = " + service_.host() + "\n");
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.ini");
  WriteSetting("Resp_ArchRuta2", dir_.path().string() + "/");
  WriteSetting("Resp_ArchTipo2", "A");
  WriteSetting("Resp_ArchNom2", "provider.ini");
  auto run = Run({{"PATH", dir_ / "empty"}});
  EXPECT_EQ(run.exit_code, 2) << run.err;
  const std::string line =
      "Norvo_T: no archiver found: install 7zip (or rar), or set archiver_path in the provider file\n";
  EXPECT_EQ(run.err.find(line), run.err.rfind(line)) << run.err;
  EXPECT_THAT(run.err, HasSubstr(line));
  EXPECT_THAT(run.err, Not(HasSubstr("No such file")));
  EXPECT_THAT(
      service_.Queries(),
      ElementsAre("Tipo=3&Clave=MTIz", HasSubstr("&CO=ARC1C001.RAR&ED=N"), HasSubstr("&CO=ARA2C001.RAR&ED=N"),
                  HasSubstr("&ER=No se encontró un programa compresor: instale 7zip (o rar)")));
}

TEST_F(NorvoTProcessTest, UnreachableOrSilentServiceEndsTheRunQuicklyTouchingNothing) {
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  service_.Configure({{"tipo3", "Acme;h;u;p;/"}, {"delay_s", {{"3", 10}}}});
  auto silent = Run();
  EXPECT_EQ(silent.exit_code, 1) << "no account: the run ended early";
  EXPECT_LT(silent.seconds, 5);
  WriteProvider("127.0.0.1:1");
  auto unreachable = Run();
  EXPECT_EQ(unreachable.exit_code, 1);
  EXPECT_LT(unreachable.seconds, 5);
  EXPECT_THAT(unreachable.err, HasSubstr("no account"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "rar.log"));
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "");
  EXPECT_EQ(ReadSetting("Resp_RespFecha"), "");
}

TEST_F(NorvoTProcessTest, UnconvertibleNoticeSettingEndsTheRunBeforeAnyRequest) {
  WriteSetting("Resp_ProgEnv", "");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.err, HasSubstr("Resp_ProgEnv is not set"));
  EXPECT_TRUE(service_.Requests().empty());
  EXPECT_EQ(ReadSetting("Resp_RespFecha"), "");
}

TEST_F(NorvoTProcessTest, SecondRunOfTheSameUserEndsAtOnceTouchingNothing) {
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  WriteSetting("Resp_ArchFil", "*.ini");
  std::map<std::string, std::string> env = peerEnv_;
  env["FAKE_RAR_SLEEP"] = "3";
  pid_t first = StartProgram({ProgramPath("Norvo_T")}, env, dir_ / "first.err");
  // Wait until the first run is inside the archiver.
  for (int i = 0; i < 100 && !std::filesystem::exists(dir_ / "rar.log"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  auto second = Run();
  EXPECT_EQ(second.exit_code, 1);
  EXPECT_LT(second.seconds, 2);
  EXPECT_THAT(second.err, HasSubstr("another backup run"));
  EXPECT_EQ(service_.Requests().size(), 1u) << "only the first run's lookup";
  EXPECT_EQ(WaitProgram(first), 2) << ReadFile(dir_ / "first.err");
  EXPECT_EQ(ReadJsonLines(dir_ / "rar.log").size(), 1u);
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "1");
}

TEST_F(NorvoTProcessTest, ArgumentsOtherThanHelpAndVersionAreRefused) {
  auto version = RunProgram({ProgramPath("Norvo_T"), "--version"}, peerEnv_);
  EXPECT_EQ(version.exit_code, 0);
  auto wrong = RunProgram({ProgramPath("Norvo_T"), "now"}, peerEnv_);
  EXPECT_EQ(wrong.exit_code, 1);
  EXPECT_TRUE(service_.Requests().empty());
}

}  // namespace
}  // namespace norvo::test
