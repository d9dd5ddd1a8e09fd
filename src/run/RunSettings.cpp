// Step 5 of the run: every setting read at its start, converted as the run
// uses them. A conversion that fails ends the run.
#include <optional>

#include "run/BackupRun.h"
#include "settings/Conversions.h"
#include "settings/Settings.h"

namespace norvo::run {
namespace {

using settings::ReadSetting;

std::optional<std::int16_t> Number16(const char* name) {
  return settings::ToInt16(settings::LeadingNumber(ReadSetting(name)));
}

}  // namespace

bool BackupRun::ReadSettings() {
  RunSettings& s = settings_;
  s.server = ReadSetting("Resp_BaseSer");
  s.instance = ReadSetting("Resp_BaseIns");
  s.user = ReadSetting("Resp_BaseUsr");
  s.password = ReadSetting("Resp_BasePas");
  s.archivePassword = ReadSetting("Resp_SeguPas");
  const char* suffixes[] = {"", "2", "3"};
  for (int k = 0; k < 3; ++k) {
    const std::string suffix = suffixes[k];
    FileSetSettings& set = s.sets[k];
    set.sub = ReadSetting("Resp_ArchSub" + suffix);
    set.path = ReadSetting("Resp_ArchRuta" + suffix);
    set.name = ReadSetting("Resp_ArchNom" + suffix);
    set.kind = ReadSetting("Resp_ArchTipo" + suffix);
    set.pattern = ReadSetting("Resp_ArchFil" + suffix);
  }
  auto copies = Number16("Resp_ProgCopias");
  if (!copies) return Fail("Resp_ProgCopias is out of range");
  auto lastSlot = Number16("Resp_RespUCopia");
  if (!lastSlot) return Fail("Resp_RespUCopia is out of range");
  s.copies = *copies;
  s.lastSlot = *lastSlot;
  s.cliente = ReadSetting("Cliente");
  auto notify = settings::ToBoolean(ReadSetting("Resp_ProgEnv"));
  if (!notify) return Fail("Resp_ProgEnv is not a Boolean");
  s.notify = *notify;
  s.mail = ReadSetting("Resp_ProgMail");
  s.keepLocal.assign(1, ReadSetting("Resp_ProgRespLoc") == "1" ? 'S' : 'N');
  return true;
}

}  // namespace norvo::run
