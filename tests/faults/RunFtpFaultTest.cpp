// Norvo_T meets an FTP server that drops the control connection or answers
// garbage, or refuses, at one step of the upload and its copy rotation. The
// run ends, the item is reported as not done with the step's error text, the
// copy in the cloud survives (or, after the old copy was deleted, the new one
// is whole under its temporary name), and the next run without the fault
// succeeds.
#include <gmock/gmock.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <vector>

#include "FaultSupport.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

// What the run reports for the fault.
enum class Reported { Connect, Folder, Copy, Rename, Nothing };

// What the computer's folder in the cloud holds after the faulty run.
enum class Left {
  OldCopy,            // the slot's old copy, untouched; no temporary file
  OldAndTemporary,    // the old copy untouched, and the new one whole as .TMP
  NoFolder,           // the folder was never made, so nothing was sent
  NewUnderTemporary,  // the old copy was deleted; the new one is whole as .TMP
  NewCopy,            // the new copy took the slot's name (the fault was harmless)
};

struct UploadFault {
  const char* command;  // the command that meets the fault
  const char* target;   // how a command line that meets it ends ({pc}: the computer)
  const char* mode;     // drop, garbage, junk or refuse (see ftp_fault_proxy.py)
  Reported reported;
  Left left;
  bool newComputer = false;  // the computer's folder does not exist yet
};

std::ostream& operator<<(std::ostream& out, const UploadFault& fault) {
  return out << fault.mode << " on " << fault.command;
}

class RunFtpFaultTest : public NorvoTFaultTest, public ::testing::WithParamInterface<UploadFault> {
 protected:
  void SetUp() override {
    NorvoTFaultTest::SetUp();
    // Every run uses slot 1, so the run after the fault replaces the same copy.
    settings::WriteSetting("Resp_ProgCopias", "1");
  }

  std::string Folder() const { return ftp_.Root() + "/base/123/" + pc_ + "/"; }
  std::string Temporary() const { return Folder() + "ARC1C001.TMP"; }
  // The archive the last run made and kept in its work folder.
  std::string NewArchive() const { return ReadFile(work_ + "ARC1C001.RAR"); }

  std::string ErrorText(Reported reported) const {
    switch (reported) {
      case Reported::Connect:
        return "No se puede conectar al Cloud";
      case Reported::Folder:
        return "Problema al ingresar al directorio /base/123/" + pc_ + "/";
      case Reported::Copy:
        return "Problema no se pudo copiar el archivo ARC1C001.RAR";
      case Reported::Rename:
        return "Problema no se pudo renombrar ARC1C001.TMP";
      case Reported::Nothing:
        break;
    }
    return "";
  }

  // The item report of the faulty run and its error report, if any.
  void ExpectReported(Reported reported, const std::string& err) {
    const bool done = reported == Reported::Nothing;
    EXPECT_THAT(Requests("4"), ElementsAre(EndsWith("&CO=ARC1C001.RAR&ED=" + std::string(done ? "Y" : "N"))))
        << err;
    if (done) {
      EXPECT_THAT(Requests("5"), IsEmpty()) << err;
    } else {
      EXPECT_THAT(Requests("5"),
                  ElementsAre("Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=" + ErrorText(reported)))
          << err;
    }
  }

  // The command lines the proxy met with its fault.
  std::vector<std::string> FaultsMade() const {
    std::vector<std::string> lines;
    std::istringstream log(ReadFile(dir_ / "faults.log"));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
  }

  void ExpectLeft(Left left) {
    switch (left) {
      case Left::OldCopy:
        EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
        EXPECT_FALSE(std::filesystem::exists(Temporary()));
        break;
      case Left::OldAndTemporary:
        EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
        ASSERT_TRUE(std::filesystem::exists(Temporary()));
        EXPECT_EQ(ReadFile(Temporary()), NewArchive());
        break;
      case Left::NoFolder:
        EXPECT_FALSE(std::filesystem::exists(Folder()));
        break;
      case Left::NewUnderTemporary:
        EXPECT_FALSE(std::filesystem::exists(ServerCopyPath()));
        ASSERT_TRUE(std::filesystem::exists(Temporary())) << "neither the old nor the new copy is left";
        EXPECT_EQ(ReadFile(Temporary()), NewArchive());
        break;
      case Left::NewCopy:
        EXPECT_EQ(ServerCopy(), NewArchive());
        EXPECT_FALSE(std::filesystem::exists(Temporary()));
        break;
    }
  }
};

TEST_P(RunFtpFaultTest, RunReportsTheStepAndLosesNoCopy) {
  const UploadFault& fault = GetParam();
  if (fault.newComputer) std::filesystem::remove_all(Folder());
  {
    PeerProcess proxy({"/usr/bin/python3", PeerPath("ftp_fault_proxy.py"), "--upstream",
                       std::to_string(ftp_.Port()), "--on", fault.command, "--mode", fault.mode, "--log",
                       dir_ / "faults.log"});
    service_.Configure({{"tipo3", "Acme;127.0.0.1:" + proxy.FirstLine() + ";test;secret;/base/"}});
    auto run = Run();
    EXPECT_EQ(run.exit_code, fault.reported == Reported::Nothing ? 0 : 2) << run.err;
    EXPECT_LT(run.seconds, 20) << "a broken server costs time-outs, not a hang";
    ExpectReported(fault.reported, run.err);
    ExpectLeft(fault.left);
    std::string target = fault.target;
    if (const auto at = target.find("{pc}"); at != std::string::npos) target.replace(at, 4, pc_);
    EXPECT_THAT(FaultsMade(), Contains(AllOf(StartsWith(std::string(fault.command) + " "), EndsWith(target))))
        << "the fault met its step";
  }
  // The server without its fault: the same slot is replaced as usual.
  service_.Configure({{"tipo3", accountReply_}});
  auto next = Run();
  EXPECT_EQ(next.exit_code, 0) << next.err;
  auto items = Requests("4");
  ASSERT_THAT(items, SizeIs(2));
  EXPECT_THAT(items[1], EndsWith("&CO=ARC1C001.RAR&ED=Y")) << next.err;
  EXPECT_THAT(Requests("5"), SizeIs(fault.reported == Reported::Nothing ? 0 : 1)) << next.err;
  ExpectLeft(Left::NewCopy);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()), {}), 1)
      << "only the slot's copy is left";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RunFtpFaultTest,
    ::testing::Values(
        UploadFault{"PASS", "secret", "drop", Reported::Connect, Left::OldCopy},
        // A new computer: without its folder nothing can be stored.
        UploadFault{"MKD", "/base/123/{pc}/", "drop", Reported::Folder, Left::NoFolder, true},
        UploadFault{"CWD", "/base/123/{pc}/", "garbage", Reported::Folder, Left::OldCopy},
        UploadFault{"STOR", "/ARC1C001.TMP", "drop", Reported::Copy, Left::OldCopy},
        UploadFault{"STOR", "/ARC1C001.TMP", "junk", Reported::Copy, Left::OldCopy},
        // The server's digest has proven the copy: the size check's listing is not needed.
        UploadFault{"MLSD", "/base/123/{pc}", "garbage", Reported::Nothing, Left::NewCopy},
        // A rename that breaks off, or meets a reply no server sends, proves
        // nothing about renaming: the old copy stays beside the new one.
        UploadFault{"RNFR", "/ARC1C001.TMP", "drop", Reported::Rename, Left::OldAndTemporary},
        UploadFault{"RNTO", "/ARC1C001.RAR", "garbage", Reported::Rename, Left::OldAndTemporary},
        // Refused at RNTO onto a taken name: the old copy makes room, and when
        // the rename is refused again the new copy is whole under its .TMP name.
        UploadFault{"RNTO", "/ARC1C001.RAR", "refuse", Reported::Rename, Left::NewUnderTemporary}),
    [](const ::testing::TestParamInfo<UploadFault>& info) {
      return std::string(info.param.mode) + "_on_" + info.param.command +
             (info.param.newComputer ? "_new" : "");
    });

}  // namespace
}  // namespace norvo::test
