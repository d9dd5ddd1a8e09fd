#pragma once
// The files that an item's file specification names, found the way the RAR
// tool reads it, for archivers that are handed an exact list of files.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::run {

struct SourceFiles {
  std::string folder;                   // the folder the names are relative to
  std::vector<std::string> names;       // the files, relative to folder, sorted
  std::vector<std::string> unreadable;  // folders that could not be listed, relative to folder
};

// files is one of:
//  - a file: that file;
//  - a folder: every file in it and its subfolders, named under the folder's own name;
//  - a folder, the separator and a pattern of * and ?: the files (never the
//    folders) of that folder whose names match, and with recurse 1 those of
//    its subfolders too. "*.*" matches every name, with or without a dot.
// Nothing matching gives no names. Subfolders reached through a symbolic
// link are not entered, so a link back up cannot loop.
SourceFiles FindSourceFiles(const std::string& files, std::int16_t recurse);

// Whether name matches the pattern: * any run of characters, ? one character;
// without regard to case where the platform's names are so compared.
bool WildcardMatches(std::string_view pattern, std::string_view name);

}  // namespace norvo::run
