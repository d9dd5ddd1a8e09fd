#pragma once
// The phases Norvo_T runs with: the database routines over ODBC, the real
// archiver and the cloud upload, set up from the provider configuration.
#include "run/RunPhases.h"
#include "settings/ProviderConfig.h"

namespace norvo::run {

// diagnostic receives the lines a routine has for the administrator.
RunPhases ProgramPhases(const settings::ProviderConfig& provider,
                        const std::function<void(const std::string&)>& diagnostic);

}  // namespace norvo::run
