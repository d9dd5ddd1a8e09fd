// The settings store on the real registry: UTF-8 through the wide calls,
// letter case, types, missing keys, and the throwaway root of the tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "WineSupport.h"
#include "platform/ProcessIO.h"
#include "platform/Registry.h"
#include "platform/windows/StoreRoot.h"
#include "platform/windows/WideText.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using settings::ReadSetting;
using settings::WriteSetting;

class RegistryTest : public ::testing::Test {
 protected:
  // The key that really holds the settings, opened with the raw calls.
  HKEY RawSettingsKey() {
    HKEY key = nullptr;
    const std::wstring path = platform::Widen("Software\\" + store_.Root() + "\\HKEY_CURRENT_USER\\Norvo");
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    return key;
  }
  ScopedStore store_;
};

TEST_F(RegistryTest, TextIsStoredAsUtf16WithoutNulAndReadsBackAsUtf8) {
  WriteSetting("Resp_ArchRuta", "C:\\Año 2024\\€");
  EXPECT_EQ(ReadSetting("Resp_ArchRuta"), "C:\\Año 2024\\€");
  HKEY key = RawSettingsKey();
  wchar_t data[64] = {};
  DWORD type = 0, size = sizeof data;
  ASSERT_EQ(RegQueryValueExW(key, L"Resp_ArchRuta", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data, size / sizeof(wchar_t)), L"C:\\A\u00f1o 2024\\\u20ac");
}

TEST_F(RegistryTest, NamesCompareWithoutRegardToCase) {
  WriteSetting("Clave", "uno");
  WriteSetting("CLAVE", "dos");
  EXPECT_EQ(ReadSetting("clave"), "dos");
  auto key = platform::OpenRegistryKey(platform::kHiveCurrentUser, "NORVO");
  ASSERT_TRUE(key);
  EXPECT_THAT(key->ValueNames(), ::testing::ElementsAre("Clave"));
}

TEST_F(RegistryTest, MissingKeysAndOtherTypesReadAsTheRulesSay) {
  EXPECT_EQ(ReadSetting("Cliente"), "") << "no key yet";
  WriteSetting("Resp_Base", "1");
  HKEY key = RawSettingsKey();
  const DWORD number = 7;
  const BYTE binary[] = {0xFE, 0xFF, 0x01};
  RegSetValueExW(key, L"Numero", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegSetValueExW(key, L"Binario", 0, REG_BINARY, binary, sizeof binary);
  RegCloseKey(key);
  EXPECT_EQ(ReadSetting("Numero"), "");
  EXPECT_EQ(ReadSetting("Binario"), "-2");
  EXPECT_EQ(ReadSetting("Nada"), "");
}

TEST_F(RegistryTest, TheRootOverrideMovesEveryHiveUnderOneThrowawayKey) {
  const platform::RegistryPlace moved = platform::PlaceOfKey(platform::kHiveLocalMachine, "Software\\X");
  EXPECT_EQ(moved.hive, HKEY_CURRENT_USER);
  EXPECT_EQ(platform::Narrow(moved.path), "Software\\" + store_.Root() + "\\HKEY_LOCAL_MACHINE\\Software\\X");
  ScopedEnv real("NORVO_REGISTRY_ROOT", "");
  const platform::RegistryPlace place = platform::PlaceOfKey(platform::kHiveCurrentUser, "Norvo");
  EXPECT_EQ(place.hive, HKEY_CURRENT_USER);
  EXPECT_EQ(platform::Narrow(place.path), "Norvo");
}

TEST_F(RegistryTest, ListingNamesEveryValue) {
  for (const char* name : {"Resp_Drive", "Cliente", "Resp_Base"}) WriteSetting(name, "x");
  auto key = platform::OpenRegistryKey(platform::kHiveCurrentUser, "Norvo");
  ASSERT_TRUE(key);
  const std::vector<std::string> names = key->ValueNames();
  EXPECT_THAT(names, ::testing::UnorderedElementsAre("Cliente", "Resp_Base", "Resp_Drive"));
  if (UnderWine()) GTEST_SKIP() << "Wine lists registry values alphabetically, not in the order written";
  EXPECT_THAT(names, ::testing::ElementsAre("Resp_Drive", "Cliente", "Resp_Base"));
}

TEST_F(RegistryTest, SettingsToolTakesUnicodeArgumentsAndWritesTheRegistry) {
  const std::string tool = ProgramPath("norvo-settings");
  // Greek is outside the ANSI code page: only the wide command line carries it.
  const std::string value = "C:\\Año 2024\\Ωmega";
  EXPECT_TRUE(platform::RunWithInput({tool, "set", "Resp_ArchRuta", value}, "").result.Succeeded());
  EXPECT_EQ(ReadSetting("Resp_ArchRuta"), value);
  const platform::ProcessOutput got = platform::RunWithInput({tool, "get", "Resp_ArchRuta"}, "");
  EXPECT_EQ(got.out, value + "\r\n");
  EXPECT_THAT(platform::RunWithInput({tool, "--help"}, "").out, ::testing::HasSubstr("HKEY_CURRENT_USER"));
}

}  // namespace
}  // namespace norvo::test
