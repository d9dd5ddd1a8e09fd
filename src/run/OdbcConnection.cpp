// Connection and statement execution over raw ODBC calls, in their wide
// (UTF-16) form: the ANSI calls would pass text in the Windows code page.
#include "run/OdbcConnection.h"

#include <algorithm>
#include <cstdint>

#include "run/OdbcHandle.h"

namespace norvo::run {
namespace {

// How many results a statement may hand back before draining gives up: far
// more than any batch of the run produces, but not unbounded if a driver
// keeps failing in place.
constexpr int kMaxResults = 100000;

// One column of the current row as text; NULL reads as empty. Long values
// come in pieces, each ended by a NUL that is not part of the value.
bool ReadColumn(SQLHSTMT statement, SQLUSMALLINT column, std::string& value) {
  value.clear();
  constexpr std::size_t kUnits = 512;
  SQLWCHAR buffer[kUnits];
  OdbcText wide;
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(statement, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) return false;
    if (indicator == SQL_NULL_DATA) break;
    const bool truncated = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer);
    wide.append(buffer, truncated ? kUnits - 1 : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR));
    if (!truncated) break;
  }
  value = FromOdbcText(wide.data(), wide.size());
  return true;
}

// Every row of the current result set; false when reading a row fails.
bool FetchRows(SQLHSTMT statement, SQLSMALLINT columnCount, OdbcRows& result) {
  for (SQLSMALLINT column = 1; column <= columnCount; ++column) {
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0;  // in bytes
    SQLColAttributeW(statement, column, SQL_DESC_NAME, name, sizeof name, &length, nullptr);
    const std::size_t units = std::min<std::size_t>(length > 0 ? length / sizeof(SQLWCHAR) : 0, 255);
    result.columns.push_back(FromOdbcText(name, units));
  }
  for (;;) {
    SQLRETURN rc = SQLFetch(statement);
    if (rc == SQL_NO_DATA) return true;
    if (!SQL_SUCCEEDED(rc)) return false;
    std::vector<std::string>& row = result.rows.emplace_back(columnCount);
    for (SQLSMALLINT column = 1; column <= columnCount; ++column) {
      if (!ReadColumn(statement, column, row[column - 1])) return false;
    }
  }
}

}  // namespace

struct OdbcConnection::Handles {
  OdbcHandle<SQL_HANDLE_ENV> environment;
  OdbcHandle<SQL_HANDLE_DBC> connection;
  bool connected = false;

  ~Handles() {
    if (connected) SQLDisconnect(connection.get());
  }
};

OdbcConnection::OdbcConnection() = default;
OdbcConnection::~OdbcConnection() = default;

bool OdbcConnection::Open(const std::string& connectionString, int loginTimeoutSeconds) {
  handles_.reset();
  auto handles = std::make_unique<Handles>();
  if (!handles->environment.Allocate(SQL_NULL_HANDLE)) {
    lastError_ = openFailure_ = "No se pudo iniciar ODBC";
    return false;
  }
  SQLSetEnvAttr(handles->environment.get(), SQL_ATTR_ODBC_VERSION,
                reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(SQL_OV_ODBC3)), 0);
  if (!handles->connection.Allocate(handles->environment.get())) {
    lastError_ = OdbcFailureText(SQL_HANDLE_ENV, handles->environment.get());
    openFailure_ = OdbcFailureDetails(SQL_HANDLE_ENV, handles->environment.get());
    return false;
  }
  SQLHDBC connection = handles->connection.get();
  SQLSetConnectAttr(connection, SQL_ATTR_LOGIN_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(loginTimeoutSeconds)), 0);
  OdbcText text = ToOdbcText(connectionString);
  SQLWCHAR completed[1024];
  SQLSMALLINT completedLength = 0;
  SQLRETURN rc =
      SQLDriverConnectW(connection, nullptr, text.data(), SQL_NTS, completed,
                        sizeof completed / sizeof completed[0], &completedLength, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    lastError_ = OdbcFailureText(SQL_HANDLE_DBC, connection);
    openFailure_ = OdbcFailureDetails(SQL_HANDLE_DBC, connection);
    return false;
  }
  handles->connected = true;
  handles_ = std::move(handles);
  lastError_.clear();
  openFailure_.clear();
  return true;
}

void OdbcConnection::Fail(std::string reason) {
  handles_.reset();
  openFailure_ = reason;
  lastError_ = std::move(reason);
}

bool OdbcConnection::IsOpen() const { return handles_ != nullptr && handles_->connected; }

std::optional<OdbcRows> OdbcConnection::Execute(const std::string& sql) {
  if (!IsOpen()) {
    if (lastError_.empty()) lastError_ = "La conexión con la base de datos no está abierta";
    return std::nullopt;
  }
  OdbcHandle<SQL_HANDLE_STMT> statement;
  if (!statement.Allocate(handles_->connection.get())) {
    lastError_ = OdbcFailureText(SQL_HANDLE_DBC, handles_->connection.get());
    return std::nullopt;
  }
  SQLHSTMT stmt = statement.get();
  SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT,
                 reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(queryTimeout_)), 0);

  OdbcRows result;
  std::optional<std::string> failure;
  bool haveRows = false;
  OdbcText text = ToOdbcText(sql);
  SQLRETURN rc = SQLExecDirectW(stmt, text.data(), SQL_NTS);
  // SQL_NO_DATA is a statement without a result set: success.
  for (int results = 0; rc != SQL_NO_DATA && results < kMaxResults; ++results) {
    if (rc == SQL_ERROR) {
      if (!failure) failure = OdbcFailureText(SQL_HANDLE_STMT, stmt);
      // A statement that never started has nothing left to drain.
      std::string state = OdbcFirstState(SQL_HANDLE_STMT, stmt);
      if (state == "HY010" || state == "08S01" || state == "HYT00") break;
    } else if (SQL_SUCCEEDED(rc)) {
      SQLSMALLINT columns = 0;
      SQLNumResultCols(stmt, &columns);
      if (columns > 0 && !haveRows) {
        haveRows = true;
        if (!FetchRows(stmt, columns, result) && !failure) {
          failure = OdbcFailureText(SQL_HANDLE_STMT, stmt);
        }
      }
    } else {
      break;
    }
    rc = SQLMoreResults(stmt);
  }
  if (failure) {
    lastError_ = *failure;
    return std::nullopt;
  }
  return result;
}

}  // namespace norvo::run
