#pragma once
// The upload of one archive to the computer's folder in the cloud, with the
// copy slot replaced only once the new file is whole on the server: the file
// goes up under a temporary name, its size on the server is checked against
// the local file (or, where the server offers a digest command, its digest
// against the one computed while the file was sent), and only then it is
// renamed onto the slot's name. The old
// copy is deleted first only on a server that refuses to rename onto an
// existing name, once the refusal shows that renaming itself works.
#include <chrono>
#include <functional>
#include <string>

#include "ftp/RetryBudget.h"
#include "ftp/TransferProgress.h"
#include "net/FtpSession.h"
#include "settings/ProviderConfig.h"

namespace norvo::run {

struct CloudUploadOptions {
  net::FtpSessionOptions session;  // time-outs and TLS; the upload is always passive
  // The wait between the upload's first connection and its work in the folder.
  std::chrono::milliseconds pause{1000};
  // A log-on refused with 421 or a connection refused (a server that still
  // counts the connection just closed) is tried again as this says; so is a
  // transfer that broke, counting the log-ons that take it up again.
  ftp::RetryPolicy retry;
  // When the upload's progress lines come (ftp/TransferProgress.h).
  ftp::ProgressTimes progress;
  // Told, for every step that failed, the server's reply or the failure (a
  // refused certificate, a time-out), why the size check could not be made,
  // why the server's digest differed, and each retry: the report text alone
  // does not say.
  std::function<void(const std::string&)> diagnostic;
};

// The options a run uses with this provider configuration.
CloudUploadOptions CloudUploadOptionsFor(const settings::ProviderConfig& provider);

// The name a file is uploaded under before it replaces the slot's copy: the
// final name without its last three characters, then "TMP".
std::string TemporaryName(const std::string& finalName);

// Stores localFolder + fileName as computerFolder + fileName. "OK", or the
// error text the run reports. The customer and computer folders are created
// first when missing.
std::string UploadToCloud(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                          const std::string& password, const std::string& computerFolder,
                          const std::string& customerFolder, const std::string& localFolder,
                          const std::string& fileName);

}  // namespace norvo::run
