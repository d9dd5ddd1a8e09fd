#pragma once
// The small system routines of the backup run: the computer's name, the
// place of the work folder, and quiet file operations.
#include <string>
#include <vector>

#include "platform/System.h"

namespace norvo::run {

// The computer's name, cut at its first NUL (and, on POSIX, its first ".").
std::string GetMachineName();

// The root of the place for the work folder, ending in the separator: the
// stored Resp_Drive when it names a writable place, else the writable local
// disk with the most free space; empty when none has any.
std::string PickWorkDrive();
// The choice among drives: a drive wins when its free space is greater than
// the kept amount, which is the winner's free space rounded to a whole number
// (ties to even). Empty when no drive has more than 0 GiB free.
std::string ChooseDrive(const std::vector<platform::Drive>& drives);

// True when a search for the path yields a plain file; for a folder path
// ending in the separator, when the folder holds at least one file.
bool FolderExists(const std::string& path);
// The path in its short form: the path itself when it exists, else empty.
std::string ShortPathOf(const std::string& path);
// Deletes the file; every failure is ignored.
void DeleteFileQuiet(const std::string& path);

}  // namespace norvo::run
