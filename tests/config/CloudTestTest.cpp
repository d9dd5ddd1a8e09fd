// The cloud connection test against the account-service stand-in and a real
// FTP server (pyftpdlib).
#include <gtest/gtest.h>

#include <filesystem>

#include "config/services/CloudTest.h"
#include "peers/AccountServicePeer.h"
#include "peers/FtpPeer.h"
#include "settings/Base64.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "support/Ports.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using Marks = std::array<bool, 3>;

class CloudTest : public ::testing::Test {
 protected:
  run::AccountService Service() const { return run::AccountService(service_.host(), run::CurlFetch(5)); }
  // The lookup answers with the FTP server of the test and the given login.
  void Answer(const std::string& reply) const { service_.Configure({{"tipo3", reply}}); }
  // The provider's base folder exists on its server; the customer's is made by the test.
  void SetUp() override { std::filesystem::create_directories(ftp_.Root() + "/base"); }
  std::string Account(const std::string& password) const {
    return "Empresa;" + ftp_.Address() + ";test;" + password + ";/base/";
  }
  bool OnServer(const std::string& path) const { return std::filesystem::exists(ftp_.Root() + path); }
  // The test with the FTP session's default options.
  static config::CloudTestMarks TestCloud(const std::string& cliente, const run::AccountService& service) {
    return config::Test_Cloud(cliente, service, net::FtpSessionOptions{});
  }

  TempDir dir_;
  AccountServicePeer service_{dir_.path().string()};
  FtpPeer ftp_;
  const std::string cliente_ = settings::EncodeSetting("12345");
};

TEST_F(CloudTest, EverythingReachable) {
  ASSERT_TRUE(ftp_.Started());
  Answer(Account("secret"));
  const config::CloudTestMarks marks = TestCloud(cliente_, Service());
  EXPECT_EQ(marks.success, (Marks{true, true, true}));
  EXPECT_FALSE(marks.blocked);
  EXPECT_TRUE(OnServer("/base/12345"));
  EXPECT_FALSE(OnServer("/base/12345/TESTNORVO01"));
  EXPECT_EQ(service_.Queries(), (std::vector<std::string>{"Tipo=3&Clave=" + cliente_}));
}

TEST_F(CloudTest, NoServiceMeansThreeFailures) {
  const run::AccountService nowhere("127.0.0.1:" + std::to_string(FreeLoopbackPort()), run::CurlFetch(5));
  EXPECT_EQ(TestCloud(cliente_, nowhere).success, (Marks{false, false, false}));
}

TEST_F(CloudTest, NoCustomerCodeAsksNothing) {
  EXPECT_EQ(TestCloud("", Service()).success, (Marks{false, false, false}));
  EXPECT_TRUE(service_.Queries().empty());
}

TEST_F(CloudTest, AnUnknownAccountOnlyReachesTheService) {
  Answer(";;;;;");
  EXPECT_EQ(TestCloud(cliente_, Service()).success, (Marks{true, false, false}));
}

TEST_F(CloudTest, ARefusedLoginFailsTheWriteLineOnly) {
  Answer(Account("wrong"));
  EXPECT_EQ(TestCloud(cliente_, Service()).success, (Marks{true, true, false}));
  EXPECT_FALSE(OnServer("/base/12345"));
}

TEST_F(CloudTest, ARefusedFolderFailsTheWriteLine) {
  std::filesystem::create_directories(ftp_.Root() + "/base/12345");
  WriteFile(ftp_.Root() + "/base/12345/TESTNORVO01", "a file in the folder's place");
  Answer(Account("secret"));
  EXPECT_EQ(TestCloud(cliente_, Service()).success, (Marks{true, true, false}));
  EXPECT_EQ(ReadFile(ftp_.Root() + "/base/12345/TESTNORVO01"), "a file in the folder's place");
}

TEST_F(CloudTest, AFourByteReplyMeansABlockedAccount) {
  Answer("BLOQ");
  const config::CloudTestMarks marks = TestCloud(cliente_, Service());
  EXPECT_TRUE(marks.blocked);
  EXPECT_TRUE(marks.success[config::kInternetLine]);
  EXPECT_FALSE(marks.success[config::kWriteLine]);
  Answer(Account("secret"));
  EXPECT_FALSE(TestCloud(cliente_, Service()).blocked);
}

TEST_F(CloudTest, FieldsBeyondTheSixthAreIgnored) {
  Answer(Account("secret") + ";sexto;septimo;octavo");
  EXPECT_EQ(TestCloud(cliente_, Service()).success, (Marks{true, true, true}));
}

TEST_F(CloudTest, ADamagedCustomerCodeStopsAfterTheService) {
  Answer(Account("secret"));
  EXPECT_EQ(TestCloud("abc", Service()).success, (Marks{true, false, false}));
}

// The window's call: the stored Cliente and the provider's account service.
TEST_F(CloudTest, StoredCustomerAndProviderService) {
  ScopedEnv store("NORVO_REGISTRY", dir_ / "registry.db");
  settings::ProviderConfig provider;
  provider.service_host = service_.host();
  settings::WriteSetting("Cliente", cliente_);
  Answer(Account("secret"));
  EXPECT_EQ(config::Test_Cloud(provider).success, (Marks{true, true, true}));
}

}  // namespace
}  // namespace norvo::test
