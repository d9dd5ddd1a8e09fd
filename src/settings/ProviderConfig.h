#pragma once
// The provider's values that are not per customer: where the account service,
// mail and tools are. Read from an INI file with one [provider] section:
// $NORVO_PROVIDER_CONF, else provider.ini in the program folder, else
// provider.ini in the system's shared configuration folder (/etc/norvo/, or
// %ProgramData%\Norvo\ on Windows). Keys the file does not set keep their defaults.
#include <optional>
#include <string>

#include "platform/System.h"
#include "settings/HoursWindow.h"

namespace norvo::settings {

enum class FtpTls { Off, Try, Require };

// Which archiver packs the items: auto is the RAR tool when it is found, else 7-Zip.
enum class ArchiverChoice { Auto, Rar, SevenZip };

// 7-Zip's compression level when archiver_level does not set one (see bench/archive).
inline constexpr int kDefaultArchiverLevel = 1;

inline constexpr int kMaxFtpRetries = 20;
inline constexpr int kMaxFtpRetryWaitS = 300;
// The highest transfer cap, in kilobits per second: 10 Gbit/s, above any office line.
inline constexpr int kMaxFtpKbps = 10'000'000;
// The restore drill after a run: every how many runs it is made, and the
// largest copy it downloads (see bench/drill for what a gibibyte costs).
inline constexpr int kDefaultVerifyEveryRuns = 1;
inline constexpr int kMaxVerifyEveryRuns = 1000;
inline constexpr int kDefaultVerifyMaxMb = 2048;
inline constexpr int kMaxVerifyMaxMb = 1048576;  // 1 TiB

struct ProviderConfig {
  std::string service_host = "cuentas.norvo.example";  // may carry ":port"
  std::string web_address = "http://www.norvo.example";
  std::string contact_mailbox = "contacto@norvo.example";
  std::string support_mailbox = "soporte@norvo.example";
  std::string report_mailbox = "reportes@norvo.example";
  std::string smtp_url = "smtp://mail.norvo.example:587";
  std::string smtp_user;  // empty: the support mailbox
  std::string smtp_password = "kfw5174";
  FtpTls ftp_tls = FtpTls::Off;
  std::string rar_path;  // empty: rar in the program folder, else on PATH
  ArchiverChoice archiver = ArchiverChoice::Auto;
  std::string archiver_path;                   // the 7-Zip program; empty: 7zz, else 7z, looked up
  int archiver_level = kDefaultArchiverLevel;  // 0 (store) to 9
  std::string odbc_driver = platform::kDefaultOdbcDriver;
  int http_timeout_s = 30;
  int ftp_timeout_s = 60;
  // Log-ons refused with 421 or a connection refused: tried again this many
  // times, after a wait that starts at ftp_retry_wait_s and doubles, at most
  // kMaxFtpRetryWaitS.
  int ftp_retries = 5;
  int ftp_retry_wait_s = 10;
  std::string ftp_ca_file;  // PEM certificates trusted for FTPS besides the system's; empty: none
  // Uploads and restores keep to ftp_max_kbps (kilobits per second, 1000
  // bits each; 0: no cap) while local time is within ftp_limit_hours.
  int ftp_max_kbps = 0;
  HoursWindow ftp_limit_hours;
  int verify_every_runs = kDefaultVerifyEveryRuns;  // 0: never
  int verify_max_mb = kDefaultVerifyMaxMb;          // a larger copy is passed over
  bool sql_checksum = false;                        // dumps WITH CHECKSUM, read back WITH CHECKSUM
  std::string pam_service = "norvo";

  // The file the values came from, empty when only defaults apply.
  std::string source_file;
};

// The file that holds the provider configuration, or empty when none exists.
std::string ProviderConfigPath();

// Reads the configuration. A missing file gives the defaults; a file that
// cannot be read or parsed gives nothing and the reason in *error.
std::optional<ProviderConfig> LoadProviderConfig(std::string* error = nullptr);
std::optional<ProviderConfig> LoadProviderConfigFrom(const std::string& file, std::string* error = nullptr);

// The configuration, or the defaults with the reason on stderr when the file is bad.
ProviderConfig ProviderConfigOrDefaults();

}  // namespace norvo::settings
