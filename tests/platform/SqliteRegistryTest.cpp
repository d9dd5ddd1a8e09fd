#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "platform/Process.h"
#include "platform/Registry.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "support/Programs.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

using platform::RegType;
using platform::RegValue;

class SettingsStore : public ::testing::Test {
 protected:
  TempDir dir;
  std::string store = dir / "conf/norvo/registry.db";
  ScopedEnv env{"NORVO_REGISTRY", store};

  void SetRaw(std::string_view name, RegType type, std::vector<unsigned char> data) {
    auto key = platform::CreateRegistryKey(kCurrentUser, kSettingsKey);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->Set(name, RegValue{type, std::move(data)}));
  }
  std::optional<RegValue> Raw(std::string_view name) {
    auto key = platform::OpenRegistryKey(kCurrentUser, kSettingsKey);
    return key ? key->Query(name) : std::nullopt;
  }
};

TEST_F(SettingsStore, MissingStoreKeyOrValueReadsEmpty) {
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Cliente"), "");
  EXPECT_FALSE(std::filesystem::exists(store)) << "a read must not create the store";
  SaveString(kCurrentUser, "Otro", "X", "1");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "X"), "");
  SaveString(kCurrentUser, "Norvo", "Clave", "s");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Resp_Base"), "");
}

TEST_F(SettingsStore, TextIsStoredWithoutNulAndReadUpToTheFirstNul) {
  SaveString(kCurrentUser, "Norvo", "V", "abc");
  auto raw = Raw("V");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, RegType::String);
  EXPECT_EQ(raw->data.size(), 3u);
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "V"), "abc");

  SetRaw("W", RegType::String, {'a', 'b', 0, 'z'});
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "W"), "ab");
  SaveString(kCurrentUser, "Norvo", "Empty", "");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Empty"), "");
  SaveString(kCurrentUser, "Norvo", "Utf8", "año ñ");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Utf8"), "año ñ");
}

TEST_F(SettingsStore, BinaryReadsAsSigned16BitAndOtherTypesAsEmpty) {
  SetRaw("B1", RegType::Binary, {0x39, 0x30});  // 12345
  SetRaw("B2", RegType::Binary, {0xFF, 0xFF, 0x7F});
  SetRaw("B3", RegType::Binary, {0x05});
  SetRaw("D", RegType::Dword, {1, 0, 0, 0});
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "B1"), "12345");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "B2"), "-1");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "B3"), "5");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "D"), "");
}

TEST_F(SettingsStore, KeysAndNamesIgnoreLetterCaseAndWritesReplace) {
  SaveString(kCurrentUser, "Norvo", "Resp_ProgCopias", "3");
  EXPECT_EQ(GetString(kCurrentUser, "NORVO", "resp_progcopias"), "3");
  SaveString(kCurrentUser, "norvo", "RESP_PROGCOPIAS", "5");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Resp_ProgCopias"), "5");
  // Hives are separate.
  EXPECT_EQ(GetString(kLocalMachine, "Norvo", "Resp_ProgCopias"), "");
  auto key = platform::OpenRegistryKey(kCurrentUser, "Norvo");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ValueNames().size(), 1u);
}

TEST_F(SettingsStore, WritingToAMissingKeyCreatesItAndItsParents) {
  SaveString(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Norvo", "x");
  EXPECT_EQ(GetString(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Norvo"), "x");
  EXPECT_TRUE(platform::OpenRegistryKey(kLocalMachine, "Software\\Microsoft"));
}

TEST_F(SettingsStore, StoreIsPrivateToTheUser) {
  SaveString(kCurrentUser, "Norvo", "Clave", "secreta");
  struct stat info {};
  ASSERT_EQ(::stat(store.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat((dir / "conf/norvo").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(SettingsStore, DamagedFileReadsEmptyAndIsNeverOverwritten) {
  std::filesystem::create_directories(dir / "conf/norvo");
  const std::string garbage = "this is not a settings store\n";
  WriteFile(store, garbage);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Cliente"), "");
  SaveString(kCurrentUser, "Norvo", "Cliente", "MTIz");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "Cliente"), "");
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(store), std::string::npos) << err;
  EXPECT_NE(err.find("not a database"), std::string::npos) << err;
  // Said once, not at every call.
  EXPECT_EQ(err.find(store), err.rfind(store)) << err;
  EXPECT_EQ(ReadFile(store), garbage);
}

TEST_F(SettingsStore, StoreThatCannotBeCreatedLosesNothingAndSaysWhy) {
  WriteFile(dir / "conf", "a file where a folder should be");
  ::testing::internal::CaptureStderr();
  SaveString(kCurrentUser, "Norvo", "X", "1");
  EXPECT_EQ(GetString(kCurrentUser, "Norvo", "X"), "");
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot"), std::string::npos) << err;
}

// Two processes writing 500 values each at the same moment lose none.
TEST_F(SettingsStore, TwoWritersAtOnceLoseNothing) {
  const std::string writer = ProgramPath("registry_writer");
  platform::ProcessResult first, second;
  std::thread a([&] { first = platform::RunAndWaitProcess({writer, "many", "A", "500"}); });
  std::thread b([&] { second = platform::RunAndWaitProcess({writer, "many", "B", "500"}); });
  a.join();
  b.join();
  ASSERT_TRUE(first.Succeeded()) << first.error << " exit " << first.exit_code;
  ASSERT_TRUE(second.Succeeded()) << second.error << " exit " << second.exit_code;
  auto key = platform::OpenRegistryKey(kCurrentUser, kSettingsKey);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ValueNames().size(), 1000u);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(RegQueryStringValue(*key, "A" + std::to_string(i)), "value A " + std::to_string(i));
    ASSERT_EQ(RegQueryStringValue(*key, "B" + std::to_string(i)), "value B " + std::to_string(i));
  }
}

// A reader never sees half of a value that another process is rewriting.
TEST_F(SettingsStore, ReaderNeverSeesATornValue) {
  const std::string writer = ProgramPath("registry_writer");
  SaveString(kCurrentUser, "Norvo", "Big", std::string(100000, 'a'));
  std::atomic<bool> done{false};
  platform::ProcessResult result;
  std::thread w([&] {
    result = platform::RunAndWaitProcess({writer, "rewrite", "Big", "200"});
    done = true;
  });
  int reads = 0;
  while (!done) {
    std::string value = GetString(kCurrentUser, "Norvo", "Big");
    ASSERT_EQ(value.size(), 100000u);
    ASSERT_EQ(value.find_first_not_of(value[0]), std::string::npos) << "torn value";
    ++reads;
  }
  w.join();
  EXPECT_TRUE(result.Succeeded()) << result.error;
  EXPECT_GT(reads, 0);
}

}  // namespace
}  // namespace norvo::test
