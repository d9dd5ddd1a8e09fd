#pragma once
// A private folder for one test, removed with everything in it at the end.
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <random>

#include "platform/System.h"
#endif

namespace norvo::test {

#ifdef _WIN32
// Under Wine the tests keep their folders on the Linux side, where the test
// peers (Linux programs) can reach them: NORVO_TEST_TMP names that folder in
// Linux form and its drive Z: makes it a Windows path.
inline std::filesystem::path TestTempRoot() {
  const std::string linux_folder = platform::EnvironmentValue("NORVO_TEST_TMP");
  if (linux_folder.empty()) return std::filesystem::temp_directory_path();
  std::string windows = "Z:" + linux_folder;
  for (char& c : windows) c = c == '/' ? '\\' : c;
  return std::filesystem::path(windows);
}
#endif

class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    std::random_device random;
    for (;;) {
      path_ = TestTempRoot() / ("norvo-test-" + std::to_string(random() % 1000000000u));
      if (std::filesystem::create_directories(path_)) break;
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "norvo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
#endif
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Sets an environment variable for the life of the object and restores it after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    Set(value.c_str());
  }
  ~ScopedEnv() { Set(had_ ? old_.c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const char* value) {
#ifdef _WIN32
    // Sets the variable for the C library and for the system, so that
    // children and GetEnvironmentVariable see it too; "" removes it.
    ::_putenv_s(name_, value != nullptr ? value : "");
#else
    if (value != nullptr)
      ::setenv(name_, value, 1);
    else
      ::unsetenv(name_);
#endif
  }
  const char* name_;
  std::string old_;
  bool had_ = false;
};

}  // namespace norvo::test
