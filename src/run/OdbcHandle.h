#pragma once
// Owners of raw ODBC handles and the reading of their diagnostic records.
// Only the ODBC sources include this header, so the ODBC headers stay out
// of the rest of the program.
#include <string>

#include "platform/OdbcApi.h"

namespace norvo::run {

// Text for the wide ODBC calls (UTF-16 code units, whatever SQLWCHAR is on
// this platform) from the program's UTF-8, and back.
using OdbcText = std::basic_string<SQLWCHAR>;
OdbcText ToOdbcText(const std::string& utf8);
std::string FromOdbcText(const SQLWCHAR* text, std::size_t length);

// Frees its handle of the given ODBC handle type when it goes out of scope.
template <SQLSMALLINT Type>
class OdbcHandle {
 public:
  OdbcHandle() = default;
  ~OdbcHandle() { Reset(); }
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;

  // Allocates a fresh handle under the parent; false when that fails.
  bool Allocate(SQLHANDLE parent) {
    Reset();
    return SQL_SUCCEEDED(SQLAllocHandle(Type, parent, &handle_));
  }
  void Reset() {
    if (handle_ == SQL_NULL_HANDLE) return;
    SQLFreeHandle(Type, handle_);
    handle_ = SQL_NULL_HANDLE;
  }
  SQLHANDLE get() const { return handle_; }

 private:
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// The description of the failure recorded on a handle: the text of the
// first error the server sent (a record with a native error number), else
// the first error record, else the first record at all; the bracketed
// driver prefixes ("[FreeTDS][SQL Server]") removed.
std::string OdbcFailureText(SQLSMALLINT handleType, SQLHANDLE handle);

// Every distinct record on a handle, one per line without the driver
// prefixes, the most informative first: errors with a native number (the
// server's, or the driver's own), then warnings with one, then the generic
// records without ("Unable to connect to data source").
std::string OdbcFailureDetails(SQLSMALLINT handleType, SQLHANDLE handle);

// The SQLSTATE of the first diagnostic record, empty when there is none.
std::string OdbcFirstState(SQLSMALLINT handleType, SQLHANDLE handle);

// A message without its leading bracketed prefixes.
std::string StripOdbcPrefixes(std::string message);

}  // namespace norvo::run
