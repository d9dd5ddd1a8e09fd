#pragma once
// Paths made from UTF-8 text and given back as UTF-8 text, so that names
// outside the local code page survive on Windows as well. Text that does not
// convert (not UTF-8 there) is taken byte for byte, never thrown about.
#include <filesystem>
#include <string>

namespace norvo::run {

inline std::filesystem::path PathOfUtf8(const std::string& text) {
  try {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
  } catch (const std::exception&) {
    return std::filesystem::path(text);
  }
}

inline std::string Utf8OfPath(const std::filesystem::path& path) {
  try {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  } catch (const std::exception&) {
    return path.string();
  }
}

}  // namespace norvo::run
