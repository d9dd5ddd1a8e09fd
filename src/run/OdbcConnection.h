#pragma once
// A small owner of raw ODBC handles: one environment and one connection per
// object, statements run one at a time and every result of a statement
// drained before it is freed (a driver may cancel work whose results are left
// unread, such as a running BACKUP).
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvo::run {

// The first result set of a statement, every value as text (NULL as empty).
struct OdbcRows {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

class OdbcConnection {
 public:
  OdbcConnection();
  ~OdbcConnection();
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  // Connects with a complete ODBC connection string, without prompting.
  // False with the reason in LastError().
  bool Open(const std::string& connectionString, int loginTimeoutSeconds);
  bool IsOpen() const;
  // Closes the connection and keeps the reason, for a connection that could
  // not even be attempted.
  void Fail(std::string reason);

  // The time-out of every statement that follows, in seconds (0: none).
  void SetQueryTimeout(int seconds) { queryTimeout_ = seconds; }

  // Runs one statement, reads the rows of its first result set and drains
  // every further result. Nothing, with the reason in LastError(), when the
  // statement or any of its results fails.
  std::optional<OdbcRows> Execute(const std::string& sql);

  // The server's text of the last failure, without the driver's prefixes.
  const std::string& LastError() const { return lastError_; }
  // Why the last Open failed in full: every diagnostic, the most informative
  // first, one per line. Empty after a successful Open.
  const std::string& OpenFailureDetails() const { return openFailure_; }

 private:
  struct Handles;
  std::unique_ptr<Handles> handles_;
  std::string lastError_;
  std::string openFailure_;
  int queryTimeout_ = 0;
};

}  // namespace norvo::run
