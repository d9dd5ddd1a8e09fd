#pragma once
// Whether a text is one that a setting may hold: the rules of the table of
// settings, applied by norvo-settings before it writes a value and by its
// check of a whole store.
#include <optional>
#include <string>
#include <string_view>

#include "settings/SettingNames.h"

namespace norvo::settings {

// Nothing when the setting may hold the value; otherwise what is wrong, as a
// sentence that names the setting: "Resp_ProgCopias must be a whole number
// from 1 to 32767, not \"abc\"", or "Resp_ProgEnv is not set" for an empty
// required one. An empty value is fine for every other setting. The value of
// a secret setting is never repeated.
std::optional<std::string> ValueProblem(const SettingInfo& setting, std::string_view value);

}  // namespace norvo::settings
