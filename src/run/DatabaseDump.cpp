// The dump of one database: a procedure holding one BACKUP DATABASE statement
// is created in the auxiliary database "Norvo", executed once and dropped.
#include <optional>
#include <string>

#include "run/Database.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::run {
namespace {

// The text with every `quote` doubled, so that it stays inside its quotes:
// "]" in a bracketed name, "'" in a string literal.
std::string DoubleEach(const std::string& text, char quote) {
  std::string quoted;
  for (char c : text) {
    quoted += c;
    if (c == quote) quoted += quote;
  }
  return quoted;
}

const char* const kDropProcedure = "DROP PROCEDURE [dbo].[SP_RESPALDAR_BDD]\r";

// Runs the statements of the dump in order; the first failure ends it.
class DumpSteps {
 public:
  explicit DumpSteps(OdbcConnection& connection) : connection_(connection) {}

  // The rows of a statement, or nothing once a statement has failed.
  std::optional<OdbcRows> Run(const std::string& sql) {
    if (failure_) return std::nullopt;
    std::optional<OdbcRows> rows = connection_.Execute(sql);
    if (!rows) failure_ = connection_.LastError();
    return rows;
  }
  bool HasRows(const std::string& sql) {
    std::optional<OdbcRows> rows = Run(sql);
    return rows && !rows->rows.empty();
  }
  std::string Result() const { return failure_ ? *failure_ : "OK"; }

 private:
  OdbcConnection& connection_;
  std::optional<std::string> failure_;
};

}  // namespace

std::string BackupProcedureText(const std::string& folder, const std::string& fileName,
                                const std::string& databaseName, bool checksum) {
  return "CREATE PROCEDURE [dbo].[SP_RESPALDAR_BDD]\r"
         "AS\r"
         "BACKUP DATABASE [" +
         DoubleEach(databaseName, ']') +
         "]\r"
         "TO  DISK = '" +
         DoubleEach(folder + fileName, '\'') +
         "'\r"
         "WITH  INIT ,NOUNLOAD ,NAME = N'Copia de seguridad BDD',  NOSKIP ,  STATS = 10,  NOFORMAT" +
         (checksum ? " ,CHECKSUM" : "") + "\r";
}

std::string VerifyOnlyText(const std::string& path, bool checksum) {
  return "RESTORE VERIFYONLY FROM DISK = N'" + DoubleEach(path, '\'') + "'" +
         (checksum ? " WITH CHECKSUM" : "");
}

void ProgramDatabase::OpenStoredConnection() {
  using settings::ReadSetting;
  std::string server = ReadSetting(settings::kRespBaseSer);
  std::string instance = ReadSetting(settings::kRespBaseIns);
  bool windowsLogin = ReadSetting(settings::kRespBaseAut) == settings::kWindowsLoginKind;
  // A failed open leaves a closed connection: the first statement then
  // fails with the reason.
  if (windowsLogin) {
    OpenDatabase(server, instance, kWindowsLogin, "", "");
  } else {
    OpenDatabase(server, instance, kServerLogin, ReadSetting(settings::kRespBaseUsr),
                 ReadSetting(settings::kRespBasePas));
  }
}

std::string ProgramDatabase::VerifyDump(const std::string& path) {
  OpenStoredConnection();
  DumpSteps steps(*connection_);
  steps.Run(VerifyOnlyText(path, checksum_));
  return steps.Result();
}

std::string ProgramDatabase::DumpDatabase(const std::string& folder, const std::string& fileName,
                                          const std::string& databaseName) {
  OpenStoredConnection();
  DumpSteps steps(*connection_);
  if (!steps.HasRows("SELECT * FROM master..sysdatabases Where name='Norvo'")) {
    steps.Run("CREATE DATABASE \"Norvo\"");
  }
  steps.Run("USE Norvo");
  if (steps.HasRows("SELECT * FROM sysobjects WHERE name='SP_RESPALDAR_BDD'")) {
    steps.Run(kDropProcedure);
  }
  steps.Run(BackupProcedureText(folder, fileName, databaseName, checksum_));
  steps.Run("EXEC [dbo].SP_RESPALDAR_BDD");
  steps.Run(kDropProcedure);
  return steps.Result();
}

}  // namespace norvo::run
