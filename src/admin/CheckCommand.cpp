// norvo-settings check: the stored settings, the provider file, the archiver
// and the weekly task, as a run would find them; nothing is run or sent.
#include "admin/StoreCheck.h"
#include "admin/ToolSupport.h"
#include "config/services/Registration.h"
#include "platform/LogonCheck.h"
#include "platform/Scheduler.h"
#include "platform/System.h"
#include "run/ArchiverLookup.h"
#include "run/Transfer.h"
#include "settings/Base64.h"
#include "settings/ProviderConfig.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::admin {
namespace {

// The provider file, and the archiver it leads to.
void CheckProvider(Findings* findings, const Console& console) {
  const std::string file = settings::ProviderConfigPath();
  std::string error;
  const std::optional<settings::ProviderConfig> provider = settings::LoadProviderConfig(&error);
  console.out << "provider file: " << (file.empty() ? "none (built-in values)" : file) << "\n";
  if (!provider) {
    findings->problems.push_back("provider file " + error + ": a run uses the built-in values");
    return;
  }
  if (provider->service_host == settings::ProviderConfig{}.service_host) {
    findings->problems.push_back("the provider file sets no service_host: a run asks the placeholder " +
                                 provider->service_host);
  }
  for (const auto& [key, path] :
       {std::pair{"rar_path", provider->rar_path}, std::pair{"archiver_path", provider->archiver_path}}) {
    if (!path.empty() && !platform::FileExists(path)) {
      findings->problems.push_back(std::string(key) + " " + path + " does not exist");
    }
  }
  std::string missing;
  const auto archiver = run::FindArchiver(run::ArchiverSearchFor(*provider), &missing);
  if (archiver) {
    console.out << "archiver: " << archiver->Describe() << "\n";
  } else {
    findings->problems.push_back(missing);
  }
}

// The task in force for the stored account (else the logged-on user's).
void ReadWeeklyTask(Findings* findings, const Console& console) {
  platform::TaskPlace place{std::string(config::kTaskName), "", ""};
  place.domain = settings::DecodeStoredSetting(settings::ReadSetting(settings::kRespProgWDom)).value_or("");
  place.user = settings::DecodeStoredSetting(settings::ReadSetting(settings::kRespProgWUsr)).value_or("");
  if (place.user.empty()) {
    const platform::LogonAccount account = platform::LoggedOnAccount();
    place.domain = account.domain;
    place.user = account.user;
  }
  std::string entry;
  std::string error;
  if (!platform::FindWeeklyTask(place, &entry, &error)) {
    findings->notes.push_back("the weekly task cannot be read: " + error);
  } else if (entry.empty()) {
    findings->notes.push_back("no weekly task is registered (norvo-settings schedule DAYS HH:MM)");
  } else {
    console.out << "weekly task: " << entry << "\n";
  }
}

}  // namespace

int CheckCommand(const CommandLine& line, const Console& console) {
  if (!line.operands.empty()) return Usage(console, "check takes no operands");
  Findings findings;
  CheckProvider(&findings, console);
  console.out << "work folder: " << run::PickWorkDrive() << "TEMP_Norvo" << platform::kPathSeparator << "\n";
  ReadWeeklyTask(&findings, console);
  CheckStoredSettings(&findings);
  for (const std::string& note : findings.notes) console.out << "note: " << note << "\n";
  for (const std::string& problem : findings.problems) console.out << "problem: " << problem << "\n";
  if (findings.problems.empty()) {
    console.out << "check: no problem found\n";
    return kOk;
  }
  console.out << "check: " << findings.problems.size() << " problem(s): a run would stop, back up nothing "
              << "or leave items out\n";
  return kFailed;
}

}  // namespace norvo::admin
