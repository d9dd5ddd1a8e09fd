// Which archiver a run uses: the RAR tool when found, else 7zz, else 7z, and
// what the provider file forces.
#include <gtest/gtest.h>

#include <filesystem>

#include "run/ArchiverLookup.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using settings::ArchiverChoice;

const std::string kLevel = std::to_string(settings::kDefaultArchiverLevel);

class ArchiverLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"program", "bin1", "bin2", "7-Zip"})
      std::filesystem::create_directories(dir_ / folder);
    search_.programFolder = dir_ / "program/";
    search_.searchPath = dir_ / "bin1" + ":" + dir_ / "bin2";
  }
  // The archiver found ("none"), then what was missing.
  std::string Found() {
    std::string note;
    const auto archiver = FindArchiver(search_, &note);
    return (archiver ? archiver->Describe() : "none") + " | " + note;
  }
  TempDir dir_;
  ArchiverSearch search_;
};

TEST_F(ArchiverLookupTest, AutoTakesTheRarToolWhenFoundElse7zzElse7z) {
  EXPECT_EQ(Found(),
            "none | no archiver found: install 7zip (or rar), or set archiver_path in the provider file");
  WriteFile(dir_ / "bin2/7z", "");
  EXPECT_EQ(Found(), "7-Zip (" + dir_ / "bin2/7z" + ", level " + kLevel + ") | ");
  WriteFile(dir_ / "bin2/7zz", "");
  EXPECT_EQ(Found(), "7-Zip (" + dir_ / "bin2/7zz" + ", level " + kLevel + ") | ");
  WriteFile(dir_ / "program/7zz", "");
  EXPECT_EQ(Found(), "7-Zip (" + dir_ / "program/7zz" + ", level " + kLevel + ") | ");
  WriteFile(dir_ / "bin2/rar", "");
  EXPECT_EQ(Found(), "the RAR tool (" + dir_ / "bin2/rar" + ") | ");
  search_.rarPath = "/opt/rar";
  EXPECT_EQ(Found(), "the RAR tool (/opt/rar) | ");
}

TEST_F(ArchiverLookupTest, TheProviderFileChoosesTheArchiverItsProgramAndLevel) {
  WriteFile(dir_ / "bin1/rar", "");
  WriteFile(dir_ / "bin1/7z", "");
  WriteFile(dir_ / "7-Zip/7z", "");
  search_.choice = ArchiverChoice::SevenZip;
  search_.level = 3;
  EXPECT_EQ(Found(), "7-Zip (" + dir_ / "bin1/7z" + ", level 3) | ");
  search_.sevenZipFolders = {dir_ / "7-Zip/"};
  EXPECT_EQ(Found(), "7-Zip (" + dir_ / "7-Zip/7z" + ", level 3) | ") << "7-Zip's usual folder before PATH";
  search_.sevenZipPath = "/opt/7zz";
  EXPECT_EQ(Found(), "7-Zip (/opt/7zz, level 3) | ");
  search_.searchPath = dir_ / "bin2";
  search_.choice = ArchiverChoice::Rar;
  EXPECT_EQ(Found(),
            "none | no RAR tool found (archiver = rar): install rar, or set rar_path in the provider file");
  search_.choice = ArchiverChoice::SevenZip;
  search_.sevenZipPath.clear();
  search_.sevenZipFolders.clear();
  EXPECT_EQ(Found(),
            "none | no 7-Zip found (archiver = 7z): install 7zip, or set archiver_path in the provider file");
}

}  // namespace
}  // namespace norvo::test
