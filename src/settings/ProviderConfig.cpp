#include "settings/ProviderConfig.h"

#include <ini.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

#include "platform/System.h"

namespace norvo::settings {
namespace {

struct ParseState {
  ProviderConfig config;
  std::string error;
};

bool ParseSeconds(std::string_view text, int& out) {
  char* end = nullptr;
  std::string copy(text);
  long value = std::strtol(copy.c_str(), &end, 10);
  if (copy.empty() || *end != '\0' || value <= 0 || value > 86400) return false;
  out = static_cast<int>(value);
  return true;
}

int OnEntry(void* user, const char* section, const char* name, const char* value) {
  auto& state = *static_cast<ParseState*>(user);
  auto& c = state.config;
  std::string_view key(name);
  std::string text(value);
  if (std::strcmp(section, "provider") != 0) return 1;  // other sections are for others
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
  else if (key == "ftp_tls") {
    if (text == "off")
      c.ftp_tls = FtpTls::Off;
    else if (text == "try")
      c.ftp_tls = FtpTls::Try;
    else if (text == "require")
      c.ftp_tls = FtpTls::Require;
    else {
      state.error = "ftp_tls must be off, try or require, not \"" + text + "\"";
      return 0;
    }
  } else if (key == "archiver") {
    if (text == "auto")
      c.archiver = ArchiverChoice::Auto;
    else if (text == "rar")
      c.archiver = ArchiverChoice::Rar;
    else if (text == "7z")
      c.archiver = ArchiverChoice::SevenZip;
    else {
      state.error = "archiver must be auto, rar or 7z, not \"" + text + "\"";
      return 0;
    }
  } else if (key == "archiver_level") {
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') {
      state.error = "archiver_level must be a number from 0 to 9, not \"" + text + "\"";
      return 0;
    }
    c.archiver_level = text[0] - '0';
  } else if (key == "http_timeout_s" || key == "ftp_timeout_s") {
    int& target = key == "http_timeout_s" ? c.http_timeout_s : c.ftp_timeout_s;
    if (!ParseSeconds(text, target)) {
      state.error = std::string(key) + " must be a number of seconds, not \"" + text + "\"";
      return 0;
    }
  }
  // Unknown keys are ignored so that newer files work with older programs.
  return 1;
}

}  // namespace

std::string ProviderConfigPath() {
  if (const char* explicit_path = std::getenv("NORVO_PROVIDER_CONF"); explicit_path && *explicit_path) {
    return explicit_path;
  }
  for (const std::string& candidate :
       {platform::ProgramFolder() + "provider.ini", std::string("/etc/norvo/provider.ini")}) {
    if (platform::FileExists(candidate)) return candidate;
  }
  return "";
}

std::optional<ProviderConfig> LoadProviderConfigFrom(const std::string& file, std::string* error) {
  ParseState state;
  int rc = ini_parse(file.c_str(), OnEntry, &state);
  if (rc != 0) {
    if (error) {
      if (rc == -1)
        *error = file + ": cannot be opened";
      else if (!state.error.empty())
        *error = file + ":" + std::to_string(rc) + ": " + state.error;
      else
        *error = file + ":" + std::to_string(rc) + ": not a valid line";
    }
    return std::nullopt;
  }
  state.config.source_file = file;
  return state.config;
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
