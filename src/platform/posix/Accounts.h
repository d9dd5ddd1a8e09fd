#pragma once
// Account names on POSIX, shared by the logon check and the crontab.
#include <string>

namespace norvo::platform {

// The name of the account that runs this program, empty when it has none.
std::string CurrentUserName();

// The account for a user typed with a domain: the user alone when the domain
// is empty or names this computer (in any letter case), else winbind's
// DOMAIN\user form.
std::string AccountName(const std::string& domain, const std::string& user);

}  // namespace norvo::platform
