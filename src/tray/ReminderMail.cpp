#include "tray/ReminderMail.h"

#include "net/SmtpProvider.h"

namespace norvo::tray {

std::string ReminderBody(std::string_view sMail, std::string_view sClave, std::string_view web_address) {
  std::string body;
  body += "Estimado Cliente,\r\n";
  body += "\r\n";
  body += "Por favor guarde esta información en un lugar seguro.\r\n";
  body += "Dirección de correo electrónico principal: " + std::string(sMail) + "\r\n";
  body += "Contraseña: " + std::string(sClave) + "\r\n";
  body += "Si tiene alguna consulta, no dude en ponerse en contacto con nosotros.\r\n";
  body += "\r\n";
  body += "Soporte Norvo Backup\r\n";
  body += web_address;
  return body;
}

net::MailMessage ReminderMessage(const settings::ProviderConfig& config, std::string_view sMail,
                                 std::string_view sClave) {
  return net::ProviderMail(config, sMail, kReminderSubject, ReminderBody(sMail, sClave, config.web_address));
}

bool SendWithProviderSmtp(const settings::ProviderConfig& config, const net::MailMessage& message,
                          std::string* error) {
  return net::SendMail(net::SmtpSettingsFrom(config), message, error);
}

}  // namespace norvo::tray
