// Start at log-on: the XDG autostart entry that starts Norvo.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Autostart.h"
#include "support/Files.h"
#include "support/RegistrationFixtures.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

TEST_F(AutostartFolderTest, TheEntryStartsNorvoOfTheProgramFolder) {
  ASSERT_TRUE(platform::RegisterStartAtLogon("/opt/norvo/", "Norvo"));
  EXPECT_EQ(platform::StartAtLogonLocation(), home_ / "config/autostart/norvo.desktop");
  EXPECT_EQ(Entry(),
            "[Desktop Entry]\nType=Application\nName=Norvo Backup\nExec=/opt/norvo/Norvo\n"
            "Terminal=false\nX-GNOME-Autostart-enabled=true\n");
}

TEST_F(AutostartFolderTest, ReservedCharactersAreQuotedAndEscaped) {
  ASSERT_TRUE(platform::RegisterStartAtLogon("/opt/my $dir 100%/", "Norvo"));
  EXPECT_NE(Entry().find("\nExec=\"/opt/my \\\\$dir 100%%/Norvo\"\n"), std::string::npos) << Entry();
}

TEST_F(AutostartFolderTest, ReplacedWholeWithNothingLeftBeside) {
  ASSERT_TRUE(platform::RegisterStartAtLogon("/old/", "Norvo"));
  ASSERT_TRUE(platform::RegisterStartAtLogon("/new/", "Norvo"));
  EXPECT_NE(Entry().find("Exec=/new/Norvo\n"), std::string::npos);
  int files = 0;
  for (const auto& item : std::filesystem::directory_iterator(home_ / "config/autostart")) {
    (void)item;
    ++files;
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(std::filesystem::status(home_ / "config/autostart/norvo.desktop").permissions() &
                std::filesystem::perms::all,
            std::filesystem::perms(0644));
}

TEST_F(AutostartFolderTest, AnUnusableFolderIsReported) {
  WriteFile(home_ / "config", "a file where the folder should be");
  std::string error;
  EXPECT_FALSE(platform::RegisterStartAtLogon("/opt/norvo/", "Norvo", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace norvo::test
