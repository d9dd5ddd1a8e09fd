#include "run/ProgramPhases.h"

#include <memory>

#include "run/Archive.h"
#include "run/ArchiverLookup.h"
#include "run/CloudUpload.h"
#include "run/Database.h"
#include "run/RestoreDrill.h"
#include "settings/Text.h"

namespace norvo::run {

RunPhases ProgramPhases(const settings::ProviderConfig& provider,
                        const std::function<void(const std::string&)>& diagnostic) {
  RunPhases phases;
  std::string note;
  std::shared_ptr<const Archiver> archiver = FindArchiver(ArchiverSearchFor(provider), &note);
  phases.verifyEveryRuns = provider.verify_every_runs;
  phases.verifyMaxBytes = static_cast<std::uintmax_t>(provider.verify_max_mb) * 1024 * 1024;
  if (archiver) {
    diagnostic("archiver: " + archiver->Describe());
    phases.BuildArchive = [archiver](std::int16_t recurse, const std::string& files,
                                     const std::string& archive, const std::string& password,
                                     const std::string& deleteFlag) {
      return BuildArchiveWith(*archiver, ArchiveJob{recurse, files, archive, password, deleteFlag == "S"});
    };
  } else {
    // Said once here; the run reports it once and leaves every item out.
    diagnostic(note);
    phases.archiverMissing = MissingArchiverReport(provider.archiver);
    phases.BuildArchive = [missing = phases.archiverMissing](std::int16_t, const std::string&,
                                                             const std::string&, const std::string&,
                                                             const std::string&) { return missing; };
  }
  // A connection failure is told to the administrator, one line per
  // diagnostic record (the alert gives them one to a line); the run never
  // waits for a person.
  auto database =
      std::make_shared<ProgramDatabase>(provider.odbc_driver, [diagnostic](const std::string& records) {
        for (const std::string& line : settings::Split(records, "\n")) diagnostic(line);
      });
  phases.OpenDatabase = [database](const std::string& server, const std::string& instance, std::int16_t mode,
                                   const std::string& user, const std::string& password) {
    return database->OpenDatabase(server, instance, mode, user, password);
  };
  phases.ListDatabases = [database](std::vector<DatabaseRow>& rows) { return database->ListDatabases(rows); };
  phases.DumpDatabase = [database](const std::string& folder, const std::string& fileName,
                                   const std::string& name) {
    return database->DumpDatabase(folder, fileName, name);
  };
  database->UseChecksums(provider.sql_checksum);
  if (archiver) {
    DrillTools drill{archiver, ftp::RestoreRequestFor(provider),
                     [database](const std::string& path) { return database->VerifyDump(path); }, diagnostic};
    phases.VerifyCopy = [drill](const DrillJob& job) { return DrillCopy(drill, job); };
  }
  CloudUploadOptions upload = CloudUploadOptionsFor(provider);
  upload.diagnostic = diagnostic;
  phases.UploadToCloud = [upload](const std::string& host, const std::string& user,
                                  const std::string& password, const std::string& computerFolder,
                                  const std::string& customerFolder, const std::string& localFolder,
                                  const std::string& fileName) {
    return UploadToCloud(upload, host, user, password, computerFolder, customerFolder, localFolder, fileName);
  };
  return phases;
}

}  // namespace norvo::run
