// Processes on CreateProcessW: arguments arrive whole, the RAR stand-in packs
// through the run's own archiver routine, and the one-run lock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "StandinArchive.h"
#include "WineSupport.h"
#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "platform/ProcessIO.h"
#include "run/Archive.h"
#include "run/ArchiverRar.h"

namespace norvo::test {
namespace {

// The arguments of each call in the stand-in's log.
std::vector<std::vector<std::string>> LoggedCalls(const std::string& log) {
  std::vector<std::vector<std::string>> calls;
  const std::string text = ReadFile(log);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::size_t count = std::stoul(text.substr(at, end - at));
    at = end + 1;
    std::vector<std::string>& call = calls.emplace_back();
    for (std::size_t i = 0; i < count; ++i) {
      std::string argument;
      test::ReadCounted(text, at, argument);
      call.push_back(argument);
      ++at;  // the line break after each argument
    }
  }
  return calls;
}

class ProcessTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string log_ = dir_ / "rar.log";
  ScopedEnv logEnv_{"RAR_STANDIN_LOG", log_};
  std::string tool_ = ProgramPath("rar_standin");
};

TEST_F(ProcessTest, ArgumentsWithBlanksQuotesAndBackslashesArriveWhole) {
  const std::vector<std::string> tricky = {
      "a",      "-hpcon blanco \"y\" comillas\\", dir_ / "sin nada\\", "C:\\ruta con\\barra final\\\\", "",
      "ñandú €"};
  std::vector<std::string> argv = {tool_};
  argv.insert(argv.end(), tricky.begin(), tricky.end());
  const platform::ProcessResult result = platform::RunAndWaitProcess(argv);
  ASSERT_TRUE(result.started) << result.error;
  EXPECT_EQ(result.exit_code, 7) << "six operands are a usage error of the stand-in";
  EXPECT_THAT(LoggedCalls(log_), ::testing::ElementsAre(tricky));
}

TEST_F(ProcessTest, AMissingProgramIsReportedNotStarted) {
  const platform::ProcessResult result = platform::RunAndWaitProcess({dir_ / "no-such-tool.exe"});
  EXPECT_FALSE(result.started);
  EXPECT_THAT(result.error, ::testing::HasSubstr("no-such-tool.exe"));
}

TEST_F(ProcessTest, InputIsFedWhileTheOutputIsDrained) {
  // The system's find copies the lines of its input that hold the text: more
  // than a pipe holds goes in and comes out at the same time.
  std::string input, wanted;
  for (int i = 0; i < 8000; ++i) {
    const std::string line = "linea " + std::to_string(i) + (i % 2 != 0 ? " x" : "") + "\r\n";
    input += line;
    if (i % 2 != 0) wanted += line;
  }
  const platform::ProcessOutput run = platform::RunWithInput({"find", "x"}, input);
  ASSERT_TRUE(run.result.Succeeded()) << run.result.error << run.err;
  EXPECT_EQ(run.out, wanted);
}

TEST_F(ProcessTest, TheRunsArchiverPacksWithThePasswordAndDeletesTheDump) {
  WriteFile(dir_ / "BD05C001.BAK", "dump");
  const std::string archive = dir_ / "BD05C001.RAR";
  const run::RarArchiver rar(tool_);
  EXPECT_EQ(run::BuildArchiveWith(rar, {0, dir_ / "BD05C001.BAK", archive, "clave con \"comillas\"", true}),
            "OK");
  const auto packed = test::ReadStandinArchive(archive);
  ASSERT_TRUE(packed);
  EXPECT_EQ(packed->password, "clave con \"comillas\"");
  ASSERT_TRUE(packed->Member("BD05C001.BAK"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "BD05C001.BAK")) << "-df deleted the dump";
  EXPECT_EQ(run::BuildArchiveWith(rar, {1, dir_ / "*.xls", dir_ / "ARC1C001.RAR", "", false}),
            run::kNoFilesToPack);
}

TEST_F(ProcessTest, OneRunLockAtATimeAndASecondNorvoTEndsAtOnce) {
  ScopedStore store;
  std::unique_ptr<platform::InstanceLock> first, second;
  std::string why;
  ASSERT_EQ(platform::TryInstanceLock(platform::RunLockFile(), first, &why), platform::LockOutcome::Acquired)
      << why;
  EXPECT_EQ(platform::TryInstanceLock(platform::RunLockFile(), second, &why), platform::LockOutcome::Busy);
  EXPECT_EQ(RunProgram({ProgramPath("Norvo_T")}, dir_ / "run.err"), 1);
  EXPECT_THAT(ReadFile(dir_ / "run.err"), ::testing::HasSubstr("another backup run"));
  first.reset();
  EXPECT_EQ(platform::TryInstanceLock(platform::RunLockFile(), second, &why),
            platform::LockOutcome::Acquired);
}

}  // namespace
}  // namespace norvo::test
