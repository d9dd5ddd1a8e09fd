#pragma once
// The texts of the configuration window that carry data: the mail address
// check (settings/MailAddress.h), folder of a path, the file-list entry and its stored set, the day
// text, the copies box filter and the start time.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/MailAddress.h"
#include "settings/SettingNames.h"

namespace norvo::config {

using settings::Validar_Mail;

// sPath up to and including the last `caracter`; empty when either is empty
// or the character does not occur.
std::string getPath(std::string_view sPath, std::string_view caracter);

// One line of the file list: kind "ARC" (a file) or "CAR" (a folder), the
// folder, the file name or pattern, and "1"/"0" for subfolders.
struct FileEntry {
  std::string kind;
  std::string folder;
  std::string name;
  std::string subfolders;
};
inline constexpr std::string_view kEntrySeparator = " | ";
std::string JoinFileEntry(const FileEntry& entry);
// Missing fields are empty; extra separators are taken to belong to the folder.
FileEntry SplitFileEntry(std::string_view line);

// The five stored values of one set of files (Resp_ArchRuta, Resp_ArchNom,
// Resp_ArchTipo, Resp_ArchSub, Resp_ArchFil).
struct FileSet {
  std::string ruta;
  std::string nom;
  std::string tipo;
  std::string sub;
  std::string fil;
};
// The values a list line saves to; a line without a kind saves empty values.
FileSet FileSetOfEntry(std::string_view line);
// The list line of stored values; nothing when the set has no folder.
std::optional<std::string> EntryOfFileSet(const FileSet& set);

// The seven day codes in the order of the day boxes, Monday first.
inline constexpr const auto& kDayCodes = settings::kWeekdayCodes;
// ",MON,FRI," for the ticked boxes; "," for none.
std::string DayText(const std::array<bool, 7>& ticked);
// Whether the day text holds the box's code between commas.
bool DayTicked(std::string_view day_text, std::size_t box);

// A character typed into the copies box: "." becomes ","; digits, ",",
// backspace (8) and Enter (13) pass; anything else is dropped (nothing).
std::optional<char> FilterCopiesChar(char typed);

// Whether the time box holds a time of day "hh:mm".
bool IsStartTime(std::string_view text);

}  // namespace norvo::config
