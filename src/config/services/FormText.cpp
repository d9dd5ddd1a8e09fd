#include "config/services/FormText.h"

#include <vector>

#include "platform/Scheduler.h"
#include "settings/Text.h"

namespace norvo::config {

std::string getPath(std::string_view sPath, std::string_view caracter) {
  if (sPath.empty() || caracter.empty()) return "";
  const std::size_t last = sPath.rfind(caracter);
  if (last == std::string_view::npos) return "";
  return std::string(sPath.substr(0, last + caracter.size()));
}

std::string JoinFileEntry(const FileEntry& entry) {
  std::string line = entry.kind;
  for (const std::string* field : {&entry.folder, &entry.name, &entry.subfolders}) {
    line += kEntrySeparator;
    line += *field;
  }
  return line;
}

FileEntry SplitFileEntry(std::string_view line) {
  std::vector<std::string> fields = settings::Split(line, kEntrySeparator);
  while (fields.size() > 4) {  // a folder that itself holds the separator
    fields[1] += std::string(kEntrySeparator) + fields[2];
    fields.erase(fields.begin() + 2);
  }
  fields.resize(4);
  return FileEntry{fields[0], fields[1], fields[2], fields[3]};
}

FileSet FileSetOfEntry(std::string_view line) {
  const FileEntry entry = SplitFileEntry(line);
  FileSet set;
  if (entry.kind.empty()) return set;
  set.ruta = entry.folder;
  set.nom = entry.kind == "ARC" ? entry.name : "";
  set.tipo = entry.kind.substr(0, 1);
  set.sub = entry.subfolders;
  set.fil = entry.kind == "CAR" ? entry.name : "";
  return set;
}

std::optional<std::string> EntryOfFileSet(const FileSet& set) {
  if (set.ruta.empty()) return std::nullopt;
  const bool file = set.tipo == "A";
  return JoinFileEntry(FileEntry{file ? "ARC" : "CAR", set.ruta, file ? set.nom : set.fil, set.sub});
}

std::string DayText(const std::array<bool, 7>& ticked) {
  std::string text;
  for (std::size_t i = 0; i < kDayCodes.size(); ++i) {
    if (!ticked[i]) continue;
    text += ',';
    text += kDayCodes[i];
  }
  return text + ",";
}

bool DayTicked(std::string_view day_text, std::size_t box) {
  if (box >= kDayCodes.size()) return false;
  return day_text.find("," + std::string(kDayCodes[box]) + ",") != std::string_view::npos;
}

std::optional<char> FilterCopiesChar(char typed) {
  if (typed == '.') return ',';
  if (typed == 8 || typed == 13 || typed == ',' || (typed >= '0' && typed <= '9')) return typed;
  return std::nullopt;
}

bool IsStartTime(std::string_view text) { return platform::ParseTaskTime(text).has_value(); }

}  // namespace norvo::config
