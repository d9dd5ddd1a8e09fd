#pragma once
// What a run would make of the stored settings, found without running one:
// each value against its rule, the values a run needs, and what they mean
// together (a file set's folder and files, the database's server and list).
#include <string>
#include <vector>

namespace norvo::admin {

struct Findings {
  std::vector<std::string> problems;  // a run would stop, back up nothing, or leave an item out
  std::vector<std::string> notes;     // worth a look, but no run suffers from it
};

// The store of the current user ($NORVO_REGISTRY).
void CheckStoredSettings(Findings* findings);

}  // namespace norvo::admin
