// cFTP's session operations against pyftpdlib: log-on, folders, names, sizes.
#include <filesystem>

#include "support/FtpServerTest.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

TEST(FtpClient, NewObjectIsPassiveAsciiAndIdleCloseIsHarmless) {
  ftp::cFTP ftp;
  EXPECT_EQ(ftp.TransferType(), 1);
  EXPECT_EQ(ftp.ConnectFlags(), 0x08000000u);
  ftp.SetModeActive();
  ftp.SetTransferBinary();
  EXPECT_EQ(ftp.ConnectFlags(), 0u);
  EXPECT_EQ(ftp.TransferType(), 2);
  ftp.CloseConnection();
  ftp.CloseConnection();
  EXPECT_FALSE(ftp.Connected());
  EXPECT_EQ(ftp.GetLastErrorMessage(), "");
  EXPECT_EQ(ftp.Directory()->Count(), 0);
}

TEST(FtpClient, OperationsWithoutConnectionFailWithTheirLabels) {
  ftp::cFTP ftp;
  EXPECT_FALSE(ftp.CreateFTPDirectory("x"));
  EXPECT_EQ(ftp.GetLastErrorMessage(),
            "CreateFTPDirectory error code: 6 Message: The handle is invalid.\r\n");
  EXPECT_EQ(ftp.GetFTPDirectory(), "");
  EXPECT_EQ(ftp.GetLastErrorMessage().rfind("FtpGetCurrentDirectory error code: 6", 0), 0u);
  EXPECT_EQ(ftp.GetFTPFileSize("x"), -2);
  EXPECT_EQ(ftp.GetLastErrorMessage().rfind("FtpFindFirstFile error code: 6", 0), 0u);
  EXPECT_FALSE(ftp.SimpleFTPGetFile("/tmp/never", "x"));
  EXPECT_EQ(ftp.GetLastErrorMessage().rfind("SimpleFtpGetFile error code: 6", 0), 0u);
  EXPECT_FALSE(fs::exists("/tmp/never"));
}

TEST_F(FtpServerTest, RefusedLoginLeavesTheServersReplyAlone) {
  StartServer();
  EXPECT_FALSE(ftp_.OpenConnection(peer_->Address(), "test", "wrong"));
  EXPECT_EQ(ftp_.GetLastErrorMessage(), "530 Authentication failed.\r\n");
  EXPECT_FALSE(ftp_.OpenConnection(peer_->Address(), "nobody", "secret"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "530 ");
  EXPECT_TRUE(ftp_.OpenConnection(peer_->Address(), "test", "secret"));
}

TEST_F(FtpServerTest, HostThatDoesNotAnswerIsAnInternetConnectError) {
  StartServer();
  std::string address = peer_->Address();
  peer_->Kill();
  EXPECT_FALSE(ftp_.OpenConnection(address, "test", "secret"));
  EXPECT_EQ(
      ftp_.GetLastErrorMessage(),
      "InternetConnect error code: 12029 Message: A connection with the server could not be established\r\n");
  ftp::cFTP quick(FtpTimeout(1));
  SilentListener silent;
  EXPECT_FALSE(quick.OpenConnection("127.0.0.1:" + std::to_string(silent.Port()), "test", "secret"));
  EXPECT_EQ(quick.GetLastErrorMessage(),
            "InternetConnect error code: 12002 Message: The operation timed out\r\n");
}

TEST_F(FtpServerTest, SetAndGetDirectory) {
  ASSERT_TRUE(Connect());
  EXPECT_EQ(ftp_.GetFTPDirectory(), "/");
  ASSERT_TRUE(ftp_.CreateFTPDirectory("CLI01"));
  ASSERT_TRUE(ftp_.CreateFTPDirectory("CLI01/PC 1"));
  ASSERT_TRUE(ftp_.SetFTPDirectory("CLI01/PC 1"));
  EXPECT_EQ(ftp_.GetFTPDirectory(), "/CLI01/PC 1");
  EXPECT_FALSE(ftp_.SetFTPDirectory("nope"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
  EXPECT_EQ(ftp_.GetFTPDirectory(), "/CLI01/PC 1");
  ASSERT_TRUE(ftp_.SetFTPDirectory(".."));
  EXPECT_EQ(ftp_.GetFTPDirectory(), "/CLI01");
  ASSERT_TRUE(ftp_.SetFTPDirectory("/"));
  EXPECT_EQ(ftp_.GetFTPDirectory(), "/");
  // The folder is kept by the client: removing it under the session makes the
  // read-back fail rather than report a folder that is gone.
  ASSERT_TRUE(ftp_.SetFTPDirectory("/CLI01/PC 1"));
  fs::remove(ServerPath("CLI01/PC 1"));
  EXPECT_EQ(ftp_.GetFTPDirectory(), "");
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
}

TEST_F(FtpServerTest, CreateRemoveRenameDelete) {
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(ftp_.CreateFTPDirectory("base"));
  EXPECT_TRUE(fs::is_directory(ServerPath("base")));
  EXPECT_FALSE(ftp_.CreateFTPDirectory("base"));  // existing: refused, as the upload expects
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
  WriteFile(ServerPath("base/BD05C001.TMP"), "new");
  WriteFile(ServerPath("base/BD05C001.RAR"), "old");
  EXPECT_FALSE(ftp_.RemoveFTPDirectory("base"));
  ASSERT_TRUE(ftp_.SetFTPDirectory("base"));
  ASSERT_TRUE(ftp_.DeleteFTPFile("BD05C001.RAR"));
  EXPECT_FALSE(ftp_.DeleteFTPFile("BD05C001.RAR"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
  ASSERT_TRUE(ftp_.RenameFTPFile("BD05C001.TMP", "BD05C001.RAR"));
  EXPECT_EQ(ReadFile(ServerPath("base/BD05C001.RAR")), "new");
  EXPECT_FALSE(fs::exists(ServerPath("base/BD05C001.TMP")));
  EXPECT_FALSE(ftp_.RenameFTPFile("missing.TMP", "x.RAR"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
  EXPECT_FALSE(fs::exists(ServerPath("base/x.RAR")));
  ASSERT_TRUE(ftp_.DeleteFTPFile("/base/BD05C001.RAR"));
  ASSERT_TRUE(ftp_.SetFTPDirectory("/"));
  ASSERT_TRUE(ftp_.RemoveFTPDirectory("base"));
  EXPECT_FALSE(fs::exists(ServerPath("base")));
}

TEST_F(FtpServerTest, FileSizes) {
  ASSERT_TRUE(Connect());
  WriteFile(ServerPath("six hundred.bin"), std::string(600, 'x'));
  WriteFile(ServerPath("sixXhundred.bin"), std::string(7, 'x'));
  fs::create_directory(ServerPath("sub"));
  WriteFile(ServerPath("sub/inner.RAR"), std::string(42, 'x'));
  EXPECT_EQ(ftp_.GetFTPFileSize("six hundred.bin"), 600);
  EXPECT_EQ(ftp_.GetFTPFileSize("sixXhundred.bin"), 7);
  EXPECT_EQ(ftp_.GetFTPFileSize("sub/INNER.rar"),
            42);  // names match without case, folders as the server has them
  EXPECT_EQ(ftp_.GetFTPFileSize("/sub/inner.RAR"), 42);
  ftp_.CreateFTPDirectory("sub");  // leaves a message behind
  std::string before = ftp_.GetLastErrorMessage();
  EXPECT_EQ(ftp_.GetFTPFileSize("missing.bin"), -1);
  EXPECT_EQ(ftp_.GetFTPFileSize("nofolder/missing.bin"), -1);
  EXPECT_EQ(ftp_.GetFTPFileSize("SUB/inner.RAR"), -1);
  EXPECT_EQ(ftp_.GetLastErrorMessage(), before);
}

TEST_F(FtpServerTest, ReconnectingClosesTheHeldConnection) {
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(ftp_.SetFTPDirectory("/"));
  ASSERT_TRUE(ftp_.CreateFTPDirectory("d"));
  ASSERT_TRUE(ftp_.SetFTPDirectory("d"));
  ASSERT_TRUE(Connect());
  EXPECT_EQ(ftp_.GetFTPDirectory(), "/");
  ftp_.CloseConnection();
  EXPECT_FALSE(ftp_.CreateFTPDirectory("e"));
  EXPECT_FALSE(fs::exists(ServerPath("e")));
}

}  // namespace
}  // namespace norvo::test
