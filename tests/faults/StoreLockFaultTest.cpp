// Another writer holds the settings store longer than its busy time-out: the
// run still ends in bounded time, reports that it could not save its date
// and copy slot, and the store keeps its old values.
#include <gmock/gmock.h>

#include "FaultSupport.h"
#include "run/BackupRun.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST_F(NorvoTFaultTest, StoreLockedByAnotherWriterThroughTheRun) {
  auto run = [&] {
    PeerProcess holder({"/usr/bin/python3", PeerPath("hold_store_lock.py"), dir_ / "registry.db"});
    EXPECT_EQ(holder.FirstLine(), "locked");
    return Run();
  }();
  EXPECT_EQ(run.exit_code, 2) << "a run that could not save is not a clean one: " << run.err;
  // Two waits of the 5 s busy time-out at most, not minutes.
  EXPECT_LT(run.seconds, 40);
  EXPECT_THAT(run.err, HasSubstr("database is locked"));
  const std::string notSaved = std::string(run::kRunNotSaved) + " (copy slot 1)";
  EXPECT_THAT(run.err, HasSubstr("error: " + notSaved));
  auto errors = Requests("5");
  ASSERT_FALSE(errors.empty());
  EXPECT_THAT(errors.back(), HasSubstr("&ER=" + notSaved));
  EXPECT_EQ(settings::ReadSetting("Resp_RespUCopia"), "3") << "the store is whole and unchanged";
  EXPECT_EQ(settings::ReadSetting("Resp_RespFecha"), "");
  EXPECT_EQ(settings::ReadSetting("Resp_ArchFil"), "*.xls");
}

}  // namespace
}  // namespace norvo::test
