// The commands on single values: get, set, set-customer, list and describe.
#include "admin/ToolSupport.h"
#include "settings/Base64.h"
#include "settings/DisplayText.h"
#include "settings/SettingNames.h"
#include "settings/SettingRules.h"
#include "settings/Settings.h"

namespace norvo::admin {
namespace {

// What list shows of a secret value: that it is set, never how long it is.
constexpr const char* kMasked = "********";

// A customer code goes to the account service in a query: no line breaks or
// other control characters in it.
bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

void Describe(const settings::SettingInfo& setting, std::ostream& out) {
  out << setting.name << "\n"
      << "  meaning: " << setting.meaning << "\n"
      << "  values:  " << settings::AllowedValues(setting.rule) << "\n"
      << "  default: " << setting.when_missing << "\n";
}

}  // namespace

int GetCommand(const CommandLine& line, const Console& console) {
  if (line.operands.size() != 1) return Usage(console, "get takes one NAME");
  const std::string& name = line.operands[0];
  if (!ValidValueName(name)) return Usage(console, "not a value name: \"" + name + "\"");
  console.out << settings::ReadSetting(name) << "\n";
  return kOk;
}

int SetCommand(const CommandLine& line, const Console& console) {
  if (line.operands.size() != 2) return Usage(console, "set takes a NAME and a VALUE");
  const std::string& name = line.operands[0];
  const std::string& value = line.operands[1];
  if (!ValidValueName(name)) return Usage(console, "not a value name: \"" + name + "\"");
  const settings::SettingInfo* setting = settings::FindSetting(name);
  if (setting == nullptr && !line.Has("--force")) {
    return Refuse(console,
                  name + " is not a setting of Norvo Backup (describe lists them; --force stores it anyway)");
  }
  if (setting != nullptr) {
    if (auto problem = settings::ValueProblem(*setting, value)) {
      if (setting->name == settings::kCliente) *problem += " (set-customer CODE stores a code)";
      return Refuse(console, *problem);
    }
  }
  // A known setting keeps the table's spelling of its name.
  const std::string stored = setting != nullptr ? std::string(setting->name) : name;
  return WriteValues({{stored, value}}, console) ? kOk : kFailed;
}

int SetCustomerCommand(const CommandLine& line, const Console& console) {
  if (line.operands.size() != 1 || line.operands[0].empty()) {
    return Usage(console, "set-customer takes one non-empty CODE");
  }
  if (HasControlCharacter(line.operands[0])) return Usage(console, "the CODE holds a control character");
  const bool written =
      WriteValues({{std::string(settings::kCliente), settings::EncodeSetting(line.operands[0])}}, console);
  return written ? kOk : kFailed;
}

int ListCommand(const CommandLine& line, const Console& console) {
  if (!line.operands.empty()) return Usage(console, "list takes no operands");
  auto key = platform::OpenRegistryKey(settings::kCurrentUser, settings::kSettingsKey);
  if (!key) return kOk;  // nothing stored yet
  const bool show_secrets = line.Has("--show-secrets");
  // A value edited by hand may hold a line break: shown escaped, one line each.
  for (const std::string& name : key->ValueNames()) {
    std::string value = settings::RegQueryStringValue(*key, name);
    const settings::SettingInfo* setting = settings::FindSetting(name);
    if (!show_secrets && setting != nullptr && setting->Secret() && !value.empty()) value = kMasked;
    console.out << settings::DisplayText(name) << "=" << settings::DisplayText(value) << "\n";
  }
  return kOk;
}

int DescribeCommand(const CommandLine& line, const Console& console) {
  if (line.operands.size() > 1) return Usage(console, "describe takes at most one NAME");
  if (line.operands.empty()) {
    bool first = true;
    for (const settings::SettingInfo& setting : settings::SettingTable()) {
      if (!first) console.out << "\n";
      first = false;
      Describe(setting, console.out);
    }
    return kOk;
  }
  const settings::SettingInfo* setting = settings::FindSetting(line.operands[0]);
  if (setting == nullptr) {
    console.err << "norvo-settings: " << line.operands[0] << " is not a setting of Norvo Backup\n";
    return kUsage;
  }
  Describe(*setting, console.out);
  return kOk;
}

}  // namespace norvo::admin
