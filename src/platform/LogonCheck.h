#pragma once
// Whether a user name, domain and password form a valid logon of this system.
// On POSIX a PAM authentication plus account check; on Windows an NTLM
// handshake of the process with itself.
#include <string>

namespace norvo::platform {

struct LogonService {
  std::string name = "norvo";  // PAM service whose rules apply
  std::string confdir;         // folder of the service files; empty: the system's
};

// True when the password is right for the account and the account may log on.
// A domain other than empty or this computer's name names a domain account.
// Nothing is shown to anybody; every handle is released on every path.
bool CheckLogon(const LogonService& service, const std::string& user, const std::string& domain,
                const std::string& password);

// The account of the logged-on user as domain and user name: on POSIX the
// computer's name and the user's login name.
struct LogonAccount {
  std::string domain;
  std::string user;
};
LogonAccount LoggedOnAccount();

}  // namespace norvo::platform
