// The tray program's other services on Windows: the account check on SSPI,
// the logged-on account, the desktop's "open", the start of Norvo_T with a
// wait, and one tray program per user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "WineSupport.h"
#include "config/services/Logon.h"
#include "platform/DesktopOpen.h"
#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace norvo::test {
namespace {

using ::testing::HasSubstr;

std::string ThisUser() {
  wchar_t name[257] = {};
  DWORD size = 257;
  return GetUserNameW(name, &size) ? platform::Narrow(name) : "";
}

// The check through the configuration's service; Windows has no use for its PAM name.
bool Validar(const std::string& user, const std::string& domain, const std::string& password) {
  return config::Validar_Logon(user, domain, password, platform::LogonService{});
}

TEST(LogonCheck, WrongPasswordsUnknownAndEmptyAccountsAreRefused) {
  const std::string computer = platform::ComputerName();
  EXPECT_FALSE(Validar(ThisUser(), computer, "no es la contraseña"));
  EXPECT_FALSE(Validar("nadie-norvo-prueba", computer, "clave"));
  EXPECT_FALSE(Validar("nadie-norvo-prueba", "OFICINA", "clave"));
  EXPECT_FALSE(Validar("", "", ""));
}

TEST(LogonCheck, TheRightPasswordIsAccepted) {
  if (UnderWine()) {
    GTEST_SKIP() << "Wine's NTLM has no accounts of its own to accept (it hands the check to winbind's "
                    "ntlm_auth): the success path needs a real Windows machine or domain account";
  }
  const std::string account = platform::EnvironmentValue("NORVO_TEST_ACCOUNT");  // DOMAIN\user
  const std::size_t slash = account.find('\\');
  if (slash == std::string::npos)
    GTEST_SKIP() << "set NORVO_TEST_ACCOUNT=DOMAIN\\user and NORVO_TEST_PASSWORD";
  EXPECT_TRUE(Validar(account.substr(slash + 1), account.substr(0, slash),
                      platform::EnvironmentValue("NORVO_TEST_PASSWORD")));
}

TEST(LogonCheck, TheLoggedOnAccountIsThisUserOfItsDomain) {
  const platform::LogonAccount account = platform::LoggedOnAccount();
  EXPECT_EQ(account.user, ThisUser());
  EXPECT_FALSE(account.domain.empty());
  EXPECT_EQ(account.domain.find('\\'), std::string::npos);
}

class TrayStartTest : public ::testing::Test {
 protected:
  // The stand-in's record of its calls, waiting up to 10 s for one to arrive.
  std::string AwaitCalls() {
    for (int i = 0; i < 500 && ReadFile(dir_ / "calls").empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadFile(dir_ / "calls");
  }
  TempDir dir_;
  ScopedEnv standin_{"SCHTASKS_STANDIN_DIR", dir_.path().string()};
  ScopedStore store_;
};

TEST_F(TrayStartTest, TheDesktopOpensAProgramAndReportsWhatItCannotOpen) {
  std::string why;
  ASSERT_TRUE(platform::OpenWithDesktop(platform::SiblingProgram("schtasks_standin"), &why)) << why;
  EXPECT_EQ(AwaitCalls(), "\nshown\n");
  EXPECT_FALSE(platform::OpenWithDesktop(dir_ / "no-such-document.norvo", &why));
  EXPECT_THAT(why, HasSubstr("no-such-document.norvo: "));
  EXPECT_FALSE(platform::OpenWithDesktop("", &why));
}

TEST_F(TrayStartTest, RunNowStartsNorvoTBesideItHiddenAndWaitsForItsEnd) {
  const platform::ProcessResult hidden =
      platform::RunAndWaitProcess({platform::SiblingProgram("schtasks_standin")});
  EXPECT_TRUE(hidden.Succeeded()) << hidden.error;
  EXPECT_EQ(ReadFile(dir_ / "calls"), "\nhidden\n");
  // Norvo_T, started while a run holds the lock, ends at once with status 1.
  std::unique_ptr<platform::InstanceLock> run;
  ASSERT_EQ(platform::TryInstanceLock(platform::RunLockFile(), run), platform::LockOutcome::Acquired);
  EXPECT_EQ(platform::SiblingProgram("Norvo_T"), ProgramPath("Norvo_T"));
  const platform::ProcessResult norvo_t = platform::RunAndWaitProcess({platform::SiblingProgram("Norvo_T")});
  EXPECT_TRUE(norvo_t.started) << norvo_t.error;
  EXPECT_EQ(norvo_t.exit_code, 1);
}

TEST_F(TrayStartTest, ACatchUpStartIsHiddenAndAMissingProgramIsReported) {
  std::string why;
  ASSERT_TRUE(platform::StartDetachedProcess({platform::SiblingProgram("schtasks_standin")}, &why)) << why;
  EXPECT_EQ(AwaitCalls(), "\nhidden\n");
  EXPECT_FALSE(platform::StartDetachedProcess({dir_ / "no-such-program.exe"}, &why));
  EXPECT_THAT(why, HasSubstr("no-such-program.exe: "));
}

TEST_F(TrayStartTest, OneTrayProgramPerUserApartFromTheRunsLock) {
  std::unique_ptr<platform::InstanceLock> first, second, run;
  ASSERT_EQ(platform::TryInstanceLock(platform::TrayLockFile(), first), platform::LockOutcome::Acquired);
  EXPECT_EQ(platform::TryInstanceLock(platform::TrayLockFile(), second), platform::LockOutcome::Busy);
  EXPECT_EQ(platform::TryInstanceLock(platform::RunLockFile(), run), platform::LockOutcome::Acquired)
      << "a running tray program does not stop a backup run";
  first.reset();
  EXPECT_EQ(platform::TryInstanceLock(platform::TrayLockFile(), second), platform::LockOutcome::Acquired);
}

}  // namespace
}  // namespace norvo::test
