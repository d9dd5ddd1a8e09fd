#pragma once
// An archiver packs one item of the run into its archive. Each kind (the RAR
// tool, 7-Zip) says how its program is called and what its exit codes mean;
// running it, waiting for it and judging the archive it leaves are shared
// (BuildArchiveWith), so every kind fails, is ended and half-succeeds alike.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ProcessIO.h"

namespace norvo::run {

// What one packing asks for.
struct ArchiveJob {
  std::int16_t recurse = 0;    // 1: files of the subfolders too; any other value: not
  std::string files;           // one path, or a folder, the separator and a wildcard pattern
  std::string archive;         // full path of the archive to make, or to add to when it exists
  std::string password;        // empty: no encryption
  bool deleteSources = false;  // the packed files are deleted once they are in the archive
};

// The program run that packs a job, as the archiver prepared it.
struct ArchiverCommand {
  std::vector<std::string> argv;
  platform::ChildRunOptions options;   // standard input (the password) and working folder
  std::vector<std::string> workFiles;  // made for this run and removed after it
  std::vector<std::string> leftovers;  // what a failed run may leave beside the archive
  std::vector<std::string> notPacked;  // sources found but not handed to the program
};

// How the program's exit code reads.
enum class ArchiverExit {
  Success,  // the archive test decides
  Partial,  // the archive was written, but some sources could not be read
  Fatal,    // the archive cannot be trusted
};

// What testing an archive found.
enum class ArchiveCheck {
  Passed,         // every member decrypted and matched its stored checksum
  WrongPassword,  // the archive does not open with the password
  Unopened,       // encrypted headers that do not open: a wrong password, or damaged
  Damaged,        // not an archive, cut short, or a member that fails its checksum
};

class Archiver {
 public:
  virtual ~Archiver() = default;
  // Which archiver this is and which program it runs, for the run's stderr.
  virtual std::string Describe() const = 0;
  // Fills *command for the job: "OK", kNoFilesToPack when the job matches no
  // file, or why the archiver cannot pack it.
  virtual std::string Prepare(const ArchiveJob& job, ArchiverCommand* command) const = 0;
  // What exit code `code` means; *meaning gets words for a report (may stay empty).
  virtual ArchiverExit ReadExit(int code, std::string* meaning) const = 0;
  // Fills *command to test every member of `archive` with `password` and,
  // when `extractTo` (a folder ending with the separator) is not empty, to
  // extract them there.
  virtual void PrepareCheck(const std::string& archive, const std::string& password,
                            const std::string& extractTo, ArchiverCommand* command) const = 0;
  // What a check that ended with exit code `code`, having said `said` on
  // standard error, found.
  virtual ArchiveCheck ReadCheck(int code, const std::string& said) const = 0;
};

}  // namespace norvo::run
