#include "ftp/RestoreDownload.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "ftp/RemoteFileSize.h"
#include "ftp/TransferBreak.h"
#include "ftp/cFTP.h"
#include "net/FtpSession.h"

namespace norvo::ftp {
namespace {

// The login check: a separate session in active mode, closed at once.
bool CheckLogin(const RestoreRequest& request) {
  ftp::cFTP check(request.session);
  check.SetModeActive();
  check.SetTransferASCII();
  bool ok = check.OpenConnection(request.host, request.user, request.password);
  check.CloseConnection();
  return ok;
}

// Waits, waking up often enough to notice a cancel.
void Pause(std::chrono::milliseconds wait, const RestoreProgress& progress) {
  auto end = std::chrono::steady_clock::now() + wait;
  while (!progress.cancel && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Connects the passive session and enters the customer's folder.
RestoreFailure Enter(net::FtpSession& session, const RestoreRequest& request, RestoreProgress& progress) {
  net::FtpSessionOptions options = request.session;
  options.passive = true;
  if (!session.Connect(request.host, request.user, request.password, options)) return RestoreFailure::NoCloud;
  Pause(std::chrono::milliseconds(request.pause_ms), progress);
  if (progress.cancel) return RestoreFailure::Cancelled;
  if (!session.ChangeDirectory(request.folder)) return RestoreFailure::NoFolder;
  return RestoreFailure::None;
}

// Receives the file into the temporary one, taking a broken transfer up
// again on a new connection while the retries last.
bool Receive(net::FtpSession& session, const RestoreRequest& request, RestoreProgress& progress,
             std::FILE*& file, bool* writeFailed) {
  net::FtpWriteFn write = [&](const char* data, size_t size) {
    if (progress.cancel) return false;
    if (std::fwrite(data, 1, size, file) != size) {
      *writeFailed = true;
      return false;
    }
    progress.done += static_cast<std::int64_t>(size);
    return true;
  };
  // Kept to the provider's cap; a cancel also ends a wait of the pacing.
  net::PaceClock clock = net::SystemPaceClock();
  clock.stop = [&progress, ended = clock.stop] { return progress.cancel.load() || ended(); };
  const net::FtpWriteFn paced = net::PacedWrite(request.session.cap, write, clock);
  std::chrono::milliseconds wait = request.retry_wait;
  bool ok = session.Retrieve(request.archivo, true, paced);
  for (int retry = 0; !ok; ++retry) {
    // A failed log-on of a retry decides as a broken transfer does.
    if (*writeFailed || progress.cancel || retry >= request.retries || !ftp::TransferMayGoOn(session)) {
      return false;
    }
    Pause(wait, progress);
    wait = std::min(wait * 2, request.max_retry_wait);
    if (progress.cancel) return false;
    if (Enter(session, request, progress) != RestoreFailure::None) continue;
    if (!session.OffersRestart() && progress.done > 0) {
      // No restarts: the file comes again from its first byte.
      static_cast<void>(std::fclose(file));  // its bytes are dropped anyway
      file = std::fopen(request.temporary.c_str(), "wb");
      if (file == nullptr) return false;
      progress.done = 0;
    }
    ok = session.Retrieve(request.archivo, true, paced, progress.done);
  }
  return true;
}

RestoreFailure Fetch(net::FtpSession& session, const RestoreRequest& request, RestoreProgress& progress) {
  std::FILE* file = std::fopen(request.temporary.c_str(), "wb");
  if (!file) return RestoreFailure::NoFile;
  bool write_failed = false;
  bool ok = Receive(session, request, progress, file, &write_failed);
  bool closed = file != nullptr && std::fclose(file) == 0;
  const std::int64_t total = progress.total;
  RestoreFailure result = RestoreFailure::None;
  if (progress.cancel) {
    result = RestoreFailure::Cancelled;
  } else if (!ok || write_failed || !closed || (total >= 0 && progress.done < total)) {
    result = RestoreFailure::NoFile;  // a partial file is of no use
  }
  if (result != RestoreFailure::None) {
    std::error_code ignored;  // a temporary file that cannot be removed is left for the next restore
    std::filesystem::remove(request.temporary, ignored);
  }
  return result;
}

}  // namespace

RestoreFailure DownloadBackup(const RestoreRequest& request, RestoreProgress& progress) {
  if (!CheckLogin(request)) return RestoreFailure::NoCloud;
  if (progress.cancel) return RestoreFailure::Cancelled;
  net::FtpSession session;
  if (!session.Ready()) return RestoreFailure::NoInternet;
  if (const RestoreFailure entered = Enter(session, request, progress); entered != RestoreFailure::None) {
    return entered;
  }
  progress.total = ftp::ListedFileSize(session, request.archivo);
  RestoreFailure result = Fetch(session, request, progress);
  session.Disconnect();
  return result;
}

bool PlaceRestoredFile(const std::string& temporary, const std::string& destination) {
  namespace fs = std::filesystem;
  std::error_code error;
  // Within one file system a rename replaces the destination at once; across
  // file systems the bytes are copied over it.
  fs::rename(temporary, destination, error);
  if (!error) return true;
  error.clear();
  bool copied = fs::copy_file(temporary, destination, fs::copy_options::overwrite_existing, error);
  fs::remove(temporary, error);
  return copied;
}

std::string RestoreErrorText(RestoreFailure failure, const std::string& archivo) {
  switch (failure) {
    case RestoreFailure::NoInternet:
      return "No tiene conexión a internet";
    case RestoreFailure::NoCloud:
      return "No se puede conectar al Cloud";
    case RestoreFailure::NoFolder:
      return "Problema al bajar el archivo " + archivo;
    case RestoreFailure::NoFile:
      return "Problema no se pudo bajar el archivo " + archivo;
    case RestoreFailure::None:
    case RestoreFailure::Cancelled:
      break;
  }
  return {};
}

}  // namespace norvo::ftp
