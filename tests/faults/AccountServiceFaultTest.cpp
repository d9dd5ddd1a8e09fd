// The account service answers garbage, ten megabytes, or closes mid-reply:
// the run never trusts a broken answer, ends or goes on as the answer
// allows, and says why on stderr.
#include <gmock/gmock.h>

#include "FaultSupport.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::StartsWith;

class AccountServiceFaultTest : public NorvoTFaultTest {
 protected:
  void ExpectNothingDone(const ProgramRun& run) {
    EXPECT_FALSE(std::filesystem::exists(dir_ / "rar.log")) << "nothing was archived";
    EXPECT_EQ(settings::ReadSetting("Resp_RespUCopia"), "3") << run.err;
    EXPECT_EQ(settings::ReadSetting("Resp_RespFecha"), "");
    EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
  }
};

TEST_F(AccountServiceFaultTest, ClosedMidReplyIsNoAnswerNotAShortAccount) {
  // "Acme;127.0." would be an account with a wrong host if it were trusted.
  service_.Configure({{"tipo3", accountReply_}, {"cut", {{"3", 11}}}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 1) << "no account: the run ended early";
  EXPECT_THAT(run.err, HasSubstr("a request to the account service failed: Transferred a partial file"));
  EXPECT_THAT(run.err, HasSubstr("no account"));
  EXPECT_THAT(service_.Queries(), ElementsAre(StartsWith("Tipo=3&")));
  ExpectNothingDone(run);
}

TEST_F(AccountServiceFaultTest, ReportClosedMidReplyDoesNotStopTheRun) {
  // A second set whose folder is gone gives the run an error to report.
  settings::WriteSetting("Resp_ArchRuta2", dir_ / "gone");
  settings::WriteSetting("Resp_ArchTipo2", "C");
  settings::WriteSetting("Resp_ArchFil2", "*.doc");
  service_.Configure({{"tipo3", accountReply_}, {"cut", {{"4", 1}, {"5", 1}}}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << "reports that did not arrive: " << run.err;
  EXPECT_THAT(Requests("4"), SizeIs(2));
  EXPECT_THAT(Requests("5"), Not(IsEmpty()));
  EXPECT_EQ(settings::ReadSetting("Resp_RespUCopia"), "1") << "the run went to its end";
}

// Every item reached the cloud, but the service never got its report: not a clean run.
TEST_F(AccountServiceFaultTest, AnItemReportThatDoesNotArriveMakesTheStatusTwo) {
  service_.Configure({{"tipo3", accountReply_}, {"cut", {{"4", 1}}}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_THAT(Requests("5"), IsEmpty()) << "no error of the run itself";
  EXPECT_EQ(settings::ReadSetting("Resp_RespUCopia"), "1");
}

TEST_F(AccountServiceFaultTest, TenMegabytesAreReadOnlyAsFarAsTheReplyBuffer) {
  // 10 MB of one field: the run reads 250 bytes and takes them as the company.
  service_.Configure({{"tipo3", "Z"}, {"repeat", {{"3", 10 * 1024 * 1024}}}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << "its cloud is no host: " << run.err;
  EXPECT_LT(run.seconds, 30);
  EXPECT_THAT(run.err, HasSubstr("account of " + std::string(250, 'Z') + "\n"));
  auto errors = Requests("5");
  ASSERT_THAT(errors, Not(IsEmpty()));
  EXPECT_THAT(errors[0], HasSubstr("&NO=" + std::string(250, 'Z') + "&"));
  EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
}

TEST_F(AccountServiceFaultTest, TenMegabytesOfFieldsEndTheRunBeforeAnyBackup) {
  service_.Configure({{"tipo3", "a;"}, {"repeat", {{"3", 5 * 1024 * 1024}}}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.err, HasSubstr("more than six fields"));
  EXPECT_THAT(service_.Queries(), SizeIs(1)) << "no report after the handler";
  ExpectNothingDone(run);
}

TEST_F(AccountServiceFaultTest, BinaryGarbageIsTakenAsTextAndReachesNoServer) {
  // NULs, bytes that are not UTF-8, control characters and no host.
  nlohmann::json garbage = nlohmann::json::array({0, 255, 254, 27, '[', '2', 'J', 0xE9, 10, 13, 0x80, 0});
  service_.Configure({{"tipo3", garbage}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;
  auto errors = Requests("5");
  ASSERT_THAT(errors, Not(IsEmpty())) << run.err;
  EXPECT_EQ(ServerCopy(), "the good copy of an earlier run");
}

TEST_F(AccountServiceFaultTest, HtmlErrorPageWithStatus500IsNoAccount) {
  service_.Configure(
      {{"tipo3", "<html><body>Internal Server Error;;;</body></html>"}, {"status", {{"3", 500}}}});
  auto run = Run();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.err, AllOf(HasSubstr("HTTP status 500"), HasSubstr("no account")));
  ExpectNothingDone(run);
}

}  // namespace
}  // namespace norvo::test
