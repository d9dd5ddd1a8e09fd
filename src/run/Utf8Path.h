#pragma once
// Paths made from UTF-8 text and given back as UTF-8 text, so that names
// outside the local code page survive on Windows as well.
#include <filesystem>
#include <string>

namespace norvo::run {

inline std::filesystem::path PathOfUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8OfPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace norvo::run
