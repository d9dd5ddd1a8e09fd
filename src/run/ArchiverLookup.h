#pragma once
// Which archiver a run uses and where its program is. The RAR tool is found
// as rar_path, else rar in the program folder, else rar on PATH; 7-Zip as
// archiver_path, else 7zz, else 7z, each in the program folder, in 7-Zip's
// usual folders (Windows: "%ProgramFiles%\7-Zip\") or on PATH. With the
// choice "auto" the RAR tool is used when it is found, else 7-Zip.
#include <memory>
#include <string>
#include <vector>

#include "run/Archiver.h"
#include "settings/ProviderConfig.h"

namespace norvo::run {

struct ArchiverSearch {
  settings::ArchiverChoice choice = settings::ArchiverChoice::Auto;
  std::string rarPath;       // rar_path of the provider file
  std::string sevenZipPath;  // archiver_path of the provider file
  int level = settings::kDefaultArchiverLevel;
  std::string programFolder;                 // ends with the separator
  std::string searchPath;                    // the value of PATH
  std::vector<std::string> sevenZipFolders;  // 7-Zip's usual folders, each ending with the separator
};

// The search on this computer for the provider's choice: the program
// folder, PATH and the usual folders from the environment.
ArchiverSearch ArchiverSearchFor(const settings::ProviderConfig& provider);

// The file `name` (with the platform's program suffix) in the first folder
// of searchPath that holds it; empty when none does.
std::string FindOnPath(const std::string& name, const std::string& searchPath);

// The 7-Zip program, or empty when none is found.
std::string FindSevenZip(const ArchiverSearch& search);

// The archiver to use, or null when the provider's choice finds no program;
// *note (when given) then says on one line what to install or set, e.g.
// "no archiver found: install 7zip (or rar), or set archiver_path in the
// provider file".
std::unique_ptr<Archiver> FindArchiver(const ArchiverSearch& search, std::string* note = nullptr);

// The run's error report (Spanish) for an archiver that was not found.
std::string MissingArchiverReport(settings::ArchiverChoice choice);

}  // namespace norvo::run
