// The restore drill at the end of a run, with 7-Zip: the copy is downloaded,
// tested with its password and removed; the items take turns; a copy the
// server changed fails and is reported; verify_every_runs = 0 downloads nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/Settings.h"
#include "support/UploadFixture.h"

namespace norvo::test {
namespace {

using settings::ReadSetting;
using settings::WriteSetting;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class NorvoTDrillTest : public UploadFixture {
 protected:
  void SetUp() override {
    UploadFixture::SetUp();
    const std::string datos = dir_ / "datos";
    std::filesystem::create_directories(datos);
    WriteFile(datos + "/a.xls", std::string(20000, 'a') + "fin");
    WriteFile(datos + "/nota.txt", "nota");
    WriteSetting("Resp_ArchRuta", datos);
    WriteSetting("Resp_ArchTipo", "C");
    WriteSetting("Resp_ArchFil", "*.xls");
    WriteSetting("Resp_ArchRuta2", datos + "/");
    WriteSetting("Resp_ArchTipo2", "A");
    WriteSetting("Resp_ArchNom2", "nota.txt");
    Provider("");
  }
  void Provider(const std::string& extra) {
    WriteFile(dir_ / "provider.ini", "[provider]\nservice_host = " + service_.host() +
                                         "\narchiver = 7z\nhttp_timeout_s = 5\nftp_timeout_s = 10\n" + extra);
  }
  // The cloud, with every command it receives in log_.
  void StartLoggedCloud() {
    FtpPeerOptions options;
    options.command_log = log_;
    StartCloud(options);
  }
  // Whether the cloud was asked for a file since the server started.
  bool Downloaded() { return ReadFile(log_).find("RETR ") != std::string::npos; }
  // What the drill left in the work folder.
  std::vector<std::string> DrillFiles() {
    std::vector<std::string> left;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(work_, ec)) {
      if (entry.path().filename().string().rfind("VERIF_", 0) == 0) left.push_back(entry.path().string());
    }
    return left;
  }

  std::string log_ = dir_ / "ftp.log";
};

TEST_F(NorvoTDrillTest, GoodCopiesPassInTurnAndLeaveNothingBehind) {
  StartLoggedCloud();
  const std::string items[] = {"ARC1C001.RAR", "ARA2C002.RAR", "ARC1C003.RAR"};
  for (const std::string& copy : items) {
    SCOPED_TRACE(copy);
    const auto before = CloudFiles();
    auto run = Run();
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("restore drill: " + copy + " passed in "));
    EXPECT_EQ(ReadSetting("Resp_VerifCopia"), copy);
    EXPECT_THAT(ReadSetting("Resp_VerifFecha"), ::testing::SizeIs(16));
    EXPECT_THAT(DrillFiles(), IsEmpty());
    EXPECT_THAT(Queries("5"), IsEmpty());
    for (const auto& [name, size] : before) EXPECT_EQ(CloudFiles()[name], size) << name;
  }
  EXPECT_EQ(ReadSetting("Resp_VerifTurno"), ",ARA2,ARC1,");
  EXPECT_TRUE(Downloaded());
  EXPECT_THAT(ReadFile(log_), Not(HasSubstr("DELE ARC1C001.RAR\n")));
}

TEST_F(NorvoTDrillTest, CopyTheServerChangedFailsAndIsReported) {
  FtpPeerOptions altering;  // a server without digests: only the size proves the upload
  altering.alter_received = true;
  altering.digests = "none";
  StartCloud(altering);
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  // The changed byte falls in the encrypted headers of so small an archive.
  EXPECT_THAT(Queries("5"), ElementsAre(HasSubstr("&ER=La copia ARC1C001.RAR no se pudo verificar: "
                                                  "contraseña incorrecta o archivo dañado")));
  EXPECT_EQ(ReadSetting("Resp_VerifCopia"), "");
  EXPECT_EQ(ReadSetting("Resp_VerifTurno"), ",ARC1,");
  EXPECT_THAT(CloudFiles(), Contains(::testing::Key("ARC1C001.RAR"))) << "the copy stays in the cloud";
  EXPECT_THAT(DrillFiles(), IsEmpty());
}

TEST_F(NorvoTDrillTest, NeverOrTooLargeDownloadsNothing) {
  StartLoggedCloud();
  Provider("verify_every_runs = 0\n");
  auto run = Run();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("restore drill: off"));
  Provider("verify_every_runs = 2\n");
  EXPECT_EQ(Run().exit_code, 0);
  EXPECT_FALSE(Downloaded()) << "the first of two runs makes no drill";
  EXPECT_EQ(ReadSetting("Resp_VerifCuenta"), "1");
  std::string noise(3 << 20, '\0');  // past 1 MB even packed
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  WriteFile(dir_ / "datos/nota.txt", noise);
  Provider("verify_max_mb = 1\n");
  run = Run();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("restore drill: ARC1C003.RAR passed"));
  EXPECT_EQ(ReadSetting("Resp_VerifTurno"), ",ARC1,");
}

}  // namespace
}  // namespace norvo::test
