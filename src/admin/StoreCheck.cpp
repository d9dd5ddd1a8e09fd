#include "admin/StoreCheck.h"

#include "platform/System.h"
#include "settings/SettingNames.h"
#include "settings/SettingRules.h"
#include "settings/Settings.h"

namespace norvo::admin {
namespace {

using settings::FileSetValueName;
using settings::ReadSetting;

std::string SetValue(std::string_view base, int set) { return ReadSetting(FileSetValueName(base, set)); }

// One file set with a folder: what it names must be there for the item to be made.
void CheckFileSet(int k, Findings* findings) {
  const std::string set = "file set " + std::to_string(k);
  const std::string folder = SetValue(settings::kRespArchRuta, k);
  auto problem = [findings, &set](const std::string& text) {
    findings->problems.push_back(set + ": " + text);
  };
  if (SetValue(settings::kRespArchTipo, k) == "A") {
    const std::string name = SetValue(settings::kRespArchNom, k);
    if (name.empty()) return problem(FileSetValueName(settings::kRespArchNom, k) + " is not set");
    if (folder.back() != '/' && folder.back() != platform::kPathSeparator) {
      return problem(FileSetValueName(settings::kRespArchRuta, k) + " must end with " +
                     platform::kPathSeparator + " for a single file");
    }
    if (!platform::FileExists(folder + name)) problem(folder + name + " does not exist");
    return;
  }
  const std::string pattern = SetValue(settings::kRespArchFil, k);
  if (pattern.empty()) return problem(FileSetValueName(settings::kRespArchFil, k) + " is not set");
  if (platform::ShortPath(folder).empty()) return problem("the folder " + folder + " does not exist");
  // With subfolders the matching files may all lie below; the run finds them.
  const bool subfolders = SetValue(settings::kRespArchSub, k) == "1";
  if (!subfolders && !platform::AnyFileMatches(folder + platform::kPathSeparator + pattern)) {
    problem("no file of " + folder + " matches " + pattern);
  }
}

void CheckDatabaseSettings(Findings* findings) {
  auto problem = [findings](const std::string& text) { findings->problems.push_back("databases: " + text); };
  if (ReadSetting(settings::kRespBaseSer).empty())
    problem(std::string(settings::kRespBaseSer) + " is not set");
  const std::string selected = ReadSetting(settings::kRespBaseBas);
  if (selected.size() < 3) problem(std::string(settings::kRespBaseBas) + " selects no database");
  if (ReadSetting(settings::kRespBaseAut) != settings::kWindowsLoginKind &&
      ReadSetting(settings::kRespBaseUsr).empty()) {
    problem(std::string(settings::kRespBaseUsr) + " is not set for a SQL Server login");
  }
}

}  // namespace

void CheckStoredSettings(Findings* findings) {
  if (auto key = platform::OpenRegistryKey(settings::kCurrentUser, settings::kSettingsKey)) {
    for (const std::string& name : key->ValueNames()) {
      if (settings::FindSetting(name) == nullptr) {
        findings->notes.push_back(name + " is stored but is no setting of Norvo Backup (a typing mistake?)");
      }
    }
  }
  bool values_usable = true;
  for (const settings::SettingInfo& setting : settings::SettingTable()) {
    if (auto problem = settings::ValueProblem(setting, ReadSetting(setting.name))) {
      findings->problems.push_back(*problem);
      values_usable = false;
    }
  }
  if (!values_usable) return;  // what the values mean together rests on each being right

  const bool files = ReadSetting(settings::kRespArchivo) == "1";
  const bool databases = ReadSetting(settings::kRespBase) == "1";
  if (!files && !databases) {
    findings->problems.push_back(std::string(settings::kRespArchivo) + " and " +
                                 std::string(settings::kRespBase) + " are both 0: a run backs up nothing");
  }
  if (files) {
    bool any_set = false;
    for (int k = 1; k <= settings::kFileSetCount; ++k) {
      if (SetValue(settings::kRespArchRuta, k).empty()) continue;
      any_set = true;
      CheckFileSet(k, findings);
    }
    if (!any_set)
      findings->problems.push_back(std::string(settings::kRespArchivo) +
                                   " is 1 but no file set has a folder (" +
                                   std::string(settings::kRespArchRuta) + ")");
  }
  if (databases) CheckDatabaseSettings(findings);
  if (ReadSetting(settings::kRespProgEnv) == "1" && ReadSetting(settings::kRespProgMail).empty()) {
    findings->notes.push_back(std::string(settings::kRespProgEnv) + " is 1 but " +
                              std::string(settings::kRespProgMail) +
                              " is not set: the notice has no address");
  }
  const std::string drive = ReadSetting(settings::kRespDrive);
  if (!drive.empty() && !platform::IsWritableFolder(platform::DriveRootFromSetting(drive))) {
    findings->notes.push_back(std::string(settings::kRespDrive) + " " + drive +
                              " is not a folder this user can write to: the run chooses another place");
  }
}

}  // namespace norvo::admin
