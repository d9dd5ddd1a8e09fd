#include "admin/SettingsTool.h"

#include "admin/ToolSupport.h"
#include "platform/Registry.h"
#include "settings/Settings.h"

namespace norvo::admin {
namespace {

std::string UsageText() {
  return "usage: norvo-settings get NAME\n"
         "       norvo-settings set [--force] NAME VALUE\n"
         "       norvo-settings list [--show-secrets]\n"
         "       norvo-settings set-customer CODE\n"
         "       norvo-settings describe [NAME]\n"
         "       norvo-settings check\n"
         "       norvo-settings databases\n"
         "       norvo-settings schedule DAYS HH:MM [--account [DOMAIN\\]USER] [--password-stdin]\n"
         "       norvo-settings schedule --show|--remove [--account [DOMAIN\\]USER]\n"
         "Reads and writes the settings of Norvo Backup (key \"Norvo\" of the current user),\n"
         "describes and checks them, lists the SQL Server's databases (the ids of Resp_BaseBas)\n"
         "and registers the weekly run (DAYS: MON,WED,FRI).\n"
         "The store is " +
         platform::RegistryStoreDescription() + ".\n";
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, const OptionSpec& spec, CommandLine* line,
                      std::string* problem) {
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (options_end || word.size() < 3 || word.rfind("--", 0) != 0) {
      line->operands.push_back(word);
    } else if (word == "--") {
      options_end = true;
    } else if (spec.switches.count(word) != 0) {
      line->options[word] = "";
    } else if (spec.valued.count(word) != 0) {
      if (i + 1 >= args.size()) {
        *problem = word + " needs a value";
        return false;
      }
      line->options[word] = args[++i];
    } else {
      *problem = "unknown option " + word;
      return false;
    }
  }
  return true;
}

bool ValidValueName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '\\') return false;
  }
  return true;
}

int Usage(const Console& console, const std::string& problem) {
  console.err << "norvo-settings: " << problem << "\n" << UsageText();
  return kUsage;
}

int Refuse(const Console& console, const std::string& problem) {
  console.err << "norvo-settings: " << problem << "; nothing was written\n";
  return kUsage;
}

bool WriteValues(const std::vector<std::pair<std::string, std::string>>& values, const Console& console) {
  std::string why;
  auto key = platform::CreateRegistryKey(settings::kCurrentUser, settings::kSettingsKey, &why);
  if (!key) {
    console.err << "norvo-settings: cannot open the settings store: " << why << "\n";
    return false;
  }
  for (const auto& [name, data] : values) {
    const platform::RegValue value{platform::RegType::String, {data.begin(), data.end()}};
    if (!key->Set(name, value)) {
      console.err << "norvo-settings: cannot write " << name << "\n";
      return false;
    }
  }
  return true;
}

int RunSettingsTool(const std::vector<std::string>& args, const Console& console) {
  if (args.empty()) return Usage(console, "no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    console.out << UsageText();
    return kOk;
  }
  struct Command {
    const char* name;
    OptionSpec options;
    int (*run)(const CommandLine&, const Console&);
  };
  const Command commands[] = {
      {"get", {}, GetCommand},
      {"set", {{"--force"}, {}}, SetCommand},
      {"list", {{"--show-secrets"}, {}}, ListCommand},
      {"set-customer", {}, SetCustomerCommand},
      {"describe", {}, DescribeCommand},
      {"check", {}, CheckCommand},
      {"databases", {}, DatabasesCommand},
      {"schedule", {{"--show", "--remove", "--password-stdin"}, {"--account"}}, ScheduleCommand},
  };
  for (const Command& candidate : commands) {
    if (command != candidate.name) continue;
    CommandLine line;
    std::string problem;
    if (!ParseCommandLine({args.begin() + 1, args.end()}, candidate.options, &line, &problem)) {
      return Usage(console, command + ": " + problem);
    }
    return candidate.run(line, console);
  }
  return Usage(console, "unknown command \"" + command + "\"");
}

}  // namespace norvo::admin
