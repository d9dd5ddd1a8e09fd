// The archiver meets a full work folder or is killed: the run reports a clear
// error where it reports, keeps no partial archive and replaces nothing in
// the cloud.
#include <gmock/gmock.h>

#include <filesystem>

#include "FaultSupport.h"
#include "platform/System.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::SizeIs;

class ArchiverFaultTest : public NorvoTFaultTest {
 protected:
  // An archiver that runs with the full-disk shim for the work folder.
  std::string ArchiverOnFullDisk(const std::string& roomBytes,
                                 const std::string& program = PeerPath("fake_rar")) {
    return Wrapped(program, "LD_PRELOAD='" NORVO_ENOSPC_SHIM "' NORVO_FULL_DIR='" + work_ +
                                "' NORVO_FULL_AFTER=" + roomBytes);
  }

  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(work_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  void ExpectReportedAndNothingLost(const ProgramRun& run, const std::string& cause) {
    EXPECT_EQ(run.exit_code, 2) << run.err;
    auto errors = Requests("5");
    ASSERT_THAT(errors, SizeIs(2)) << run.err;  // the archive, then the upload of the missing archive
    EXPECT_THAT(errors[0], HasSubstr(cause));
    EXPECT_THAT(Requests("4"), ElementsAre(HasSubstr("&CO=ARC1C001.RAR&ED=N")));
    EXPECT_THAT(run.err, HasSubstr(cause));
    EXPECT_THAT(WorkFiles(), ElementsAre()) << "no partial archive is kept";
    EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
    EXPECT_EQ(settings::ReadSetting("Resp_RespUCopia"), "1");
  }
};

TEST_F(ArchiverFaultTest, FullDiskFromTheFirstByte) {
  UseRar(ArchiverOnFullDisk("0"));
  ExpectReportedAndNothingLost(Run(), "exit code 5 (write error");
}

TEST_F(ArchiverFaultTest, DiskFillsUpHalfWayThroughTheArchive) {
  UseRar(ArchiverOnFullDisk("65536"));
  ExpectReportedAndNothingLost(Run(), "exit code 5 (write error");
  EXPECT_TRUE(platform::FileExists(dir_ / "data/libro.xls")) << "the sources stay";
}

TEST_F(ArchiverFaultTest, ArchiverKilledLeavesNoPartialArchiveToUpload) {
  ExpectReportedAndNothingLost(Run({{"FAKE_RAR_KILL", "9"}}),
                               "was ended by signal 9; its archive was removed");
}

// A file held locked by another program cannot be packed: the RAR tool's
// archive of the others (exit code 6) still replaces the slot, and the
// provider hears what is missing.
TEST_F(ArchiverFaultTest, RarThatCannotOpenASourceUploadsTheRestAndReportsIt) {
  WriteFile(dir_ / "data/abierto.xls", "locked by another program");
  UseRar(Wrapped(PeerPath("fake_rar"),
                 "LD_PRELOAD='" NORVO_UNREADABLE_SHIM "' NORVO_UNREADABLE_NAME=abierto.xls"));
  const ProgramRun run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;  // uploaded, but incomplete
  EXPECT_THAT(Requests("4"), ElementsAre(HasSubstr("&CO=ARC1C001.RAR&ED=Y")));
  EXPECT_THAT(Requests("5"),
              ElementsAre(HasSubstr("ER=Respaldo incompleto ARC1C001.RAR, no se pudieron leer: ")));
  EXPECT_THAT(Requests("5").front(), HasSubstr("abierto.xls"));
  EXPECT_EQ(ServerCopy(), ReadFile(work_ + "ARC1C001.RAR"));
}

TEST_F(ArchiverFaultTest, SevenZipOnAFullDiskLosesNothingEither) {
  UseSevenZip(ArchiverOnFullDisk("0", "/usr/bin/7zz"));
  ExpectReportedAndNothingLost(Run(), "exit code 2 (fatal error)");
}

// An office file another program holds locked: the rest is still backed up,
// and the provider hears which file is missing.
TEST_F(ArchiverFaultTest, SevenZipThatCannotReadASourceUploadsTheRestAndReportsIt) {
  WriteFile(dir_ / "data/abierto.xls", "locked by another program");
  UseSevenZip(
      Wrapped("/usr/bin/7zz", "LD_PRELOAD='" NORVO_UNREADABLE_SHIM "' NORVO_UNREADABLE_NAME=abierto.xls"));
  const ProgramRun run = Run();
  EXPECT_EQ(run.exit_code, 2) << "uploaded, but incomplete: " << run.err;
  EXPECT_THAT(Requests("5"),
              ElementsAre(HasSubstr("ER=Respaldo incompleto ARC1C001.RAR, no se pudieron leer: ")));
  EXPECT_THAT(Requests("5").front(), HasSubstr("abierto.xls"));
  EXPECT_THAT(Requests("4"), ElementsAre(HasSubstr("&CO=ARC1C001.RAR&ED=Y")));
  const Extracted copy = ExtractWith7zz(ServerCopyPath(), "");
  EXPECT_THAT(copy.files, ElementsAre(::testing::Key("libro.xls"))) << copy.said;
}

}  // namespace
}  // namespace norvo::test
