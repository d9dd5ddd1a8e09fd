#pragma once
// The forgotten-password reminder: its subject and body, and the function
// that sends a provider mail (replaceable so tests can hold the mail back).
#include <functional>
#include <string>
#include <string_view>

#include "net/SmtpMessage.h"
#include "settings/ProviderConfig.h"

namespace norvo::tray {

inline constexpr std::string_view kReminderSubject = "INFO Su contraseña Norvo Backup";

// The reminder text, lines joined by CR LF, the web address last with no line end.
std::string ReminderBody(std::string_view sMail, std::string_view sClave, std::string_view web_address);

// The reminder as the provider sends it: from its support mailbox to sMail.
net::MailMessage ReminderMessage(const settings::ProviderConfig& config, std::string_view sMail,
                                 std::string_view sClave);

// Sends a message with the provider's SMTP server and login. False with the
// reason in *error when it did not go out.
using MailSender =
    std::function<bool(const settings::ProviderConfig&, const net::MailMessage&, std::string* error)>;
bool SendWithProviderSmtp(const settings::ProviderConfig& config, const net::MailMessage& message,
                          std::string* error);

}  // namespace norvo::tray
