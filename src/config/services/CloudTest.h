#pragma once
// The cloud connection test of the configuration window: whether the account
// service answers, whether the account delivers cloud connection data, and
// whether the FTP server takes a log-on and a new folder. It only returns the
// marks; the window shows them.
#include <array>
#include <string>

#include "net/FtpSession.h"
#include "run/AccountService.h"
#include "settings/ProviderConfig.h"

namespace norvo::config {

// The lines of the test, top to bottom.
inline constexpr std::size_t kInternetLine = 0;  // "Conexión a Internet"
inline constexpr std::size_t kCloudLine = 1;     // "Comunicación al Cloud"
inline constexpr std::size_t kWriteLine = 2;     // "Escritura en el Cloud"
// The folder made and removed again in the customer's folder.
inline constexpr const char* kTestFolder = "TESTNORVO01/";

struct CloudTestMarks {
  std::array<bool, 3> success{};  // false: the line keeps its failure mark
  bool blocked = false;           // "Se encuentra bloqueada la cuenta."
};

// The FTP half: log-on in active mode with the session options, the
// customer's folder, the test folder made and removed. Sets lines 1 and 2 of
// the marks.
void Test_FTP(const std::string& sFtpSrv, const std::string& sFtpUsr, const std::string& sFtpPas,
              const std::string& sFtpCli, CloudTestMarks& marks, const net::FtpSessionOptions& options);

// The whole test for the customer code as stored, over the given account
// service and with the given FTP session options.
CloudTestMarks Test_Cloud(const std::string& cliente, const run::AccountService& service,
                          const net::FtpSessionOptions& options);
// The whole test for the stored Cliente with the provider's account service and FTP options.
CloudTestMarks Test_Cloud(const settings::ProviderConfig& provider);

}  // namespace norvo::config
