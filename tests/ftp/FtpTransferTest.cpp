// cFTP's transfers against pyftpdlib: byte-exact data, progress events, and
// failures that must not hang or leave damaged files.
#include <filesystem>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "support/FtpServerTest.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return data;
}

using Events = std::vector<std::pair<int64_t, int64_t>>;

TEST_F(FtpServerTest, SimplePutAndGetAreByteExactInBinaryMode) {
  for (bool active : {false, true}) {
    if (active) ftp_.SetModeActive();
    ASSERT_TRUE(Connect());
    ftp_.SetTransferBinary();
    std::string data = RandomBytes(3 * 1024 * 1024 + 17, active ? 2 : 1) + "\r\n\n\r\0";
    WriteFile(LocalPath("up.bin"), data);
    ASSERT_TRUE(ftp_.SimpleFTPPutFile(LocalPath("up.bin"), "up.bin")) << ftp_.GetLastErrorMessage();
    EXPECT_EQ(ReadFile(ServerPath("up.bin")), data);
    WriteFile(LocalPath("down.bin"), std::string(10 * 1024 * 1024, 'z'));  // longer: replaced
    ASSERT_TRUE(ftp_.SimpleFTPGetFile(LocalPath("down.bin"), "up.bin")) << ftp_.GetLastErrorMessage();
    EXPECT_EQ(ReadFile(LocalPath("down.bin")), data);
    ftp_.CloseConnection();
  }
}

TEST_F(FtpServerTest, SimpleTransfersReportMissingFilesAndTouchNothing) {
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  EXPECT_FALSE(ftp_.SimpleFTPPutFile(LocalPath("missing"), "x"));
  EXPECT_EQ(ftp_.GetLastErrorMessage(),
            "SimpleFtpPutFile error code: 2 Message: The system cannot find the file specified.\r\n");
  EXPECT_FALSE(fs::exists(ServerPath("x")));
  WriteFile(LocalPath("keep"), "mine");
  EXPECT_FALSE(ftp_.SimpleFTPGetFile(LocalPath("keep"), "missing"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
  EXPECT_EQ(ReadFile(LocalPath("keep")), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(local_), fs::directory_iterator()), 1);
  WriteFile(ServerPath("empty"), "");
  ASSERT_TRUE(ftp_.SimpleFTPGetFile(LocalPath("empty"), "empty"));
  EXPECT_TRUE(fs::exists(LocalPath("empty")));
  EXPECT_EQ(fs::file_size(LocalPath("empty")), 0u);
}

TEST_F(FtpServerTest, ChunkedUploadCountsInSteps) {
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  Events events;
  ftp_.FileTransferProgress = [&](int64_t current, int64_t total) { events.emplace_back(current, total); };
  const std::vector<std::pair<size_t, Events>> cases = {
      {600, {{255, 600}, {510, 600}, {600, 600}}},
      {510, {{255, 510}, {510, 510}, {510, 510}}},
      {0, {{0, 0}}},
  };
  for (const auto& [size, expected] : cases) {
    events.clear();
    std::string data = RandomBytes(size, static_cast<unsigned>(size));
    WriteFile(LocalPath("f"), data);
    ASSERT_TRUE(ftp_.FTPUploadFile(" " + LocalPath("f") + " ", " f" + std::to_string(size) + " "));
    EXPECT_EQ(events, expected) << size;
    EXPECT_EQ(ReadFile(ServerPath("f" + std::to_string(size))), data);
  }
  events.clear();
  std::string data = RandomBytes(1000000, 9);
  WriteFile(LocalPath("big"), data);
  ASSERT_TRUE(ftp_.FTPUploadFile(LocalPath("big"), "big"));
  ASSERT_EQ(events.size(), 1000000u / 255 + 1);
  EXPECT_EQ(events[3920], (std::pair<int64_t, int64_t>(255 * 3921, 1000000)));
  EXPECT_EQ(ReadFile(ServerPath("big")), data);
}

TEST_F(FtpServerTest, ChunkedDownloadCountsFromOne) {
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  Events events;
  ftp_.FileTransferProgress = [&](int64_t current, int64_t total) { events.emplace_back(current, total); };
  std::string data = RandomBytes(600, 6);
  WriteFile(ServerPath("six.bin"), data);
  WriteFile(LocalPath("six.bin"), std::string(5000, 'q'));  // longer: no stale tail
  ASSERT_TRUE(ftp_.FTPDownloadFile(LocalPath("six.bin"), "six.bin")) << ftp_.GetLastErrorMessage();
  EXPECT_EQ(events, (Events{{256, 600}, {511, 600}, {600, 600}}));
  EXPECT_EQ(ReadFile(LocalPath("six.bin")), data);
}

TEST_F(FtpServerTest, ChunkedTransfersRefuseEmptyMissingAndBlankNames) {
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  int events = 0;
  ftp_.FileTransferProgress = [&](int64_t, int64_t) { ++events; };
  WriteFile(ServerPath("empty"), "");
  EXPECT_FALSE(ftp_.FTPDownloadFile(LocalPath("empty"), "empty"));
  EXPECT_FALSE(ftp_.FTPDownloadFile(LocalPath("none"), "none"));
  EXPECT_TRUE(fs::is_empty(local_));
  ftp_.CreateFTPDirectory("/");  // leaves a message behind
  std::string before = ftp_.GetLastErrorMessage();
  EXPECT_FALSE(ftp_.FTPUploadFile("   ", "x"));
  EXPECT_FALSE(ftp_.FTPUploadFile(LocalPath("a"), "  "));
  EXPECT_EQ(ftp_.GetLastErrorMessage(), before);
  EXPECT_EQ(events, 0);
  // A missing local file leaves the server's copy alone (it is opened first).
  WriteFile(ServerPath("slot.RAR"), "previous copy");
  EXPECT_FALSE(ftp_.FTPUploadFile(LocalPath("missing.RAR"), "slot.RAR"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().rfind("FTPUploadFile error code: 2 ", 0), 0u);
  EXPECT_EQ(ReadFile(ServerPath("slot.RAR")), "previous copy");
  // A remote name the server refuses is a failure to open the remote file.
  WriteFile(LocalPath("f"), "x");
  EXPECT_FALSE(ftp_.FTPUploadFile(LocalPath("f"), "nofolder/f"));
  EXPECT_EQ(ftp_.GetLastErrorMessage().substr(0, 4), "550 ");
}

// Kills the server as soon as the file at `path` holds some bytes, that is
// once the transfer is under way (or after 30 seconds without any).
std::thread KillOnceReceiving(FtpPeer& peer, const std::string& path) {
  return std::thread([&peer, path] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::error_code error;
    while (std::chrono::steady_clock::now() < deadline) {
      const auto received = fs::file_size(path, error);
      if (!error && received > 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    peer.Kill();
  });
}

TEST_F(FtpServerTest, DroppedConnectionMidTransferFailsWithoutHanging) {
  FtpPeerOptions slow;
  slow.throttle = 256 * 1024;
  StartServer(slow);
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  std::string data = RandomBytes(8 * 1024 * 1024, 3);
  WriteFile(LocalPath("up.bin"), data);
  WriteFile(ServerPath("down.bin"), data);
  std::thread killer = KillOnceReceiving(*peer_, ServerPath("up.bin"));
  EXPECT_FALSE(ftp_.FTPUploadFile(LocalPath("up.bin"), "up.bin"));
  killer.join();
  std::string upload_message = ftp_.GetLastErrorMessage();
  EXPECT_NE(upload_message, "");
  EXPECT_EQ(upload_message.find("FtpOpenFile"), std::string::npos) << upload_message;

  StartServer(slow);
  WriteFile(ServerPath("down.bin"), data);
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  std::thread killer2 = KillOnceReceiving(*peer_, LocalPath("down.bin.part"));
  EXPECT_FALSE(ftp_.FTPDownloadFile(LocalPath("down.bin"), "down.bin"));
  killer2.join();
  EXPECT_NE(ftp_.GetLastErrorMessage(), "");
  EXPECT_EQ(ftp_.GetLastErrorMessage().find("FtpOpenFile"), std::string::npos) << ftp_.GetLastErrorMessage();
  EXPECT_TRUE(fs::is_empty(local_ + "/") || !fs::exists(LocalPath("down.bin")));
  EXPECT_FALSE(fs::exists(LocalPath("down.bin.part")));
}

}  // namespace
}  // namespace norvo::test
