#include "settings/SettingNames.h"

#include <array>

namespace norvo::settings {
namespace {

using enum ValueRule;

constexpr std::array kTable = {
    SettingInfo{kCliente, "the customer's account code at the provider", kBase64, "the run finds no account"},
    SettingInfo{kClave, "access password of the tray program", kText, "no password is asked"},
    SettingInfo{kRespArchivo, "file backup on", kFlag, "the run ends"},
    SettingInfo{"Resp_ArchRuta", "folder of file set 1", kFolder, "the set is skipped"},
    SettingInfo{"Resp_ArchNom", "file of single-file set 1", kFileName, "no file"},
    SettingInfo{"Resp_ArchTipo", "kind of file set 1", kSetKind, "a folder"},
    SettingInfo{"Resp_ArchSub", "file set 1 takes its subfolders", kFlag, "no subfolders"},
    SettingInfo{"Resp_ArchFil", "file pattern of folder set 1", kPattern, "no pattern"},
    SettingInfo{"Resp_ArchRuta2", "folder of file set 2", kFolder, "the set is skipped"},
    SettingInfo{"Resp_ArchNom2", "file of single-file set 2", kFileName, "no file"},
    SettingInfo{"Resp_ArchTipo2", "kind of file set 2", kSetKind, "a folder"},
    SettingInfo{"Resp_ArchSub2", "file set 2 takes its subfolders", kFlag, "no subfolders"},
    SettingInfo{"Resp_ArchFil2", "file pattern of folder set 2", kPattern, "no pattern"},
    SettingInfo{"Resp_ArchRuta3", "folder of file set 3", kFolder, "the set is skipped"},
    SettingInfo{"Resp_ArchNom3", "file of single-file set 3", kFileName, "no file"},
    SettingInfo{"Resp_ArchTipo3", "kind of file set 3", kSetKind, "a folder"},
    SettingInfo{"Resp_ArchSub3", "file set 3 takes its subfolders", kFlag, "no subfolders"},
    SettingInfo{"Resp_ArchFil3", "file pattern of folder set 3", kPattern, "no pattern"},
    SettingInfo{kRespBase, "database backup on", kFlag, "the run ends"},
    SettingInfo{kRespBaseSer, "SQL Server host", kText, "no host"},
    SettingInfo{kRespBaseIns, "SQL Server instance", kText, "the default instance"},
    SettingInfo{kRespBaseAut, "kind of SQL Server login", kLoginKind, "a SQL Server login"},
    SettingInfo{kRespBaseUsr, "SQL Server login name", kText, "no name"},
    SettingInfo{kRespBasePas, "SQL Server login password", kText, "no password"},
    SettingInfo{kRespBaseBas, "databases to back up", kDatabaseIds, "no database is backed up"},
    SettingInfo{kRespSeguPas, "password of the backup archives", kText, "archives without password"},
    SettingInfo{kRespProgSem, "days of the weekly run", kDayCodes, "no day"},
    SettingInfo{kRespProgHora, "time of the weekly run", kTimeOfDay, "no time"},
    SettingInfo{kRespProgCopias, "copies kept in the cloud", kNumber, "0"},
    SettingInfo{kRespRespUCopia, "copy slot of the last run", kNumber, "0"},
    SettingInfo{kRespProgEnv, "notice after a run without errors", kBoolean, "the run ends"},
    SettingInfo{kRespProgMail, "mail address of that notice", kMail, "none"},
    SettingInfo{kRespProgRespLoc, "keep a local copy of each archive", kFlag, "no local copy is kept"},
    SettingInfo{kRespDrive, "place of the work folder", kFolder, "the run chooses a local disk"},
    SettingInfo{kRespProgWDom, "domain of the account that runs the weekly task", kBase64, "none"},
    SettingInfo{kRespProgWUsr, "user of the account that runs the weekly task", kBase64, "none"},
    SettingInfo{kRespProgWPas, "password of the account that runs the weekly task", kBase64, "none"},
    SettingInfo{kRespRespFecha, "date and time of the last run", kRunDate, "nothing is shown"},
    SettingInfo{kRespRespCompleta, "date and time of the last run whose every item reached the cloud",
                kRunDate, "no complete copy yet: the tray warns"},
};

}  // namespace

std::string FileSetValueName(std::string_view base, int set) {
  std::string name(base);
  if (set != 1) name += std::to_string(set);
  return name;
}

std::span<const SettingInfo> SettingTable() { return kTable; }

}  // namespace norvo::settings
