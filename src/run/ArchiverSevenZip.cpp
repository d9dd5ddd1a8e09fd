#include "run/ArchiverSevenZip.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/System.h"
#include "run/Archive.h"
#include "run/ArchiveSources.h"
#include "run/Utf8Path.h"

namespace norvo::run {
namespace {

namespace fs = std::filesystem;

// The program runs in the sources' folder: paths given to it must not
// depend on where this program runs.
std::string Absolute(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(PathOfUtf8(path), ec);
  return ec ? path : Utf8OfPath(absolute.lexically_normal());
}

// Whether the file starts as a 7z archive does.
bool Is7zArchive(const std::string& path) {
  static const char kSignature[] = {'7', 'z', '\xBC', '\xAF', '\x27', '\x1C'};
  char head[sizeof(kSignature)] = {};
  std::ifstream in(PathOfUtf8(path), std::ios::binary);
  return in.read(head, sizeof(head)) && std::equal(head, head + sizeof(head), kSignature);
}

// One quoted name per line; 7-Zip takes them literally (-spd) and as UTF-8
// (-scsUTF-8). The list holds only names, but is kept private all the same.
bool WriteList(const std::string& list, const std::vector<std::string>& names, std::string* error) {
  {
    std::ofstream out(PathOfUtf8(list), std::ios::binary | std::ios::trunc);
    for (const std::string& name : names) out << '"' << name << "\"\n";
    out.flush();
    if (!out) {
      *error = "cannot write the list of files " + list;
      return false;
    }
  }
  std::error_code ec;
  fs::permissions(PathOfUtf8(list), fs::perms::owner_read | fs::perms::owner_write, ec);
  return true;
}

}  // namespace

std::string SevenZipArchiver::Describe() const {
  return "7-Zip (" + program_ + ", level " + std::to_string(level_) + ")";
}

std::string SevenZipArchiver::Prepare(const ArchiveJob& job, ArchiverCommand* command) const {
  if (job.password.find_first_of("\r\n") != std::string::npos) return kPasswordWithLineBreak;
  const std::string archive = Absolute(job.archive);
  const std::string list = archive + ".list";
  const std::string temporary = archive + ".tmp";  // where 7-Zip writes an archive it adds to
  SourceFiles sources = FindSourceFiles(job.files, job.recurse);
  std::vector<std::string> names;
  for (const std::string& name : sources.names) {
    const std::string full = Absolute(sources.folder + platform::kPathSeparator + name);
    if (full == archive || full == list || full == temporary) continue;
    // A line of the list cannot hold a line break.
    if (name.find_first_of("\r\n") != std::string::npos) {
      command->notPacked.push_back(name);
    } else {
      names.push_back(name);
    }
  }
  if (names.empty()) return kNoFilesToPack;
  for (const std::string& folder : sources.unreadable) command->notPacked.push_back(folder);
  // An archive of this slot left by another archiver cannot be added to; it
  // holds the slot's previous item, which this run replaces anyway.
  if (platform::FileExists(archive) && !Is7zArchive(archive)) platform::RemoveFile(archive);
  std::string error;
  if (!WriteList(list, names, &error)) {
    platform::RemoveFile(list);
    return error;
  }
  const bool hasPath = program_.find_first_of("/\\") != std::string::npos;
  std::vector<std::string>& argv = command->argv;
  argv = {hasPath ? Absolute(program_) : program_, "a", "-t7z", "-mx=" + std::to_string(level_)};
  if (!job.password.empty()) {
    // -p without a value: the password is read from standard input, once
    // more when an existing archive is opened to be added to.
    argv.insert(argv.end(), {"-p", "-mhe=on"});
    command->options.input = job.password + "\n" + job.password + "\n";
  }
  if (job.deleteSources) argv.push_back("-sdel");
  argv.insert(argv.end(),
              {"-ssw", "-spd", "-scsUTF-8", "-sccUTF-8", "-bso0", "-bsp0", "-i@" + list, "--", archive});
  command->options.working_folder = Absolute(sources.folder);
  command->workFiles = {list};
  command->leftovers = {temporary};
  return "OK";
}

// 7-Zip's documented exit codes: 1 is a warning, such as files it could not
// open, after which the archive holds the rest.
ArchiverExit SevenZipArchiver::ReadExit(int code, std::string* meaning) const {
  switch (code) {
    case 0:
      return ArchiverExit::Success;
    case 1:
      return ArchiverExit::Partial;
    case 2:
      *meaning = " (fatal error)";
      break;
    case 7:
      *meaning = " (wrong command line option)";
      break;
    case 8:
      *meaning = " (not enough memory)";
      break;
    case 255:
      *meaning = " (stopped by the user)";
      break;
    default:
      break;
  }
  return ArchiverExit::Fatal;
}

// Without -p, 7-Zip asks for the password of an encrypted archive on its
// standard input; an archive without one reads nothing.
void SevenZipArchiver::PrepareCheck(const std::string& archive, const std::string& password,
                                    const std::string& extractTo, ArchiverCommand* command) const {
  const bool hasPath = program_.find_first_of("/\\") != std::string::npos;
  std::vector<std::string>& argv = command->argv;
  argv = {hasPath ? Absolute(program_) : program_, extractTo.empty() ? "t" : "x", "-bso0", "-bsp0",
          "-sccUTF-8"};
  if (!extractTo.empty()) argv.insert(argv.end(), {"-y", "-o" + Absolute(extractTo)});
  argv.insert(argv.end(), {"--", Absolute(archive)});
  command->options.input = password + "\n";
}

// 7-Zip ends a failed test with 2 and says why: encrypted headers that do
// not open ask "Wrong password?" alone, whether the password is wrong or the
// headers are damaged (AES cannot tell); a member that fails its checksum
// says "CRC Failed" or "Data Error", and a file that is not an archive or is
// cut short says so.
ArchiveCheck SevenZipArchiver::ReadCheck(int code, const std::string& said) const {
  if (code == 0) return ArchiveCheck::Passed;
  if (said.find("Cannot open encrypted archive") != std::string::npos) return ArchiveCheck::Unopened;
  return ArchiveCheck::Damaged;
}

}  // namespace norvo::run
