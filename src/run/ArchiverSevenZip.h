#pragma once
// 7-Zip (7zz, or 7z) as the run's archiver. It writes 7z archives (under the
// slot's ".RAR" name): AES-256 with the names hidden when there is a
// password, which it reads from its standard input, so the password never
// shows in the process list. It is handed the exact list of files that the
// item names (FindSourceFiles), so the recurse flag and the wildcards keep
// the meaning they have with the RAR tool.
#include <string>

#include "run/Archiver.h"

namespace norvo::run {

// The archive password cannot be fed on a line of standard input.
inline constexpr const char* kPasswordWithLineBreak =
    "La contraseña del archivo tiene un salto de línea y 7-Zip no la puede usar";

class SevenZipArchiver : public Archiver {
 public:
  SevenZipArchiver(std::string program, int level) : program_(std::move(program)), level_(level) {}
  std::string Describe() const override;
  std::string Prepare(const ArchiveJob& job, ArchiverCommand* command) const override;
  ArchiverExit ReadExit(int code, std::string* meaning) const override;
  void PrepareCheck(const std::string& archive, const std::string& password, const std::string& extractTo,
                    ArchiverCommand* command) const override;
  ArchiveCheck ReadCheck(int code, const std::string& said) const override;

 private:
  std::string program_;
  int level_;
};

}  // namespace norvo::run
