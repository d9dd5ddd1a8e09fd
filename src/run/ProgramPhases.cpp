#include "run/ProgramPhases.h"

#include "platform/System.h"
#include "run/Archive.h"

namespace norvo::run {

RunPhases ProgramPhases(const settings::ProviderConfig& provider,
                        const std::function<void(const std::string&)>& diagnostic) {
  RunPhases phases;
  const std::string tool = FindRarTool(provider.rar_path, platform::ProgramFolder());
  phases.BuildArchive = [tool](std::int16_t recurse, const std::string& files, const std::string& archive,
                               const std::string& password, const std::string& deleteFlag) {
    return BuildArchiveWith(tool, recurse, files, archive, password, deleteFlag);
  };
  // Not connected yet: the SQL Server routines and the cloud upload are built
  // separately and replace these two stand-ins when they join the program.
  phases.OpenDatabase = [diagnostic](const std::string&, const std::string&, std::int16_t, const std::string&,
                                     const std::string&) {
    diagnostic("database access is not built into this Norvo_T yet");
    return false;
  };
  phases.ListDatabases = [](std::vector<DatabaseRow>&) {
    return std::string("database access is not built into this Norvo_T yet");
  };
  phases.DumpDatabase = [](const std::string&, const std::string&, const std::string&) {
    return std::string("database access is not built into this Norvo_T yet");
  };
  phases.UploadToCloud = [](const std::string&, const std::string&, const std::string&, const std::string&,
                            const std::string&, const std::string&, const std::string&) {
    return std::string("the cloud upload is not built into this Norvo_T yet");
  };
  return phases;
}

}  // namespace norvo::run
