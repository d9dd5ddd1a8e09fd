#include "config/services/Logon.h"

namespace norvo::config {

bool Validar_Logon(const std::string& user, const std::string& domain, const std::string& password,
                   const platform::LogonService& service) {
  return platform::CheckLogon(service, user, domain, password);
}

}  // namespace norvo::config
