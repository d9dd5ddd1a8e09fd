#pragma once
// The RAR command-line tool as the run's archiver: `rar a` with its switches
// for deleting the sources, recursing, the password (-hp, names hidden too)
// and files held open by other programs.
#include <cstdint>
#include <string>
#include <vector>

#include "run/Archiver.h"

namespace norvo::run {

// The RAR tool to run: the provider's rar_path when set, else rar in the
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

class RarArchiver : public Archiver {
 public:
  explicit RarArchiver(std::string tool) : tool_(std::move(tool)) {}
  std::string Describe() const override;
  std::string Prepare(const ArchiveJob& job, ArchiverCommand* command) const override;
  ArchiverExit ReadExit(int code, std::string* meaning) const override;
  void PrepareCheck(const std::string& archive, const std::string& password, const std::string& extractTo,
                    ArchiverCommand* command) const override;
  ArchiveCheck ReadCheck(int code, const std::string& said) const override;

 private:
  std::string tool_;
};

}  // namespace norvo::run
