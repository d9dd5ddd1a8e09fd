#include "settings/SettingNames.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <string>
#include <vector>

#include "settings/Text.h"

namespace norvo::settings {
namespace {

using enum ValueRule;

// The words of the README's table of settings: `norvo-settings describe`
// prints them and a test holds the two together. The file sets' values come
// once for each set after Resp_Archivo, from kFileSetRows.
constexpr SettingInfo kTable[] = {
    {kCliente, "the customer's account code at the provider (set-customer CODE stores it)", kBase64,
     "the run finds no account and ends", kRequired},
    {kClave, "the access password of the tray program's menu", kText, "the menu asks for no password",
     kSecret},
    {kRespArchivo, "back up the file sets", kFlag, "a run stops: Resp_Archivo is not set", kRequired},
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

// One row of a file set's values; its name and meaning gain the set's number.
// A missing folder skips the set.
constexpr SettingInfo kFileSetRows[] = {
    {kRespArchRuta, "its folder (for a single file, ending in /)", kFolder, ""},
    {kRespArchNom, "the file's name, when the set is one file", kFileName, "no file"},
    {kRespArchTipo, "one file (A) or the files of a folder (C)", kSetKind, "C"},
    {kRespArchSub, "also the matching files of its subfolders", kFlag, "0"},
    {kRespArchFil, "the pattern of the folder's files to back up", kPattern, "no file"},
};

// The whole table, built once; its texts live as long as the program.
struct FullTable {
  std::deque<std::string> texts;
  std::vector<SettingInfo> rows;

  std::string_view Keep(std::string text) { return texts.emplace_back(std::move(text)); }

  FullTable() {
    const auto firstFileSetRow =
        std::find_if(std::begin(kTable), std::end(kTable),
                     [](const SettingInfo& row) { return row.name == kRespArchivo; }) +
        1;
    rows.assign(std::begin(kTable), firstFileSetRow);
    for (int set = 1; set <= kFileSetCount; ++set) {
      const std::string prefix = "file set " + std::to_string(set) + ": ";
      for (SettingInfo row : kFileSetRows) {
        if (row.when_missing.empty()) row.when_missing = Keep("set " + std::to_string(set) + " is skipped");
        row.name = Keep(FileSetValueName(row.name, set));
        row.meaning = Keep(prefix + std::string(row.meaning));
        rows.push_back(row);
      }
    }
    rows.insert(rows.end(), firstFileSetRow, std::end(kTable));
  }
};

const FullTable& Table() {
  static const FullTable table;
  return table;
}

}  // namespace

std::string FileSetValueName(std::string_view base, int set) {
  std::string name(base);
  if (set != 1) name += std::to_string(set);
  return name;
}

std::span<const SettingInfo> SettingTable() { return Table().rows; }

const SettingInfo* FindSetting(std::string_view name) {
  for (const SettingInfo& setting : Table().rows) {
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
