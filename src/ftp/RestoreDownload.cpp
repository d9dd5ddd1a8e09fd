#include "ftp/RestoreDownload.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "ftp/RemoteFileSize.h"
#include "ftp/TransferBreak.h"
#include "net/FtpSession.h"
#include "platform/EndRequest.h"

namespace norvo::ftp {
namespace {

// The user cancelled, or the program was asked to end.
bool Stopped(const RestoreProgress& progress) { return progress.cancel || platform::EndRequested(); }

// The request's retries; a stop spends them.
RetryBudget BudgetOf(const RestoreRequest& request, const RestoreProgress& progress) {
  return RetryBudget(request.retry, [&progress] { return Stopped(progress); });
}

// Connects and logs on, trying again while LogOnMayWorkAgain says so (a
// server that counts connections per address may still count the one just
// closed) and the request's retries last.
bool ConnectRetrying(net::FtpSession& session, const RestoreRequest& request,
                     const net::FtpSessionOptions& options, const RestoreProgress& progress) {
  RetryBudget budget = BudgetOf(request, progress);
  while (!session.Connect(request.host, request.user, request.password, options)) {
    if (budget.Spent() || !ftp::LogOnMayWorkAgain(session) || !budget.WaitAndCount()) return false;
  }
  return true;
}

// The login check: a separate session in active mode, closed at once.
bool CheckLogin(const RestoreRequest& request, const RestoreProgress& progress) {
  net::FtpSession check;
  net::FtpSessionOptions options = request.session;
  options.passive = false;
  const bool ok = ConnectRetrying(check, request, options, progress);
  check.Disconnect();
  return ok;
}

// Connects the passive session and enters the customer's folder; a log-on
// the server refuses for the moment is tried again when `retryLogOn`.
RestoreFailure Enter(net::FtpSession& session, const RestoreRequest& request, RestoreProgress& progress,
                     bool retryLogOn) {
  net::FtpSessionOptions options = request.session;
  options.passive = true;
  const bool connected = retryLogOn ? ConnectRetrying(session, request, options, progress)
                                    : session.Connect(request.host, request.user, request.password, options);
  if (!connected) return RestoreFailure::NoCloud;
  WaitUnless(std::chrono::milliseconds(request.pause_ms), [&progress] { return Stopped(progress); });
  if (Stopped(progress)) return RestoreFailure::Cancelled;
  if (!session.ChangeDirectory(request.folder)) return RestoreFailure::NoFolder;
  return RestoreFailure::None;
}

// The last bytes written, so that a restarted transfer can be asked for them
// again first: a server that takes REST and then sends from another byte
// (from the first, say) is caught before any of its bytes are written. The
// size alone cannot tell, since the library stops at the size it expects.
class RestartCheck {
 public:
  static constexpr std::size_t kOverlap = 4096;

  void Written(const char* data, std::size_t size) {
    if (size >= kOverlap) {
      tail_.assign(data + size - kOverlap, kOverlap);
      return;
    }
    tail_.append(data, size);
    if (tail_.size() > kOverlap) tail_.erase(0, tail_.size() - kOverlap);
  }
  // The byte a restart after `done` bytes asks for: a little before them.
  std::int64_t RestartAt(std::int64_t done) {
    expected_ = tail_;
    return done - static_cast<std::int64_t>(tail_.size());
  }
  // Takes the bytes sent again off the front of `data`; false when they
  // differ from those written.
  bool Skip(const char*& data, std::size_t& size) {
    const std::size_t same = std::min(size, expected_.size());
    if (expected_.compare(0, same, data, same) != 0) return false;
    expected_.erase(0, same);
    data += same;
    size -= same;
    return true;
  }
  void Forget() {
    tail_.clear();
    expected_.clear();
  }

 private:
  std::string tail_;      // the last bytes written, at most kOverlap
  std::string expected_;  // what the restarted transfer must still send again
};

// Receives the file into the temporary one, taking a broken transfer up
// again on a new connection while the retries last: from where it broke
// where the server restarts transfers (and does so rightly), else from the
// first byte.
bool Receive(net::FtpSession& session, const RestoreRequest& request, RestoreProgress& progress,
             std::FILE*& file, bool* writeFailed) {
  RestartCheck check;
  bool restartWrong = false;
  net::FtpWriteFn write = [&](const char* data, size_t size) {
    if (Stopped(progress)) return false;
    if (!check.Skip(data, size)) {
      restartWrong = true;
      return false;
    }
    if (std::fwrite(data, 1, size, file) != size) {
      *writeFailed = true;
      return false;
    }
    check.Written(data, size);
    progress.done += static_cast<std::int64_t>(size);
    return true;
  };
  // Kept to the provider's cap; a cancel also ends a wait of the pacing.
  net::PaceClock clock = net::SystemPaceClock();
  clock.stop = [&progress, ended = clock.stop] { return progress.cancel.load() || ended(); };
  const net::FtpWriteFn paced = net::PacedWrite(request.session.cap, write, clock);
  RetryBudget budget = BudgetOf(request, progress);
  bool restarts = true;  // until the server restarts a transfer wrongly
  bool ok = session.Retrieve(request.archivo, true, paced);
  while (!ok) {
    const bool wrongNow = std::exchange(restartWrong, false);
    restarts = restarts && !wrongNow;
    // A failed log-on of a retry decides as a broken transfer does.
    if (*writeFailed || budget.Spent() || (!wrongNow && !ftp::TransferMayGoOn(session)) ||
        !budget.WaitAndCount()) {
      return false;
    }
    if (Enter(session, request, progress, false) != RestoreFailure::None) continue;
    if ((!restarts || !session.OffersRestart()) && progress.done > 0) {
      // No restarts: the file comes again from its first byte.
      static_cast<void>(std::fclose(file));  // its bytes are dropped anyway
      file = std::fopen(request.temporary.c_str(), "wb");
      if (file == nullptr) return false;
      progress.done = 0;
      check.Forget();
    }
    ok = session.Retrieve(request.archivo, true, paced, check.RestartAt(progress.done));
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
  } else if (!ok || write_failed || !closed || (total >= 0 && progress.done != total)) {
    // A partial file is of no use, nor one longer than the listing said (a
    // server that took REST and sent from the first byte anyway).
    result = RestoreFailure::NoFile;
  }
  if (result != RestoreFailure::None) {
    std::error_code ignored;  // a temporary file that cannot be removed is left for the next restore
    std::filesystem::remove(request.temporary, ignored);
  }
  return result;
}

}  // namespace

RestoreRequest RestoreRequestFor(const settings::ProviderConfig& provider) {
  RestoreRequest request;
  request.session = net::FtpSessionOptionsFor(provider);
  request.retry = RetryPolicyFor(provider);
  return request;
}

RestoreFailure DownloadBackup(const RestoreRequest& request, RestoreProgress& progress) {
  if (!CheckLogin(request, progress)) return RestoreFailure::NoCloud;
  if (progress.cancel) return RestoreFailure::Cancelled;
  net::FtpSession session;
  if (!session.Ready()) return RestoreFailure::NoInternet;
  if (const RestoreFailure entered = Enter(session, request, progress, true);
      entered != RestoreFailure::None) {
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
