#include "net/SmtpProvider.h"

namespace norvo::net {

SmtpSettings SmtpSettingsFrom(const settings::ProviderConfig& config) {
  SmtpSettings smtp;
  smtp.url = config.smtp_url;
  smtp.user = config.smtp_user.empty() ? config.support_mailbox : config.smtp_user;
  smtp.password = config.smtp_password;
  return smtp;
}

MailMessage ProviderMail(const settings::ProviderConfig& config, std::string_view recipients,
                         std::string_view subject, std::string_view body) {
  MailMessage mail;
  mail.sender_name = std::string(kProviderSenderName);
  mail.sender_address = config.support_mailbox;
  mail.recipients = SplitAddresses(recipients);
  mail.subject = std::string(subject);
  mail.body = std::string(body);
  return mail;
}

bool SendProviderMail(const settings::ProviderConfig& config, std::string_view recipients,
                      std::string_view subject, std::string_view body, std::string* error) {
  return SendMail(SmtpSettingsFrom(config), ProviderMail(config, recipients, subject, body), error);
}

}  // namespace norvo::net
