#include "run/ArchiverRar.h"

#include "platform/System.h"

namespace norvo::run {
namespace {

constexpr int kRarOpenError = 6;
constexpr int kRarWrongPassword = 11;

// What rar's documented exit codes mean, for the error report.
std::string RarExitMeaning(int code) {
  switch (code) {
    case 2:
      return " (fatal error)";
    case 3:
      return " (checksum error)";
    case 4:
      return " (locked archive)";
    case 5:
      return " (write error, e.g. the disk is full)";
    case 6:
      return " (file open error)";
    case 7:
      return " (wrong command line option)";
    case 8:
      return " (not enough memory)";
    case 9:
      return " (file create error)";
    case 11:
      return " (wrong password)";
    case 12:
      return " (read error)";
    case 255:
      return " (stopped by the user)";
    default:
      return "";
  }
}

}  // namespace

std::string FindRarTool(const std::string& rarPath, const std::string& programFolder) {
  if (!rarPath.empty()) return rarPath;
  const std::string beside = programFolder + "rar" + platform::kProgramSuffix;
  if (platform::FileExists(beside)) return beside;
  return "rar";
}

std::vector<std::string> RarArguments(const std::string& tool, std::int16_t recurse, const std::string& files,
                                      const std::string& archive, const std::string& password,
                                      const std::string& deleteFlag) {
  std::vector<std::string> argv{tool, "a"};
  if (deleteFlag == "S") argv.push_back("-df");
  if (recurse == 1) argv.push_back("-r");
  if (!password.empty()) argv.push_back("-hp" + password);
  argv.push_back("-dh");
  argv.push_back("--");  // the switches end: a path that starts with "-" stays a path
  argv.push_back(archive);
  argv.push_back(files);
  return argv;
}

std::string RarCommandLine(const std::string& tool, std::int16_t recurse, const std::string& files,
                           const std::string& archive, const std::string& password,
                           const std::string& deleteFlag) {
  std::string line = tool + " a ";
  if (deleteFlag == "S") line += "-df";
  if (recurse == 1) line += " -r";
  if (!password.empty()) line += " -hp" + password;
  line += " -dh -- ";
  line += "\"" + archive + "\" \"" + files + "\"";
  return line;
}

std::string RarArchiver::Describe() const { return "the RAR tool (" + tool_ + ")"; }

std::string RarArchiver::Prepare(const ArchiveJob& job, ArchiverCommand* command) const {
  command->argv =
      RarArguments(tool_, job.recurse, job.files, job.archive, job.password, job.deleteSources ? "S" : "N");
  return "OK";
}

// Exit codes 0 (success), 1 (non-fatal warnings) and 10 (no files matched)
// leave the archive test to decide; 6 (open error) with an archive written
// means the tool packed what it could and left out sources it could not open
// (locked or unreadable): the archive is sound, the item not whole. The others
// are fatal errors, after which an archive that exists may be partial or left
// over from an earlier run.
ArchiverExit RarArchiver::ReadExit(int code, std::string* meaning) const {
  if (code == 0 || code == 1 || code == 10) return ArchiverExit::Success;
  if (code == kRarOpenError) return ArchiverExit::Partial;
  *meaning = RarExitMeaning(code);
  return ArchiverExit::Fatal;
}

// -p- tells the tool there is no password, so it never waits for one.
void RarArchiver::PrepareCheck(const std::string& archive, const std::string& password,
                               const std::string& extractTo, ArchiverCommand* command) const {
  command->argv = {tool_, extractTo.empty() ? "t" : "x", password.empty() ? "-p-" : "-p" + password};
  if (!extractTo.empty()) command->argv.push_back("-o+");
  command->argv.insert(command->argv.end(), {"--", archive});
  if (!extractTo.empty()) command->argv.push_back(extractTo);
}

// The tool's exit code 11 is a wrong password; any other failure (3, a
// checksum error; 2, a broken archive) means the archive cannot be trusted.
ArchiveCheck RarArchiver::ReadCheck(int code, const std::string& /*said*/) const {
  if (code == 0) return ArchiveCheck::Passed;
  return code == kRarWrongPassword ? ArchiveCheck::WrongPassword : ArchiveCheck::Damaged;
}

}  // namespace norvo::run
