#pragma once
// Packing an item into its archive with the archiver the provider chose (the
// RAR tool or 7-Zip, see Archiver.h): the archiver's program runs with its
// arguments as a vector (never a shell line), the run waits for it, and the
// archive it leaves is judged the same way whichever archiver made it.
#include <string>
#include <vector>

#include "platform/ProcessIO.h"
#include "run/Archiver.h"

namespace norvo::run {

inline constexpr const char* kNoFilesToPack = "No existen archivo(s) para comprimir";
// An archive was written but some sources are not in it: this text, the
// archive's name, kUnreadSources and what could not be read.
inline constexpr const char* kIncompleteArchive = "Respaldo incompleto ";
inline constexpr const char* kUnreadSources = ", no se pudieron leer: ";

// Starts the program and blocks until it has ended (no polling): "OK", or the
// failure's description. *ended, when given, receives how it ended and the
// end of what it wrote on standard error; its standard output is dropped.
std::string RunAndWait(const std::vector<std::string>& argv, platform::ChildRun* ended = nullptr,
                       const platform::ChildRunOptions& options = {});

// Packs the job with the archiver: "OK" when the archive exists afterwards,
// kNoFilesToPack when nothing matched, kIncompleteArchive... when it was
// written without some sources (it stays, to be uploaded), or the failure's
// description. A program ended by a signal, stopped because Norvo_T was asked
// to end (platform/EndRequest.h), or ending with a fatal exit code (a full
// disk) gives its own description, and any archive it left behind is removed.
// The program ends with Norvo_T, however that ends (ProcessOptions).
std::string BuildArchiveWith(const Archiver& archiver, const ArchiveJob& job);

}  // namespace norvo::run
