// Opening the database connection and reading the database list.
#include "run/Database.h"

#include <charconv>

#include "run/OdbcConnectionString.h"

namespace norvo::run {
namespace {

// Statements such as a BACKUP of a large database may run long.
constexpr int kCommandTimeoutSeconds = 1000;
// The time to wait for a login before the connection counts as failed.
constexpr int kLoginTimeoutSeconds = 15;

}  // namespace

std::string DataSourceOf(const std::string& server, const std::string& instance) {
  return instance.empty() ? server : server + "\\" + instance;
}

std::string AdoConnectionString(const std::string& server, const std::string& instance, std::int16_t mode,
                                const std::string& user, const std::string& password) {
  std::string source = DataSourceOf(server, instance);
  if (mode == kWindowsLogin) {
    return "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Data Source=" + source;
  }
  return "Provider=SQLOLEDB.1;Password=" + password + ";Persist Security Info=True;User ID=" + user +
         ";Data Source=" + source;
}

std::optional<std::string> DatabaseOdbcString(const std::string& driver, const std::string& server,
                                              const std::string& instance, std::int16_t mode,
                                              const std::string& user, const std::string& password) {
  OdbcLogin login;
  login.driver = driver;
  login.server = DataSourceOf(server, instance);
  login.trusted = mode == kWindowsLogin;
  if (!login.trusted) {
    login.user = user;
    login.password = password;
  }
  return OdbcConnectionString(login);
}

ProgramDatabase::ProgramDatabase(std::string odbcDriver, DatabaseAlert alert)
    : driver_(std::move(odbcDriver)),
      alert_(std::move(alert)),
      connection_(std::make_unique<OdbcConnection>()) {}

ProgramDatabase::~ProgramDatabase() = default;

bool ProgramDatabase::OpenDatabase(const std::string& server, const std::string& instance, std::int16_t mode,
                                   const std::string& user, const std::string& password) {
  auto connection = std::make_unique<OdbcConnection>();
  connection->SetQueryTimeout(kCommandTimeoutSeconds);
  std::optional<std::string> odbc = DatabaseOdbcString(driver_, server, instance, mode, user, password);
  bool opened = false;
  if (odbc) {
    opened = connection->Open(*odbc, kLoginTimeoutSeconds);
  } else {
    connection->Fail("El controlador ODBC " + driver_ +
                     " no admite \"};\" en el servidor, el usuario ni la contraseña");
  }
  connection_ = std::move(connection);
  // The whole reason: for a Windows login, the record that says why often
  // comes after the driver's generic "Unable to connect to data source".
  if (!opened && alert_) alert_(connection_->OpenFailureDetails());
  return opened;
}

std::string ProgramDatabase::ListDatabases(std::vector<DatabaseRow>& rows) {
  rows.clear();
  OdbcConnection& connection = *connection_;
  std::optional<OdbcRows> result =
      connection.Execute("SELECT dbid,name FROM master..sysdatabases order by dbid");
  if (!result) return connection.LastError();
  if (result->columns.size() < 2) return "La lista de bases de datos no tiene las columnas dbid y name";
  for (const std::vector<std::string>& row : result->rows) {
    DatabaseRow entry;
    const std::string& id = row[0];
    auto [end, failure] = std::from_chars(id.data(), id.data() + id.size(), entry.dbid);
    if (failure != std::errc() || end != id.data() + id.size()) {
      rows.clear();
      return "Identificador de base de datos no válido: " + id;
    }
    entry.name = row[1];
    rows.push_back(std::move(entry));
  }
  return "OK";
}

bool IsDatabaseSelected(const std::string& storedList, int dbid) {
  return storedList.find("," + std::to_string(dbid) + ",") != std::string::npos;
}

}  // namespace norvo::run
