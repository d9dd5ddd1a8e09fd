#include "platform/posix/Accounts.h"

#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <vector>

#include "platform/System.h"

namespace norvo::platform {

std::string CurrentUserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_name;
  }
  return "";
}

std::string AccountName(const std::string& domain, const std::string& user) {
  if (domain.empty() || ::strcasecmp(domain.c_str(), ComputerName().c_str()) == 0) return user;
  return domain + "\\" + user;
}

}  // namespace norvo::platform
