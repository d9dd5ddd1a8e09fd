// BuildArchive with the real 7-Zip (7zz): what goes into the archive, its
// encryption, adding to a kept archive, and inputs that pack nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/System.h"
#include "run/Archive.h"
#include "run/ArchiveSources.h"
#include "run/ArchiverSevenZip.h"
#include "support/Programs.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::Pair;

class SevenZipArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_ / "src dir/sub \"q\"");
    std::filesystem::create_directories(dir_ / "src dir/carpeta.xls");
    std::filesystem::create_directories(dir_ / "work");
    for (const char* name :
         {"a.xls", " lead.xls", "-r.xls", "LEEME", "b.doc", "sub \"q\"/c.xls", "carpeta.xls/d.txt"}) {
      WriteFile(src_ + name, std::string("content of ") + name);
    }
  }
  std::string Build(std::int16_t recurse, const std::string& files, const std::string& password,
                    bool deleteSources = false) {
    return BuildArchiveWith(SevenZipArchiver("7zz", 5),
                            ArchiveJob{recurse, files, archive_, password, deleteSources});
  }
  // The names 7-Zip extracts with the password.
  std::vector<std::string> Names(const std::string& password) {
    std::vector<std::string> names;
    for (const auto& [name, content] : ExtractWith7zz(archive_, password).files) names.push_back(name);
    return names;
  }

  std::vector<std::string> WorkFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / "work")) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  TempDir dir_;
  std::string src_ = dir_ / "src dir/";
  std::string archive_ = dir_ / "work/ARC1C001.RAR";
};

TEST(WildcardMatches, StarQuestionMarkAndStarDotStarAsTheRarToolReadsThem) {
  EXPECT_TRUE(WildcardMatches("*.*", "LEEME"));
  EXPECT_TRUE(WildcardMatches("*.xls", "cuentas 2024.xls"));
  EXPECT_FALSE(WildcardMatches("*.xls", "cuentas.xlsx"));
  EXPECT_TRUE(WildcardMatches("a*b*c", "a-bb-b-c"));
  EXPECT_TRUE(WildcardMatches("a?c", "añc")) << "? is one character, not one byte";
  EXPECT_FALSE(WildcardMatches("a?c", "ac"));
  EXPECT_EQ(WildcardMatches("*.xls", "A.XLS"), platform::kNamesIgnoreCase);
}

TEST_F(SevenZipArchiveTest, PacksExactlyTheMatchingFilesEncryptedWithHiddenNames) {
  const std::string password = "p w\"ñ -x";
  EXPECT_EQ(Build(1, src_ + "*.xls", password), "OK");
  const Extracted extracted = ExtractWith7zz(archive_, password);
  EXPECT_THAT(
      extracted.files,
      ElementsAre(Pair(" lead.xls", "content of  lead.xls"), Pair("-r.xls", "content of -r.xls"),
                  Pair("a.xls", "content of a.xls"), Pair("sub \"q\"/c.xls", "content of sub \"q\"/c.xls")));
  EXPECT_NE(ExtractWith7zz(archive_, "p w").exit_code, 0);
  EXPECT_NE(ExtractWith7zz(archive_, "").exit_code, 0);
  const ProgramRun listing = ListWith7zzWithoutPassword(archive_);
  EXPECT_NE(listing.exit_code, 0);
  EXPECT_THAT(listing.err, Not(HasSubstr("a.xls")));
  EXPECT_TRUE(platform::FileExists(src_ + "a.xls")) << "file sets keep their sources";
}

TEST_F(SevenZipArchiveTest, OnlyRecurseOneEntersSubfoldersAndNoPasswordMeansNoEncryption) {
  EXPECT_EQ(Build(2, src_ + "*.*", ""), "OK");
  EXPECT_THAT(Names(""), ElementsAre(" lead.xls", "-r.xls", "LEEME", "a.xls", "b.doc"));
  EXPECT_EQ(ListWith7zzWithoutPassword(archive_).exit_code, 0);
  platform::RemoveFile(archive_);
  EXPECT_EQ(Build(0, dir_ / "src dir", ""), "OK") << "a folder is packed whole, under its name";
  EXPECT_EQ(Names("").size(), 7u);
  EXPECT_EQ(Names("").front(), "src dir/ lead.xls");
}

TEST_F(SevenZipArchiveTest, AddsTheDumpToTheSlotsKeptArchiveAndDeletesIt) {
  WriteFile(dir_ / "work/BD05C001.BAK", "first dump");
  EXPECT_EQ(Build(0, dir_ / "work/BD05C001.BAK", "clave", true), "OK");
  EXPECT_FALSE(platform::FileExists(dir_ / "work/BD05C001.BAK"));
  WriteFile(dir_ / "work/BD07C001.BAK", "second dump");
  EXPECT_EQ(Build(0, dir_ / "work/BD07C001.BAK", "clave", true), "OK");
  EXPECT_FALSE(platform::FileExists(dir_ / "work/BD07C001.BAK"));
  EXPECT_THAT(ExtractWith7zz(archive_, "clave").files,
              ElementsAre(Pair("BD05C001.BAK", "first dump"), Pair("BD07C001.BAK", "second dump")));
  EXPECT_THAT(WorkFiles(), ElementsAre("ARC1C001.RAR")) << "no list or temporary file is left";
}

TEST_F(SevenZipArchiveTest, NothingMatchingOrAPasswordItCannotReadMakesNoArchive) {
  EXPECT_EQ(Build(1, src_ + "*.pdf", "clave"), kNoFilesToPack);
  EXPECT_EQ(Build(1, dir_ / "no such folder/*.*", "clave"), kNoFilesToPack);
  EXPECT_EQ(Build(0, src_ + "missing.xls", "clave"), kNoFilesToPack);
  EXPECT_EQ(Build(0, src_ + "a.xls", "two\nlines"), kPasswordWithLineBreak);
  EXPECT_THAT(WorkFiles(), ElementsAre());
}

}  // namespace
}  // namespace norvo::test
