// Times one BuildArchive with 7-Zip, for bench/archive/run.sh to compare
// against the same 7zz run by hand.
//   archive_bench PROGRAM LEVEL FOLDER ARCHIVE PASSWORD
// Packs every file of FOLDER and its subfolders (recurse 1, "*.*") and prints
// "seconds <s>", or the archive step's error text on stderr.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/System.h"
#include "run/Archive.h"
#include "run/ArchiverSevenZip.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: archive_bench PROGRAM LEVEL FOLDER ARCHIVE PASSWORD\n");
    return 2;
  }
  const norvo::run::SevenZipArchiver archiver(argv[1], std::stoi(argv[2]));
  const norvo::run::ArchiveJob job{1, std::string(argv[3]) + norvo::platform::kPathSeparator + "*.*", argv[4],
                                   argv[5], false};
  const auto start = std::chrono::steady_clock::now();
  const std::string result = norvo::run::BuildArchiveWith(archiver, job);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (result != "OK") {
    std::fprintf(stderr, "%s\n", result.c_str());
    return 1;
  }
  std::printf("seconds %.3f\n", took.count());
  return 0;
}
