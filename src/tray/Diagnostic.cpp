#include "tray/Diagnostic.h"

#include <iostream>

namespace norvo::tray {

void Diagnostic(std::string_view line) { std::cerr << "Norvo: " << line << std::endl; }

}  // namespace norvo::tray
