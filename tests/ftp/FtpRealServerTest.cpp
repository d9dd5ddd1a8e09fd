// cFTP against the real servers: vsftpd lists with LIST only (no MLSD) and
// matches LIST patterns case-sensitively, so the client must list and match
// itself; ProFTPD and Pure-FTPd list with MLSD.
#include <filesystem>
#include <vector>

#include "peers/ProftpdPeer.h"
#include "peers/PureFtpdPeer.h"
#include "peers/VsftpdPeer.h"
#include "support/FtpServerTest.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

void WholeSession(const RealFtpPeer& peer) {
  // The dependency lists install the servers: a missing one fails, never passes silently.
  ASSERT_EQ(peer.Problem(), "");
  TempDir local;
  for (bool active : {false, true}) {
    ftp::cFTP ftp(FtpTimeout(5));
    if (active) ftp.SetModeActive();
    ftp.SetTransferBinary();
    ASSERT_TRUE(ftp.OpenConnection(peer.Address(), peer.User(), peer.Password()))
        << ftp.GetLastErrorMessage();
    EXPECT_EQ(ftp.GetFTPDirectory(), "/");
    const std::string folder = active ? "CLI 2" : "CLI 1";
    ASSERT_TRUE(ftp.CreateFTPDirectory("pub/" + folder)) << ftp.GetLastErrorMessage();
    ASSERT_TRUE(ftp.SetFTPDirectory("pub/" + folder));
    EXPECT_EQ(ftp.GetFTPDirectory(), "/pub/" + folder);

    std::vector<int64_t> events;
    ftp.FileTransferProgress = [&](int64_t current, int64_t) { events.push_back(current); };
    WriteFile(local / "six.bin", std::string(600, 'r'));
    ASSERT_TRUE(ftp.FTPUploadFile(local / "six.bin", "BD05C001.TMP")) << ftp.GetLastErrorMessage();
    EXPECT_EQ(events, (std::vector<int64_t>{255, 510, 600}));
    ftp.DeleteFTPFile("BD05C001.RAR");  // first upload: nothing to delete
    ASSERT_TRUE(ftp.RenameFTPFile("BD05C001.TMP", "BD05C001.RAR"));
    ASSERT_TRUE(ftp.SimpleFTPPutFile(local / "six.bin", "arc1c002.rar"));
    ASSERT_TRUE(ftp.SimpleFTPPutFile(local / "six.bin", "notes 1.txt"));

    auto list = ftp.GetDirectoryListing("*.RAR");
    ASSERT_NE(list, nullptr) << ftp.GetLastErrorMessage();
    EXPECT_EQ(list->Count(), 2);
    ASSERT_NE(list->Item("bd05c001.rar"), nullptr);
    EXPECT_EQ(list->Item("BD05C001.RAR")->FileSize, 600);
    EXPECT_EQ(ftp.GetFTPFileSize("notes 1.txt"), 600);
    EXPECT_EQ(ftp.GetFTPFileSize("missing.rar"), -1);

    events.clear();
    ASSERT_TRUE(ftp.FTPDownloadFile(local / "back.bin", "BD05C001.RAR")) << ftp.GetLastErrorMessage();
    EXPECT_EQ(events, (std::vector<int64_t>{256, 511, 600}));
    EXPECT_EQ(ReadFile(local / "back.bin"), std::string(600, 'r'));

    EXPECT_FALSE(ftp.RemoveFTPDirectory("/pub/" + folder));  // not empty
    for (const char* name : {"BD05C001.RAR", "arc1c002.rar", "notes 1.txt"})
      EXPECT_TRUE(ftp.DeleteFTPFile(name));
    EXPECT_EQ(ftp.GetDirectoryListing("*"), nullptr);
    ASSERT_TRUE(ftp.SetFTPDirectory(".."));
    EXPECT_TRUE(ftp.RemoveFTPDirectory(folder));
    ftp.CloseConnection();
  }
}

}  // namespace

TEST(FtpRealServers, WholeSessionOnEachServer) {
  if (!RealFtpPeer::CanRun()) GTEST_SKIP() << "the real FTP servers need the tests to run as root";
  WholeSession(VsftpdPeer());
  WholeSession(ProftpdPeer());
  WholeSession(PureFtpdPeer());
}

}  // namespace norvo::test
