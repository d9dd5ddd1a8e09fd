// The archiver's command line and BuildArchive against the RAR stand-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/System.h"
#include "run/Archive.h"
#include "run/ArchiverRar.h"
#include "support/Programs.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(RarCommandLine, DumpWithPassword) {
  EXPECT_EQ(RarCommandLine("C:\\NORVO~1\\RAR", 0, "C:\\TEMP_Norvo\\BD05C001.BAK",
                           "C:\\TEMP_Norvo\\BD05C001.RAR", "clave", "S"),
            "C:\\NORVO~1\\RAR a -df -hpclave -dh -- \"C:\\TEMP_Norvo\\BD05C001.RAR\" "
            "\"C:\\TEMP_Norvo\\BD05C001.BAK\"");
}

TEST(RarCommandLine, FolderWithSubfoldersAndNoPasswordHasTwoSpacesAfterA) {
  EXPECT_EQ(
      RarCommandLine("C:\\NORVO~1\\RAR", 1, "C:\\Datos\\*.xls", "C:\\TEMP_Norvo\\ARC1C001.RAR", "", "N"),
      "C:\\NORVO~1\\RAR a  -r -dh -- \"C:\\TEMP_Norvo\\ARC1C001.RAR\" \"C:\\Datos\\*.xls\"");
}

TEST(RarCommandLine, RecurseTwoAddsNoSwitch) {
  EXPECT_EQ(RarCommandLine("RAR", 2, "f", "a.rar", "", "N"), "RAR a  -dh -- \"a.rar\" \"f\"");
}

TEST(RarArguments, PasswordsAndPathsWithBlanksAndQuotesStayWhole) {
  EXPECT_THAT(RarArguments("/opt/rar", 1, "/d/my \"files\"/*.*", "/w/ARC1C001.RAR", "p w\" -x", "S"),
              ElementsAre("/opt/rar", "a", "-df", "-r", "-hpp w\" -x", "-dh", "--", "/w/ARC1C001.RAR",
                          "/d/my \"files\"/*.*"));
  EXPECT_THAT(RarArguments("rar", 0, "f", "a", "", "N"), ElementsAre("rar", "a", "-dh", "--", "a", "f"));
}

TEST(FindRarTool, ProviderPathThenProgramFolderThenPath) {
  TempDir dir;
  EXPECT_EQ(FindRarTool("/x/rar", dir.path().string() + "/"), "/x/rar");
  EXPECT_EQ(FindRarTool("", dir.path().string() + "/"), "rar");
  WriteFile(dir / "rar", "");
  EXPECT_EQ(FindRarTool("", dir.path().string() + "/"), dir / "rar");
}

TEST(RunAndWait, OkOnceTheProgramEndedAndTheReasonWhenItCannotStart) {
  platform::ChildRun ended;
  EXPECT_EQ(RunAndWait({"/bin/sh", "-c", "exit 3"}, &ended), "OK");
  EXPECT_EQ(ended.result.exit_code, 3);
  EXPECT_THAT(RunAndWait({"/nonexistent/rar", "a"}), HasSubstr("No such file"));
}

class BuildArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_ / "src dir/sub \"q\"");
    WriteFile(dir_ / "src dir/a.xls", "A");
    WriteFile(dir_ / "src dir/b.doc", "B");
    WriteFile(dir_ / "src dir/sub \"q\"/c.xls", "C");
  }
  std::string Build(std::int16_t recurse, const std::string& files, const std::string& password,
                    const std::string& del) {
    return BuildArchiveWith(RarArchiver(tool_), ArchiveJob{recurse, files, archive_, password, del == "S"});
  }
  std::string List(const std::string& password = "") {
    auto run = RunProgram({tool_, "lb", "-p" + password, archive_}, {});
    return run.exit_code == 0 ? "" : "exit " + std::to_string(run.exit_code);
  }
  std::vector<nlohmann::json> Calls() { return ReadJsonLines(log_); }

  TempDir dir_;
  std::string log_ = dir_ / "rar.log";
  ScopedEnv logEnv_{"FAKE_RAR_LOG", log_};
  std::string tool_ = PeerPath("fake_rar");
  std::string archive_ = dir_ / "work/ARC1C001.RAR";
};

TEST_F(BuildArchiveTest, PacksWithPasswordAndSubfoldersKeepingTheSources) {
  std::filesystem::create_directories(dir_ / "work");
  EXPECT_EQ(Build(1, dir_ / "src dir/*.xls", "p w\"1", "N"), "OK");
  EXPECT_EQ(Calls().at(0)["password"], "p w\"1");
  EXPECT_EQ(List(), "exit 11") << "the archive needs its password";
  EXPECT_EQ(List("p w\"1"), "");
  EXPECT_TRUE(platform::FileExists(dir_ / "src dir/a.xls"));
}

TEST_F(BuildArchiveTest, DeleteFlagRemovesThePackedDump) {
  std::filesystem::create_directories(dir_ / "work");
  WriteFile(dir_ / "work/BD05C001.BAK", "dump");
  EXPECT_EQ(Build(0, dir_ / "work/BD05C001.BAK", "", "S"), "OK");
  EXPECT_FALSE(platform::FileExists(dir_ / "work/BD05C001.BAK"));
  EXPECT_THAT(Calls().at(0)["argv"],
              ElementsAre("a", "-df", "-dh", "--", archive_, dir_ / "work/BD05C001.BAK"));
}

TEST_F(BuildArchiveTest, NothingMatchingMakesNoArchive) {
  std::filesystem::create_directories(dir_ / "work");
  EXPECT_EQ(Build(1, dir_ / "src dir/*.pdf", "", "N"), kNoFilesToPack);
  EXPECT_FALSE(platform::FileExists(archive_));
  EXPECT_EQ(Build(0, dir_ / "no such folder/*.*", "", "N"), kNoFilesToPack);
}

TEST_F(BuildArchiveTest, MissingToolGivesItsReason) {
  std::string result = BuildArchiveWith(RarArchiver(dir_ / "no-rar"),
                                        ArchiveJob{0, dir_ / "src dir/a.xls", archive_, "", false});
  EXPECT_NE(result, "OK");
  EXPECT_NE(result, kNoFilesToPack);
  EXPECT_THAT(result, HasSubstr("no-rar"));
}

TEST_F(BuildArchiveTest, PathsThatStartWithADashStayPaths) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  std::filesystem::create_directories("-r");
  WriteFile("-r/x.xls", "X");
  const std::string result =
      BuildArchiveWith(RarArchiver(tool_), ArchiveJob{0, "-r/*.xls", "-dh.RAR", "", false});
  const bool made = platform::FileExists("-dh.RAR");
  std::filesystem::current_path(previous);
  EXPECT_EQ(result, "OK");
  EXPECT_TRUE(made);
}

TEST_F(BuildArchiveTest, ToolThatFailsCannotVouchForTheArchiveItLeaves) {
  std::filesystem::create_directories(dir_ / "work");
  {
    ScopedEnv failing("FAKE_RAR_EXIT", "2");
    EXPECT_THAT(Build(0, dir_ / "src dir/a.xls", "", "N"), HasSubstr("exit code 2"));
  }
  {
    ScopedEnv warning("FAKE_RAR_EXIT", "1");
    EXPECT_EQ(Build(0, dir_ / "src dir/a.xls", "", "N"), "OK");
  }
}

}  // namespace
}  // namespace norvo::test
