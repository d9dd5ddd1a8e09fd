#pragma once
// Mails sent in the provider's name: from its support mailbox under the
// display name "INFO Norvo Backup", through its SMTP server and login.
#include <string>
#include <string_view>

#include "net/SmtpSender.h"
#include "settings/ProviderConfig.h"

namespace norvo::net {

inline constexpr std::string_view kProviderSenderName = "INFO Norvo Backup";

// The SMTP server and login of the configuration; an empty smtp_user means
// the support mailbox logs in.
SmtpSettings SmtpSettingsFrom(const settings::ProviderConfig& config);

// A message from the support mailbox to the ";"-separated recipients.
MailMessage ProviderMail(const settings::ProviderConfig& config, std::string_view recipients,
                         std::string_view subject, std::string_view body);

// Both of the above, sent. False with the reason in *error when it failed.
bool SendProviderMail(const settings::ProviderConfig& config, std::string_view recipients,
                      std::string_view subject, std::string_view body, std::string* error = nullptr);

}  // namespace norvo::net
