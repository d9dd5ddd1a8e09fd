// The run lock: one holder at a time, released however the holder ends.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/InstanceLock.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::platform;

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
  TempDir dir;
  std::unique_ptr<InstanceLock> first, second;
  ASSERT_EQ(TryInstanceLock(dir / "run.lock", first), LockOutcome::Acquired);
  EXPECT_EQ(TryInstanceLock(dir / "run.lock", second), LockOutcome::Busy);
  EXPECT_FALSE(second);
  first.reset();
  EXPECT_EQ(TryInstanceLock(dir / "run.lock", second), LockOutcome::Acquired);
}

TEST(InstanceLock, CrashedHolderLeavesNoLockBehind) {
  TempDir dir;
  const std::string file = dir / "run.lock";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  if (child == 0) {
    std::unique_ptr<InstanceLock> held;
    TryInstanceLock(file, held);
    char byte = 1;
    (void)!::write(ready[1], &byte, 1);
    ::pause();  // until killed
    std::_Exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  std::unique_ptr<InstanceLock> lock;
  EXPECT_EQ(TryInstanceLock(file, lock), LockOutcome::Busy);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(TryInstanceLock(file, lock), LockOutcome::Acquired);
}

TEST(InstanceLock, UnopenableFileIsAFailureWithItsReason) {
  std::unique_ptr<InstanceLock> lock;
  std::string why;
  EXPECT_EQ(TryInstanceLock("/nonexistent-folder/x.lock", lock, &why), LockOutcome::Failed);
  EXPECT_NE(why.find("/nonexistent-folder/x.lock"), std::string::npos);
}

TEST(InstanceLock, RunLockFileLiesBesideTheSettingsStore) {
  TempDir dir;
  ScopedEnv store("NORVO_REGISTRY", dir / "deeper/registry.db");
  EXPECT_EQ(RunLockFile(), dir / "deeper/registry.db.run.lock");
  std::unique_ptr<InstanceLock> lock;
  EXPECT_EQ(TryInstanceLock(RunLockFile(), lock), LockOutcome::Acquired);
}

}  // namespace
}  // namespace norvo::test
