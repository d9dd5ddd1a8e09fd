// The bandwidth cap on the real transfers against the pyftpdlib stand-in: an
// upload of the run and a restore of the cloud browser each take at least
// the time the cap allows, and a stall time-out shorter than the transfer
// does not end them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "ftp/RestoreDownload.h"
#include "peers/FtpPeer.h"
#include "run/CloudUpload.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

double SecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(TransferCap, UploadAndRestoreKeepToTheCap) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  std::filesystem::create_directories(peer.Root() + "/base");
  TempDir local;
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 251);
  WriteFile(local / "ARC1C001.RAR", data);

  net::FtpSessionOptions session;
  session.timeout_s = 2;
  session.cap = {200, {}};  // 25 000 bytes a second: 4 s for the file, twice the stall time-out
  run::CloudUploadOptions upload;
  upload.session = session;
  upload.pause = std::chrono::milliseconds(0);
  std::string result;
  const double up = SecondsOf([&] {
    result = run::UploadToCloud(upload, peer.Address(), "test", "secret", "/base/1/PC/", "/base/1/",
                                local.path().string() + "/", "ARC1C001.RAR");
  });
  ASSERT_EQ(result, "OK");
  EXPECT_EQ(ReadFile(peer.Root() + "/base/1/PC/ARC1C001.RAR"), data);
  EXPECT_GE(up, 3.5);

  ftp::RestoreRequest request{
      peer.Address(), "test", "secret", "/base/1/PC", "ARC1C001.RAR", local / "copia.TMP", 0, session, {}};
  ftp::RestoreProgress progress;
  ftp::RestoreFailure failure = ftp::RestoreFailure::NoFile;
  const double down = SecondsOf([&] { failure = ftp::DownloadBackup(request, progress); });
  ASSERT_EQ(failure, ftp::RestoreFailure::None);
  EXPECT_EQ(ReadFile(request.temporary), data);
  EXPECT_GE(down, 3.5);
}

}  // namespace
}  // namespace norvo::test
