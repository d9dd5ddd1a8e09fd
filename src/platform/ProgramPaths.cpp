#include "platform/System.h"

namespace norvo::platform {

std::string SiblingProgram(std::string_view name) {
  return ProgramFolder() + std::string(name) + kProgramSuffix;
}

}  // namespace norvo::platform
