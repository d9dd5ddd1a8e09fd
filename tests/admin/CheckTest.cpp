// check finds what a run would refuse or leave out, all at once, without
// running: from a store and provider file that pass, one change at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ToolFixture.h"
#include "settings/Base64.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using settings::WriteSetting;
using ::testing::HasSubstr;

class CheckTest : public SettingsToolTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(home_ / "drive");
    WriteFile(data_ + "/libro.xls", "1");
    WriteProvider("service_host = 127.0.0.1:9\narchiver = 7z\narchiver_path = /bin/true\n");
    WriteSetting("Cliente", settings::EncodeSetting("123"));
    WriteSetting("Resp_Archivo", "1");
    WriteSetting("Resp_Base", "0");
    WriteSetting("Resp_ArchRuta", data_);
    WriteSetting("Resp_ArchTipo", "C");
    WriteSetting("Resp_ArchNom", "");
    WriteSetting("Resp_ArchFil", "*.xls");
    WriteSetting("Resp_ProgEnv", "0");
    WriteSetting("Resp_ProgCopias", "3");
    WriteSetting("Resp_Drive", home_ / "drive/");
  }
  void WriteProvider(const std::string& keys) { WriteFile(home_ / "provider.ini", "[provider]\n" + keys); }

  std::string data_ = home_ / "datos";
};

TEST_F(CheckTest, AStoreThatPassesSaysWhereTheRunWorks) {
  Tool({"schedule", "MON", "23:30"});
  const ToolRun run = Tool({"check"});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "provider file: " + home_ / "provider.ini" +
                         "\n"
                         "archiver: 7-Zip (/bin/true, level 1)\n"
                         "work folder: " +
                         home_ / "drive/TEMP_Norvo/" +
                         "\n"
                         "weekly task: " +
                         TaskLine("30 23 * * 1") +
                         "\n"
                         "check: no problem found\n");
}

TEST_F(CheckTest, EachProblemIsNamedAndEndsTheCheckWithStatusOne) {
  struct Case {
    std::function<void()> change;
    std::string line;
  };
  const std::vector<Case> cases = {
      {[] { WriteSetting("Resp_ProgEnv", ""); }, "problem: Resp_ProgEnv is not set"},
      {[] { WriteSetting("Resp_ProgCopias", "tres"); }, "problem: Resp_ProgCopias must be a whole number"},
      {[] { WriteSetting("Resp_Archivo", "0"); }, "problem: Resp_Archivo and Resp_Base are both 0"},
      {[] { WriteSetting("Resp_ArchRuta", ""); }, "problem: Resp_Archivo is 1 but no file set has a folder"},
      {[this] { WriteSetting("Resp_ArchRuta", data_ + "/gone"); }, "/gone does not exist"},
      {[] { WriteSetting("Resp_ArchFil", "*.doc"); }, "problem: file set 1: no file of "},
      {[] { WriteSetting("Resp_ArchFil", ""); }, "problem: file set 1: Resp_ArchFil is not set"},
      {[this] { WriteSetting("Resp_ArchTipo", "A"), WriteSetting("Resp_ArchNom", "libro.xls"); },
       "problem: file set 1: Resp_ArchRuta must end with / for a single file"},
      {[this] { WriteSetting("Resp_ArchTipo", "A"), WriteSetting("Resp_ArchRuta", data_ + "/"); },
       "problem: file set 1: Resp_ArchNom is not set"},
      {[] { WriteSetting("Resp_Base", "1"); }, "problem: databases: Resp_BaseSer is not set"},
      {[] { WriteSetting("Resp_Base", "1"); }, "problem: databases: Resp_BaseBas selects no database"},
      {[] { WriteSetting("Resp_Base", "1"); }, "problem: databases: Resp_BaseUsr is not set"},
      {[this] { WriteProvider("archiver = 7z\n"); }, "problem: the provider file sets no service_host"},
      {[this] { WriteProvider("service_host = h\narchiver = 7z\narchiver_path = /no/7zz\n"); },
       "problem: archiver_path /no/7zz does not exist"},
      {[this] { WriteProvider("service_host = h\narchiver = 7x\n"); }, "archiver must be auto, rar or 7z"},
  };
  for (const Case& c : cases) {
    SetUp();
    c.change();
    const ToolRun run = Tool({"check"});
    EXPECT_EQ(run.status, 1) << c.line << "\n" << run.out;
    EXPECT_THAT(run.out, HasSubstr(c.line)) << run.out;
    EXPECT_THAT(run.out, HasSubstr("problem(s): a run would stop")) << run.out;
  }
}

TEST_F(CheckTest, NotesDoNotFailTheCheck) {
  WriteSetting("Resp_Typo", "5");
  WriteSetting("Resp_Drive", home_ / "not-there/");
  const ToolRun run = Tool({"check"});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_THAT(run.out, HasSubstr("note: Resp_Typo is stored but is no setting of Norvo Backup"));
  EXPECT_THAT(run.out, HasSubstr("not-there/ is not a folder this user can write to"));
  EXPECT_THAT(run.out, HasSubstr("note: no weekly task is registered"));
}

TEST_F(CheckTest, AMissingArchiverIsNamedAsTheRunNamesIt) {
  WriteProvider("service_host = h\n");
  ScopedEnv path("PATH", home_ / "empty");
  const ToolRun run = Tool({"check"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(
      run.out,
      HasSubstr(
          "problem: no archiver found: install 7zip (or rar), or set archiver_path in the provider file"));
}

}  // namespace
}  // namespace norvo::test
