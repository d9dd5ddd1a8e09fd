#pragma once
// Whole small files as text, for tests that check what was written.
#include <fstream>
#include <sstream>
#include <string>

namespace norvo::testing {

inline std::string ReadFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace norvo::testing
