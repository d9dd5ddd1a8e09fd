#pragma once
// The upload of one archive to the computer's folder in the cloud, with the
// copy slot replaced only once the new file is whole on the server: the file
// goes up under a temporary name, its size on the server is checked against
// the local file, and only then it is renamed onto the slot's name. The old
// copy is deleted first only on a server that refuses to rename onto an
// existing name, once the refusal shows that renaming itself works.
#include <chrono>
#include <functional>
#include <string>

#include "net/FtpSession.h"
#include "settings/ProviderConfig.h"

namespace norvo::run {

struct CloudUploadOptions {
  net::FtpSessionOptions session;  // time-outs and TLS; the upload is always passive
  // The wait between the upload's first connection and its work in the folder.
  std::chrono::milliseconds pause{1000};
  // Told why the size check could not be made (a listing that failed or
  // passed its bounds): the report text alone does not say.
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
