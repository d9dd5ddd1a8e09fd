#pragma once
// Names of the stored values of the three sets of files: set 1 has no
// suffix ("Resp_ArchRuta"), sets 2 and 3 end in their number.
#include <array>
#include <string>

namespace norvo::config {

// The five values of one set, in the order a save writes them.
inline constexpr std::array<const char*, 5> kSetValueBases = {
    "Resp_ArchRuta", "Resp_ArchNom", "Resp_ArchTipo", "Resp_ArchSub", "Resp_ArchFil"};

inline std::string SetValueName(const char* base, int set) {
  return set == 1 ? std::string(base) : std::string(base) + std::to_string(set);
}

}  // namespace norvo::config
