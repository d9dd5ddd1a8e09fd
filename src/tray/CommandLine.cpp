#include "tray/CommandLine.h"

#include <string_view>

#include "Version.h"

namespace norvo::tray {
namespace {

const char kHelp[] =
    "Usage: Norvo [--help | --version]\n"
    "The tray program of Norvo Backup. Its menu in the notification area edits the\n"
    "configuration, starts a backup at once (Norvo_T), opens the cloud browser and shows\n"
    "the about box. It needs a desktop session; on a machine without one, configure with\n"
    "norvo-settings (describe, set, check, schedule).\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Environment: NORVO_REGISTRY (settings store), NORVO_PROVIDER_CONF (provider configuration),\n"
    "NORVO_MESSAGES=stderr (message boxes on stderr).\n";

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
    if (arg == "--version") {
      out << "Norvo " << kVersion << "\n";
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace norvo::tray
