#pragma once
// The archive format of the RAR stand-in for the Windows tests
// (rar_standin.cpp): a header line, the -hp password, then each member as
// "<name length>:<name> <size>\n" and its bytes. Small and for tests only:
// members are held in memory.
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace norvo::test {

inline constexpr char kStandinMagic[] = "NORVO-RAR-STANDIN";

struct StandinArchive {
  bool has_password = false;
  std::string password;
  std::vector<std::pair<std::string, std::string>> members;  // name (with "/"), bytes

  const std::string* Member(const std::string& name) const {
    for (const auto& [member, bytes] : members) {
      if (member == name) return &bytes;
    }
    return nullptr;
  }
};

inline std::string SerializeStandin(const StandinArchive& archive) {
  std::string text = std::string(kStandinMagic) + "\n";
  text += archive.has_password ? "P" + std::to_string(archive.password.size()) + ":" + archive.password : "N";
  text += "\n";
  for (const auto& [name, bytes] : archive.members) {
    text += std::to_string(name.size()) + ":" + name + " " + std::to_string(bytes.size()) + "\n" + bytes;
  }
  return text;
}

// Reads a length-prefixed text "<n>:<n bytes>" at `at`.
inline bool ReadCounted(const std::string& text, std::size_t& at, std::string& out) {
  const std::size_t colon = text.find(':', at);
  if (colon == std::string::npos) return false;
  const std::size_t length = std::stoul(text.substr(at, colon - at));
  if (colon + 1 + length > text.size()) return false;
  out = text.substr(colon + 1, length);
  at = colon + 1 + length;
  return true;
}

inline std::optional<StandinArchive> ParseStandin(const std::string& text) {
  StandinArchive archive;
  std::size_t at = std::string(kStandinMagic).size() + 1;
  if (text.compare(0, at, std::string(kStandinMagic) + "\n") != 0 || at >= text.size()) return std::nullopt;
  archive.has_password = text[at] == 'P';
  ++at;
  if (archive.has_password && !ReadCounted(text, at, archive.password)) return std::nullopt;
  if (at >= text.size() || text[at] != '\n') return std::nullopt;
  ++at;
  while (at < text.size()) {
    std::string name;
    if (!ReadCounted(text, at, name) || at >= text.size() || text[at] != ' ') return std::nullopt;
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) return std::nullopt;
    const std::size_t size = std::stoul(text.substr(at + 1, end - at - 1));
    if (end + 1 + size > text.size()) return std::nullopt;
    archive.members.emplace_back(name, text.substr(end + 1, size));
    at = end + 1 + size;
  }
  return archive;
}

inline std::optional<StandinArchive> ReadStandinArchive(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseStandin(text.str());
}

}  // namespace norvo::test
