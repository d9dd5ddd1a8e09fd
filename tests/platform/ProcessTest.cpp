// Running a helper with input and collected output (what the crontab calls use).
#include <gtest/gtest.h>

#include "platform/ProcessIO.h"

namespace norvo {
namespace {

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

}  // namespace
}  // namespace norvo
