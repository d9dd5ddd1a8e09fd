// Stand-in for the task scheduler's command-line tool SCHTASKS in the Windows
// tests. SCHTASKS_STANDIN_DIR names a folder where it keeps:
//   calls   each call's command line after the program's name, as received,
//           one line per call, then "hidden" or "shown" for its window
//   tasks   the registered tasks, one line each: the name, a tab, the command
//           line of its /Create
// "/Create ... /tn NAME ..." registers NAME; an existing NAME is replaced only
// with /F, as SCHTASKS does. "/Query /tn NAME /XML" writes the definition of
// NAME (its days, time, account and program), "/Query /FO CSV /NH" one line
// per task, "/Delete /tn NAME /F" removes NAME; an unknown NAME is an error. SCHTASKS_STANDIN_REFUSE: a
// refusal text that it writes on standard error, ending with status 1. A call without arguments is only
// recorded (the desktop's "open" of a program).
#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

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

// Options are matched without regard to case, as SCHTASKS matches them.
bool Is(const std::string& arg, const char* option) { return lstrcmpiA(arg.c_str(), option) == 0; }

std::string OptionValue(const std::vector<std::string>& args, const char* option) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (Is(args[i], option)) return args[i + 1];
  }
  return "";
}

std::filesystem::path FileIn(const std::string& folder, const char* name) {
  return std::filesystem::path(Widen(folder + "\\" + name));
}

// The registered tasks: name and /Create command line.
std::vector<std::pair<std::string, std::string>> Tasks(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> tasks;
  std::ifstream in(FileIn(folder, "tasks"));
  for (std::string task; std::getline(in, task);) {
    const std::size_t tab = task.find('\t');
    tasks.emplace_back(task.substr(0, tab), task.substr(std::min(task.size(), tab + 1)));
  }
  return tasks;
}

// A /Create command line split as the tool's own arguments are.
std::vector<std::string> Split(const std::string& line) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(Widen("schtasks " + line).c_str(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

void WriteXml(const std::vector<std::string>& created) {
  static const char* const kDays[][2] = {{"MON", "Monday"},   {"TUE", "Tuesday"}, {"WED", "Wednesday"},
                                         {"THU", "Thursday"}, {"FRI", "Friday"},  {"SAT", "Saturday"},
                                         {"SUN", "Sunday"}};
  std::string days;
  for (const auto& [code, day] : kDays) {
    if (OptionValue(created, "/d").find(code) != std::string::npos) days += std::string("<") + day + " />";
  }
  std::string program = OptionValue(created, "/tr");
  for (char& c : program) c = c == '\'' ? '"' : c;
  std::cout
      << "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<Task version=\"1.2\">\n<Triggers><CalendarTrigger>"
      << "<StartBoundary>2024-01-01T" << OptionValue(created, "/st") << "</StartBoundary>"
      << "<ScheduleByWeek><DaysOfWeek>" << days << "</DaysOfWeek></ScheduleByWeek></CalendarTrigger>"
      << "</Triggers>\n<Principals><Principal id=\"Author\"><UserId>" << OptionValue(created, "/ru")
      << "</UserId></Principal></Principals>\n<Actions Context=\"Author\"><Exec><Command>" << program
      << "</Command></Exec></Actions>\n</Task>\n";
}

int Query(const std::string& folder, const std::vector<std::string>& args) {
  const std::string name = OptionValue(args, "/tn");
  for (const auto& [task, line] : Tasks(folder)) {
    if (name.empty()) {
      std::cout << "\"\\" << task << "\",\"N/A\",\"Ready\"\n";
    } else if (task == name) {
      WriteXml(Split(line));
      return 0;
    }
  }
  if (name.empty()) return 0;
  std::cerr << "ERROR: The system cannot find the file specified.\n";
  return 1;
}

int Delete(const std::string& folder, const std::vector<std::string>& args) {
  const std::string name = OptionValue(args, "/tn");
  std::string kept;
  bool found = false;
  for (const auto& [task, line] : Tasks(folder)) {
    if (task == name) {
      found = true;
    } else {
      kept += task + "\t" + line + "\n";
    }
  }
  if (!found) {
    std::cerr << "ERROR: The system cannot find the file specified.\n";
    return 1;
  }
  std::ofstream(FileIn(folder, "tasks"), std::ios::binary | std::ios::trunc) << kept;
  std::cout << "SUCCESS: The scheduled task \"" << name << "\" was successfully deleted.\n";
  return 0;
}

int Create(const std::string& folder, const std::vector<std::string>& args, const std::string& line) {
  const std::string name = OptionValue(args, "/tn");
  bool replace = false;
  for (const std::string& arg : args) replace = replace || Is(arg, "/F");
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
  if (!folder.empty() && Is(args[0], "/Create")) return Create(folder, args, line);
  if (!folder.empty() && Is(args[0], "/Query")) return Query(folder, args);
  if (!folder.empty() && Is(args[0], "/Delete")) return Delete(folder, args);
  std::cerr << "ERROR: Invalid argument/option - '" << args[0] << "'.\n";
  return 1;
}
