#include "config/services/DatabaseList.h"

#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::config {

std::string DatabaseEntry(const run::DatabaseRow& row) { return std::to_string(row.dbid) + " - " + row.name; }

std::optional<DatabaseListing> ListDatabaseEntries(run::ProgramDatabase& database,
                                                   const DatabaseLogin& login) {
  const bool opened = login.windows
                          ? database.OpenDatabase(login.server, login.instance, run::kWindowsLogin, "", "")
                          : database.OpenDatabase(login.server, login.instance, run::kServerLogin, login.user,
                                                  login.password);
  if (!opened) return std::nullopt;
  const std::string stored = settings::ReadSetting(settings::kRespBaseBas);
  std::vector<run::DatabaseRow> rows;
  DatabaseListing listing;
  const std::string result = database.ListDatabases(rows);
  if (result != "OK") listing.error = result;
  for (const run::DatabaseRow& row : rows) {
    listing.entries.push_back(DatabaseEntry(row));
    listing.selected.push_back(run::IsDatabaseSelected(stored, row.dbid));
  }
  return listing;
}

std::string StoredDatabaseList(const std::vector<std::string>& selected_entries) {
  std::string stored;
  for (const std::string& entry : selected_entries) {
    stored += ',';
    stored += entry.substr(0, entry.find(" - "));
  }
  return stored + ",";
}

}  // namespace norvo::config
