#include "run/Transfer.h"

#include "settings/Conversions.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::run {

std::string GetMachineName() {
  std::string name = platform::ComputerName();
  return name.substr(0, name.find('\0'));
}

std::string ChooseDrive(const std::vector<platform::Drive>& drives) {
  std::string best;
  double kept = 0;  // whole number of GiB of the best drive so far
  for (const auto& drive : drives) {
    if (drive.free_gib > kept) {
      best = drive.root;
      kept = settings::RoundHalfToEven(drive.free_gib);
    }
  }
  return best;
}

std::string PickWorkDrive() {
  std::string stored = settings::ReadSetting(settings::kRespDrive);
  if (!stored.empty()) {
    std::string root = platform::DriveRootFromSetting(stored);
    // A stored place that is gone or read-only would lose the run: choose instead.
    if (platform::IsWritableFolder(root)) return root;
  }
  return ChooseDrive(platform::WritableLocalDrives());
}

bool FolderExists(const std::string& path) { return platform::AnyFileMatches(path); }

std::string ShortPathOf(const std::string& path) { return platform::ShortPath(path); }

void DeleteFileQuiet(const std::string& path) { platform::RemoveFile(path); }

}  // namespace norvo::run
