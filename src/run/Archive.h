#pragma once
// Packing an item into an archive with the RAR command-line tool. The tool
// gets its arguments as a vector (never a shell line), so blanks and quotes
// in passwords and paths are data; the Windows command line text is rendered
// by its own function for the Windows process backend.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace norvo::run {

inline constexpr const char* kNoFilesToPack = "No existen archivo(s) para comprimir";
// The error of an archive the tool wrote without some of the sources, which
// it could not open: "Respaldo incompleto: " + archive name + the reason.
inline constexpr const char* kIncompleteArchive = "Respaldo incompleto: ";
inline constexpr const char* kSourcesNotOpened = " no incluye archivos que no se pudieron abrir";

// The RAR tool to run: the provider's rar_path when set, else "rar" in the
// program folder when it is there, else "rar" (looked up on PATH).
std::string FindRarTool(const std::string& rarPath, const std::string& programFolder);

// The tool's arguments: a, -df when deleteFlag is "S", -r when recurse is 1,
// -hp<password> when there is one, -dh, "--" (no switches after it), the
// archive and the files.
std::vector<std::string> RarArguments(const std::string& tool, std::int16_t recurse, const std::string& files,
                                      const std::string& archive, const std::string& password,
                                      const std::string& deleteFlag);

// The same command as one Windows command line: tool + " a " + "-df" +
// " -r" + " -hp" + password + " -dh -- " + "\"archive\" \"files\"".
std::string RarCommandLine(const std::string& tool, std::int16_t recurse, const std::string& files,
                           const std::string& archive, const std::string& password,
                           const std::string& deleteFlag);

// Starts the program and blocks until it has ended (no polling): "OK", or the
// failure's description. *ended, when given, receives how it ended.
std::string RunAndWait(const std::vector<std::string>& argv, platform::ProcessResult* ended = nullptr);

// Packs files into archive with the given tool: "OK" when the archive exists
// afterwards, kNoFilesToPack when it does not, or the failure's description.
// A tool ended by a signal, stopped because Norvo_T was asked to end, or
// ending with a fatal exit code (a full disk is 5) gives its own description,
// and any archive it left behind is removed. An archive written while some
// sources could not be opened (exit code 6) stays, for the run to upload, and
// the result names it (kIncompleteArchive).
std::string BuildArchiveWith(const std::string& tool, std::int16_t recurse, const std::string& files,
                             const std::string& archive, const std::string& password,
                             const std::string& deleteFlag);

}  // namespace norvo::run
