// The logon check on PAM, with a private service folder whose rules take the
// passwords from a pam_pwdfile file.
#include <gtest/gtest.h>

#include "platform/LogonCheck.h"
#include "platform/ProcessIO.h"
#include "platform/System.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

std::string Hash(const std::string& password) {
  const platform::ProcessOutput output =
      platform::RunWithInput({"openssl", "passwd", "-6", "-stdin"}, password + "\n");
  std::string hash = output.out;
  while (!hash.empty() && hash.back() == '\n') hash.pop_back();
  return hash;
}

class PamLogon : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string accounts = dir_ / "passwd";
    WriteFile(accounts, "ana:" + Hash("secreto") + "\nOFICINA\\usuario:" + Hash("clave 2") + "\n");
    WriteFile(dir_ / "norvo-test",
              "auth required pam_pwdfile.so pwdfile=" + accounts + "\naccount required pam_permit.so\n");
    WriteFile(dir_ / "norvo-locked",
              "auth required pam_pwdfile.so pwdfile=" + accounts + "\naccount required pam_deny.so\n");
    service_.name = "norvo-test";
    service_.confdir = dir_.path();
  }
  bool Check(const std::string& user, const std::string& domain, const std::string& password) {
    return platform::CheckLogon(service_, user, domain, password);
  }
  TempDir dir_;
  platform::LogonService service_;
};

TEST_F(PamLogon, RightAndWrongPasswords) {
  EXPECT_TRUE(Check("ana", "", "secreto"));
  EXPECT_FALSE(Check("ana", "", "Secreto"));
  EXPECT_FALSE(Check("ana", "", "secreto "));
  EXPECT_FALSE(Check("nadie", "", "secreto"));
}

TEST_F(PamLogon, EmptyFieldsAreRefused) {
  EXPECT_FALSE(Check("", "", ""));
  EXPECT_FALSE(Check("", "", "secreto"));
  EXPECT_FALSE(Check("ana", "", ""));
}

TEST_F(PamLogon, ThisComputerAsDomainMeansALocalAccount) {
  std::string computer = platform::ComputerName();
  EXPECT_TRUE(Check("ana", computer, "secreto"));
  for (char& c : computer) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(Check("ana", computer, "secreto"));
}

TEST_F(PamLogon, AnotherDomainNamesADomainAccount) {
  EXPECT_TRUE(Check("usuario", "OFICINA", "clave 2"));
  EXPECT_FALSE(Check("usuario", "", "clave 2"));
  EXPECT_FALSE(Check("usuario", "OTRA", "clave 2"));
  EXPECT_FALSE(Check("ana", "OFICINA", "secreto"));
}

// A right password is refused by a service whose account check denies it,
// and by a service that has no rules at all.
TEST_F(PamLogon, ARightPasswordIsRefusedByALockedOrMissingService) {
  for (const char* name : {"norvo-locked", "no-such-service"}) {
    service_.name = name;
    EXPECT_FALSE(Check("ana", "", "secreto")) << name;
  }
}

// The window fills its empty account fields with these; they must name a local
// account that the same check understands.
TEST(LoggedOnAccount, TheLoggedOnUserOfThisComputer) {
  const platform::LogonAccount account = platform::LoggedOnAccount();
  EXPECT_EQ(account.domain, platform::ComputerName());
  EXPECT_EQ(account.user + "\n", platform::RunWithInput({"id", "-un"}, "").out);
}

}  // namespace
}  // namespace norvo::test
