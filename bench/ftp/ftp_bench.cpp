// Moves one file through cFTP, for bench/ftp/run.sh to time against curl.
//   ftp_bench HOST:PORT USER PASSWORD up|down|simple-up|simple-down LOCAL REMOTE
// Prints the number of progress events raised; exits 1 on failure.
#include <cstdio>
#include <string>

#include "ftp/cFTP.h"

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr,
                 "usage: ftp_bench HOST:PORT USER PASSWORD up|down|simple-up|simple-down LOCAL REMOTE\n");
    return 2;
  }
  const std::string mode = argv[4], local = argv[5], remote = argv[6];
  norvo::ftp::cFTP ftp;
  long long events = 0;
  ftp.FileTransferProgress = [&](int64_t, int64_t) { ++events; };
  ftp.SetTransferBinary();
  if (!ftp.OpenConnection(argv[1], argv[2], argv[3])) {
    std::fprintf(stderr, "%s", ftp.GetLastErrorMessage().c_str());
    return 1;
  }
  bool ok = mode == "up"            ? ftp.FTPUploadFile(local, remote)
            : mode == "down"        ? ftp.FTPDownloadFile(local, remote)
            : mode == "simple-up"   ? ftp.SimpleFTPPutFile(local, remote)
            : mode == "simple-down" ? ftp.SimpleFTPGetFile(local, remote)
                                    : false;
  ftp.CloseConnection();
  if (!ok) {
    std::fprintf(stderr, "%s\n", ftp.GetLastErrorMessage().c_str());
    return 1;
  }
  std::printf("%lld progress events\n", events);
  return 0;
}
