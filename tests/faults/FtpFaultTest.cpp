// The FTP server answers garbage or drops the control connection between
// commands: every cFTP operation fails with a readable text within the
// time-out, the session can be closed, and the files on the server are as
// they were.
#include <gmock/gmock.h>

#include <chrono>
#include <functional>

#include "FaultSupport.h"
#include "ftp/cFTP.h"

namespace norvo::test {
namespace {

struct FtpFault {
  const char* command;  // the command that meets the fault
  const char* mode;     // drop, garbage or junk (see ftp_fault_proxy.py)
  // The operation that sends it; true when it (wrongly) succeeded.
  std::function<bool(ftp::cFTP&, const std::string& local)> operation;
};

std::ostream& operator<<(std::ostream& out, const FtpFault& fault) {
  return out << fault.mode << " on " << fault.command;
}

class FtpFaultTest : public ::testing::TestWithParam<FtpFault> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ftp_.Started());
    WriteFile(ftp_.Root() + "/old.RAR", "the good copy");
    WriteFile(ftp_.Root() + "/new.tmp", "the new copy");
    WriteFile(dir_ / "local.RAR", SizeableContent());
  }

  void ExpectServerUnchanged() {
    EXPECT_EQ(ReadFile(ftp_.Root() + "/old.RAR"), "the good copy");
    EXPECT_EQ(ReadFile(ftp_.Root() + "/new.tmp"), "the new copy");
  }

  TempDir dir_;
  FtpPeer ftp_;
};

TEST_P(FtpFaultTest, FailsClearlyAndTouchesNothing) {
  const FtpFault& fault = GetParam();
  PeerProcess proxy({"/usr/bin/python3", PeerPath("ftp_fault_proxy.py"), "--upstream",
                     std::to_string(ftp_.Port()), "--on", fault.command, "--mode", fault.mode});
  const std::string address = "127.0.0.1:" + proxy.FirstLine();
  net::FtpSessionOptions options;
  options.timeout_s = 2;
  ftp::cFTP client(options);
  const auto start = std::chrono::steady_clock::now();
  const bool opened = client.OpenConnection(address, "test", "secret");
  bool succeeded = opened;
  if (opened) {
    client.SetTransferBinary();
    succeeded = fault.operation(client, dir_ / "local.RAR");
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_FALSE(succeeded);
  EXPECT_NE(client.GetLastErrorMessage(), "");
  EXPECT_LT(seconds, 15) << "a broken server costs a time-out, not a hang";
  if (opened) {
    // The next command after the fault fails or works, but never crashes.
    client.GetFTPDirectory();
  }
  client.CloseConnection();
  ExpectServerUnchanged();
}

bool Upload(ftp::cFTP& c, const std::string& local) { return c.FTPUploadFile(local, "old.RAR"); }
bool SimpleUpload(ftp::cFTP& c, const std::string& local) { return c.SimpleFTPPutFile(local, "old.RAR"); }
bool Rename(ftp::cFTP& c, const std::string&) { return c.RenameFTPFile("new.tmp", "old.RAR"); }
bool Delete(ftp::cFTP& c, const std::string&) { return c.DeleteFTPFile("old.RAR"); }
bool Folder(ftp::cFTP& c, const std::string&) { return !c.GetFTPDirectory().empty(); }
bool ChangeFolder(ftp::cFTP& c, const std::string&) { return c.SetFTPDirectory("/"); }
bool Size(ftp::cFTP& c, const std::string&) { return c.GetFTPFileSize("old.RAR") >= 0; }
bool Listing(ftp::cFTP& c, const std::string&) { return c.GetDirectoryListing("*.RAR") != nullptr; }
bool Download(ftp::cFTP& c, const std::string& local) {
  return c.FTPDownloadFile(local + ".down", "old.RAR");
}
bool Logon(ftp::cFTP&, const std::string&) { return true; }

INSTANTIATE_TEST_SUITE_P(
    Faults, FtpFaultTest,
    ::testing::Values(FtpFault{"GREETING", "garbage", Logon}, FtpFault{"GREETING", "drop", Logon},
                      FtpFault{"PASS", "drop", Logon}, FtpFault{"PASS", "garbage", Logon},
                      FtpFault{"STOR", "drop", Upload}, FtpFault{"STOR", "garbage", Upload},
                      FtpFault{"STOR", "junk", SimpleUpload}, FtpFault{"RNFR", "drop", Rename},
                      FtpFault{"RNTO", "garbage", Rename}, FtpFault{"DELE", "drop", Delete},
                      FtpFault{"DELE", "junk", Delete}, FtpFault{"PWD", "garbage", Folder},
                      FtpFault{"CWD", "drop", ChangeFolder}, FtpFault{"MLSD", "junk", Size},
                      FtpFault{"MLSD", "garbage", Listing}, FtpFault{"MLSD", "drop", Listing},
                      FtpFault{"RETR", "drop", Download}, FtpFault{"EPSV", "drop", Download}),
    [](const ::testing::TestParamInfo<FtpFault>& info) {
      return std::string(info.param.mode) + "_on_" + info.param.command;
    });

}  // namespace
}  // namespace norvo::test
