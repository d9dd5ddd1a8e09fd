// Starting programs: arguments that pass unsplit and the end awaited, and a
// helper run with input and collected output (what the crontab calls use).
#include <gtest/gtest.h>

#include "platform/Process.h"
#include "platform/ProcessIO.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

TEST(Process, ArgumentsPassUnsplitAndTheEndIsAwaited) {
  TempDir dir;
  const std::string out = dir / "args";
  auto result = platform::RunAndWaitProcess(
      {"/bin/sh", "-c", "printf '%s|' \"$@\" > \"$0\"", out, "a b", "it's", "\"q\"", "$HOME"});
  ASSERT_TRUE(result.Succeeded()) << result.error;
  EXPECT_EQ(ReadFile(out), "a b|it's|\"q\"|$HOME|");

  auto failing = platform::RunAndWaitProcess({"/bin/sh", "-c", "exit 3"});
  EXPECT_TRUE(failing.started);
  EXPECT_EQ(failing.exit_code, 3);
  auto killed = platform::RunAndWaitProcess({"/bin/sh", "-c", "kill -9 $$"});
  EXPECT_EQ(killed.signal, 9);
  EXPECT_FALSE(killed.Succeeded());
  auto missing = platform::RunAndWaitProcess({dir / "no-such-program"});
  EXPECT_FALSE(missing.started);
  EXPECT_NE(missing.error.find("no-such-program"), std::string::npos);
}

// More than a pipe holds in both directions: feeding and draining must interleave.
TEST(RunWithInput, LargeInputAndOutputDoNotBlock) {
  std::string input;
  for (int i = 0; input.size() < 1 << 20; ++i) input += "line " + std::to_string(i) + "\n";
  const platform::ProcessOutput output = platform::RunWithInput({"sh", "-c", "tee /dev/stderr"}, input);
  ASSERT_TRUE(output.result.Succeeded()) << output.result.error;
  EXPECT_EQ(output.out, input);
  EXPECT_EQ(output.err, input);
}

TEST(RunWithInput, ExitStatusAndAProgramThatReadsNothing) {
  const platform::ProcessOutput output =
      platform::RunWithInput({"sh", "-c", "echo gone >&2; exit 3"}, std::string(1 << 20, 'x'));
  EXPECT_TRUE(output.result.started);
  EXPECT_EQ(output.result.exit_code, 3);
  EXPECT_EQ(output.err, "gone\n");
  EXPECT_FALSE(platform::RunWithInput({}, "").result.started);
}

// An archiver may write without end: only the end of standard error is kept.
// A working folder that is not there is named as the reason it cannot start.
TEST(RunChild, FeedsTheInputInTheGivenFolderAndKeepsTheEndOfStandardError) {
  TempDir dir;
  platform::ChildRunOptions options;
  options.input = "clave\n";
  options.working_folder = dir.path().string();
  options.kept_error_bytes = 100;
  const platform::ChildRun run = platform::RunChild(
      {"sh", "-c",
       "read word; pwd > here; head -c 3000000 /dev/zero | tr '\\0' x >&2; echo \"end $word\" >&2; echo out"},
      options);
  ASSERT_TRUE(run.result.Succeeded()) << run.result.error;
  EXPECT_EQ(run.error_tail, std::string(90, 'x') + "end clave\n");
  EXPECT_EQ(ReadFile(dir / "here"), dir.path().string() + "\n");
  options.working_folder = dir / "gone";
  const platform::ChildRun lost = platform::RunChild({"sh", "-c", "true"}, options);
  EXPECT_FALSE(lost.result.started);
  EXPECT_EQ(lost.result.error.rfind(options.working_folder + ": ", 0), 0u) << "the folder, not the program";
}

}  // namespace
}  // namespace norvo::test
