// set refuses what a run would refuse and writes nothing then; describe
// tells each setting's meaning, values and default in the README's words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "ToolFixture.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "settings/Text.h"

namespace norvo::test {
namespace {

using ::testing::HasSubstr;

// One rule per line: a value it takes, values it refuses, and the words of the refusal.
struct RuleCase {
  const char* name;
  const char* good;
  std::vector<const char*> bad;
  const char* says;
};

TEST_F(SettingsToolTest, SetTakesWhatARunTakesAndRefusesTheRestWritingNothing) {
  const std::vector<RuleCase> cases = {
      {"Resp_ProgEnv", "1", {"si", "2", ""}, "Resp_ProgEnv must be 1 (yes) or 0 (no), not \"si\""},
      {"Resp_ProgCopias", "3", {"abc", "0", "40000", "3.5"}, "must be a whole number from 1 to 32767"},
      {"Resp_RespUCopia", "0", {"-1", "32768"}, "must be a whole number from 0 to 32767"},
      {"Resp_ArchRuta", "/srv/mis datos", {"datos", "~/datos"}, "must be an absolute folder path"},
      {"Resp_ArchNom2", "libro 1.xls", {"sub/libro.xls", ".."}, "must be a file name without its folder"},
      {"Resp_ArchFil3", "*.xls", {"../*.xls"}, "must be a file name pattern"},
      {"Resp_ArchTipo", "A", {"B", "a"}, "must be A or C"},
      {"Resp_BaseAut", "Aut1", {"Aut3"}, "must be Aut1"},
      {"Resp_BaseBas", ",5,17,", {"5,7", ",5,x,", ",,"}, "must be database ids between commas"},
      {"Resp_ProgSem", ",MON,FRI,", {",mon,", ",", "MON"}, "must be day codes MON TUE WED"},
      {"Resp_ProgHora", "07:05", {"24:00", "7.05", "__:__"}, "must be hh:mm on the 24-hour clock"},
      {"Resp_ProgMail", "jefe@oficina.example", {"jefe@oficina", "a..b@c.d"}, "must be a mail address"},
      {"Resp_RespFecha", "03-07-2024 14:05", {"2024-07-03 14:05", "32-01-2024 10:00"}, "DD-MM-YYYY hh:mm"},
      {"Resp_ProgWUsr", "YW5h", {"ana!"}, "Resp_ProgWUsr must be Base64 text"},
      {"Resp_Base", "0", {""}, "Resp_Base is not set"},
  };
  for (const RuleCase& c : cases) {
    for (const char* bad : c.bad) {
      const ToolRun run = Tool({"set", c.name, bad});
      EXPECT_EQ(run.status, 2) << c.name << "=" << bad;
      EXPECT_THAT(run.err, HasSubstr("; nothing was written")) << c.name << "=" << bad;
      EXPECT_EQ(settings::ReadSetting(c.name), "") << c.name << "=" << bad;
    }
    EXPECT_THAT(Tool({"set", c.name, c.bad.front()}).err, HasSubstr(c.says)) << c.name;
    EXPECT_EQ(Tool({"set", c.name, c.good}).status, 0) << c.name;
    EXPECT_EQ(settings::ReadSetting(c.name), c.good);
  }
}

TEST_F(SettingsToolTest, UnknownNamesNeedForceAndSecretsAreNotRepeated) {
  EXPECT_EQ(Tool({"set", "Resp_Typo", "5"}).status, 2);
  EXPECT_EQ(settings::ReadSetting("Resp_Typo"), "");
  EXPECT_EQ(Tool({"set", "--force", "Resp_Typo", "5"}).status, 0);
  EXPECT_EQ(settings::ReadSetting("Resp_Typo"), "5");
  // A known name keeps the table's spelling, whatever was typed.
  EXPECT_EQ(Tool({"set", "resp_progcopias", "2"}).status, 0);
  EXPECT_EQ(Tool({"list"}).out, "Resp_Typo=5\nResp_ProgCopias=2\n");
  const ToolRun secret = Tool({"set", "Resp_ProgWPas", "plain pw"});
  EXPECT_EQ(secret.status, 2);
  EXPECT_THAT(secret.err, Not(HasSubstr("plain pw")));
  EXPECT_THAT(Tool({"set", "Cliente", "123"}).err, HasSubstr("set-customer CODE"));
}

TEST_F(SettingsToolTest, DescribeGivesMeaningValuesAndDefault) {
  EXPECT_EQ(Tool({"describe", "resp_progcopias"}).out,
            "Resp_ProgCopias\n"
            "  meaning: how many copies of each item the cloud keeps\n"
            "  values:  a whole number from 1 to 32767\n"
            "  default: 0: every run uses copy slot 1\n");
  const std::string all = Tool({"describe"}).out;
  for (const settings::SettingInfo& setting : settings::SettingTable()) {
    EXPECT_THAT(all, HasSubstr(std::string(setting.name) + "\n  meaning: ")) << setting.name;
  }
  EXPECT_EQ(Tool({"describe", "Resp_Typo"}).status, 2);
}

// The README's table of settings says what describe says: each row is a
// setting's name, meaning, values and default; sets 2 and 3 are left to a
// sentence.
TEST(SettingsReadme, TheTableOfSettingsIsTheProgramsOwn) {
  std::set<std::string> rows;
  std::istringstream readme(ReadFile(NORVO_SOURCE_DIR "/README.md"));
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind("| `Resp_", 0) != 0 && line.rfind("| `Cli", 0) != 0 && line.rfind("| `Clave", 0) != 0)
      continue;
    std::string plain;
    for (char c : line) {
      if (c != '`') plain += c;
    }
    std::vector<std::string> cells = settings::Split(plain, " | ");
    ASSERT_EQ(cells.size(), 4u) << line;
    const std::string name = cells[0].substr(2);
    const settings::SettingInfo* setting = settings::FindSetting(name);
    ASSERT_NE(setting, nullptr) << line;
    EXPECT_EQ(cells[1], setting->meaning) << name;
    EXPECT_EQ(cells[2], settings::AllowedValues(setting->rule)) << name;
    EXPECT_EQ(cells[3], std::string(setting->when_missing) + " |") << name;
    rows.insert(name);
  }
  for (const settings::SettingInfo& setting : settings::SettingTable()) {
    const bool later_set =
        setting.name.starts_with("Resp_Arch") && (setting.name.ends_with("2") || setting.name.ends_with("3"));
    EXPECT_EQ(rows.count(std::string(setting.name)), later_set ? 0u : 1u) << setting.name;
  }
}

}  // namespace
}  // namespace norvo::test
