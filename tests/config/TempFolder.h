#pragma once
// A private folder for one test, removed with everything in it at the end,
// and helpers to read and write small files there.
#include <string>

namespace norvo::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& file);
void WriteFile(const std::string& file, const std::string& text);

}  // namespace norvo::testing
