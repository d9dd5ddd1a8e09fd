#pragma once
// The check of the account that will run the weekly task.
#include <string>

#include "platform/LogonCheck.h"

namespace norvo::config {

// True when user, domain and password form a valid logon of this system,
// checked under the given service (the provider configuration names it).
bool Validar_Logon(const std::string& user, const std::string& domain, const std::string& password,
                   const platform::LogonService& service);

}  // namespace norvo::config
