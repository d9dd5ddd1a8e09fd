// Stand-in for the RAR command-line tool in the Windows tests, where the run
// can only wait for a Windows program. Takes rar's command line:
//   rar_standin a [-df] [-r] [-hp<password>] [-dh] [--] ARCHIVE FILESPEC
//   rar_standin t|x -p<password>|-p- [-o+] [--] ARCHIVE [FOLDER]
// FILESPEC is a file, a folder (packed whole) or a folder and a wildcard
// pattern ("*.*" matches every name); -r also takes the subfolders' files.
// Names are kept relative to FILESPEC's folder, with "/". An existing
// archive is added to. Nothing matched: exit 10 and nothing created. -df
// deletes the packed files once the archive is written. The archive format
// is StandinArchive.h's, which the tests read.
// RAR_STANDIN_LOG names a file that receives each call's arguments as
// received: a count line, then "<length>:<bytes>" per argument.
// RAR_STANDIN_HOLD names a file that receives the stand-in's process id once
// it has started; it then waits (five minutes at most) as a tool busy with a
// large archive would, so that tests can end or kill the run meanwhile.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "StandinArchive.h"
#include "platform/System.h"

namespace fs = std::filesystem;
using norvo::test::StandinArchive;

namespace {

// Paths from and to the program's UTF-8 text.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8(const std::u8string& text) { return std::string(text.begin(), text.end()); }

void HoldWhenAsked() {
  const std::string hold = norvo::platform::EnvironmentValue("RAR_STANDIN_HOLD");
  if (hold.empty()) return;
  {
    std::ofstream out(PathOf(hold), std::ios::binary | std::ios::trunc);
    out << GetCurrentProcessId();
  }
  Sleep(5 * 60 * 1000);
}

void LogCall(const std::vector<std::string>& args) {
  const std::string log = norvo::platform::EnvironmentValue("RAR_STANDIN_LOG");
  if (log.empty()) return;
  std::ofstream out(PathOf(log), std::ios::binary | std::ios::app);
  out << args.size() << "\n";
  for (const std::string& arg : args) out << arg.size() << ":" << arg << "\n";
}

// "*" and "?" wildcards, without regard to case as on Windows.
bool Matches(const std::string& pattern, const std::string& name, std::size_t p = 0, std::size_t n = 0) {
  if (p == pattern.size()) return n == name.size();
  if (pattern[p] == '*') {
    for (std::size_t k = n; k <= name.size(); ++k) {
      if (Matches(pattern, name, p + 1, k)) return true;
    }
    return false;
  }
  if (n == name.size()) return false;
  const bool same = pattern[p] == '?' || std::tolower(static_cast<unsigned char>(pattern[p])) ==
                                             std::tolower(static_cast<unsigned char>(name[n]));
  return same && Matches(pattern, name, p + 1, n + 1);
}

std::vector<std::pair<fs::path, std::string>> Select(const std::string& spec, bool recurse,
                                                     const fs::path& archive) {
  std::vector<std::pair<fs::path, std::string>> found;
  const fs::path path = PathOf(spec);
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return {{path, Utf8(path.filename().u8string())}};
  fs::path folder = path;
  std::string pattern = "*";
  if (!fs::is_directory(path, ec)) {
    folder = path.parent_path();
    pattern = Utf8(path.filename().u8string());
  } else {
    recurse = true;
  }
  if (pattern == "*.*") pattern = "*";
  if (!fs::is_directory(folder, ec)) return found;
  auto take = [&](const fs::directory_entry& entry) {
    if (!entry.is_regular_file() || fs::equivalent(entry.path(), archive, ec)) return;
    if (!Matches(pattern, Utf8(entry.path().filename().u8string()))) return;
    std::string name = Utf8(fs::relative(entry.path(), folder).generic_u8string());
    found.emplace_back(entry.path(), name);
  };
  if (recurse) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) take(entry);
  } else {
    for (const auto& entry : fs::directory_iterator(folder)) take(entry);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  return found;
}

int Add(const std::vector<std::string>& args) {
  bool remove = false, recurse = false, has_password = false;
  std::string password;
  std::vector<std::string> operands;
  bool switches = true;  // until "--" or the first operand
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    switches = switches && operands.empty();
    if (switches && arg == "--") {
      switches = false;
    } else if (switches && arg.rfind("-hp", 0) == 0) {
      has_password = true;
      password = arg.substr(3);
    } else if (switches && (arg == "-df" || arg == "-r" || arg == "-dh")) {
      remove = remove || arg == "-df";
      recurse = recurse || arg == "-r";
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.size() != 2) {
    std::cerr << "rar_standin: a needs ARCHIVE and FILESPEC\n";
    return 7;
  }
  const fs::path archive_path = PathOf(operands[0]);
  const auto files = Select(operands[1], recurse, archive_path);
  if (files.empty()) {
    std::cerr << "No files to add\n";
    return 10;
  }
  StandinArchive archive;
  if (auto old = norvo::test::ReadStandinArchive(archive_path.string())) archive = *old;
  archive.has_password = has_password;
  archive.password = password;
  for (const auto& file : files) {
    const std::string& name = file.second;
    std::ifstream in(file.first, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto same = std::find_if(archive.members.begin(), archive.members.end(),
                             [&](const auto& member) { return member.first == name; });
    if (same != archive.members.end()) archive.members.erase(same);
    archive.members.emplace_back(name, std::move(bytes));
  }
  fs::path temporary = archive_path;
  temporary += ".standin_tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << norvo::test::SerializeStandin(archive);
    if (!out.flush()) {
      std::cerr << "Write error in the archive\n";
      return 5;
    }
  }
  std::error_code ec;
  fs::rename(temporary, archive_path, ec);
  if (ec) return 5;
  if (remove) {
    for (const auto& [path, name] : files) fs::remove(path, ec);
  }
  return 0;
}

// t (test) and x (extract into FOLDER): rar_standin t|x -p<password>|-p- [-o+] [--] ARCHIVE [FOLDER].
// The format keeps no checksums: a test reads the archive whole and checks
// the password (exit 11 when it differs, 3 when the archive does not read).
int Check(const std::vector<std::string>& args) {
  std::string password;
  std::vector<std::string> operands;
  bool switches = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (switches && arg == "--") {
      switches = false;
    } else if (switches && arg.rfind("-p", 0) == 0) {
      password = arg == "-p-" ? "" : arg.substr(2);
    } else if (!(switches && arg == "-o+")) {
      operands.push_back(arg);
    }
  }
  const auto archive = operands.empty() ? std::nullopt : norvo::test::ReadStandinArchive(operands[0]);
  if (!archive) {
    std::cerr << "The archive is corrupt\n";
    return 3;
  }
  if (archive->has_password && archive->password != password) {
    std::cerr << "Incorrect password\n";
    return 11;
  }
  if (args[0] != "x" || operands.size() < 2) return 0;
  for (const auto& [name, bytes] : archive->members) {
    const fs::path target = PathOf(operands[1]) / PathOf(name);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!(out << bytes).flush()) return 9;  // rar's file create error
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args = norvo::platform::ProgramArguments(argc, argv);
    LogCall(args);
    HoldWhenAsked();
    if (!args.empty() && args[0] == "a") return Add(args);
    if (!args.empty() && (args[0] == "t" || args[0] == "x")) return Check(args);
    std::cerr << "usage: rar_standin a [-df] [-r] [-hp<password>] [-dh] [--] ARCHIVE FILESPEC\n";
    return 7;
  } catch (const std::exception& failure) {
    std::cerr << "rar_standin: " << failure.what() << "\n";
    return 2;  // rar's fatal error
  }
}
