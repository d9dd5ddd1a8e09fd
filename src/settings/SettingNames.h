#pragma once
// The names of the stored settings, and one table that says of each what it
// means, what text it holds and what the programs do when it is missing.
// Every routine names a setting through these constants.
#include <array>
#include <span>
#include <string>
#include <string_view>

namespace norvo::settings {

inline constexpr std::string_view kCliente = "Cliente";
inline constexpr std::string_view kClave = "Clave";
inline constexpr std::string_view kRespArchivo = "Resp_Archivo";
inline constexpr std::string_view kRespBase = "Resp_Base";
inline constexpr std::string_view kRespBaseSer = "Resp_BaseSer";
inline constexpr std::string_view kRespBaseIns = "Resp_BaseIns";
inline constexpr std::string_view kRespBaseAut = "Resp_BaseAut";
inline constexpr std::string_view kRespBaseUsr = "Resp_BaseUsr";
inline constexpr std::string_view kRespBasePas = "Resp_BasePas";
inline constexpr std::string_view kRespBaseBas = "Resp_BaseBas";
inline constexpr std::string_view kRespSeguPas = "Resp_SeguPas";
inline constexpr std::string_view kRespProgSem = "Resp_ProgSem";
inline constexpr std::string_view kRespProgHora = "Resp_ProgHora";
inline constexpr std::string_view kRespProgCopias = "Resp_ProgCopias";
inline constexpr std::string_view kRespRespUCopia = "Resp_RespUCopia";
inline constexpr std::string_view kRespProgEnv = "Resp_ProgEnv";
inline constexpr std::string_view kRespProgMail = "Resp_ProgMail";
inline constexpr std::string_view kRespProgRespLoc = "Resp_ProgRespLoc";
inline constexpr std::string_view kRespDrive = "Resp_Drive";
inline constexpr std::string_view kRespProgWDom = "Resp_ProgWDom";
inline constexpr std::string_view kRespProgWUsr = "Resp_ProgWUsr";
inline constexpr std::string_view kRespProgWPas = "Resp_ProgWPas";
inline constexpr std::string_view kRespRespFecha = "Resp_RespFecha";
inline constexpr std::string_view kRespRespCompleta = "Resp_RespCompleta";
// The restore drill: the items in the order of their last test (longest ago
// first), the runs since the last drill, and the date and name of the last
// copy that passed.
inline constexpr std::string_view kRespVerifTurno = "Resp_VerifTurno";
inline constexpr std::string_view kRespVerifCuenta = "Resp_VerifCuenta";
inline constexpr std::string_view kRespVerifFecha = "Resp_VerifFecha";
inline constexpr std::string_view kRespVerifCopia = "Resp_VerifCopia";

// The seven day codes of Resp_ProgSem, Monday first (the order of the
// window's day boxes).
inline constexpr std::array<std::string_view, 7> kWeekdayCodes = {"MON", "TUE", "WED", "THU",
                                                                  "FRI", "SAT", "SUN"};

// The two texts of Resp_BaseAut: the system's own login, or a SQL Server login.
inline constexpr std::string_view kWindowsLoginKind = "Aut1";
inline constexpr std::string_view kServerLoginKind = "Aut2";

// The five values of each of the three sets of files, in the order a save
// writes them. Set 1 uses the name as it is, sets 2 and 3 add their number.
inline constexpr std::string_view kRespArchRuta = "Resp_ArchRuta";
inline constexpr std::string_view kRespArchNom = "Resp_ArchNom";
inline constexpr std::string_view kRespArchTipo = "Resp_ArchTipo";
inline constexpr std::string_view kRespArchSub = "Resp_ArchSub";
inline constexpr std::string_view kRespArchFil = "Resp_ArchFil";
inline constexpr std::string_view kFileSetValues[] = {kRespArchRuta, kRespArchNom, kRespArchTipo,
                                                      kRespArchSub, kRespArchFil};
inline constexpr int kFileSetCount = 3;
// "Resp_ArchRuta" for set 1, "Resp_ArchRuta2" for set 2.
std::string FileSetValueName(std::string_view base, int set);

// What a stored text may be.
enum class ValueRule {
  kText,         // any text
  kBase64,       // a text stored as Base64
  kFlag,         // "1" on, "0" off
  kCopyCount,    // a whole number from 1 to 32767
  kSlot,         // a whole number from 0 to 32767
  kFolder,       // an absolute folder path
  kFileName,     // a file name without a folder
  kPattern,      // a file name with * and ? wildcards, without a folder
  kSetKind,      // "A" a single file, "C" a folder
  kLoginKind,    // "Aut1" the system's login, "Aut2" a SQL Server login
  kDatabaseIds,  // database ids between commas: ",5,7,"
  kDayList,      // day codes between commas: ",MON,FRI,"
  kTimeOfDay,    // "hh:mm"
  kMail,         // a mail address
  kRunDate,      // "DD-MM-YYYY hh:mm"
  kItemList,     // item names between commas: ",BD05,ARC1,"
};

// How the programs treat a setting beyond its text.
enum SettingFlag : unsigned {
  kNoFlag = 0,
  kRequired = 1,  // a run stops (or finds no account) while it is not set
  kSecret = 2,    // a password or account field: listed masked
};

struct SettingInfo {
  std::string_view name;
  std::string_view meaning;
  ValueRule rule;
  std::string_view when_missing;  // the default: what the programs do while it is not set
  unsigned flags = kNoFlag;
  bool Required() const { return (flags & kRequired) != 0; }
  bool Secret() const { return (flags & kSecret) != 0; }
};

// Every setting of the store, the file sets' values once for each set.
std::span<const SettingInfo> SettingTable();
// The entry of a name (in any letter case), or null for a name the programs do not use.
const SettingInfo* FindSetting(std::string_view name);

// The values a rule allows, as the administrator reads them.
std::string_view AllowedValues(ValueRule rule);

}  // namespace norvo::settings
