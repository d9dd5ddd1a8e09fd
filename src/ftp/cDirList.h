#pragma once
// An ordered collection of cDirItem entries keyed by file name; keys compare
// without regard to letter case, and a name already present is not added again.
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

#include "ftp/cDirItem.h"

namespace norvo::ftp {

class cDirList {
 public:
  // Adds an entry built from the arguments; a name already present (in any
  // letter case) is ignored.
  void Add(int32_t lAttrib, double dtCreationTime, double dtLastAccessTime, double dtLastWriteTime,
           int32_t lFileSize, const std::string& sFilename);
  // The same with the whole 64-bit size (FileSize keeps its low 32 bits).
  void Add64(int32_t lAttrib, double dtCreationTime, double dtLastAccessTime, double dtLastWriteTime,
             int64_t lFileSize, const std::string& sFilename);
  void Clear();
  // The entry at a 1-based position, or under a name (any letter case);
  // nullptr when there is none. Valid until the list is cleared.
  const cDirItem* Item(int32_t index) const;
  const cDirItem* Item(const std::string& name) const;
  int32_t Count() const;

  // Iteration in insertion order (for-each over the list).
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  std::deque<cDirItem> entries_;
  std::unordered_map<std::string, size_t> positions_;  // lower-cased name -> index
};

}  // namespace norvo::ftp
