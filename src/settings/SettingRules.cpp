#include "settings/SettingRules.h"

#include <algorithm>
#include <vector>

#include "platform/Scheduler.h"
#include "platform/System.h"
#include "settings/Base64.h"
#include "settings/MailAddress.h"
#include "settings/Text.h"

namespace norvo::settings {
namespace {

using enum ValueRule;

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool WholeNumberIn(std::string_view text, long low, long high) {
  if (!IsDigits(text) || text.size() > 5) return false;
  const long number = std::stol(std::string(text));
  return number >= low && number <= high;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A name inside a folder: no separator of this platform (nor "/", which
// every platform takes), and not a step up or aside.
bool IsPlainName(std::string_view text) {
  return text.find_first_of(std::string("/") + platform::kPathSeparator) == std::string_view::npos &&
         text != "." && text != ".." && !HasLineBreak(text);
}

// ",a,b," with every part allowed; "," alone when `none_allowed`.
template <typename Allowed>
bool CommaList(std::string_view text, bool none_allowed, Allowed allowed) {
  if (text.size() < 1 || text.front() != ',' || text.back() != ',') return false;
  if (text == ",") return none_allowed;
  const std::vector<std::string> parts = Split(text.substr(1, text.size() - 2), ",");
  return std::all_of(parts.begin(), parts.end(), allowed);
}

// "DD-MM-YYYY hh:mm" with a real month, day, hour and minute.
bool IsRunDate(std::string_view text) {
  constexpr std::string_view kShape = "99-99-9999 99:99";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == '9' ? !digit : text[i] != kShape[i]) return false;
  }
  return WholeNumberIn(text.substr(0, 2), 1, 31) && WholeNumberIn(text.substr(3, 2), 1, 12) &&
         WholeNumberIn(text.substr(11, 2), 0, 23) && WholeNumberIn(text.substr(14, 2), 0, 59);
}

bool Allowed(ValueRule rule, std::string_view value) {
  switch (rule) {
    case kText:
      return true;
    case kBase64:
      return DecodeStoredSetting(value).has_value();
    case kFlag:
      return value == "0" || value == "1";
    case kCopyCount:
      return WholeNumberIn(value, 1, 32767);
    case kSlot:
      return WholeNumberIn(value, 0, 32767);
    case kFolder:
      return !HasLineBreak(value) && platform::IsAbsolutePath(value);
    case kFileName:
    case kPattern:
      return IsPlainName(value);
    case kSetKind:
      return value == "A" || value == "C";
    case kLoginKind:
      return value == kWindowsLoginKind || value == kServerLoginKind;
    case kDatabaseIds:
      return CommaList(value, true, [](const std::string& id) { return IsDigits(id) && id.size() <= 9; });
    case kDayList:
      return CommaList(value, false, [](const std::string& code) {
        return std::find(kWeekdayCodes.begin(), kWeekdayCodes.end(), code) != kWeekdayCodes.end();
      });
    case kTimeOfDay:
      return platform::ParseTaskTime(value).has_value();
    case kMail:
      return Validar_Mail(value);
    case kRunDate:
      return IsRunDate(value);
    case kItemList:
      return CommaList(value, true,
                       [](const std::string& item) { return !item.empty() && IsPlainName(item); });
  }
  return false;
}

}  // namespace

std::optional<std::string> ValueProblem(const SettingInfo& setting, std::string_view value) {
  const std::string name(setting.name);
  if (value.empty()) {
    if (setting.Required()) return name + " is not set";
    return std::nullopt;
  }
  if (Allowed(setting.rule, value)) return std::nullopt;
  std::string problem = name + " must be " + std::string(AllowedValues(setting.rule));
  if (!setting.Secret()) problem += ", not \"" + std::string(value) + "\"";
  return problem;
}

}  // namespace norvo::settings
