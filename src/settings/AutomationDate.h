#pragma once
// Automation dates: days since 30 December 1899 (midnight) as a double, with
// the fraction giving the time of day, in local time.
#include <ctime>
#include <string>

namespace norvo::settings {

double ToAutomationDate(std::time_t moment);
std::time_t FromAutomationDate(double date);
// "DD-MM-YYYY hh:mm": two-digit day and month, four-digit year, 24-hour clock.
std::string FormatRunDate(std::time_t moment);

}  // namespace norvo::settings
