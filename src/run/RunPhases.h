#pragma once
// The phases that the backup run calls and does not implement itself: the
// database connection, its list and dump, the archiver and the upload. The
// run holds them as replaceable functions, so the real routines plug in as
// they are and tests drive the whole sequence with recording stand-ins.
// Every text result is "OK" on success, otherwise the error text that the run
// collects and reports.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "run/RestoreDrill.h"

namespace norvo::run {

// Login modes of OpenDatabase.
inline constexpr std::int16_t kWindowsLogin = 1;
inline constexpr std::int16_t kServerLogin = 2;

// One row of "SELECT dbid,name FROM master..sysdatabases order by dbid".
struct DatabaseRow {
  int dbid = 0;
  std::string name;
};

struct RunPhases {
  // Opens the connection that ListDatabases reads on; true when it is open.
  // A failure is reported by the routine itself (a line on stderr in Norvo_T).
  using OpenDatabaseFn =
      std::function<bool(const std::string& server, const std::string& instance, std::int16_t mode,
                         const std::string& user, const std::string& password)>;
  // Reads the database list, in dbid order, on the connection of the last
  // OpenDatabase. "OK" and the rows, or the failure's text (which ends the run).
  using ListDatabasesFn = std::function<std::string(std::vector<DatabaseRow>& rows)>;
  // Has the server write a full backup of the database to folder + fileName.
  using DumpDatabaseFn = std::function<std::string(const std::string& folder, const std::string& fileName,
                                                   const std::string& database)>;
  // Packs files into archive (recurse 1: with subfolders; deleteFlag "S": the
  // tool deletes the packed files).
  using BuildArchiveFn =
      std::function<std::string(std::int16_t recurse, const std::string& files, const std::string& archive,
                                const std::string& password, const std::string& deleteFlag)>;
  // Stores localFolder + fileName as computerFolder + fileName on the cloud.
  using UploadToCloudFn =
      std::function<std::string(const std::string& host, const std::string& user, const std::string& password,
                                const std::string& computerFolder, const std::string& customerFolder,
                                const std::string& localFolder, const std::string& fileName)>;

  // Downloads the copy and tests it (the restore drill, RestoreDrill.h): "OK"
  // or the reason in Spanish. Unset: no drill is made.
  using VerifyCopyFn = std::function<std::string(const DrillJob& job)>;

  // Empty while an archiver was found. Otherwise the run's error report for
  // its absence: the run reports it once and packs and uploads no item.
  std::string archiverMissing;

  OpenDatabaseFn OpenDatabase;
  ListDatabasesFn ListDatabases;
  DumpDatabaseFn DumpDatabase;
  BuildArchiveFn BuildArchive;
  UploadToCloudFn UploadToCloud;
  VerifyCopyFn VerifyCopy;
  int verifyEveryRuns = 0;            // a drill every this many runs; 0: never
  std::uintmax_t verifyMaxBytes = 0;  // a larger copy is not downloaded
};

}  // namespace norvo::run
