// A file of more than 4 GiB backed up by Norvo_T: it arrives whole, with the
// right size, past every 32-bit limit. Writes gigabytes (label "large").
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "settings/Settings.h"
#include "support/UploadFixture.h"

namespace norvo::test {
namespace {

using settings::WriteSetting;

class NorvoTLargeUploadTest : public UploadFixture {
 protected:
  // The last 64 KiB of a file, where the member's last bytes lie.
  static std::string Tail(const std::string& path) {
    std::string tail(64 * 1024, '\0');
    int fd = ::open(path.c_str(), O_RDONLY);
    const off_t end = ::lseek(fd, 0, SEEK_END);
    const ssize_t got = ::pread(fd, tail.data(), tail.size(), end - static_cast<off_t>(tail.size()));
    ::close(fd);
    tail.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return tail;
  }
};

TEST_F(NorvoTLargeUploadTest, SparseFileOverFourGibArrivesWithItsSize) {
  const std::uintmax_t size = (4ull << 30) + 12345;  // past 2^32
  const std::string data = dir_ / "grande.bin";
  {
    int fd = ::open(data.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size - 4)), 0);
    ASSERT_EQ(::pwrite(fd, "tail", 4, static_cast<off_t>(size - 4)), 4);
    ::close(fd);
  }
  WriteSetting("Resp_ArchRuta", dir_.path().string() + "/");
  WriteSetting("Resp_ArchTipo", "A");
  WriteSetting("Resp_ArchNom", "grande.bin");
  WriteSetting("Resp_ProgRespLoc", "1");  // keep the local archive to compare with
  auto run = Run();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("ARA1C001.RAR: upload OK"), std::string::npos) << run.err;
  // The RAR stand-in stores the file whole, so the archive is larger still.
  const std::string local = work_ + "ARA1C001.RAR";
  const auto files = CloudFiles();
  ASSERT_EQ(files.count("ARA1C001.RAR"), 1u);
  EXPECT_GT(files.at("ARA1C001.RAR"), size);
  EXPECT_EQ(files.at("ARA1C001.RAR"), std::filesystem::file_size(local));
  EXPECT_EQ(files.size(), 1u) << "no temporary file is left";
  EXPECT_EQ(Tail(CloudFolder() + "ARA1C001.RAR"), Tail(local));
}

}  // namespace
}  // namespace norvo::test
