// The table of setting names: each stored name once (the store compares
// names without regard to case), with its meaning, and the file sets' names
// made from their base and number.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/SettingNames.h"
#include "settings/Text.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

TEST(SettingTable, EveryNameOnceWithItsMeaningAndEveryFileSetValue) {
  std::set<std::string> names;
  for (const SettingInfo& setting : SettingTable()) {
    EXPECT_TRUE(names.insert(AsciiLower(setting.name)).second) << setting.name;
    EXPECT_FALSE(setting.meaning.empty()) << setting.name;
  }
  EXPECT_EQ(names.size(), 43u);
  EXPECT_EQ(FileSetValueName(kRespArchRuta, 1), "Resp_ArchRuta");
  EXPECT_EQ(FileSetValueName(kRespArchFil, 3), "Resp_ArchFil3");
  for (int set = 1; set <= kFileSetCount; ++set) {
    for (std::string_view base : kFileSetValues) {
      EXPECT_EQ(names.count(AsciiLower(FileSetValueName(base, set))), 1u) << base << set;
    }
  }
  for (std::string_view name : {kCliente, kRespProgEnv, kRespRespFecha, kRespRespCompleta, kRespDrive}) {
    EXPECT_EQ(names.count(AsciiLower(name)), 1u) << name;
  }
}

}  // namespace
}  // namespace norvo::test
