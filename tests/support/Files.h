#pragma once
// Whole files as text, for tests that write what a program reads and check
// what it wrote.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace norvo::test {

// A path from UTF-8 text (on Windows a plain string is read in the ANSI code page).
inline std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Replaces the file with the text.
inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace norvo::test
