// Step 5 of the run: every setting read at its start, converted as the run
// uses them. A conversion that fails ends the run.
#include <optional>

#include "run/BackupRun.h"
#include "settings/Conversions.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::run {
namespace {

using settings::ReadSetting;

std::optional<std::int16_t> Number16(std::string_view name) {
  return settings::ToInt16(settings::LeadingNumber(ReadSetting(name)));
}

std::string Named(std::string_view name, const char* problem) { return std::string(name) + problem; }

// A value the run cannot convert: missing, or not what it should be.
std::string Unusable(std::string_view name, std::string_view value, const char* problem) {
  return Named(name, value.empty() ? " is not set" : problem);
}

}  // namespace

bool BackupRun::ReadSettings() {
  RunSettings& s = settings_;
  s.server = ReadSetting(settings::kRespBaseSer);
  s.instance = ReadSetting(settings::kRespBaseIns);
  s.user = ReadSetting(settings::kRespBaseUsr);
  s.password = ReadSetting(settings::kRespBasePas);
  s.archivePassword = ReadSetting(settings::kRespSeguPas);
  for (int k = 1; k <= settings::kFileSetCount; ++k) {
    FileSetSettings& set = s.sets[k - 1];
    set.sub = ReadSetting(settings::FileSetValueName(settings::kRespArchSub, k));
    set.path = ReadSetting(settings::FileSetValueName(settings::kRespArchRuta, k));
    set.name = ReadSetting(settings::FileSetValueName(settings::kRespArchNom, k));
    set.kind = ReadSetting(settings::FileSetValueName(settings::kRespArchTipo, k));
    set.pattern = ReadSetting(settings::FileSetValueName(settings::kRespArchFil, k));
  }
  auto copies = Number16(settings::kRespProgCopias);
  if (!copies) return Fail(Named(settings::kRespProgCopias, " is out of range"));
  auto lastSlot = Number16(settings::kRespRespUCopia);
  if (!lastSlot) return Fail(Named(settings::kRespRespUCopia, " is out of range"));
  s.copies = *copies;
  s.lastSlot = *lastSlot;
  s.cliente = ReadSetting(settings::kCliente);
  const std::string env = ReadSetting(settings::kRespProgEnv);
  auto notify = settings::ToBoolean(env);
  if (!notify) return Fail(Unusable(settings::kRespProgEnv, env, " is not a Boolean"));
  s.notify = *notify;
  s.mail = ReadSetting(settings::kRespProgMail);
  s.keepLocal.assign(1, ReadSetting(settings::kRespProgRespLoc) == "1" ? 'S' : 'N');
  return true;
}

}  // namespace norvo::run
