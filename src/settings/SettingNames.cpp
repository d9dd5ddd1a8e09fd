#include "settings/SettingNames.h"

#include "settings/Text.h"

namespace norvo::settings {
namespace {

using enum ValueRule;

// The words of the README's table of settings: `norvo-settings describe`
// prints them and a test holds the two together.
constexpr SettingInfo kTable[] = {
    {kCliente, "the customer's account code at the provider (set-customer CODE stores it)", kBase64,
     "the run finds no account and ends", kRequired},
    {kClave, "the access password of the tray program's menu", kText, "the menu asks for no password",
     kSecret},
    {kRespArchivo, "back up the file sets", kFlag, "a run stops: Resp_Archivo is not set", kRequired},
    {"Resp_ArchRuta", "file set 1: its folder (for a single file, ending in /)", kFolder, "set 1 is skipped"},
    {"Resp_ArchNom", "file set 1: the file's name, when the set is one file", kFileName, "no file"},
    {"Resp_ArchTipo", "file set 1: one file (A) or the files of a folder (C)", kSetKind, "C"},
    {"Resp_ArchSub", "file set 1: also the matching files of its subfolders", kFlag, "0"},
    {"Resp_ArchFil", "file set 1: the pattern of the folder's files to back up", kPattern, "no file"},
    {"Resp_ArchRuta2", "file set 2: its folder (for a single file, ending in /)", kFolder,
     "set 2 is skipped"},
    {"Resp_ArchNom2", "file set 2: the file's name, when the set is one file", kFileName, "no file"},
    {"Resp_ArchTipo2", "file set 2: one file (A) or the files of a folder (C)", kSetKind, "C"},
    {"Resp_ArchSub2", "file set 2: also the matching files of its subfolders", kFlag, "0"},
    {"Resp_ArchFil2", "file set 2: the pattern of the folder's files to back up", kPattern, "no file"},
    {"Resp_ArchRuta3", "file set 3: its folder (for a single file, ending in /)", kFolder,
     "set 3 is skipped"},
    {"Resp_ArchNom3", "file set 3: the file's name, when the set is one file", kFileName, "no file"},
    {"Resp_ArchTipo3", "file set 3: one file (A) or the files of a folder (C)", kSetKind, "C"},
    {"Resp_ArchSub3", "file set 3: also the matching files of its subfolders", kFlag, "0"},
    {"Resp_ArchFil3", "file set 3: the pattern of the folder's files to back up", kPattern, "no file"},
    {kRespBase, "back up SQL Server databases", kFlag, "a run stops: Resp_Base is not set", kRequired},
    {kRespBaseSer, "SQL Server: its host, or host,port", kText, "no server"},
    {kRespBaseIns, "SQL Server: the instance name", kText, "the default instance"},
    {kRespBaseAut, "SQL Server: the kind of login", kLoginKind, "Aut2"},
    {kRespBaseUsr, "SQL Server: the login name of an Aut2 login", kText, "no name"},
    {kRespBasePas, "SQL Server: the password of an Aut2 login", kText, "no password", kSecret},
    {kRespBaseBas, "the databases to back up, by their ids", kDatabaseIds, "no database"},
    {kRespSeguPas, "the password of the archives", kText, "archives without a password", kSecret},
    {kRespProgSem, "the days of the weekly run (schedule writes it)", kDayList, "no day"},
    {kRespProgHora, "the time of the weekly run (schedule writes it)", kTimeOfDay, "no time"},
    {kRespProgCopias, "how many copies of each item the cloud keeps", kCopyCount,
     "0: every run uses copy slot 1"},
    {kRespRespUCopia, "the copy slot of the last run (the run writes it)", kSlot, "0"},
    {kRespProgEnv, "ask the provider to mail a notice after a run without errors", kFlag,
     "a run stops: Resp_ProgEnv is not set", kRequired},
    {kRespProgMail, "the address of that notice", kMail, "none"},
    {kRespProgRespLoc, "keep each archive in the work folder after its upload", kFlag, "0"},
    {kRespDrive, "the folder that holds the work folder TEMP_Norvo", kFolder,
     "the writable local disk with the most free space"},
    {kRespProgWDom, "the domain of the account that runs the weekly task (schedule --account writes it)",
     kBase64, "none", kSecret},
    {kRespProgWUsr, "the user of that account (schedule --account writes it)", kBase64,
     "the user who registers the task", kSecret},
    {kRespProgWPas, "the password of that account (schedule --password-stdin writes it)", kBase64, "none",
     kSecret},
    {kRespRespFecha, "the date and time of the last run (the run writes it)", kRunDate, "nothing is shown"},
    {kRespRespCompleta,
     "the date and time of the last run whose every item reached the cloud (the run writes it)", kRunDate,
     "no complete copy yet: the tray warns"},
    {kRespVerifTurno,
     "the items whose copies the restore drill tested, longest ago first (the run writes it)", kItemList,
     "no item tested yet"},
    {kRespVerifCuenta, "the runs since the last restore drill (the run writes it)", kSlot, "0"},
    {kRespVerifFecha, "the date and time of the last copy that passed the restore drill (the run writes it)",
     kRunDate, "no copy tested yet"},
    {kRespVerifCopia, "the name of that copy (the run writes it)", kFileName, "no copy tested yet"},
};

}  // namespace

std::string FileSetValueName(std::string_view base, int set) {
  std::string name(base);
  if (set != 1) name += std::to_string(set);
  return name;
}

std::span<const SettingInfo> SettingTable() { return kTable; }

const SettingInfo* FindSetting(std::string_view name) {
  for (const SettingInfo& setting : kTable) {
    if (EqualsIgnoreCase(setting.name, name)) return &setting;
  }
  return nullptr;
}

std::string_view AllowedValues(ValueRule rule) {
  switch (rule) {
    case kText:
      return "any text";
    case kBase64:
      return "Base64 text";
    case kFlag:
      return "1 (yes) or 0 (no)";
    case kCopyCount:
      return "a whole number from 1 to 32767";
    case kSlot:
      return "a whole number from 0 to 32767";
    case kFolder:
      return "an absolute folder path";
    case kFileName:
      return "a file name without its folder";
    case kPattern:
      return "a file name pattern with * and ?, without a folder (*.xls, *.*)";
    case kSetKind:
      return "A or C";
    case kLoginKind:
      return "Aut1 (the task account's own login: Windows authentication) or Aut2 (a SQL Server login)";
    case kDatabaseIds:
      return "database ids between commas (,5,7,)";
    case kDayList:
      return "day codes MON TUE WED THU FRI SAT SUN between commas (,MON,FRI,)";
    case kTimeOfDay:
      return "hh:mm on the 24-hour clock (23:30)";
    case kMail:
      return "a mail address";
    case kRunDate:
      return "DD-MM-YYYY hh:mm";
    case kItemList:
      return "item names between commas (,BD05,ARC1,)";
  }
  return "";
}

}  // namespace norvo::settings
