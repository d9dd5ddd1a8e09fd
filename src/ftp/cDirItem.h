#pragma once
// One remote directory entry: a plain record, filled once by cDirList::Add.
#include <cstdint>
#include <string>

namespace norvo::ftp {

struct cDirItem {
  bool ReadOnly = false;    // attribute bit 0x1
  bool Hidden = false;      // 0x2
  bool System = false;      // 0x4
  bool Directory = false;   // 0x10
  bool Archive = false;     // 0x20
  bool Normal = false;      // 0x80
  bool Temporary = false;   // 0x100
  bool Compressed = false;  // 0x800
  bool Offline = false;     // 0x1000
  double CreationTime = 0;  // local Automation dates
  double LastAccessTime = 0;
  double LastWriteTime = 0;
  int32_t FileSize = 0;  // the low 32 bits of the size
  std::string Filename;
  int64_t FileSize64 = 0;  // the whole size (files of 2 GiB and more)
};

}  // namespace norvo::ftp
