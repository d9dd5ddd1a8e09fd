// The archiver meets a full work folder or is killed: the run reports a clear
// error where it reports, keeps no partial archive and replaces nothing in
// the cloud.
#include <gmock/gmock.h>
#include <sys/stat.h>

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
  std::string ArchiverOnFullDisk(const std::string& roomBytes) {
    const std::string wrapper = dir_ / "rar-on-full-disk";
    WriteFile(wrapper, "#!/bin/sh\nLD_PRELOAD='" NORVO_ENOSPC_SHIM "' NORVO_FULL_DIR='" + work_ +
                           "' NORVO_FULL_AFTER=" + roomBytes + " exec '" + PeerPath("fake_rar") +
                           "' \"$@\"\n");
    ::chmod(wrapper.c_str(), 0755);
    return wrapper;
  }

  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(work_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  void ExpectReportedAndNothingLost(const ProgramRun& run, const std::string& cause) {
    EXPECT_EQ(run.exit_code, 0) << run.err;
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

// A file held locked by another program cannot be packed: the archive of the
// others still replaces the slot, and the provider hears what is missing.
TEST_F(ArchiverFaultTest, ArchiveWithoutAnUnreadableSourceIsUploadedAndReported) {
  WriteFile(dir_ / "data/otro.xls", "otro");
  auto run = Run({{"FAKE_RAR_UNREADABLE", "libro.xls"}});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(Requests("4"), ElementsAre(HasSubstr("&CO=ARC1C001.RAR&ED=Y")));
  EXPECT_THAT(
      Requests("5"),
      ElementsAre("Tipo=5&CL=123&NO=Acme&NE=" + pc_ +
                  "&ER=Respaldo incompleto: ARC1C001.RAR no incluye archivos que no se pudieron abrir"));
  EXPECT_EQ(ServerCopy(), ReadFile(work_ + "ARC1C001.RAR"));
}

}  // namespace
}  // namespace norvo::test
