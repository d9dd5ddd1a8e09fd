#pragma once
// One backup run from start to end: work folder, settings, account lookup,
// copy slot, the database and file phases, the closing reports and the two
// settings the run writes. Phases and the account service come in through
// RunEnvironment, so the same sequence runs against the real routines and
// against recording stand-ins.
#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "run/AccountService.h"
#include "run/RunPhases.h"

namespace norvo::run {

struct RunEnvironment {
  RunPhases phases;
  AccountService service{std::string(), HttpFetch()};  // where the run's lookup and reports go
  std::function<std::time_t()> clock = [] { return std::time(nullptr); };
  // One line per phase outcome and error (stderr in Norvo_T).
  std::function<void(const std::string&)> diagnostic = [](const std::string&) {};
  // Why the program was asked to end ("SIGTERM", ...), empty while it was
  // not. The run checks it between its steps and ends through its handler.
  std::function<std::string()> endRequest = [] { return std::string(); };
};

// Reported when the closing save of the date and copy slot did not take
// (the store held by another writer, or not writable).
inline constexpr const char* kRunNotSaved = "the settings store could not save this run's date and copy slot";
// The start of the one error report a run ended by its handler sends, once
// the account is known; the reason follows.
inline constexpr const char* kRunEndedEarly = "Respaldo terminado antes de tiempo: ";

enum class RunEnd {
  Completed,  // every step ran; the date and slot were saved
  NoAccount,  // the account lookup gave no company name: nothing was done
  Aborted,    // the failure handler ended the run: one report at most, nothing saved
};

struct RunResult {
  RunEnd end = RunEnd::Aborted;
  std::string reason;               // why the handler ended the run
  std::vector<std::string> errors;  // the run's error list, in order
  std::int16_t slot = 0;            // the copy slot, 0 before it was chosen
  bool recorded = false;            // the date and copy slot were saved
  bool complete = false;            // every item reached the cloud: Resp_RespCompleta was written
};

// The settings read at the start of the run.
struct FileSetSettings {
  std::string sub, path, name, kind, pattern;  // Resp_ArchSub/Ruta/Nom/Tipo/Fil
};
struct RunSettings {
  std::string server, instance, user, password;  // Resp_BaseSer/Ins/Usr/Pas
  std::string archivePassword;                   // Resp_SeguPas
  std::array<FileSetSettings, 3> sets;
  std::int16_t copies = 0;      // Resp_ProgCopias
  std::int16_t lastSlot = 0;    // Resp_RespUCopia
  std::string cliente;          // as stored (Base64)
  bool notify = false;          // Resp_ProgEnv
  std::string mail;             // Resp_ProgMail
  std::string keepLocal = "N";  // "S" when Resp_ProgRespLoc is "1"
};

class BackupRun {
 public:
  explicit BackupRun(RunEnvironment environment);
  RunResult Run();

 private:
  enum class Lookup { Account, NoAccount, Failed };

  void PrepareWorkFolder();
  bool ReadSettings();
  Lookup LookupAccount();
  bool ChooseSlotAndCustomer();
  bool DatabasePhase();
  bool BackUpDatabase(const DatabaseRow& row);
  bool FilePhase();
  bool BackUpFileSet(int k, const FileSetSettings& set);
  bool RemoveLocalArchive(const std::string& path);
  void RestoreDrill();
  bool DrillDue();
  bool ArchiverAvailable();
  void AddError(const std::string& text);
  bool CloseRun();
  // Ends the run: `reason` goes to the diagnostic line; once the account is
  // known, `report` (Spanish) goes to the account service after kRunEndedEarly.
  bool Fail(const std::string& reason, const std::string& report = "");
  // Ends the run (and is true) once the program was asked to end.
  bool Interrupted();
  void Say(const std::string& line) const;
  std::string ComputerFolder() const;
  std::string CustomerFolder() const;
  std::string Upload(const std::string& fileName, bool database);

  RunEnvironment env_;
  RunSettings settings_;
  std::string computerName_;
  std::string workFolder_;
  std::string replyBuffer_;
  AccountFields accountFields_;
  std::int16_t copySlot_ = 0;
  std::string customerCode_;
  bool accountKnown_ = false;
  std::vector<std::string> errorList_;
  bool archiverMissingReported_ = false;
  bool recorded_ = false;
  int itemsUploaded_ = 0;
  std::vector<StoredCopy> stored_;  // the copies this run put in the cloud
  bool complete_ = false;
  std::string failure_;
};

}  // namespace norvo::run
