#pragma once
// The check of the account that will run the weekly task.
#include <string>

#include "platform/LogonCheck.h"

namespace norvo::config {

// True when user, domain and password form a valid logon of this system,
// checked under the PAM service named by the provider configuration.
bool Validar_Logon(const std::string& user, const std::string& domain, const std::string& password);
// The same under the given service.
bool Validar_Logon(const std::string& user, const std::string& domain, const std::string& password,
                   const platform::LogonService& service);

// The logged-on user's account, for the window's account fields when they are empty.
platform::LogonAccount GetUser();

}  // namespace norvo::config
