// Norvo_T ended from outside while its archiver works: asked to end (SIGTERM,
// SIGINT, SIGHUP) it ends the archiver, removes the partial archive and
// reports why; killed, it takes the archiver along, and a helper that still
// runs keeps the next run out of the files it writes.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "FaultSupport.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class EndedRunTest : public NorvoTFaultTest {
 protected:
  pid_t StartRun() {
    std::map<std::string, std::string> env{{"NORVO_REGISTRY", dir_ / "registry.db"},
                                           {"NORVO_PROVIDER_CONF", dir_ / "provider.ini"},
                                           {"FAKE_RAR_LOG", dir_ / "rar.log"},
                                           {"FAKE_RAR_STALL", "30"}};
    return StartProgram({ProgramPath("Norvo_T")}, env, dir_ / "run.err");
  }

  // The process id of the archiver once it has written part of the archive
  // (the run removed any earlier archive before it started the tool).
  pid_t ArchiverAtWork() {
    for (int i = 0; i < 300; ++i) {
      const auto calls = ReadJsonLines(dir_ / "rar.log");
      if (!calls.empty() && std::filesystem::exists(work_ + "ARC1C001.RAR"))
        return calls.back()["pid"].get<pid_t>();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

  // The archiver program the run started, once it has made its archive file.
  pid_t ChildAtWork(pid_t run) {
    const std::string children =
        "/proc/" + std::to_string(run) + "/task/" + std::to_string(run) + "/children";
    for (int i = 0; i < 300; ++i) {
      const pid_t child = std::atoi(ReadFile(children).c_str());
      if (child > 0 && ReadFile("/proc/" + std::to_string(child) + "/comm") == "7zz\n" &&
          std::filesystem::exists(work_ + "ARC1C001.RAR"))
        return child;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

  // Whether the process has ended (gone, or a zombie nobody reaped yet).
  static bool Ended(pid_t pid) {
    for (int i = 0; i < 200; ++i) {
      const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
      const auto close = stat.rfind(')');
      if (close == std::string::npos || stat.substr(close + 2, 1) == "Z") return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
};

TEST_F(EndedRunTest, AskedToEndItEndsItsArchiverAndReportsWhy) {
  for (const auto& [number, name] : {std::pair{SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}, {SIGHUP, "SIGHUP"}}) {
    SCOPED_TRACE(name);
    std::filesystem::remove(dir_ / "rar.log");
    const size_t reports = Requests("5").size();
    const pid_t run = StartRun();
    const pid_t archiver = ArchiverAtWork();
    ASSERT_GT(archiver, 0) << ReadFile(dir_ / "run.err");
    ::kill(run, number);
    EXPECT_EQ(WaitProgram(run), 1);
    EXPECT_THAT(ReadFile(dir_ / "run.err"), HasSubstr(std::string("run ended: asked to end (") + name + ")"));
    EXPECT_TRUE(Ended(archiver));
    EXPECT_FALSE(std::filesystem::exists(work_ + "ARC1C001.RAR")) << "the partial archive is removed";
    ASSERT_EQ(Requests("5").size(), reports + 1);
    EXPECT_EQ(Requests("5").back(),
              "Tipo=5&CL=123&NO=Acme&NE=" + pc_ +
                  "&ER=Respaldo terminado antes de tiempo: el programa fue interrumpido (" + name + ")");
    EXPECT_THAT(Requests("4"), IsEmpty());
    EXPECT_EQ(settings::ReadSetting("Resp_RespUCopia"), "3");
    EXPECT_EQ(settings::ReadSetting("Resp_RespFecha"), "");
    EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
  }
}

TEST_F(EndedRunTest, KilledItLeavesNoArchiverAtWorkOnTheNextRunsFiles) {
  const pid_t run = StartRun();
  const pid_t archiver = ArchiverAtWork();
  ASSERT_GT(archiver, 0) << ReadFile(dir_ / "run.err");
  ::kill(run, SIGKILL);
  WaitProgram(run);
  EXPECT_TRUE(Ended(archiver)) << "the archiver must not outlive the run";

  // A tool behind a wrapper that does not exec it outlives the wrapper: the
  // next run must stay out while it writes.
  const std::string wrapper = dir_ / "rar-wrapper";
  WriteFile(wrapper, "#!/bin/sh\n'" + PeerPath("fake_rar") + "' \"$@\"\n");
  ::chmod(wrapper.c_str(), 0755);
  UseRar(wrapper);
  std::filesystem::remove(dir_ / "rar.log");
  const pid_t second = StartRun();
  const pid_t leftover = ArchiverAtWork();
  ASSERT_GT(leftover, 0) << ReadFile(dir_ / "run.err");
  ::kill(second, SIGKILL);
  WaitProgram(second);
  const auto next = Run();
  EXPECT_EQ(next.exit_code, 1);
  EXPECT_THAT(next.err, HasSubstr("another backup run"));
  EXPECT_EQ(ReadJsonLines(dir_ / "rar.log").size(), 1u) << "no second archiver on the same files";
  ::kill(leftover, SIGKILL);
  ASSERT_TRUE(Ended(leftover));
  EXPECT_EQ(Run().exit_code, 0) << "the lock goes with the last holder";
}

// 7-Zip, fed its password on standard input, is caught while it opens the
// sources: it goes with the run, whether the run is asked to end or killed.
TEST_F(EndedRunTest, SevenZipEndsWithTheRunAlike) {
  UseSevenZip(Wrapped("/usr/bin/7zz", "LD_PRELOAD='" NORVO_UNREADABLE_SHIM "' NORVO_STALLED_NAME=libro.xls"));
  settings::WriteSetting("Resp_SeguPas", "clave");
  pid_t run = StartRun();
  pid_t archiver = ChildAtWork(run);
  ASSERT_GT(archiver, 0) << ReadFile(dir_ / "run.err");
  ::kill(run, SIGTERM);
  EXPECT_EQ(WaitProgram(run), 1);
  EXPECT_TRUE(Ended(archiver));
  EXPECT_FALSE(std::filesystem::exists(work_ + "ARC1C001.RAR")) << "the partial archive is removed";
  EXPECT_THAT(Requests("5"), ElementsAre(HasSubstr("el programa fue interrumpido (SIGTERM)")));
  EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");

  run = StartRun();
  archiver = ChildAtWork(run);
  ASSERT_GT(archiver, 0) << ReadFile(dir_ / "run.err");
  ::kill(run, SIGKILL);
  WaitProgram(run);
  EXPECT_TRUE(Ended(archiver)) << "7-Zip must not outlive the run";
}

}  // namespace
}  // namespace norvo::test
