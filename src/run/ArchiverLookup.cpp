#include "run/ArchiverLookup.h"

#include "platform/System.h"
#include "run/ArchiverRar.h"
#include "run/ArchiverSevenZip.h"
#include "settings/Text.h"

namespace norvo::run {
namespace {

const char* const kSevenZipNames[] = {"7zz", "7z"};

// The RAR tool when it is there to run: the provider's path is taken as it is.
std::string FoundRarTool(const ArchiverSearch& search) {
  const std::string tool = FindRarTool(search.rarPath, search.programFolder);
  if (tool != "rar") return tool;
  return FindOnPath("rar", search.searchPath);
}

}  // namespace

ArchiverSearch ArchiverSearchFor(const settings::ProviderConfig& provider) {
  ArchiverSearch search;
  search.choice = provider.archiver;
  search.rarPath = provider.rar_path;
  search.sevenZipPath = provider.archiver_path;
  search.level = provider.archiver_level;
  search.programFolder = platform::ProgramFolder();
  search.searchPath = platform::EnvironmentValue("PATH");
  // Set on Windows only; 7-Zip's installer puts it in "<Program Files>\7-Zip".
  for (const char* variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
    const std::string folder = platform::EnvironmentValue(variable);
    if (!folder.empty()) {
      search.sevenZipFolders.push_back(folder + platform::kPathSeparator + "7-Zip" +
                                       platform::kPathSeparator);
    }
  }
  return search;
}

std::string FindOnPath(const std::string& name, const std::string& searchPath) {
  for (std::string folder : settings::Split(searchPath, std::string_view(&platform::kPathListSeparator, 1))) {
    // Windows allows a folder of PATH in double quotes.
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (folder.empty()) continue;
    if (folder.back() != '/' && folder.back() != platform::kPathSeparator) folder += platform::kPathSeparator;
    const std::string candidate = folder + name + platform::kProgramSuffix;
    if (platform::FileExists(candidate)) return candidate;
  }
  return "";
}

std::string FindSevenZip(const ArchiverSearch& search) {
  if (!search.sevenZipPath.empty()) return search.sevenZipPath;
  std::vector<std::string> folders{search.programFolder};
  folders.insert(folders.end(), search.sevenZipFolders.begin(), search.sevenZipFolders.end());
  for (const char* name : kSevenZipNames) {
    for (const std::string& folder : folders) {
      const std::string program = folder + name + platform::kProgramSuffix;
      if (platform::FileExists(program)) return program;
    }
    std::string onPath = FindOnPath(name, search.searchPath);
    if (!onPath.empty()) return onPath;
  }
  return "";
}

std::unique_ptr<Archiver> FindArchiver(const ArchiverSearch& search, std::string* note) {
  using settings::ArchiverChoice;
  if (note != nullptr) note->clear();
  if (search.choice != ArchiverChoice::SevenZip) {
    const std::string rar = FoundRarTool(search);
    if (!rar.empty()) return std::make_unique<RarArchiver>(rar);
  }
  if (search.choice != ArchiverChoice::Rar) {
    const std::string sevenZip = FindSevenZip(search);
    if (!sevenZip.empty()) return std::make_unique<SevenZipArchiver>(sevenZip, search.level);
  }
  if (note != nullptr) {
    switch (search.choice) {
      case ArchiverChoice::Auto:
        *note = "no archiver found: install 7zip (or rar), or set archiver_path in the provider file";
        break;
      case ArchiverChoice::Rar:
        *note = "no RAR tool found (archiver = rar): install rar, or set rar_path in the provider file";
        break;
      case ArchiverChoice::SevenZip:
        *note = "no 7-Zip found (archiver = 7z): install 7zip, or set archiver_path in the provider file";
        break;
    }
  }
  return nullptr;
}

std::string MissingArchiverReport(settings::ArchiverChoice choice) {
  switch (choice) {
    case settings::ArchiverChoice::Rar:
      return "No se encontró el programa rar: instálelo o indique rar_path en el archivo del proveedor";
    case settings::ArchiverChoice::SevenZip:
      return "No se encontró 7-Zip: instale 7zip o indique archiver_path en el archivo del proveedor";
    case settings::ArchiverChoice::Auto:
      break;
  }
  return "No se encontró un programa compresor: instale 7zip (o rar) o indique archiver_path en el archivo "
         "del proveedor";
}

}  // namespace norvo::run
