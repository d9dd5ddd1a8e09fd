#pragma once
// The SQL Server side of the backup: the connection that both programs open
// (the run for its dumps, the configuration window for its database list),
// the list of the server's databases and the dump of one database into a
// backup file that the server itself writes.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "run/OdbcConnection.h"
#include "run/RunPhases.h"

namespace norvo::run {

// The login modes kWindowsLogin and kServerLogin, and DatabaseRow, are those
// of the run's phases.

// The server name, then "\" and the instance when there is one.
std::string DataSourceOf(const std::string& server, const std::string& instance);

// The ADO connection string of the SQLOLEDB provider for a login.
std::string AdoConnectionString(const std::string& server, const std::string& instance, std::int16_t mode,
                                const std::string& user, const std::string& password);

// The ODBC connection string of the same login for the given driver; a
// Windows login becomes a trusted connection. Nothing when the driver cannot
// carry one of the values.
std::optional<std::string> DatabaseOdbcString(const std::string& driver, const std::string& server,
                                              const std::string& instance, std::int16_t mode,
                                              const std::string& user, const std::string& password);

// True when the stored list (",5,7,") holds "," + dbid + ",".
bool IsDatabaseSelected(const std::string& storedList, int dbid);

// The statement that creates the backup procedure for one database and file.
// With `checksum`, the backup also writes page checksums (CHECKSUM ends its WITH list).
std::string BackupProcedureText(const std::string& folder, const std::string& fileName,
                                const std::string& databaseName, bool checksum = false);

// The statement that asks the server whether it can restore the backup file;
// with `checksum`, it checks the backup's checksums too.
std::string VerifyOnlyText(const std::string& path, bool checksum);

// Where the description of a failed connection goes. Norvo_T writes it on
// stderr and goes on; the tray program shows a message box.
using DatabaseAlert = std::function<void(const std::string& description)>;

// The database connection a program keeps for its life: each program makes
// one at its start with the provider's ODBC driver and its way of telling a
// failed connection.
class ProgramDatabase {
 public:
  ProgramDatabase(std::string odbcDriver, DatabaseAlert alert);
  ~ProgramDatabase();
  ProgramDatabase(const ProgramDatabase&) = delete;
  ProgramDatabase& operator=(const ProgramDatabase&) = delete;

  // Replaces the connection with a new one to the server (mode kWindowsLogin,
  // or kServerLogin with user and password); statements wait up to 1000 s.
  // True when it is open; otherwise the alert gets the reason and later
  // statements fail with it.
  bool OpenDatabase(const std::string& server, const std::string& instance, std::int16_t mode,
                    const std::string& user, const std::string& password);

  // Reads the server's databases in the order of their ids into rows, over
  // the connection of the last OpenDatabase. "OK", or the failure's description.
  std::string ListDatabases(std::vector<DatabaseRow>& rows);

  // Dumps the database into folder + fileName through a procedure created
  // for the purpose in the auxiliary database "Norvo", on a new connection
  // made from the stored connection settings. "OK", or the description of
  // the failing statement.
  std::string DumpDatabase(const std::string& folder, const std::string& fileName,
                           const std::string& databaseName);

  // Asks the server, on a new connection made from the stored connection
  // settings, whether it can restore the backup file at `path`: "OK", or the
  // server's description of why not.
  std::string VerifyDump(const std::string& path);

  // Dumps with page checksums, read back WITH CHECKSUM (the provider's sql_checksum).
  void UseChecksums(bool on) { checksum_ = on; }

 private:
  std::string driver_;
  DatabaseAlert alert_;
  std::unique_ptr<OdbcConnection> connection_;
  bool checksum_ = false;

  // Opens a new connection from the stored connection settings.
  void OpenStoredConnection();
};

}  // namespace norvo::run
