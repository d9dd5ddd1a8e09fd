#pragma once
// One entry of a remote listing as the listing code passes it on: the fields
// of a Windows find-data record, with 64-bit sizes.
#include <cstdint>
#include <string>

namespace norvo::ftp {

// Windows file-attribute bits.
inline constexpr int32_t kAttrReadOnly = 0x1;
inline constexpr int32_t kAttrHidden = 0x2;
inline constexpr int32_t kAttrSystem = 0x4;
inline constexpr int32_t kAttrDirectory = 0x10;
inline constexpr int32_t kAttrArchive = 0x20;
inline constexpr int32_t kAttrNormal = 0x80;
inline constexpr int32_t kAttrTemporary = 0x100;
inline constexpr int32_t kAttrCompressed = 0x800;
inline constexpr int32_t kAttrOffline = 0x1000;

struct FindData {
  int32_t attributes = kAttrNormal;
  // Windows file times: UTC, 100-nanosecond units since 1 January 1601; 0 = unknown.
  uint64_t creation_time = 0;
  uint64_t last_access_time = 0;
  uint64_t last_write_time = 0;
  int64_t size = 0;
  std::string name;
};

}  // namespace norvo::ftp
