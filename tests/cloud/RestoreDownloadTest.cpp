// The restore's download against a server that cuts its data connections:
// it goes on from the bytes received, or from the start on a server without
// restarts, and leaves no partial file when the breaks outlast the retries.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "ftp/RestoreDownload.h"
#include "peers/FtpPeer.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

class RestoreDownloadTest : public ::testing::Test {
 protected:
  ftp::RestoreFailure Download(FtpPeerOptions options) {
    options.command_log = local_ / "commands.log";
    peer_ = std::make_unique<FtpPeer>(options);
    EXPECT_TRUE(peer_->Started());
    std::filesystem::create_directories(peer_->Root() + "/base/C1/PC");
    for (int i = 0; i < 1000000; ++i) data_ += static_cast<char>(i * 7 % 251);
    WriteFile(peer_->Root() + "/base/C1/PC/0105C01.RAR", data_);
    request_.host = peer_->Address();
    request_.user = "test";
    request_.password = "secret";
    request_.folder = "/base/C1/PC";
    request_.archivo = "0105C01.RAR";
    request_.temporary = local_ / "copia.TMP";
    request_.pause_ms = 0;
    request_.retry.retry_wait = std::chrono::milliseconds(10);
    return ftp::DownloadBackup(request_, progress_);
  }
  std::string Commands() const { return ReadFile(local_ / "commands.log"); }

  TempDir local_;
  std::unique_ptr<FtpPeer> peer_;
  std::string data_;
  ftp::RestoreRequest request_;
  ftp::RestoreProgress progress_;
};

TEST_F(RestoreDownloadTest, BrokenTransferGoesOnFromTheBytesReceived) {
  FtpPeerOptions cutting;
  cutting.cut_after = {400000, 300000};
  ASSERT_EQ(Download(cutting), ftp::RestoreFailure::None);
  EXPECT_EQ(ReadFile(request_.temporary), data_);
  EXPECT_EQ(progress_.done.load(), 1000000);
  // A reset drops what was in flight: each REST names the bytes that arrived.
  EXPECT_THAT(Commands(), ContainsRegex("\nREST [1-9][0-9]*\nRETR .*\nREST [1-9][0-9]*\nRETR "));
}

TEST_F(RestoreDownloadTest, ControlConnectionCutIsResumedToo) {
  FtpPeerOptions cutting;
  cutting.cut_after = {400000};
  cutting.cut_control = true;
  ASSERT_EQ(Download(cutting), ftp::RestoreFailure::None);
  EXPECT_EQ(ReadFile(request_.temporary), data_);
  EXPECT_THAT(Commands(), ContainsRegex("\nREST [1-9][0-9]*\nRETR "));
}

TEST_F(RestoreDownloadTest, LogOnsRefusedForTheMomentAreTriedAgain) {
  // 421 twice, as a server that still counts the connection just closed
  // against its limit per address answers.
  ASSERT_EQ(Download(With(&FtpPeerOptions::refuse_once, std::vector<std::string>{"USER", "USER"})),
            ftp::RestoreFailure::None);
  EXPECT_EQ(ReadFile(request_.temporary), data_);
}

TEST_F(RestoreDownloadTest, WithoutRestartsTheFileComesAgain) {
  FtpPeerOptions cutting;
  cutting.cut_after = {400000};
  cutting.no_rest = true;
  ASSERT_EQ(Download(cutting), ftp::RestoreFailure::None);
  EXPECT_EQ(ReadFile(request_.temporary), data_);
  EXPECT_THAT(Commands(), Not(HasSubstr("REST ")));
}

TEST_F(RestoreDownloadTest, ServerThatRestartsWronglySendsTheFileAgain) {
  FtpPeerOptions cutting;
  cutting.cut_after = {400000, 300000};
  cutting.ignore_rest = true;  // REST taken, yet every transfer from byte 0
  ASSERT_EQ(Download(cutting), ftp::RestoreFailure::None);
  EXPECT_EQ(ReadFile(request_.temporary), data_);
  EXPECT_THAT(Commands(), ContainsRegex("\nREST [1-9][0-9]*\nRETR [^\n]*\n(.*\n)*RETR "));
}

TEST_F(RestoreDownloadTest, BreaksPastTheRetriesLeaveNoPartialFile) {
  FtpPeerOptions cutting;
  cutting.cut_after = {1000, 1000};
  request_.retry.retries = 1;
  EXPECT_EQ(Download(cutting), ftp::RestoreFailure::NoFile);
  EXPECT_FALSE(std::filesystem::exists(request_.temporary));
}

}  // namespace
}  // namespace norvo::test
