#include "run/ItemNames.h"

namespace norvo::run {

std::string ZeroPadded(long number, int digits) {
  std::string text = std::to_string(number < 0 ? -number : number);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return number < 0 ? "-" + text : text;
}

std::string DumpBaseName(int dbid, std::int16_t slot) {
  return "BD" + ZeroPadded(dbid, 2) + "C" + ZeroPadded(slot, 3);
}

std::string FileSetArchiveName(const std::string& kind, int set, std::int16_t slot) {
  return "AR" + kind + std::to_string(set) + "C" + ZeroPadded(slot, 3) + ".RAR";
}

std::int16_t NextCopySlot(std::int16_t lastSlot, std::int16_t copies) {
  if (lastSlot >= copies || lastSlot < 0) return 1;
  return static_cast<std::int16_t>(lastSlot + 1);
}

}  // namespace norvo::run
