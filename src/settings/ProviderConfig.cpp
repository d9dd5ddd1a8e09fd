#include "settings/ProviderConfig.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/System.h"

namespace norvo::settings {
namespace {

// A whole number from `low` to `high`.
bool ParseInRange(std::string_view text, int low, int high, int& out) {
  char* end = nullptr;
  std::string copy(text);
  long value = std::strtol(copy.c_str(), &end, 10);
  if (copy.empty() || *end != '\0' || value < low || value > high) return false;
  out = static_cast<int>(value);
  return true;
}

bool ParseSeconds(std::string_view text, int& out) { return ParseInRange(text, 1, 86400, out); }

// Takes one key of the [provider] section; the empty text, or why the value is refused.
std::string Take(ProviderConfig& c, std::string_view key, const std::string& text) {
  if (key == "service_host")
    c.service_host = text;
  else if (key == "web_address")
    c.web_address = text;
  else if (key == "contact_mailbox")
    c.contact_mailbox = text;
  else if (key == "support_mailbox")
    c.support_mailbox = text;
  else if (key == "report_mailbox")
    c.report_mailbox = text;
  else if (key == "smtp_url")
    c.smtp_url = text;
  else if (key == "smtp_user")
    c.smtp_user = text;
  else if (key == "smtp_password")
    c.smtp_password = text;
  else if (key == "rar_path")
    c.rar_path = text;
  else if (key == "archiver_path")
    c.archiver_path = text;
  else if (key == "odbc_driver")
    c.odbc_driver = text;
  else if (key == "pam_service")
    c.pam_service = text;
  else if (key == "ftp_ca_file")
    c.ftp_ca_file = text;
  else if (key == "ftp_tls") {
    if (text == "off")
      c.ftp_tls = FtpTls::Off;
    else if (text == "try")
      c.ftp_tls = FtpTls::Try;
    else if (text == "require")
      c.ftp_tls = FtpTls::Require;
    else
      return "ftp_tls must be off, try or require, not \"" + text + "\"";
  } else if (key == "archiver") {
    if (text == "auto")
      c.archiver = ArchiverChoice::Auto;
    else if (text == "rar")
      c.archiver = ArchiverChoice::Rar;
    else if (text == "7z")
      c.archiver = ArchiverChoice::SevenZip;
    else
      return "archiver must be auto, rar or 7z, not \"" + text + "\"";
  } else if (key == "archiver_level") {
    if (text.size() != 1 || text[0] < '0' || text[0] > '9')
      return "archiver_level must be a number from 0 to 9, not \"" + text + "\"";
    c.archiver_level = text[0] - '0';
  } else if (key == "http_timeout_s" || key == "ftp_timeout_s") {
    int& target = key == "http_timeout_s" ? c.http_timeout_s : c.ftp_timeout_s;
    if (!ParseSeconds(text, target))
      return std::string(key) + " must be a number of seconds, not \"" + text + "\"";
  } else if (key == "ftp_retries") {
    if (!ParseInRange(text, 0, kMaxFtpRetries, c.ftp_retries))
      return "ftp_retries must be a number from 0 to " + std::to_string(kMaxFtpRetries) + ", not \"" + text +
             "\"";
  } else if (key == "ftp_retry_wait_s") {
    if (!ParseInRange(text, 1, kMaxFtpRetryWaitS, c.ftp_retry_wait_s))
      return "ftp_retry_wait_s must be a number of seconds from 1 to " + std::to_string(kMaxFtpRetryWaitS) +
             ", not \"" + text + "\"";
  } else if (key == "ftp_max_kbps") {
    if (!ParseInRange(text, 0, kMaxFtpKbps, c.ftp_max_kbps))
      return "ftp_max_kbps must be a number of kilobits per second from 0 (no cap) to " +
             std::to_string(kMaxFtpKbps) + ", not \"" + text + "\"";
  } else if (key == "ftp_limit_hours") {
    const std::optional<HoursWindow> window = ParseHoursWindow(text);
    if (!window)
      return "ftp_limit_hours must be two different times of day such as 08:00-19:00 (or empty), not \"" +
             text + "\"";
    c.ftp_limit_hours = *window;
  } else if (key == "verify_every_runs") {
    if (!ParseInRange(text, 0, kMaxVerifyEveryRuns, c.verify_every_runs))
      return "verify_every_runs must be a number of runs from 0 (never) to " +
             std::to_string(kMaxVerifyEveryRuns) + ", not \"" + text + "\"";
  } else if (key == "verify_max_mb") {
    if (!ParseInRange(text, 1, kMaxVerifyMaxMb, c.verify_max_mb))
      return "verify_max_mb must be a number of megabytes from 1 to " + std::to_string(kMaxVerifyMaxMb) +
             ", not \"" + text + "\"";
  } else if (key == "sql_checksum") {
    if (text != "on" && text != "off") return "sql_checksum must be on or off, not \"" + text + "\"";
    c.sql_checksum = text == "on";
  }
  // Unknown keys are ignored so that newer files work with older programs.
  return {};
}

}  // namespace

std::string ProviderConfigPath() {
  if (std::string explicit_path = platform::EnvironmentValue("NORVO_PROVIDER_CONF"); !explicit_path.empty()) {
    return explicit_path;
  }
  for (const std::string& candidate :
       {platform::ProgramFolder() + "provider.ini", platform::SharedConfigFolder() + "provider.ini"}) {
    if (platform::FileExists(candidate)) return candidate;
  }
  return "";
}

std::optional<ProviderConfig> LoadProviderConfigFrom(const std::string& file, std::string* error) {
  ProviderConfig config;
  const platform::IniReading reading = platform::ReadIniSection(
      file, "provider",
      [&config](const std::string& key, const std::string& value) { return Take(config, key, value); });
  if (!reading.ok) {
    if (error) {
      const std::string where = reading.line > 0 ? ":" + std::to_string(reading.line) : "";
      *error = file + where + ": " + reading.error;
    }
    return std::nullopt;
  }
  config.source_file = file;
  return config;
}

std::optional<ProviderConfig> LoadProviderConfig(std::string* error) {
  std::string file = ProviderConfigPath();
  if (file.empty()) return ProviderConfig{};
  return LoadProviderConfigFrom(file, error);
}

ProviderConfig ProviderConfigOrDefaults() {
  std::string error;
  if (auto config = LoadProviderConfig(&error)) return *config;
  std::cerr << "norvo: provider configuration " << error << "; using the built-in values\n";
  return ProviderConfig{};
}

}  // namespace norvo::settings
