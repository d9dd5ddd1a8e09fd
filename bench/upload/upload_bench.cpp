// Times one UploadToCloud, for bench/upload/run.sh to compare against curl -T.
//   upload_bench HOST:PORT USER PASSWORD LOCAL_FOLDER/ FILE_NAME [MAX_KBPS [RETRY_WAIT_MS]]
// MAX_KBPS caps the transfer as ftp_max_kbps does (at every hour; 0: no cap).
// RETRY_WAIT_MS replaces the run's wait before a broken transfer is taken up
// again (0 times the resume alone, as curl -C - run at once after a cut).
// Prints "total <s> pause <s>": the whole call, and the one-second pause that
// the call holds between its first connection and the transfer.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "run/CloudUpload.h"

int main(int argc, char** argv) {
  if (argc < 6 || argc > 8) {
    std::fprintf(
        stderr,
        "usage: upload_bench HOST:PORT USER PASSWORD LOCAL_FOLDER/ FILE_NAME [MAX_KBPS [RETRY_WAIT_MS]]\n");
    return 2;
  }
  norvo::run::CloudUploadOptions options;  // the run's own: passive, one-second pause
  if (argc >= 7) options.session.cap.max_kbps = std::atoi(argv[6]);
  if (argc == 8) options.retry.retry_wait = std::chrono::milliseconds(std::atoi(argv[7]));
  const auto start = std::chrono::steady_clock::now();
  const std::string result = norvo::run::UploadToCloud(options, argv[1], argv[2], argv[3], "/bench/pc/",
                                                       "/bench/", argv[4], argv[5]);
  const std::chrono::duration<double> total = std::chrono::steady_clock::now() - start;
  if (result != "OK") {
    std::fprintf(stderr, "%s\n", result.c_str());
    return 1;
  }
  std::printf("total %.3f pause %.3f\n", total.count(), std::chrono::duration<double>(options.pause).count());
  return 0;
}
