#pragma once
// The download of one backup to a local file: the log-in check in active
// mode, then a passive binary transfer from the customer's folder into the
// temporary file. Runs without Qt, so it can run off the window's thread;
// progress and cancel pass through atomics.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "ftp/RetryBudget.h"
#include "net/FtpSession.h"

namespace norvo::ftp {

enum class RestoreFailure {
  None,
  NoInternet,  // the FTP library could not be set up
  NoCloud,     // log-in check or the transfer's connection refused
  NoFolder,    // the customer's folder cannot be entered
  NoFile,      // the file cannot be fetched or written
  Cancelled,   // the user stopped it
};

struct RestoreRequest {
  std::string host;  // "host" or "host:port"
  std::string user;
  std::string password;
  std::string folder;              // the customer's folder on the server
  std::string archivo;             // the file in that folder
  std::string temporary;           // the local file that receives it (replaced if present)
  int pause_ms = 1000;             // the wait between connecting and entering the folder
  net::FtpSessionOptions session;  // time-out and TLS; the transfer is always passive
  // A transfer that breaks is taken up again as this says (from where it
  // broke where the server restarts transfers); so is a log-on refused for
  // the moment.
  RetryPolicy retry;
};

// Shared between the download and whoever watches it.
struct RestoreProgress {
  std::atomic<std::int64_t> done{0};
  std::atomic<std::int64_t> total{-1};  // -1 while unknown
  std::atomic<bool> cancel{false};
  std::atomic<bool> finished{false};  // set last, when the download has returned
};

// A request with the provider's time-outs, TLS, cap and retries; the copy,
// the server and where it goes are the caller's to fill in.
RestoreRequest RestoreRequestFor(const settings::ProviderConfig& provider);

// Downloads request.archivo into request.temporary. A transfer that breaks
// goes on, on a new connection, from the bytes already received (REST) where
// the server restarts transfers, else from the start. Once the transfer has
// begun, a failure or a cancel removes the temporary file; on success it
// holds the whole file. A failure before that leaves the file untouched.
RestoreFailure DownloadBackup(const RestoreRequest& request, RestoreProgress& progress);

// Puts the downloaded temporary file in place of the destination (replacing
// it) and removes the temporary file. False when the destination could not
// be written; the temporary file is removed then too.
bool PlaceRestoredFile(const std::string& temporary, const std::string& destination);

// The error text the user sees and the provider is sent; empty for None and Cancelled.
std::string RestoreErrorText(RestoreFailure failure, const std::string& archivo);

}  // namespace norvo::ftp
