#include "settings/SettingsTool.h"

#include "platform/Registry.h"
#include "platform/System.h"
#include "settings/Base64.h"
#include "settings/DisplayText.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::settings {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string UsageText() {
  return "usage: norvo-settings get NAME\n"
         "       norvo-settings set NAME VALUE\n"
         "       norvo-settings list\n"
         "       norvo-settings set-customer CODE\n"
         "Reads and writes the settings of Norvo Backup (key \"Norvo\" of the current user).\n"
         "The store is " +
         platform::RegistryStoreDescription() + ".\n";
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '\\') return false;
  }
  return true;
}

// Writes one value and says so when it could not be stored (SaveString itself never tells).
int Write(const std::string& name, const std::string& data, std::ostream& err) {
  std::string why;
  auto key = platform::CreateRegistryKey(kCurrentUser, kSettingsKey, &why);
  if (!key) {
    err << "norvo-settings: cannot open the settings store: " << why << "\n";
    return kFailed;
  }
  platform::RegValue value{platform::RegType::String, {data.begin(), data.end()}};
  if (!key->Set(name, value)) {
    err << "norvo-settings: cannot write " << name << "\n";
    return kFailed;
  }
  return kOk;
}

int Usage(std::ostream& err, const std::string& problem) {
  err << "norvo-settings: " << problem << "\n" << UsageText();
  return kUsage;
}

}  // namespace

int RunSettingsTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command given");
  const std::string& command = args[0];
  const size_t operands = args.size() - 1;
  if (command == "--help" || command == "-h" || command == "help") {
    out << UsageText();
    return kOk;
  }
  if (command == "get") {
    if (operands != 1) return Usage(err, "get takes one NAME");
    if (!ValidName(args[1])) return Usage(err, "not a value name: \"" + args[1] + "\"");
    out << ReadSetting(args[1]) << "\n";
    return kOk;
  }
  if (command == "set") {
    if (operands != 2) return Usage(err, "set takes a NAME and a VALUE");
    if (!ValidName(args[1])) return Usage(err, "not a value name: \"" + args[1] + "\"");
    return Write(args[1], args[2], err);
  }
  if (command == "set-customer") {
    if (operands != 1 || args[1].empty()) return Usage(err, "set-customer takes one non-empty CODE");
    if (HasControlCharacter(args[1])) return Usage(err, "the CODE holds a control character");
    return Write(std::string(kCliente), EncodeSetting(args[1]), err);
  }
  if (command == "list") {
    if (operands != 0) return Usage(err, "list takes no operands");
    auto key = platform::OpenRegistryKey(kCurrentUser, kSettingsKey);
    if (!key) return kOk;  // nothing stored yet
    // A value edited by hand may hold a line break: shown escaped, one line each.
    for (const std::string& name : key->ValueNames()) {
      out << DisplayText(name) << "=" << DisplayText(RegQueryStringValue(*key, name)) << "\n";
    }
    return kOk;
  }
  return Usage(err, "unknown command \"" + command + "\"");
}

}  // namespace norvo::settings
