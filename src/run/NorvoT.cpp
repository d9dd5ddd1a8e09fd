#include "run/NorvoT.h"

#include <iostream>
#include <memory>
#include <string>

#include "Version.h"
#include "platform/EndRequest.h"
#include "platform/InstanceLock.h"
#include "run/BackupRun.h"
#include "run/ProgramPhases.h"
#include "settings/DisplayText.h"
#include "settings/ProviderConfig.h"

namespace norvo::run {
namespace {

// Lines carry texts from the account service, the FTP server and the store:
// shown escaped, none can forge a line of its own. A text that should take
// several lines is given one line at a time.
void Diagnostic(const std::string& line) {
  std::cerr << "Norvo_T: " << settings::DisplayText(line) << std::endl;
}

constexpr int kAllReached = 0;
constexpr int kEndedEarly = 1;
constexpr int kSomeFailed = 2;

const char kHelp[] =
    "Usage: Norvo_T\n"
    "Makes one backup run with the settings of the current user and ends.\n"
    "Exit status: 0 every item reached the cloud, 2 the run went through but an item or a\n"
    "report failed, 1 the run ended early (no account, a setting it refuses, interrupted).\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Environment: NORVO_REGISTRY (settings store), NORVO_PROVIDER_CONF (provider configuration).\n";

// Answers --help and --version; -1 when the run should go on.
int HandleArguments(int argc, char** argv) {
  if (argc <= 1) return -1;
  const std::string arg = argv[1];
  if (argc == 2 && arg == "--help") {
    std::cout << kHelp;
    return 0;
  }
  if (argc == 2 && arg == "--version") {
    std::cout << "Norvo_T " << kVersion << "\n";
    return 0;
  }
  std::cerr << "Norvo_T takes no arguments (see --help)\n";
  return kEndedEarly;
}

// 0 when every item reached the cloud and every report went out; 2 when the
// run went through with failed items or reports; 1 when it ended early.
int ExitStatus(const RunResult& result, bool requestFailed) {
  if (result.end != RunEnd::Completed) return kEndedEarly;
  return result.errors.empty() && result.recorded && !requestFailed ? kAllReached : kSomeFailed;
}

}  // namespace

int NorvoTMain(int argc, char** argv) {
  if (int answered = HandleArguments(argc, argv); answered >= 0) return answered;
  // SIGTERM, SIGINT and SIGHUP end the run through its handler: the archiver
  // is ended, the interruption reported, nothing saved.
  platform::CatchEndRequests();
  std::unique_ptr<platform::InstanceLock> lock;
  std::string why;
  switch (platform::TryInstanceLock(platform::RunLockFile(), lock, &why)) {
    case platform::LockOutcome::Busy:
      Diagnostic("another backup run of this user is going on; this one ends without touching anything");
      return kEndedEarly;
    case platform::LockOutcome::Failed:
      Diagnostic("cannot take the run lock (" + why + "); running without it");
      break;
    case platform::LockOutcome::Acquired:
      // An archiver left running after this run was killed keeps the next
      // run out until it ends, so no two work on the same files.
      lock->HoldInChildren();
      break;
  }
  const settings::ProviderConfig provider = settings::ProviderConfigOrDefaults();
  RunEnvironment environment;
  environment.phases = ProgramPhases(provider, Diagnostic);
  // A failed request after the lookup is a report that did not arrive.
  auto requestFailed = std::make_shared<bool>(false);
  environment.service = ProviderAccountService(provider, [requestFailed](const std::string& why) {
    *requestFailed = true;
    Diagnostic("a request to the account service failed: " + why);
  });
  environment.diagnostic = Diagnostic;
  environment.endRequest = [] { return platform::EndRequestName(); };
  const RunResult result = BackupRun(std::move(environment)).Run();
  return ExitStatus(result, *requestFailed);
}

}  // namespace norvo::run
