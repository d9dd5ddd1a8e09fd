#pragma once
// What Norvo answers on its command line before it needs a display: --help
// and --version print their text and end the program (exit 0), so both work
// on a machine without a desktop. Every other argument is left to Qt.
#include <optional>
#include <ostream>

namespace norvo::tray {

// The exit status when the arguments were answered; nothing when the tray
// program should start.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out);

}  // namespace norvo::tray
