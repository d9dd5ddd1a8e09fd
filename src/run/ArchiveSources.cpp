#include "run/ArchiveSources.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "platform/System.h"
#include "run/Utf8Path.h"
#include "settings/Text.h"
#include "settings/Utf8.h"

namespace norvo::run {
namespace {

namespace fs = std::filesystem;

// Paths are made from and given back as UTF-8 text, so that names outside
// the local code page survive on Windows as well.
char32_t Folded(char32_t c) {
  if (!platform::kNamesIgnoreCase) return c;
  return static_cast<char32_t>(std::towlower(static_cast<std::wint_t>(c)));
}

bool IsSeparator(char c) { return c == '/' || c == platform::kPathSeparator; }

// Adds the files below folder (named relative to base) that pass `wanted`;
// enters subfolders when `deep`.
template <typename Wanted>
void Collect(const fs::path& base, const fs::path& folder, bool deep, const Wanted& wanted,
             SourceFiles& found) {
  std::error_code ec;
  fs::directory_iterator entries(folder, ec);
  if (ec) {
    found.unreadable.push_back(Utf8OfPath(folder.lexically_relative(base)));
    return;
  }
  for (; entries != fs::directory_iterator(); entries.increment(ec)) {
    const fs::directory_entry& entry = *entries;
    std::error_code kind;
    if (entry.is_symlink(kind) ? false : entry.is_directory(kind)) {
      if (deep) Collect(base, entry.path(), deep, wanted, found);
    } else if (entry.is_regular_file(kind) && wanted(Utf8OfPath(entry.path().filename()))) {
      found.names.push_back(Utf8OfPath(entry.path().lexically_relative(base)));
    }
  }
  if (ec) found.unreadable.push_back(Utf8OfPath(folder.lexically_relative(base)));
}

}  // namespace

bool WildcardMatches(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  // "?" stands for one character, not one byte.
  const std::u32string p = settings::DecodeUtf8(pattern);
  const std::u32string n = settings::DecodeUtf8(name);
  return settings::MatchesWildcards(std::u32string_view(p), std::u32string_view(n),
                                    [](char32_t a, char32_t b) { return Folded(a) == Folded(b); });
}

SourceFiles FindSourceFiles(const std::string& files, std::int16_t recurse) {
  SourceFiles found;
  std::string spec = files;
  while (spec.size() > 1 && IsSeparator(spec.back())) spec.pop_back();
  const fs::path path = PathOfUtf8(spec);
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) {
    found.folder = Utf8OfPath(path.parent_path());
    found.names.push_back(Utf8OfPath(path.filename()));
  } else if (fs::is_directory(path, ec)) {
    found.folder = Utf8OfPath(path.parent_path());
    Collect(
        path.parent_path(), path, true, [](const std::string&) { return true; }, found);
  } else {
    const auto cut = std::find_if(spec.rbegin(), spec.rend(), IsSeparator);
    const std::string folder = cut == spec.rend() ? "." : std::string(spec.begin(), cut.base());
    const std::string pattern(cut.base(), spec.end());
    // A name without wildcards that is not there matches nothing.
    if (pattern.find_first_of("*?") == std::string::npos || !fs::is_directory(PathOfUtf8(folder), ec))
      return found;
    found.folder = folder;
    const auto matches = [&pattern](const std::string& name) { return WildcardMatches(pattern, name); };
    Collect(PathOfUtf8(folder), PathOfUtf8(folder), recurse == 1, matches, found);
  }
  if (found.folder.empty()) found.folder.assign(1, '.');
  std::sort(found.names.begin(), found.names.end());
  return found;
}

}  // namespace norvo::run
