#pragma once
// Names of the run's files, in the work folder and in the cloud, and the
// choice of the copy slot they carry.
#include <cstdint>
#include <string>

namespace norvo::run {

// The number in decimal with at least `digits` digits ("0#", "00#").
std::string ZeroPadded(long number, int digits);

// "BD" + dbid as "0#" + "C" + slot as "00#", without extension: BD05C001.
std::string DumpBaseName(int dbid, std::int16_t slot);

// "AR" + kind + set + "C" + slot as "00#" + ".RAR": ARC1C001.RAR.
std::string FileSetArchiveName(const std::string& kind, int set, std::int16_t slot);

// The slot after the last one used, or 1 after the slot equal to the copy
// count. A last slot above the count (the count was lowered or never set) or
// below 0 restarts at 1 too, so the slot stays within 1..copies when copies
// is positive.
std::int16_t NextCopySlot(std::int16_t lastSlot, std::int16_t copies);

}  // namespace norvo::run
