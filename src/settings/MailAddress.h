#pragma once
// The syntax check of a notice mail address, shared by the configuration
// window and norvo-settings.
#include <string_view>

namespace norvo::settings {

// Letters, digits and "_", "-", ".", "@" only (compared in lower case, blanks
// around it ignored); no two of the four side by side, a letter or digit at
// both ends, exactly one "@" and a "." after it.
bool Validar_Mail(std::string_view address);

}  // namespace norvo::settings
