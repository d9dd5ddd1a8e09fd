#pragma once
// The settings every test of Norvo_T starts from, written into the store
// named by $NORVO_REGISTRY: customer 123, three copies, no success notice,
// both phases off, no local copy, and the work folder in `drive`: a folder,
// created when missing, or a drive letter on Windows. A test writes over what it needs otherwise.
#include <string>

namespace norvo::test {

void SeedRunSettings(const std::string& drive);

}  // namespace norvo::test
