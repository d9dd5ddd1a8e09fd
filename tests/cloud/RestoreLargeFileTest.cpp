// A restore of a file over 4 GiB (a sparse file on the server): every byte
// arrives, the progress counts in 64 bits, and the file is put in place.
// Writes about 4.5 GiB to disk, so it carries the ctest label "large".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ftp/RestoreDownload.h"
#include "peers/FtpPeer.h"
#include "support/SparseMarks.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kSize = 4LL * 1024 * 1024 * 1024 + 512LL * 1024 * 1024 + 77;
constexpr std::initializer_list<int64_t> kMarks = {0, 2147483647, 4294967296LL - 3, kSize - 8};

TEST(RestoreLargeFile, OverFourGibibytes) {
  FtpPeer peer;
  ASSERT_TRUE(peer.Started());
  fs::create_directories(peer.Root() + "/base/C1/PC");
  const std::string remote = peer.Root() + "/base/C1/PC/0105C01.RAR";
  { std::ofstream(remote, std::ios::binary); }
  fs::resize_file(remote, kSize);
  WriteMarks(remote, kMarks);

  TempDir local;
  ftp::RestoreRequest request;
  request.host = peer.Address();
  request.user = "test";
  request.password = "secret";
  request.folder = "/base/C1/PC";
  request.archivo = "0105C01.RAR";
  request.temporary = local / "copia.TMP";
  request.pause_ms = 0;
  ftp::RestoreProgress progress;
  ASSERT_EQ(ftp::DownloadBackup(request, progress), ftp::RestoreFailure::None);
  EXPECT_EQ(progress.total.load(), kSize);
  EXPECT_EQ(progress.done.load(), kSize);
  ASSERT_TRUE(ftp::PlaceRestoredFile(request.temporary, local / "copia.rar"));
  EXPECT_FALSE(fs::exists(request.temporary));
  EXPECT_EQ(static_cast<int64_t>(fs::file_size(local / "copia.rar")), kSize);
  EXPECT_TRUE(HasMarks(local / "copia.rar", kMarks));
}

}  // namespace
}  // namespace norvo::test
