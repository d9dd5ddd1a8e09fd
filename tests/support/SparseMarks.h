#pragma once
// Marks at chosen offsets of a large sparse file (around the 2 GiB and 4 GiB
// limits and at the end), so a test can check that a transfer carried every
// part of it without comparing gigabytes.
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>

namespace norvo::test {

inline constexpr char kSparseMark[] = "NORVO-MK";  // 8 bytes

inline void WriteMarks(const std::string& path, std::initializer_list<int64_t> offsets) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  for (int64_t at : offsets) {
    file.seekp(at);
    file.write(kSparseMark, 8);
  }
}

inline bool HasMarks(const std::string& path, std::initializer_list<int64_t> offsets) {
  std::ifstream file(path, std::ios::binary);
  for (int64_t at : offsets) {
    char buffer[8];
    file.seekg(at);
    if (!file.read(buffer, 8) || std::string(buffer, 8) != kSparseMark) return false;
  }
  return true;
}

}  // namespace norvo::test
