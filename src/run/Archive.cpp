#include "run/Archive.h"

#include <cctype>
#include <string_view>

#include "platform/System.h"

namespace norvo::run {
namespace {

const std::string kOk = "OK";

// What a program wrote on standard error, as one line short enough for a
// report: runs of blanks and line ends become one blank, and a cut never
// splits a UTF-8 sequence.
std::string OneLine(std::string_view text, std::size_t limit = 300) {
  std::string line;
  for (const char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  if (line.size() <= limit) return line;
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
  return line.substr(0, cut) + "...";
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The report of an archive written without some of its sources: the names
// the archiver was not given, and what it said about those it could not read.
std::string IncompleteText(const ArchiveJob& job, const ArchiverCommand& command, bool partial,
                           const std::string& said) {
  std::string unread;
  for (const std::string& name : command.notPacked) unread += (unread.empty() ? "" : ", ") + name;
  if (partial && !said.empty()) unread += (unread.empty() ? "" : "; ") + said;
  return kIncompleteArchive + FileNameOf(job.archive) + kUnreadSources + OneLine(unread);
}

// Removes what a failed run left; says so in the failure text.
std::string RemoveLeftovers(const ArchiveJob& job, const ArchiverCommand& command) {
  for (const std::string& leftover : command.leftovers) platform::RemoveFile(leftover);
  if (!platform::FileExists(job.archive)) return "";
  return platform::RemoveFile(job.archive) ? "; its archive was removed"
                                           : "; its archive could not be removed";
}

}  // namespace

std::string RunAndWait(const std::vector<std::string>& argv, platform::ChildRun* ended,
                       const platform::ChildRunOptions& options) {
  platform::ChildRun run = platform::RunChild(argv, options);
  const platform::ProcessResult result = run.result;
  if (ended != nullptr) *ended = std::move(run);
  if (!result.error.empty()) return result.error;
  if (!result.started) return "cannot start the program";
  return kOk;
}

std::string BuildArchiveWith(const Archiver& archiver, const ArchiveJob& job) {
  ArchiverCommand command;
  const std::string prepared = archiver.Prepare(job, &command);
  if (prepared != kOk) return prepared;
  platform::ChildRun ended;
  const std::string result = RunAndWait(command.argv, &ended, command.options);
  for (const std::string& file : command.workFiles) platform::RemoveFile(file);
  if (result != kOk) return result;
  const std::string& tool = command.argv.front();
  const std::string said = OneLine(ended.error_tail);
  std::string failure;
  ArchiverExit exit = ArchiverExit::Success;
  if (ended.result.stopped) {
    failure = tool + " was stopped, since Norvo_T was asked to end";
  } else if (ended.result.signal != 0) {
    failure = tool + " was ended by signal " + std::to_string(ended.result.signal);
  } else {
    std::string meaning;
    exit = archiver.ReadExit(ended.result.exit_code, &meaning);
    if (exit == ArchiverExit::Fatal) {
      failure = tool + " failed with exit code " + std::to_string(ended.result.exit_code) + meaning;
    }
  }
  if (!failure.empty()) {
    // A program that crashed or failed cannot vouch for an archive it leaves
    // behind: a partial one must never be uploaded over a good copy.
    failure += RemoveLeftovers(job, command);
    return said.empty() ? failure : failure + ": " + said;
  }
  if (!platform::FileExists(job.archive)) return kNoFilesToPack;
  const bool partial = exit == ArchiverExit::Partial;
  if (partial || !command.notPacked.empty()) return IncompleteText(job, command, partial, said);
  return kOk;
}

}  // namespace norvo::run
