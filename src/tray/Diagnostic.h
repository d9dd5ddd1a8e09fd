#pragma once
// What the tray program has to say where no person would see a box: one line
// on stderr, "Norvo: " first.
#include <string_view>

namespace norvo::tray {

void Diagnostic(std::string_view line);

}  // namespace norvo::tray
