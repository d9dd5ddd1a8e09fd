#include "cloud/ErrorReport.h"

#include "net/SmtpProvider.h"

namespace norvo::cloud {

std::string ErrorReportBody(std::string_view zCod, std::string_view zRaz, std::string_view zEqu,
                            std::string_view zErr, std::string_view version) {
  // The three labels are 15 characters each, so the values line up.
  std::string body;
  body += "Se ha detectado problema en la descarga de backup:\r\n";
  body += "\r\n";
  body += "Código Cliente:" + std::string(zCod) + "\r\n";
  body += "R.Social:      " + std::string(zRaz) + "\r\n";
  body += "Nombre Equipo: " + std::string(zEqu) + "\r\n";
  body += "Versión Aplicación: " + std::string(version) + "\r\n";
  body += "Mensaje:\r\n";
  body += zErr;
  return body;
}

std::string ErrorReportSubject(std::string_view zRaz) { return "Problema en cliente: " + std::string(zRaz); }

std::string ErrorReportRecipients(const settings::ProviderConfig& config) {
  return config.support_mailbox + ";" + config.report_mailbox;
}

bool SendErrorReport(const settings::ProviderConfig& config, std::string_view zCod, std::string_view zRaz,
                     std::string_view zEqu, std::string_view zErr, std::string_view version,
                     std::string* error) {
  return net::SendProviderMail(config, ErrorReportRecipients(config), ErrorReportSubject(zRaz),
                               ErrorReportBody(zCod, zRaz, zEqu, zErr, version), error);
}

}  // namespace norvo::cloud
