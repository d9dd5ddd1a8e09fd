#pragma once
// Whole files as text, for tests that write what a program reads and check
// what it wrote.
#include <fstream>
#include <sstream>
#include <string>

namespace norvo::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Replaces the file with the text.
inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace norvo::test
