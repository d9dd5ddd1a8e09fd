#include "run/RestoreDrill.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ftp/RestoreDownload.h"
#include "platform/System.h"
#include "run/Archive.h"
#include "run/Utf8Path.h"

namespace norvo::run {
namespace {

const std::string kOk = "OK";

// The drill's own names in the work folder, apart from the run's archives
// (which the keep-local setting may leave there).
std::string DownloadPath(const DrillJob& job) { return job.workFolder + "VERIF_" + job.archive; }
std::string ExtractFolder(const DrillJob& job) {
  return job.workFolder + "VERIF_" + ItemOfCopy(job.archive) + platform::kPathSeparator;
}

void RemoveAll(const std::string& path) {
  std::error_code ignored;  // what cannot be removed now is replaced by the next drill
  std::filesystem::remove_all(PathOfUtf8(path), ignored);
}

void Tell(const DrillTools& tools, const std::string& line) {
  if (tools.diagnostic) tools.diagnostic(line);
}

// The archiver's test (and extraction, when extractTo is set): "OK" or the reason.
std::string Check(const DrillTools& tools, const std::string& archive, const DrillJob& job,
                  const std::string& extractTo) {
  ArchiverCommand command;
  tools.archiver->PrepareCheck(archive, job.archivePassword, extractTo, &command);
  platform::ChildRun ended;
  const std::string started = RunAndWait(command.argv, &ended, command.options);
  if (started != kOk || ended.result.stopped || ended.result.signal != 0) {
    Tell(tools, job.archive + ": the archiver did not finish its test: " +
                    (started != kOk ? started : "ended by signal " + std::to_string(ended.result.signal)));
    return kDrillNoArchiver;
  }
  switch (tools.archiver->ReadCheck(ended.result.exit_code, ended.error_tail)) {
    case ArchiveCheck::Passed:
      return kOk;
    case ArchiveCheck::WrongPassword:
      Tell(tools, job.archive + ": the archive does not open with the password: " + ended.error_tail);
      return kDrillWrongPassword;
    case ArchiveCheck::Unopened:
      Tell(tools, job.archive + ": the archive's encrypted headers do not open: " + ended.error_tail);
      return kDrillUnopened;
    case ArchiveCheck::Damaged:
      break;
  }
  Tell(tools, job.archive + ": the archive test failed with exit code " +
                  std::to_string(ended.result.exit_code) + ": " + ended.error_tail);
  return kDrillDamaged;
}

// The dump inside a database copy, extracted, read back by the server.
std::string ReadBackDump(const DrillTools& tools, const std::string& archive, const DrillJob& job) {
  const std::string folder = ExtractFolder(job);
  RemoveAll(folder);
  platform::CreateFolder(folder);
  platform::MakePrivate(folder);
  std::string result = Check(tools, archive, job, folder);
  if (result == kOk) {
    // The dump keeps the copy's name with ".BAK" (BD05C001.RAR holds BD05C001.BAK).
    const std::string dump = folder + job.archive.substr(0, job.archive.rfind('.')) + ".BAK";
    if (!platform::FileExists(dump)) {
      Tell(tools, job.archive + ": the archive holds no " + dump);
      result = kDrillNoDump;
    } else if (const std::string verified = tools.verifyDump(dump); verified != kOk) {
      Tell(tools, job.archive + ": the server could not read the dump back: " + verified);
      result = kDrillServerRefused;
    }
  }
  RemoveAll(folder);
  return result;
}

}  // namespace

std::string ItemOfCopy(const std::string& archive) {
  const std::size_t slot = archive.rfind('C');
  return slot == std::string::npos || slot == 0 ? archive : archive.substr(0, slot);
}

std::optional<std::size_t> ChooseCopy(const std::vector<StoredCopy>& copies,
                                      const std::vector<std::string>& turn, std::uintmax_t maxBytes) {
  std::optional<std::size_t> chosen;
  std::size_t chosenPlace = 0;
  for (std::size_t i = 0; i < copies.size(); ++i) {
    if (copies[i].size > maxBytes) continue;
    // Never tested: before every tested item, in the run's order.
    const auto found = std::find(turn.begin(), turn.end(), copies[i].item);
    const std::size_t place = found == turn.end() ? 0 : 1 + static_cast<std::size_t>(found - turn.begin());
    if (!chosen || place < chosenPlace) {
      chosen = i;
      chosenPlace = place;
    }
  }
  return chosen;
}

std::vector<std::string> TurnAfter(std::vector<std::string> turn, const std::string& item) {
  turn.erase(std::remove(turn.begin(), turn.end(), item), turn.end());
  turn.push_back(item);
  return turn;
}

std::string DrillCopy(const DrillTools& tools, const DrillJob& job) {
  ftp::RestoreRequest request = tools.download;
  request.host = job.host;
  request.user = job.user;
  request.password = job.password;
  request.folder = job.computerFolder;
  request.archivo = job.archive;
  request.temporary = DownloadPath(job);
  request.pause_ms = 0;
  ftp::RestoreProgress progress;
  const ftp::RestoreFailure failure = ftp::DownloadBackup(request, progress);
  std::string result;
  if (failure != ftp::RestoreFailure::None) {
    Tell(tools, job.archive + ": " + ftp::RestoreErrorText(failure, job.archive));
    result = kDrillNoDownload;
  } else {
    platform::MakePrivate(request.temporary);
    result =
        job.database ? ReadBackDump(tools, request.temporary, job) : Check(tools, request.temporary, job, "");
  }
  RemoveAll(request.temporary);
  return result;
}

}  // namespace norvo::run
