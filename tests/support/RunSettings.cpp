#include "support/RunSettings.h"

#include <filesystem>

#include "settings/Base64.h"
#include "settings/Settings.h"

namespace norvo::test {

void SeedRunSettings(const std::string& drive) {
  using settings::WriteSetting;
  // A drive letter (Windows) names a drive root, which is there already.
  if (drive.find_first_of("/\\") != std::string::npos) std::filesystem::create_directories(drive);
  WriteSetting("Cliente", settings::EncodeSetting("123"));
  WriteSetting("Resp_ProgEnv", "0");
  WriteSetting("Resp_ProgCopias", "3");
  WriteSetting("Resp_Base", "0");
  WriteSetting("Resp_Archivo", "0");
  WriteSetting("Resp_ProgRespLoc", "0");
  WriteSetting("Resp_Drive", drive);
}

}  // namespace norvo::test
