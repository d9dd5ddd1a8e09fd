// The restore drill at the end of a run: one of the copies the run stored,
// in turn over the items, is downloaded and tested (RestoreDrill.h). Its
// failure is an error of the run like any other; it never ends the run.
#include <chrono>
#include <iomanip>
#include <sstream>

#include "run/BackupRun.h"
#include "settings/AutomationDate.h"
#include "settings/Conversions.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "settings/Text.h"

namespace norvo::run {
namespace {

constexpr double kMaxVerifyCount = 32767;  // what the stored count may hold

std::vector<std::string> ReadTurn() {
  const std::string stored = settings::ReadSetting(settings::kRespVerifTurno);
  std::vector<std::string> turn;
  for (const std::string& item : settings::Split(stored, ",")) {
    if (!item.empty()) turn.push_back(item);
  }
  return turn;
}

std::string TurnText(const std::vector<std::string>& turn) {
  std::string text = ",";
  for (const std::string& item : turn) text += item + ",";
  return text;
}

std::string Seconds(std::chrono::steady_clock::duration took) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1) << std::chrono::duration<double>(took).count() << " s";
  return text.str();
}

}  // namespace

// Counts the runs since the last drill; true when this run makes one.
bool BackupRun::DrillDue() {
  const int every = env_.phases.verifyEveryRuns;
  if (!env_.phases.VerifyCopy || every <= 0) {
    Say("restore drill: off");
    return false;
  }
  const auto counted = settings::StrictNumber(settings::ReadSetting(settings::kRespVerifCuenta));
  // A count past `every` (verify_every_runs was lowered) makes this run's drill due.
  const long runs =
      (counted && *counted >= 0 && *counted <= kMaxVerifyCount ? static_cast<long>(*counted) : 0) + 1;
  if (runs < every) {
    settings::WriteSetting(settings::kRespVerifCuenta, std::to_string(runs));
    Say("restore drill: in " + std::to_string(every - runs) + " run(s)");
    return false;
  }
  return true;
}

void BackupRun::RestoreDrill() {
  if (!DrillDue()) return;
  std::vector<std::string> turn = ReadTurn();
  const std::optional<std::size_t> chosen = ChooseCopy(stored_, turn, env_.phases.verifyMaxBytes);
  if (!chosen) {
    // Due still: the next run that stores a small enough copy tests it.
    Say(stored_.empty() ? "restore drill: this run stored no copy to test"
                        : "restore drill: every copy of this run is larger than verify_max_mb");
    return;
  }
  const StoredCopy& copy = stored_[*chosen];
  Say("restore drill: downloading and testing " + copy.archive + " (" + std::to_string(copy.size) +
      " bytes)");
  const auto start = std::chrono::steady_clock::now();
  const std::string result = env_.phases.VerifyCopy(
      DrillJob{accountFields_[1], accountFields_[2], accountFields_[3], ComputerFolder(), copy.archive,
               workFolder_, settings_.archivePassword, copy.database});
  const std::string took = Seconds(std::chrono::steady_clock::now() - start);
  if (result == "OK") {
    Say("restore drill: " + copy.archive + " passed in " + took);
    settings::WriteSetting(settings::kRespVerifFecha, settings::FormatRunDate(env_.clock()));
    settings::WriteSetting(settings::kRespVerifCopia, copy.archive);
  } else {
    Say("restore drill: " + copy.archive + " failed in " + took);
    AddError(kDrillFailedCopy + copy.archive + kDrillFailedReason + result);
  }
  settings::WriteSetting(settings::kRespVerifTurno, TurnText(TurnAfter(turn, copy.item)));
  settings::WriteSetting(settings::kRespVerifCuenta, "0");
}

}  // namespace norvo::run
