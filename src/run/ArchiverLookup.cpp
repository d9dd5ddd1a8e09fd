#include "run/ArchiverLookup.h"

#include <cstdlib>

#include "platform/System.h"
#include "run/ArchiverRar.h"
#include "run/ArchiverSevenZip.h"

namespace norvo::run {
namespace {

const char* const kSevenZipNames[] = {"7zz", "7z"};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

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
  search.searchPath = Environment("PATH");
  // Set on Windows only; 7-Zip's installer puts it in "<Program Files>\7-Zip".
  for (const char* variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
    const std::string folder = Environment(variable);
    if (!folder.empty()) {
      search.sevenZipFolders.push_back(folder + platform::kPathSeparator + "7-Zip" +
                                       platform::kPathSeparator);
    }
  }
  return search;
}

std::string FindOnPath(const std::string& name, const std::string& searchPath) {
  std::size_t start = 0;
  while (start <= searchPath.size()) {
    std::size_t end = searchPath.find(platform::kPathListSeparator, start);
    if (end == std::string::npos) end = searchPath.size();
    std::string folder = searchPath.substr(start, end - start);
    // Windows allows a folder of PATH in double quotes.
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (!folder.empty()) {
      if (folder.back() != '/' && folder.back() != platform::kPathSeparator)
        folder += platform::kPathSeparator;
      const std::string candidate = folder + name + platform::kProgramSuffix;
      if (platform::FileExists(candidate)) return candidate;
    }
    start = end + 1;
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
  std::string why;
  std::unique_ptr<Archiver> archiver;
  if (search.choice != ArchiverChoice::SevenZip) {
    const std::string rar = FoundRarTool(search);
    if (!rar.empty()) archiver = std::make_unique<RarArchiver>(rar);
    if (!archiver && search.choice == ArchiverChoice::Rar) {
      why = "no RAR tool was found (rar_path, rar beside the program, rar on PATH)";
      archiver = std::make_unique<RarArchiver>("rar");
    }
  }
  if (!archiver) {
    const std::string sevenZip = FindSevenZip(search);
    if (!sevenZip.empty()) {
      archiver = std::make_unique<SevenZipArchiver>(sevenZip, search.level);
    } else if (search.choice == ArchiverChoice::SevenZip) {
      why = "no 7-Zip was found (archiver_path, 7zz or 7z); install the 7zip package";
      archiver = std::make_unique<SevenZipArchiver>("7zz", search.level);
    } else {
      why = "no archiver was found (rar, 7zz or 7z); install the 7zip package";
      archiver = std::make_unique<RarArchiver>("rar");
    }
  }
  if (note != nullptr) *note = why;
  return archiver;
}

}  // namespace norvo::run
