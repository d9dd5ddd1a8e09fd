#include "ftp/cDirList.h"

#include "ftp/FindData.h"
#include "settings/Text.h"

namespace norvo::ftp {
namespace {

// Names that differ only in letter case are one entry.
std::string KeyOf(const std::string& name) { return settings::AsciiLower(name); }

}  // namespace

void cDirList::Add(int32_t lAttrib, double dtCreationTime, double dtLastAccessTime, double dtLastWriteTime,
                   int32_t lFileSize, const std::string& sFilename) {
  Add64(lAttrib, dtCreationTime, dtLastAccessTime, dtLastWriteTime, lFileSize, sFilename);
}

void cDirList::Add64(int32_t lAttrib, double dtCreationTime, double dtLastAccessTime, double dtLastWriteTime,
                     int64_t lFileSize, const std::string& sFilename) {
  std::string key = KeyOf(sFilename);
  if (positions_.count(key) != 0) return;
  cDirItem item;
  item.ReadOnly = (lAttrib & kAttrReadOnly) != 0;
  item.Hidden = (lAttrib & kAttrHidden) != 0;
  item.System = (lAttrib & kAttrSystem) != 0;
  item.Directory = (lAttrib & kAttrDirectory) != 0;
  item.Archive = (lAttrib & kAttrArchive) != 0;
  item.Normal = (lAttrib & kAttrNormal) != 0;
  item.Temporary = (lAttrib & kAttrTemporary) != 0;
  item.Compressed = (lAttrib & kAttrCompressed) != 0;
  item.Offline = (lAttrib & kAttrOffline) != 0;
  item.CreationTime = dtCreationTime;
  item.LastAccessTime = dtLastAccessTime;
  item.LastWriteTime = dtLastWriteTime;
  item.FileSize = static_cast<int32_t>(static_cast<uint32_t>(lFileSize));
  item.FileSize64 = lFileSize;
  item.Filename = sFilename;
  positions_.emplace(std::move(key), entries_.size());
  entries_.push_back(std::move(item));
}

void cDirList::Clear() {
  entries_.clear();
  positions_.clear();
}

const cDirItem* cDirList::Item(int32_t index) const {
  if (index < 1 || static_cast<size_t>(index) > entries_.size()) return nullptr;
  return &entries_[static_cast<size_t>(index) - 1];
}

const cDirItem* cDirList::Item(const std::string& name) const {
  auto found = positions_.find(KeyOf(name));
  return found == positions_.end() ? nullptr : &entries_[found->second];
}

int32_t cDirList::Count() const { return static_cast<int32_t>(entries_.size()); }

}  // namespace norvo::ftp
