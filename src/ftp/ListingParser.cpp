#include "ftp/ListingParser.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "ftp/FileTime.h"
#include "settings/Text.h"

namespace norvo::ftp {
namespace {

struct Token {
  std::string_view text;
  size_t end;  // position just past the token in the line
};

std::vector<Token> Tokens(std::string_view line, size_t limit) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size() && tokens.size() < limit) {
    while (i < line.size() && line[i] == ' ') ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) tokens.push_back({line.substr(start, i - start), i});
  }
  return tokens;
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The number of digits `text`, which must be all digits.
int64_t Number(std::string_view text) {
  int64_t value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

int MonthNumber(std::string_view text) {
  static const char* kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                  "jul", "aug", "sep", "oct", "nov", "dec"};
  for (int m = 0; m < 12; ++m) {
    if (settings::EqualsIgnoreCase(text, kMonths[m])) return m + 1;
  }
  return 0;
}

bool IsDotName(std::string_view name) { return name.empty() || name == "." || name == ".."; }

// Names that no entry can have: the folder itself, its parent, and names
// holding line ends or NUL (a listing line that ran into the next one).
bool IsUnusableName(std::string_view name) {
  return IsDotName(name) || name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// "YYYYMMDDHHMMSS[.sss]" to a file time; 0 when malformed.
uint64_t ParseMlsdTime(std::string_view value) {
  if (value.size() < 14 || !AllDigits(value.substr(0, 14))) return 0;
  auto part = [&](size_t at, size_t len) { return static_cast<int>(Number(value.substr(at, len))); };
  return FileTimeFromUtc(part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2), part(12, 2));
}

}  // namespace

std::optional<FindData> ParseMlsdLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  size_t space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  FindData entry;
  entry.name = std::string(line.substr(space + 1));
  if (IsUnusableName(entry.name)) return std::nullopt;
  std::string_view facts = line.substr(0, space);
  // Every fact ends in ";", so a fact part that does not is no MLSD line.
  if (!facts.empty() && facts.back() != ';') return std::nullopt;
  while (!facts.empty()) {
    size_t semi = facts.find(';');
    std::string_view fact = facts.substr(0, semi);
    facts = semi == std::string_view::npos ? std::string_view() : facts.substr(semi + 1);
    size_t eq = fact.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = fact.substr(0, eq), value = fact.substr(eq + 1);
    using settings::EqualsIgnoreCase;
    if (EqualsIgnoreCase(key, "type")) {
      if (EqualsIgnoreCase(value, "cdir") || EqualsIgnoreCase(value, "pdir")) return std::nullopt;
      if (EqualsIgnoreCase(value, "dir")) entry.attributes = kAttrDirectory;
    } else if (EqualsIgnoreCase(key, "size") && AllDigits(value)) {
      entry.size = Number(value);
    } else if (EqualsIgnoreCase(key, "modify")) {
      entry.last_write_time = ParseMlsdTime(value);
    } else if (EqualsIgnoreCase(key, "create")) {
      entry.creation_time = ParseMlsdTime(value);
    }
  }
  if (entry.creation_time == 0) entry.creation_time = entry.last_write_time;
  entry.last_access_time = entry.last_write_time;
  return entry;
}

namespace {

bool IsUnixMode(std::string_view mode) {
  if (mode.size() < 10 || std::string_view("-dlbcpsD").find(mode[0]) == std::string_view::npos) return false;
  for (size_t i = 1; i < 10; ++i) {
    if (std::string_view("rwxsStTl-").find(mode[i]) == std::string_view::npos) return false;
  }
  return true;
}

// The UTC year of a moment, kept within the years a file time can hold.
int UtcYear(std::time_t now) {
  using namespace std::chrono;
  constexpr sys_seconds kFirst = sys_days{year{1602} / January / 1};
  constexpr sys_seconds kLast = sys_days{year{30000} / January / 1};
  const sys_seconds moment = std::clamp(sys_seconds{seconds{now}}, kFirst, kLast);
  return static_cast<int>(year_month_day{floor<days>(moment)}.year());
}

// The year of a "Mon dd hh:mm" date: this year, or last year when the date
// would otherwise lie more than a day ahead of now.
int InferYear(int month, int day, int hour, int minute, std::time_t now) {
  int year = UtcYear(now);
  uint64_t stamp = FileTimeFromUtc(year, month, day, hour, minute, 0);
  constexpr std::time_t kOneDay = std::chrono::seconds{std::chrono::days{1}}.count();
  if (stamp == 0 || UnixFromFileTime(stamp) > now + kOneDay) --year;
  return year;
}

// The time of "hh:mm" or the year of "yyyy"; false when neither.
bool ParseTimeOrYear(std::string_view text, int* hour, int* minute, int* year) {
  if (text.size() == 4 && AllDigits(text)) {
    *year = static_cast<int>(Number(text));
    return true;
  }
  size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() - colon != 3) return false;
  if (!AllDigits(text.substr(0, colon)) || !AllDigits(text.substr(colon + 1))) return false;
  *hour = static_cast<int>(Number(text.substr(0, colon)));
  *minute = static_cast<int>(Number(text.substr(colon + 1)));
  return true;
}

}  // namespace

std::optional<FindData> ParseUnixListLine(std::string_view line, std::time_t now) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  std::vector<Token> tokens = Tokens(line, 12);
  if (tokens.size() < 6 || !IsUnixMode(tokens[0].text)) return std::nullopt;
  // The date is the first "Mon dd time-or-year" after the size; the owner and
  // group columns vary between servers, so it is found rather than counted.
  for (size_t i = 2; i + 2 < tokens.size(); ++i) {
    int month = MonthNumber(tokens[i].text);
    if (month == 0 || !AllDigits(tokens[i - 1].text) || !AllDigits(tokens[i + 1].text)) continue;
    int day = static_cast<int>(Number(tokens[i + 1].text));
    int hour = 0, minute = 0, year = 0;
    if (!ParseTimeOrYear(tokens[i + 2].text, &hour, &minute, &year)) continue;
    if (year == 0) year = InferYear(month, day, hour, minute, now);
    size_t name_start = tokens[i + 2].end + 1;
    if (name_start > line.size()) return std::nullopt;
    FindData entry;
    entry.name = std::string(line.substr(name_start));
    if (tokens[0].text[0] == 'l') {
      size_t arrow = entry.name.find(" -> ");
      if (arrow != std::string::npos) entry.name.resize(arrow);
    }
    if (IsUnusableName(entry.name)) return std::nullopt;
    entry.attributes = tokens[0].text[0] == 'd' ? kAttrDirectory : kAttrNormal;
    entry.size = Number(tokens[i - 1].text);
    entry.last_write_time = FileTimeFromUtc(year, month, day, hour, minute, 0);
    entry.creation_time = entry.last_access_time = entry.last_write_time;
    return entry;
  }
  return std::nullopt;
}

namespace {

// "MM-DD-YY" or "MM-DD-YYYY".
bool ParseDosDate(std::string_view text, int* year, int* month, int* day) {
  if ((text.size() != 8 && text.size() != 10) || text[2] != '-' || text[5] != '-') return false;
  std::string_view m = text.substr(0, 2), d = text.substr(3, 2), y = text.substr(6);
  if (!AllDigits(m) || !AllDigits(d) || !AllDigits(y)) return false;
  *month = static_cast<int>(Number(m));
  *day = static_cast<int>(Number(d));
  *year = static_cast<int>(Number(y));
  if (y.size() == 2) *year += *year < 70 ? 2000 : 1900;
  return true;
}

// "hh:mmAM" / "hh:mmPM" (or a 24-hour "hh:mm").
bool ParseDosTime(std::string_view text, int* hour, int* minute) {
  bool pm = false, am = false;
  if (text.size() == 7) {
    pm = settings::AsciiLower(text[5]) == 'p';
    am = settings::AsciiLower(text[5]) == 'a';
    if ((!pm && !am) || settings::AsciiLower(text[6]) != 'm') return false;
    text = text.substr(0, 5);
  }
  if (text.size() != 5 || text[2] != ':' || !AllDigits(text.substr(0, 2)) || !AllDigits(text.substr(3)))
    return false;
  *hour = static_cast<int>(Number(text.substr(0, 2)));
  *minute = static_cast<int>(Number(text.substr(3)));
  if ((am || pm) && (*hour < 1 || *hour > 12)) return false;
  if (am && *hour == 12) *hour = 0;
  if (pm && *hour != 12) *hour += 12;
  return true;
}

}  // namespace

std::optional<FindData> ParseDosListLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  std::vector<Token> tokens = Tokens(line, 3);
  if (tokens.size() < 3) return std::nullopt;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (!ParseDosDate(tokens[0].text, &year, &month, &day) || !ParseDosTime(tokens[1].text, &hour, &minute)) {
    return std::nullopt;
  }
  FindData entry;
  if (tokens[2].text == "<DIR>") {
    entry.attributes = kAttrDirectory;
  } else if (AllDigits(tokens[2].text)) {
    entry.size = Number(tokens[2].text);
  } else {
    return std::nullopt;
  }
  size_t name_start = line.find_first_not_of(' ', tokens[2].end);
  if (name_start == std::string_view::npos) return std::nullopt;
  entry.name = std::string(line.substr(name_start));
  if (IsUnusableName(entry.name)) return std::nullopt;
  entry.last_write_time = FileTimeFromUtc(year, month, day, hour, minute, 0);
  entry.creation_time = entry.last_access_time = entry.last_write_time;
  return entry;
}

std::optional<FindData> ParseListLine(std::string_view line, std::time_t now) {
  if (auto entry = ParseUnixListLine(line, now)) return entry;
  return ParseDosListLine(line);
}

std::vector<FindData> ParseListing(std::string_view text, bool machine, std::time_t now) {
  std::vector<FindData> entries;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    auto entry = machine ? ParseMlsdLine(line) : ParseListLine(line, now);
    if (entry) entries.push_back(std::move(*entry));
  }
  return entries;
}

}  // namespace norvo::ftp
