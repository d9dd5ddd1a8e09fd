#pragma once
// Fixtures of the two registrations, for the platform's tests, the
// configuration services' and the configuration window's alike: the crontab
// stand-in (tests/peers/crontab_standin.sh) keeping each account's table in a
// private folder, and a private configuration folder for the autostart entry.
#include <gtest/gtest.h>

#include <string>

#include "platform/posix/Accounts.h"
#include "support/Files.h"
#include "support/Programs.h"
#include "support/TempDir.h"

namespace norvo::test {

// The stand-in takes the crontab program's place for the life of the object.
class CrontabStandIn {
 protected:
  // The table the stand-in holds for the account, and the arguments of every call so far.
  std::string Table(const std::string& user) const { return ReadFile(dir_ / ("table." + user)); }
  std::string Calls() const { return ReadFile(dir_ / "calls"); }

  TempDir dir_;

 private:
  ScopedEnv crontab_{"NORVO_CRONTAB", PeerPath("crontab_standin.sh")};
  ScopedEnv standin_dir_{"CRONTAB_STANDIN_DIR", dir_.path().string()};
};

class CrontabStandInTest : public ::testing::Test, protected CrontabStandIn {
 protected:
  const std::string me_ = platform::CurrentUserName();
};

class AutostartFolderTest : public ::testing::Test {
 protected:
  // The entry that starts Norvo at log-on.
  std::string Entry() const { return ReadFile(home_ / "config/autostart/norvo.desktop"); }

  TempDir home_;
  ScopedEnv config_home_{"XDG_CONFIG_HOME", home_ / "config"};
};

}  // namespace norvo::test
