#pragma once
// Loading the cloud browser: the sizes the account service knows, the
// account's connection data, and the ".RAR" files of this computer's cloud
// folder, gathered into the table of backups and the total size.
#include <string>

#include "cloud/Respaldo.h"
#include "net/FtpSession.h"
#include "run/AccountService.h"

namespace norvo::cloud {

struct CloudListing {
  Respaldos respaldos;  // in the order of the listing, not yet sorted
  double total = 0;     // kilobytes of every listed file the service knows
  bool listed = false;  // false when a step stopped the loading (nothing listed)
  std::string problem;  // why the listing itself failed (for stderr), empty when it did not
};

// Every failing step leaves the listing empty with a total of 0; nothing is
// reported. A listing that fails part-way (the connection broke, or the server
// passed the bounds of a listing) shows nothing either, never a partial list.
// `cliente` is the stored value, sent to the service as it is; `options` are
// those of the FTP session that lists the folder.
CloudListing LoadCloudListing(const run::AccountService& service, const std::string& cliente,
                              const std::string& computerName, const net::FtpSessionOptions& options);

}  // namespace norvo::cloud
