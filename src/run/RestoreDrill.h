#pragma once
// The restore drill after a run: one copy that the run has just stored is
// downloaded from the cloud into the work folder, the way the cloud browser
// restores it, and tested with the archiver and the password it was made
// with; a database copy's dump is also read back by the server. The items
// take turns, the one tested longest ago first, so over the runs every item
// is proven to restore. A drill never changes a copy in the cloud, and its
// downloaded and extracted files are removed whatever the result.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ftp/RestoreDownload.h"
#include "run/Archiver.h"

namespace norvo::run {

// The report of a copy that failed its drill: this text, the copy's name,
// kDrillFailedReason and one of the reasons below.
inline constexpr const char* kDrillFailedCopy = "La copia ";
inline constexpr const char* kDrillFailedReason = " no se pudo verificar: ";
inline constexpr const char* kDrillNoDownload = "no se pudo descargar";
inline constexpr const char* kDrillWrongPassword = "contraseña incorrecta";
inline constexpr const char* kDrillDamaged = "archivo dañado";
inline constexpr const char* kDrillUnopened = "contraseña incorrecta o archivo dañado";
inline constexpr const char* kDrillNoArchiver = "el archivador no pudo probarla";
inline constexpr const char* kDrillNoDump = "el respaldo de la base de datos no está en la copia";
inline constexpr const char* kDrillServerRefused = "el servidor no pudo leer el respaldo";

// A copy that this run stored in the cloud.
struct StoredCopy {
  std::string item;         // the item's name without its slot: BD05, ARC1
  std::string archive;      // the copy's name in the cloud: BD05C001.RAR
  std::uintmax_t size = 0;  // its size in bytes
  bool database = false;    // a database copy: its dump is read back by the server too
};

// The item of a copy's name: the name up to its last "C" (BD05C001.RAR: BD05).
std::string ItemOfCopy(const std::string& archive);

// The copy to test: of the copies no larger than maxBytes, the first whose
// item is not in `turn` (never tested), else the one whose item comes first
// in it (tested longest ago). Nothing when every copy is too large.
std::optional<std::size_t> ChooseCopy(const std::vector<StoredCopy>& copies,
                                      const std::vector<std::string>& turn, std::uintmax_t maxBytes);

// The turn once `item` was tested: the item moves to its end.
std::vector<std::string> TurnAfter(std::vector<std::string> turn, const std::string& item);

// What one drill needs to know of the copy and the cloud.
struct DrillJob {
  std::string host, user, password;  // the cloud's log-on
  std::string computerFolder;        // where the copy is
  std::string archive;               // the copy's name
  std::string workFolder;            // ends with the separator
  std::string archivePassword;       // the password the copy was made with
  bool database = false;
};

// The routines of a drill, set up by the program.
struct DrillTools {
  std::shared_ptr<const Archiver> archiver;
  ftp::RestoreRequest download;  // the provider's time-outs, TLS, cap and retries, as every download
  // Asks the server whether it can restore the dump at `path`: "OK" or the
  // server's description of the failure.
  std::function<std::string(const std::string& path)> verifyDump;
  std::function<void(const std::string&)> diagnostic;
};

// Downloads and tests the copy: "OK", or the reason (Spanish, one of the
// kDrill... reasons) it failed; the details go to the diagnostic.
std::string DrillCopy(const DrillTools& tools, const DrillJob& job);

}  // namespace norvo::run
