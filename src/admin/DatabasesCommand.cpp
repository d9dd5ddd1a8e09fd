// norvo-settings databases: the SQL Server's databases as the configuration
// window lists them ("5 - Ventas"), for the ids of Resp_BaseBas, from the
// stored server and login.
#include "admin/ToolSupport.h"
#include "config/services/DatabaseList.h"
#include "run/Database.h"
#include "settings/ProviderConfig.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::admin {

int DatabasesCommand(const CommandLine& line, const Console& console) {
  if (!line.operands.empty()) return Usage(console, "databases takes no operands");
  using settings::ReadSetting;
  const settings::ProviderConfig provider = settings::ProviderConfigOrDefaults();
  std::string failure;
  run::ProgramDatabase database(provider.odbc_driver, [&failure](const std::string& why) { failure = why; });
  config::DatabaseLogin login;
  login.server = ReadSetting(settings::kRespBaseSer);
  login.instance = ReadSetting(settings::kRespBaseIns);
  login.windows = ReadSetting(settings::kRespBaseAut) == settings::kWindowsLoginKind;
  login.user = ReadSetting(settings::kRespBaseUsr);
  login.password = ReadSetting(settings::kRespBasePas);
  const std::optional<config::DatabaseListing> listing = config::ListDatabaseEntries(database, login);
  if (!listing) {
    console.err << "norvo-settings: cannot connect to the SQL Server " << login.server << ": " << failure
                << "\n";
    return kFailed;
  }
  for (std::size_t i = 0; i < listing->entries.size(); ++i) {
    console.out << listing->entries[i] << (listing->selected[i] ? "   (in Resp_BaseBas)" : "") << "\n";
  }
  if (!listing->error.empty()) {
    console.err << "norvo-settings: the list stopped: " << listing->error << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace norvo::admin
