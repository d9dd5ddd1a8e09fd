// Listings through cFTP against pyftpdlib, with MLSD and with LIST only.
#include <ctime>
#include <filesystem>

#include "settings/AutomationDate.h"
#include "support/FtpServerTest.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

TEST_F(FtpServerTest, EmptyFolderGivesNoListAndRecordsNothing) {
  ASSERT_TRUE(Connect());
  ftp_.CreateFTPDirectory("/");
  std::string before = ftp_.GetLastErrorMessage();
  EXPECT_EQ(ftp_.GetDirectoryListing("*.RAR"), nullptr);
  EXPECT_EQ(ftp_.GetDirectoryListing(""), nullptr);
  EXPECT_EQ(ftp_.GetLastErrorMessage(), before);
  auto fresh = ftp_.Directory();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->Count(), 0);
}

TEST_F(FtpServerTest, ListingsMatchPatternsWithoutCaseInBothDialects) {
  for (bool list_only : {false, true}) {
    FtpPeerOptions options;
    options.list_only = list_only;
    StartServer(options);
    fs::create_directories(ServerPath("CLI/PC1/Sub.rar"));
    WriteFile(ServerPath("CLI/PC1/BD05C001.RAR"), std::string(600, 'x'));
    WriteFile(ServerPath("CLI/PC1/arc1c002.rar"), "y");
    WriteFile(ServerPath("CLI/PC1/notes with blanks.txt"), "z");
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(ftp_.SetFTPDirectory("CLI/PC1"));
    auto list = ftp_.GetDirectoryListing("*.RAR");
    ASSERT_NE(list, nullptr) << ftp_.GetLastErrorMessage();
    EXPECT_EQ(list, ftp_.Directory());
    ASSERT_EQ(list->Count(), 3) << list_only;
    const ftp::cDirItem* rar = list->Item("bd05c001.rar");
    ASSERT_NE(rar, nullptr);
    EXPECT_EQ(rar->FileSize, 600);
    EXPECT_FALSE(rar->Directory);
    const double now = settings::ToAutomationDate(std::time(nullptr));
    EXPECT_NEAR(rar->LastWriteTime, now, 2.0 / 1440);  // listings give minutes at best
    EXPECT_EQ(rar->CreationTime, rar->LastWriteTime);
    EXPECT_TRUE(list->Item("Sub.RAR")->Directory);
    auto all = ftp_.GetDirectoryListing("");
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->Count(), 4);
    EXPECT_NE(all->Item("notes with blanks.txt"), nullptr);
    auto elsewhere = ftp_.GetDirectoryListing("/CLI/*");
    ASSERT_NE(elsewhere, nullptr);
    EXPECT_EQ(elsewhere->Count(), 1);
    EXPECT_EQ(elsewhere->Item(1)->Filename, "PC1");
    EXPECT_EQ(ftp_.GetDirectoryListing("*.zip"), nullptr);
    EXPECT_EQ(ftp_.Directory()->Count(), 0);  // the old list was dropped
    ftp_.CloseConnection();
  }
}

TEST_F(FtpServerTest, NamesDifferingOnlyInCaseGiveOneEntry) {
  ASSERT_TRUE(Connect());
  WriteFile(ServerPath("a.txt"), "1");
  WriteFile(ServerPath("A.TXT"), "22");
  auto list = ftp_.GetDirectoryListing("*.txt");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), 1);
  const ftp::cDirItem* item = list->Item("A.txt");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->FileSize, item->Filename == "a.txt" ? 1 : 2);
}

TEST_F(FtpServerTest, ListingOfAFolderThatVanishedIsRecorded) {
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(ftp_.CreateFTPDirectory("gone"));
  ASSERT_TRUE(ftp_.SetFTPDirectory("gone"));
  fs::remove(ServerPath("gone"));
  EXPECT_EQ(ftp_.GetDirectoryListing("*"), nullptr);
  // MLSD refused (501) is tried again with LIST, whose refusal is kept.
  EXPECT_EQ(ftp_.GetLastErrorMessage(), "550 No such file or directory.\r\n");
}

}  // namespace
}  // namespace norvo::test
