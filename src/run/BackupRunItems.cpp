// The two item phases of the run: the selected databases, then up to three
// file sets. Each item is made, packed, uploaded and reported; a phase's
// failure text joins the error list and the run goes on.
#include <filesystem>

#include "platform/System.h"
#include "run/BackupRun.h"
#include "run/ItemNames.h"
#include "run/Transfer.h"
#include "run/Utf8Path.h"
#include "settings/Conversions.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::run {
namespace {

const std::string kOk = "OK";

// Resp_Base and Resp_Archivo switch a phase on when they equal the number 1;
// a text that is not a number ends the run: nothing, with why in *problem
// (for stderr) and *report (for the account service).
std::optional<bool> PhaseSwitch(std::string_view name, std::string* problem, std::string* report) {
  const std::string text = settings::ReadSetting(name);
  auto number = settings::StrictNumber(text);
  if (!number) {
    *problem = std::string(name) + (text.empty() ? " is not set" : " is not a number");
    *report = std::string(name) + (text.empty() ? " no tiene valor" : " no es un número");
    return std::nullopt;
  }
  return *number == 1;
}

}  // namespace

bool BackupRun::DatabasePhase() {
  std::string problem;
  std::string report;
  auto on = PhaseSwitch(settings::kRespBase, &problem, &report);
  if (!on) return Fail(problem, report);
  if (!*on) return true;
  const bool windowsLogin = settings::ReadSetting(settings::kRespBaseAut) == settings::kWindowsLoginKind;
  const std::string selection = settings::ReadSetting(settings::kRespBaseBas);
  const bool open = env_.phases.OpenDatabase(
      settings_.server, settings_.instance, windowsLogin ? kWindowsLogin : kServerLogin,
      windowsLogin ? "" : settings_.user, windowsLogin ? "" : settings_.password);
  if (!open) {
    AddError("Error de conexión con BDD");
    return true;
  }
  std::vector<DatabaseRow> rows;
  const std::string listed = env_.phases.ListDatabases(rows);
  if (listed != kOk) {
    return Fail("reading the database list: " + listed,
                "no se pudo leer la lista de bases de datos: " + listed);
  }
  for (const DatabaseRow& row : rows) {
    // ",5," selects database 5, not 15 or 50.
    if (selection.find("," + std::to_string(row.dbid) + ",") == std::string::npos) continue;
    if (Interrupted() || !BackUpDatabase(row)) return false;
  }
  return true;
}

bool BackupRun::BackUpDatabase(const DatabaseRow& row) {
  const std::string base = DumpBaseName(row.dbid, copySlot_);
  const std::string dump = base + ".BAK";
  const std::string archive = base + ".RAR";
  if (!ArchiverAvailable()) {
    env_.service.ReportItem(customerCode_, computerName_, "BD", row.name, archive, "N");
    return true;
  }
  DeleteFileQuiet(workFolder_ + dump);
  const std::string dumped = env_.phases.DumpDatabase(workFolder_, dump, row.name);
  Say(row.name + ": dump " + dumped);
  if (dumped != kOk) AddError(dumped);
  platform::MakePrivate(workFolder_ + dump);  // the server wrote it with its own mode
  if (Interrupted()) return false;
  const std::string packed =
      env_.phases.BuildArchive(0, workFolder_ + dump, workFolder_ + archive, settings_.archivePassword, "S");
  Say(archive + ": archive " + packed);
  if (packed != kOk) AddError(packed);
  platform::MakePrivate(workFolder_ + archive);
  if (Interrupted()) return false;
  const std::string uploaded = Upload(archive, true);
  if (Interrupted()) return false;
  if (settings_.keepLocal == "N") RemoveLocalArchive(workFolder_ + archive);
  env_.service.ReportItem(customerCode_, computerName_, "BD", row.name, archive, uploaded == kOk ? "Y" : "N");
  return true;
}

bool BackupRun::FilePhase() {
  std::string problem;
  std::string report;
  auto on = PhaseSwitch(settings::kRespArchivo, &problem, &report);
  if (!on) return Fail(problem, report);
  if (!*on) return true;
  for (int k = 1; k <= settings::kFileSetCount; ++k) {
    if (Interrupted() || !BackUpFileSet(k, settings_.sets[k - 1])) return false;
  }
  return true;
}

bool BackupRun::BackUpFileSet(int k, const FileSetSettings& set) {
  if (set.path.empty()) return true;
  auto recurse = settings::ToInt16(settings::LeadingNumber(set.sub));
  if (!recurse) {
    return Fail(
        std::string(settings::kRespArchSub) + " of set " + std::to_string(k) + " is out of range",
        std::string(settings::kRespArchSub) + " del conjunto " + std::to_string(k) + " está fuera de rango");
  }
  std::string folder = ShortPathOf(set.path);
  if (folder.empty()) folder = set.path;
  const std::string source =
      set.kind == "A" ? folder + set.name : folder + platform::kPathSeparator + set.pattern;
  const std::string archive = FileSetArchiveName(set.kind, k, copySlot_);
  if (!ArchiverAvailable()) {
    env_.service.ReportItem(customerCode_, computerName_, "AR", source, archive, "N");
    return true;
  }
  DeleteFileQuiet(workFolder_ + archive);
  const std::string packed =
      env_.phases.BuildArchive(*recurse, source, workFolder_ + archive, settings_.archivePassword, "N");
  Say(archive + ": archive of " + source + " " + packed);
  if (packed != kOk) AddError(packed);
  platform::MakePrivate(workFolder_ + archive);
  if (Interrupted()) return false;
  const std::string uploaded = Upload(archive, false);
  if (Interrupted()) return false;
  if (settings_.keepLocal == "N") RemoveLocalArchive(workFolder_ + archive);
  env_.service.ReportItem(customerCode_, computerName_, "AR", source, archive, uploaded == kOk ? "Y" : "N");
  return true;
}

std::string BackupRun::Upload(const std::string& fileName, bool database) {
  const std::string uploaded =
      env_.phases.UploadToCloud(accountFields_[1], accountFields_[2], accountFields_[3], ComputerFolder(),
                                CustomerFolder(), workFolder_, fileName);
  Say(fileName + ": upload " + uploaded);
  if (uploaded == kOk) {
    ++itemsUploaded_;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(PathOfUtf8(workFolder_ + fileName), ec);
    stored_.push_back({ItemOfCopy(fileName), fileName, ec ? 0 : size, database});
  } else {
    AddError(uploaded);
  }
  return uploaded;
}

// Without an archiver no item can be packed: the run's one error says so,
// and each item is reported as not uploaded without being made.
bool BackupRun::ArchiverAvailable() {
  if (env_.phases.archiverMissing.empty()) return true;
  if (!archiverMissingReported_) AddError(env_.phases.archiverMissing);
  archiverMissingReported_ = true;
  return false;
}

bool BackupRun::RemoveLocalArchive(const std::string& path) {
  // A missing archive here means packing already failed and was reported:
  // the item report and closing reports must still go out.
  if (platform::RemoveFile(path)) return true;
  Say("no local archive to delete: " + path);
  return false;
}

}  // namespace norvo::run
