#pragma once
// The database list of the configuration window: the local server's
// databases as "5 - Ventas" entries with the stored selection applied, and
// the stored list built back from a selection.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/Database.h"

namespace norvo::config {

struct DatabaseLogin {
  std::string server;    // the computer's name
  std::string instance;  // empty: the default instance
  bool windows = true;   // integrated login; else user and password
  std::string user;
  std::string password;
};

struct DatabaseListing {
  std::vector<std::string> entries;  // in id order
  std::vector<bool> selected;        // one per entry
  std::string error;                 // why the listing stopped; empty when complete
};

// "5 - Ventas".
std::string DatabaseEntry(const run::DatabaseRow& row);

// Opens the program's connection and lists the databases, selecting those of
// the stored Resp_BaseBas. Nothing when the connection could not be opened
// (its alert has been given and the window keeps its list).
std::optional<DatabaseListing> ListDatabaseEntries(run::ProgramDatabase& database,
                                                   const DatabaseLogin& login);

// The stored list of the selected entries: ",5,7,"; "," for none.
std::string StoredDatabaseList(const std::vector<std::string>& selected_entries);

}  // namespace norvo::config
