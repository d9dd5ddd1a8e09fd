// A 5 GiB sparse file through SimpleFTPPutFile and back. Writes about 10 GiB
// to disk, so it carries the ctest label "large" and is left out by default.
#include <filesystem>
#include <fstream>

#include "support/FtpServerTest.h"
#include "support/SparseMarks.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kSize = 5LL * 1024 * 1024 * 1024 + 123;
constexpr std::initializer_list<int64_t> kMarks = {0, 2147483647, 4294967296LL - 3, kSize - 9};

void Mark(const std::string& path) { WriteMarks(path, kMarks); }
bool Marked(const std::string& path) { return HasMarks(path, kMarks); }

TEST_F(FtpServerTest, FiveGibibyteSparseFileUpAndDown) {
  ASSERT_TRUE(Connect());
  ftp_.SetTransferBinary();
  const std::string local = LocalPath("big.rar");
  { std::ofstream(local, std::ios::binary); }
  fs::resize_file(local, kSize);
  Mark(local);
  ASSERT_TRUE(ftp_.SimpleFTPPutFile(local, "big.rar")) << ftp_.GetLastErrorMessage();
  EXPECT_EQ(static_cast<int64_t>(fs::file_size(ServerPath("big.rar"))), kSize);
  EXPECT_TRUE(Marked(ServerPath("big.rar")));
  EXPECT_EQ(ftp_.GetFTPFileSize64("big.rar"), kSize);
  EXPECT_EQ(ftp_.GetFTPFileSize("big.rar"), static_cast<int32_t>(static_cast<uint32_t>(kSize)));
  fs::remove(local);
  ASSERT_TRUE(ftp_.SimpleFTPGetFile(local, "big.rar")) << ftp_.GetLastErrorMessage();
  EXPECT_EQ(static_cast<int64_t>(fs::file_size(local)), kSize);
  EXPECT_TRUE(Marked(local));
  auto list = ftp_.GetDirectoryListing("*.RAR");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Item(1)->FileSize64, kSize);
}

}  // namespace
}  // namespace norvo::test
