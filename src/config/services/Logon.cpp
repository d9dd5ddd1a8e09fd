#include "config/services/Logon.h"

#include "settings/ProviderConfig.h"

namespace norvo::config {

bool Validar_Logon(const std::string& user, const std::string& domain, const std::string& password) {
  platform::LogonService service;
  service.name = settings::ProviderConfigOrDefaults().pam_service;
  return Validar_Logon(user, domain, password, service);
}

bool Validar_Logon(const std::string& user, const std::string& domain, const std::string& password,
                   const platform::LogonService& service) {
  return platform::CheckLogon(service, user, domain, password);
}

platform::LogonAccount GetUser() { return platform::LoggedOnAccount(); }

}  // namespace norvo::config
