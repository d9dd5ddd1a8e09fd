#pragma once
// norvo-settings's commands run in this process, on a private settings
// store, a private provider file and the crontab stand-in.
#include <sstream>
#include <string>
#include <vector>

#include "admin/SettingsTool.h"
#include "platform/System.h"
#include "support/Files.h"
#include "support/RegistrationFixtures.h"
#include "support/TempDir.h"

namespace norvo::test {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

class SettingsToolTest : public CrontabStandInTest {
 protected:
  ToolRun Tool(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    ToolRun run;
    run.status = admin::RunSettingsTool(args, {in, out, err});
    run.out = out.str();
    run.err = err.str();
    return run;
  }

  // The crontab line of the weekly task at `when`: the run reads this
  // fixture's store and provider file.
  std::string TaskLine(const std::string& when) const {
    return when + " NORVO_REGISTRY='" + home_ / "registry.db" + "' NORVO_PROVIDER_CONF='" +
           home_ / "provider.ini" + "' '" + platform::ProgramFolder() + "Norvo_T' # NORVO BACKUP";
  }

  TempDir home_;
  ScopedEnv registry_{"NORVO_REGISTRY", home_ / "registry.db"};
  ScopedEnv provider_{"NORVO_PROVIDER_CONF", home_ / "provider.ini"};
};

}  // namespace norvo::test
