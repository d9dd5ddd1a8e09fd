// Stand-in for the task scheduler's command-line tool SCHTASKS in the Windows
// tests. SCHTASKS_STANDIN_DIR names a folder where it keeps:
//   calls   each call's command line after the program's name, as received,
//           one line per call, then "hidden" or "shown" for its window
//   tasks   the registered tasks, one line each: the name, a tab, the command
//           line of its /Create
// "/Create ... /tn NAME ..." registers NAME; an existing NAME is replaced only
// with /F, as SCHTASKS does. SCHTASKS_STANDIN_REFUSE: a refusal text that it
// writes on standard error, ending with status 1. A call without arguments is
// only recorded (the desktop's "open" of a program).
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace {

using norvo::platform::EnvironmentValue;
using norvo::platform::Narrow;
using norvo::platform::Widen;

// The command line after the program's name, as the C runtime skips that name.
std::string ArgumentsAsReceived() {
  std::wstring_view line = GetCommandLineW();
  std::size_t at = 0;
  if (!line.empty() && line[0] == L'"') {
    at = line.find(L'"', 1);
    at = at == std::wstring_view::npos ? line.size() : at + 1;
  } else {
    at = std::min(line.size(), line.find_first_of(L" \t"));
  }
  while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
  return Narrow(line.substr(at));
}

bool StartedHidden() {
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 && startup.wShowWindow == SW_HIDE;
}

std::filesystem::path FileIn(const std::string& folder, const char* name) {
  return std::filesystem::path(Widen(folder + "\\" + name));
}

int Create(const std::string& folder, const std::vector<std::string>& args, const std::string& line) {
  std::string name;
  bool replace = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "/tn" && i + 1 < args.size()) name = args[i + 1];
    replace = replace || args[i] == "/F";
  }
  if (name.empty()) {
    std::cerr << "ERROR: Invalid syntax. Mandatory option '/tn' is missing.\n";
    return 1;
  }
  std::ifstream in(FileIn(folder, "tasks"));
  std::string kept;
  for (std::string task; std::getline(in, task);) {
    if (task.substr(0, task.find('\t')) != name) {
      kept += task + "\n";
    } else if (!replace) {
      std::cerr << "ERROR: Cannot create a file when that file already exists.\n";
      return 1;
    }
  }
  in.close();
  std::ofstream(FileIn(folder, "tasks"), std::ios::binary | std::ios::trunc)
      << kept << name << "\t" << line << "\n";
  std::cout << "SUCCESS: The scheduled task \"" << name << "\" has successfully been created.\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = EnvironmentValue("SCHTASKS_STANDIN_DIR");
  const std::string line = ArgumentsAsReceived();
  if (!folder.empty()) {
    std::ofstream(FileIn(folder, "calls"), std::ios::binary | std::ios::app)
        << line << "\n"
        << (StartedHidden() ? "hidden" : "shown") << "\n";
  }
  const std::vector<std::string> args = norvo::platform::ProgramArguments(argc, argv);
  if (args.empty()) return 0;
  const std::string refusal = EnvironmentValue("SCHTASKS_STANDIN_REFUSE");
  if (!refusal.empty()) {
    std::cerr << refusal << "\n";
    return 1;
  }
  if (args[0] == "/Create" && !folder.empty()) return Create(folder, args, line);
  std::cerr << "ERROR: Invalid argument/option - '" << args[0] << "'.\n";
  return 1;
}
