#include "config/services/CloudTest.h"

#include <optional>

#include "ftp/cFTP.h"
#include "settings/Base64.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::config {

void Test_FTP(const std::string& sFtpSrv, const std::string& sFtpUsr, const std::string& sFtpPas,
              const std::string& sFtpCli, CloudTestMarks& marks, const net::FtpSessionOptions& options) {
  ftp::cFTP session(options);
  session.SetModeActive();
  // The account delivered connection data: that is what line 1 stands for.
  marks.success[kCloudLine] = true;
  marks.success[kWriteLine] = false;
  if (!session.OpenConnection(sFtpSrv, sFtpUsr, sFtpPas)) return;
  session.CreateFTPDirectory(sFtpCli);  // usually there already
  const std::string test_folder = sFtpCli + kTestFolder;
  if (session.CreateFTPDirectory(test_folder)) {
    marks.success[kWriteLine] = true;
    session.RemoveFTPDirectory(test_folder);
  }
  session.CloseConnection();
}

CloudTestMarks Test_Cloud(const std::string& cliente, const run::AccountService& service,
                          const net::FtpSessionOptions& options) {
  CloudTestMarks marks;
  if (cliente.empty()) return marks;
  const std::string reply = service.LookupAccount(cliente, run::kRunReplySize);
  if (reply.empty()) return marks;
  marks.success[kInternetLine] = true;
  marks.blocked = reply.size() == 4;
  const run::AccountFields fields = run::FirstSixFields(reply);
  if (fields[0].empty()) return marks;
  const std::optional<std::string> customer = settings::DecodeStoredSetting(cliente);
  if (!customer) return marks;  // a damaged code ends the test where it stands
  Test_FTP(fields[1], fields[2], fields[3], fields[4] + *customer + "/", marks, options);
  return marks;
}

CloudTestMarks Test_Cloud(const settings::ProviderConfig& provider) {
  return Test_Cloud(settings::ReadSetting(settings::kCliente), run::ProviderAccountService(provider),
                    net::FtpSessionOptionsFor(provider));
}

}  // namespace norvo::config
