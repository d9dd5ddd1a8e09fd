// Reading the diagnostic records that ODBC keeps on a handle after a call.
#include <algorithm>
#include <string>
#include <vector>

#include "run/OdbcHandle.h"

namespace norvo::run {
namespace {

struct Diagnostic {
  std::string state;
  SQLINTEGER native = 0;
  std::string text;
};

std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::vector<Diagnostic> records;
  if (handle == SQL_NULL_HANDLE) return records;
  for (SQLSMALLINT number = 1; number < 100; ++number) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    constexpr SQLSMALLINT kUnits = 2048;
    SQLWCHAR text[kUnits] = {};
    SQLSMALLINT length = 0;  // in characters
    SQLRETURN rc = SQLGetDiagRecW(handleType, handle, number, state, &native, text, kUnits, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    const auto units = static_cast<std::size_t>(std::clamp<SQLSMALLINT>(length, 0, kUnits - 1));
    records.push_back({FromOdbcText(state, 5), native, FromOdbcText(text, units)});
  }
  return records;
}

// SQLSTATE class 01 holds warnings and the server's informational messages.
bool IsWarning(const Diagnostic& record) { return record.state.rfind("01", 0) == 0; }

}  // namespace

std::string StripOdbcPrefixes(std::string message) {
  while (!message.empty() && message.front() == '[') {
    std::string::size_type close = message.find(']');
    if (close == std::string::npos) break;
    message.erase(0, close + 1);
  }
  return message;
}

std::string OdbcFailureText(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::vector<Diagnostic> records = ReadDiagnostics(handleType, handle);
  const Diagnostic* chosen = nullptr;
  for (const Diagnostic& record : records) {
    if (!IsWarning(record) && record.native != 0) {
      chosen = &record;
      break;
    }
  }
  for (const Diagnostic& record : records) {
    if (chosen == nullptr && !IsWarning(record)) chosen = &record;
  }
  if (chosen == nullptr && !records.empty()) chosen = &records.front();
  if (chosen == nullptr) return "Error de ODBC sin descripción";
  return StripOdbcPrefixes(chosen->text);
}

std::string OdbcFailureDetails(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::vector<Diagnostic> records = ReadDiagnostics(handleType, handle);
  auto rank = [](const Diagnostic& record) {
    if (record.native == 0) return 2;
    return IsWarning(record) ? 1 : 0;
  };
  std::stable_sort(records.begin(), records.end(),
                   [&](const Diagnostic& a, const Diagnostic& b) { return rank(a) < rank(b); });
  std::vector<std::string> lines;
  for (const Diagnostic& record : records) {
    std::string line = StripOdbcPrefixes(record.text);
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(std::move(line));
  }
  if (lines.empty()) return "Error de ODBC sin descripción";
  std::string details = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) details += "\n" + lines[i];
  return details;
}

std::string OdbcFirstState(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::vector<Diagnostic> records = ReadDiagnostics(handleType, handle);
  return records.empty() ? std::string() : records.front().state;
}

}  // namespace norvo::run
