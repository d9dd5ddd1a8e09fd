#pragma once
// What the commands of norvo-settings share: their exit codes, the command
// line split into operands and options, and the store's writes.
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "admin/SettingsTool.h"

namespace norvo::admin {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// The words after the command: operands in order, and the "--name" options
// (with the value that follows those that take one). "--" ends the options.
struct CommandLine {
  std::vector<std::string> operands;
  std::map<std::string, std::string> options;
  bool Has(const std::string& option) const { return options.count(option) != 0; }
};

// The options a command takes: those that are a switch, and those that take a value.
struct OptionSpec {
  std::set<std::string> switches;
  std::set<std::string> valued;
};

// Splits args (the command's own words); false with the reason in *problem
// for an option the command does not take or one without its value.
bool ParseCommandLine(const std::vector<std::string>& args, const OptionSpec& spec, CommandLine* line,
                      std::string* problem);

// Whether the store can hold a value of that name (not empty, at most 255
// characters, no control character and no backslash).
bool ValidValueName(const std::string& name);

// Says the problem and the usage on err; returns kUsage.
int Usage(const Console& console, const std::string& problem);

// A refused value or name: the reason on err; returns kUsage.
int Refuse(const Console& console, const std::string& problem);

// Writes the values one after the other, stopping at the first that cannot
// be stored, and says on err which one that was.
bool WriteValues(const std::vector<std::pair<std::string, std::string>>& values, const Console& console);

// The commands.
int GetCommand(const CommandLine& line, const Console& console);
int SetCustomerCommand(const CommandLine& line, const Console& console);
int DescribeCommand(const CommandLine& line, const Console& console);
int SetCommand(const CommandLine& line, const Console& console);
int ListCommand(const CommandLine& line, const Console& console);
int CheckCommand(const CommandLine& line, const Console& console);
int DatabasesCommand(const CommandLine& line, const Console& console);
int ScheduleCommand(const CommandLine& line, const Console& console);

}  // namespace norvo::admin
