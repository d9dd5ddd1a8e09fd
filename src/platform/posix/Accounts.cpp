#include "platform/posix/Accounts.h"

#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <vector>

#include "platform/LogonCheck.h"
#include "platform/System.h"

namespace norvo::platform {

namespace {

std::string NameOfUser(uid_t uid) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_name;
  }
  return "";
}

}  // namespace

std::string CurrentUserName() { return NameOfUser(::geteuid()); }

LogonAccount LoggedOnAccount() { return {ComputerName(), NameOfUser(::getuid())}; }

std::string AccountName(const std::string& domain, const std::string& user) {
  if (domain.empty() || ::strcasecmp(domain.c_str(), ComputerName().c_str()) == 0) return user;
  return domain + "\\" + user;
}

}  // namespace norvo::platform
