// Times one restore drill of a copy, for bench/drill/run.sh to compare against
// `curl -o` followed by `7zz t` of the same file.
//   drill_bench HOST:PORT USER PASSWORD FOLDER/ ARCHIVE WORK_FOLDER/ ARCHIVE_PASSWORD
// Prints "total <s>": the whole drill (download, test, removal).
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "run/ArchiverSevenZip.h"
#include "run/RestoreDrill.h"

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(
        stderr, "usage: drill_bench HOST:PORT USER PASSWORD FOLDER/ ARCHIVE WORK_FOLDER/ ARCHIVE_PASSWORD\n");
    return 2;
  }
  norvo::run::DrillTools tools;
  tools.archiver = std::make_shared<norvo::run::SevenZipArchiver>("7zz", 1);
  tools.diagnostic = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
  const norvo::run::DrillJob job{argv[1], argv[2], argv[3], argv[4], argv[5], argv[6], argv[7], false};
  const auto start = std::chrono::steady_clock::now();
  const std::string result = norvo::run::DrillCopy(tools, job);
  const std::chrono::duration<double> total = std::chrono::steady_clock::now() - start;
  if (result != "OK") {
    std::fprintf(stderr, "%s\n", result.c_str());
    return 1;
  }
  std::printf("total %.3f\n", total.count());
  return 0;
}
