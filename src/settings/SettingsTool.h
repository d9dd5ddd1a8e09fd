#pragma once
// The command behind norvo-settings: get, set, list and set-customer on the
// current user's "Norvo" key. Returns the process exit code.
#include <ostream>
#include <string>
#include <vector>

namespace norvo::settings {

int RunSettingsTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvo::settings
