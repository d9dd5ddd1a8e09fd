#pragma once
// The command behind norvo-settings: get, set, list, set-customer, describe,
// check and schedule, on the current user's "Norvo" key. Returns the
// process exit code: 0 done, 1 the store or the scheduler failed (or check
// found what a run would refuse), 2 a wrong command line or a value the
// setting may not hold; nothing is written then.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace norvo::admin {

// Where the command reads (a password given on standard input) and writes.
struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

int RunSettingsTool(const std::vector<std::string>& args, const Console& console);

}  // namespace norvo::admin
