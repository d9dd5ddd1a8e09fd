// The upload of one archive with its copy rotation. The folders are made on a
// first connection; then the file goes up on a second one and, on a third,
// replaces the slot's copy. Each connection is a passive FtpSession object, so
// it is closed on every way out of its scope; each log-on is tried again when
// the server refused it for the moment (421, or the connection refused).
#include "run/CloudUpload.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "ftp/LocalFile.h"
#include "ftp/RemoteFileSize.h"
#include "ftp/TransferBreak.h"
#include "ftp/TransferProgress.h"
#include "net/FtpErrors.h"
#include "platform/EndRequest.h"
#include "run/FtpFailure.h"
#include "run/ServerDigest.h"

namespace norvo::run {
namespace {

const std::string kOk = "OK";

void Say(const CloudUploadOptions& options, const std::string& line) {
  if (options.diagnostic) options.diagnostic(line);
}

net::FtpSessionOptions PassiveOptions(const CloudUploadOptions& options) {
  net::FtpSessionOptions session = options.session;
  session.passive = true;
  return session;
}

// The retries one step may still make; a request to end the program spends them.
ftp::RetryBudget BudgetOf(const CloudUploadOptions& options) {
  return ftp::RetryBudget(options.retry, platform::EndRequested);
}

// Connects and logs on, trying again as LogOnMayWorkAgain says while the budget
// lasts. Every failure is told on stderr with its reason.
bool ConnectRetrying(net::FtpSession& session, const CloudUploadOptions& options, const std::string& host,
                     const std::string& user, const std::string& password, ftp::RetryBudget& budget) {
  for (;;) {
    if (session.Connect(host, user, password, PassiveOptions(options))) return true;
    const std::string why = "log-on to " + host + " failed: " + FtpFailure(session);
    if (budget.Spent() || !ftp::LogOnMayWorkAgain(session)) {
      Say(options, why);
      return false;
    }
    Say(options, why + budget.Announce());
    budget.WaitAndCount();
  }
}

bool ConnectRetrying(net::FtpSession& session, const CloudUploadOptions& options, const std::string& host,
                     const std::string& user, const std::string& password) {
  ftp::RetryBudget budget = BudgetOf(options);
  return ConnectRetrying(session, options, host, user, password, budget);
}

// Makes the customer and computer folders; false when the server cannot be
// reached or refuses the log-on. A folder that already exists is no error.
bool PrepareFolders(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                    const std::string& password, const std::string& customerFolder,
                    const std::string& computerFolder) {
  net::FtpSession session;
  if (!ConnectRetrying(session, options, host, user, password)) return false;
  session.MakeDirectory(customerFolder);
  session.MakeDirectory(computerFolder);
  return true;
}

// Sends the opened local file, from byte `from` on (where the reader stands),
// as `remote` in binary, no faster than the session's cap allows; a file that
// shrinks while it is read fails the transfer (*readFailed). The digest, when
// there is one, takes every byte as it is sent; `sent` is told the bytes of
// the file sent so far.
bool PutFile(net::FtpSession& session, ftp::LocalReader& reader, const std::string& remote, int64_t from,
             DigestPlan& digest, const std::function<void(int64_t)>& sent, bool* readFailed,
             const net::TransferCap& cap) {
  const int64_t total = reader.Size();
  int64_t done = from;
  net::FtpReadFn read = [&](char* buffer, size_t room) -> long long {
    const auto want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(room), total - done));
    if (want == 0) return 0;
    const long long got = reader.Read(buffer, want);
    if (got <= 0) {
      *readFailed = true;
      return -1;
    }
    done += got;
    if (digest.local) {
      digest.local->Update(buffer, static_cast<size_t>(got));
      digest.checkpoints.Passed(done, *digest.local);
    }
    sent(done);
    return got;
  };
  return session.Store(remote, true, net::PacedRead(cap, read), total, from) && done == total;
}

// Puts the reader at byte `bytes`, where the next transfer starts, with the
// digest, when there is one, brought to the same point: from its last copy
// before there, reading only the bytes since.
bool StandAt(ftp::LocalReader& reader, int64_t bytes, DigestPlan& digest) {
  int64_t at = bytes;
  if (digest.local) {
    auto [kept, copy] = digest.checkpoints.ResumeAt(bytes);
    at = kept;
    digest.local = copy ? std::move(copy) : platform::MakeDigest(digest.command->kind);
  }
  if (!reader.SeekTo(at)) return false;
  std::vector<char> buffer(std::size_t{1} << 20);
  for (int64_t left = bytes - at; left > 0;) {
    const long long got = reader.Read(
        buffer.data(), static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buffer.size()))));
    if (got <= 0) return false;
    if (digest.local) digest.local->Update(buffer.data(), static_cast<size_t>(got));
    left -= got;
  }
  return true;
}

// What an upload needs to connect again after a break.
struct Destination {
  const CloudUploadOptions& options;
  const std::string& host;
  const std::string& user;
  const std::string& password;
  const std::string& folder;  // the computer's folder
};

// Sends the local file as NAME.TMP on `session`, already in the computer's
// folder. A transfer that breaks goes on, on a new connection, from what the
// server holds (SIZE, else the listing): with APPE or REST where the server
// restarts transfers, else from the start; a server that holds the whole file
// (its 226 was lost) needs nothing more. Retries and their reconnections take
// from one budget, so the upload is bounded. True once the server holds the
// whole file, with the digest fed with all of it.
bool SendResuming(net::FtpSession& session, const Destination& where, ftp::LocalReader& reader,
                  const std::string& fileName, DigestPlan& digest) {
  const CloudUploadOptions& options = where.options;
  const std::string temporary = TemporaryName(fileName);
  const int64_t total = reader.Size();
  ftp::TransferProgress progress("upload of " + fileName, total, options.progress,
                                 std::chrono::steady_clock::now());
  // The furthest byte of the file handed to the server: a NAME.TMP longer
  // than that is not this upload's (an earlier run's, whose delete failed)
  // and cannot be gone on from.
  int64_t reached = 0;
  const auto sent = [&](int64_t done) {
    reached = std::max(reached, done);
    if (const auto line = progress.Update(done, std::chrono::steady_clock::now())) Say(options, *line);
  };
  ftp::RetryBudget budget = BudgetOf(options);
  // A server may offer REST STREAM and still refuse to append to a file
  // (ProFTPD without AllowStoreRestart answers APPE with 451): once it has,
  // the file goes again from its first byte.
  bool appendRefused = false;
  for (int64_t from = 0;;) {
    bool readFailed = false;
    if (PutFile(session, reader, temporary, from, digest, sent, &readFailed, options.session.cap))
      return true;
    const bool refusedNow = from > 0 && !session.TransferStarted() && !session.RefusedCommand().empty();
    appendRefused = appendRefused || refusedNow;
    std::string why = "upload of " + fileName + " as " + temporary + " failed: " + FtpFailure(session);
    if (readFailed || (!refusedNow && !ftp::TransferMayGoOn(session)) || budget.Spent()) {
      Say(options, why);
      return false;
    }
    Say(options, why + budget.Announce());
    budget.WaitAndCount();
    if (!ConnectRetrying(session, options, where.host, where.user, where.password, budget)) return false;
    if (!session.ChangeDirectory(where.folder)) {
      Say(options, "CWD " + where.folder + " failed: " + FtpFailure(session));
      return false;
    }
    const int64_t held = ftp::HeldFileSize(session, temporary);
    const bool ours = held <= reached;
    from = ours && (held == total || (!appendRefused && held > 0 && held < total && session.OffersRestart()))
               ? held
               : 0;
    Say(options, "the server holds " + std::to_string(held) + " bytes (-1: none) of " + temporary +
                     (from == total ? "; the file is whole" : "; sending from byte " + std::to_string(from)));
    // A server that refuses to overwrite needs the partial file gone.
    if (from == 0 && held > 0) session.DeleteFile(temporary);
    if (!StandAt(reader, from, digest)) {
      Say(options, "the local file of " + fileName + " cannot be read again");
      return false;
    }
    if (from == total) return true;
    progress.Restart(from, std::chrono::steady_clock::now());
  }
}

// What the listing of the current remote folder says about the new file and
// the slot's copy.
struct SlotState {
  bool listed = false;         // the listing came whole
  int64_t temporarySize = -1;  // -1 when the listing fails or does not hold it
  bool finalExists = false;    // something holds the final name
};

SlotState LookAtSlot(net::FtpSession& session, const std::string& temporary, const std::string& finalName) {
  SlotState state;
  const std::optional<std::vector<ftp::FindData>> entries = ftp::ListedEntries(session);
  if (!entries) return state;
  state.listed = true;
  state.temporarySize = ftp::FileSizeIn(*entries, temporary).value_or(-1);
  state.finalExists = std::any_of(entries->begin(), entries->end(),
                                  [&](const ftp::FindData& entry) { return entry.name == finalName; });
  return state;
}

// On a second connection: the new file must be whole on the server, then it
// takes the final name. A server that replaces on rename does so in one step,
// with no moment without a copy. Only when the rename was refused at RNTO
// (so renaming works) while the final name is taken, the old copy is deleted
// and the rename made again; a rename refused outright leaves both files.
std::string ReplaceCopy(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                        const std::string& password, const std::string& computerFolder,
                        const std::string& fileName, int64_t size, bool proven) {
  const std::string temporary = TemporaryName(fileName);
  net::FtpSession second;
  if (!ConnectRetrying(second, options, host, user, password)) {
    return "No se puede conectar al Cloud para renombrar " + host;
  }
  if (!second.ChangeDirectory(computerFolder)) {
    // Elsewhere the listing and the names would be another folder's: nothing
    // is touched, the new file and the old copy both stay.
    Say(options, "CWD " + computerFolder + " failed: " + FtpFailure(second));
    return "Problema no se pudo renombrar " + temporary;
  }
  const SlotState slot = LookAtSlot(second, temporary, fileName);
  if (!slot.listed && !proven && options.diagnostic) {
    std::string why = net::FtpErrorText(second.LastError());
    why.erase(why.find_last_not_of("\r\n") + 1);  // the text ends in a line break of its own
    options.diagnostic("the size of " + temporary + " on the server could not be checked: " + why);
  }
  if (!proven && slot.temporarySize != size) {
    // Incomplete on the server, or not known to be whole: the old copy stays,
    // the new file goes.
    if (slot.listed) {
      Say(options, "the size of " + temporary + " on the server is " + std::to_string(slot.temporarySize) +
                       " bytes (-1: not listed), not " + std::to_string(size));
    }
    second.DeleteFile(temporary);
    return "Problema no se pudo copiar el archivo " + fileName;
  }
  if (second.RenameFile(temporary, fileName)) return kOk;
  const bool finalNameInTheWay = second.RefusedCommand() == "RNTO" && slot.finalExists;
  if (!finalNameInTheWay || !second.DeleteFile(fileName) || !second.RenameFile(temporary, fileName)) {
    Say(options, "rename of " + temporary + " to " + fileName + " failed: " + FtpFailure(second));
    return "Problema no se pudo renombrar " + temporary;
  }
  return kOk;
}

std::string Upload(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                   const std::string& password, const std::string& computerFolder,
                   const std::string& customerFolder, const std::string& localFolder,
                   const std::string& fileName) {
  if (!PrepareFolders(options, host, user, password, customerFolder, computerFolder))
    return "No se puede conectar al Cloud";
  int64_t size = 0;
  bool proven = false;  // the server's digest matched: no size check needed
  {
    net::FtpSession first;
    if (!first.Ready()) return "No tiene conexión a internet";
    if (!ConnectRetrying(first, options, host, user, password))
      return "No se puede conectar al Cloud " + host;
    std::this_thread::sleep_for(options.pause);
    if (!first.ChangeDirectory(computerFolder)) {
      Say(options, "CWD " + computerFolder + " failed: " + FtpFailure(first));
      return "Problema al ingresar al directorio " + computerFolder;
    }
    // The local file is opened before anything reaches the server, so a
    // missing one cannot touch a remote file.
    ftp::LocalReader reader;
    unsigned error = 0;
    if (!reader.Open(localFolder + fileName, &error)) {
      Say(options, "the local file " + localFolder + fileName + " cannot be read");
      return "Problema no se pudo copiar el archivo " + fileName;
    }
    const std::string temporary = TemporaryName(fileName);
    // A temporary file left by an earlier run would block the slot on servers
    // that refuse to overwrite, or be kept beside the new one by servers
    // that rename colliding uploads: it goes first (nothing there is no error).
    first.DeleteFile(temporary);
    DigestPlan digest = PlanDigest(first);
    size = reader.Size();
    const Destination where{options, host, user, password, computerFolder};
    if (!SendResuming(first, where, reader, fileName, digest)) {
      return "Problema no se pudo copiar el archivo " + fileName;
    }
    if (digest.command) {
      std::string why;
      const DigestVerdict verdict =
          CompareServerDigest(first, *digest.command, temporary, digest.local->FinishHex(), &why);
      if (verdict != DigestVerdict::Same) Say(options, why);
      if (verdict == DigestVerdict::Different) {
        first.DeleteFile(temporary);  // the old copy stays
        return "Problema no se pudo copiar el archivo " + fileName;
      }
      proven = verdict == DigestVerdict::Same;
    }
  }  // the first connection is closed before the second one opens
  return ReplaceCopy(options, host, user, password, computerFolder, fileName, size, proven);
}

}  // namespace

CloudUploadOptions CloudUploadOptionsFor(const settings::ProviderConfig& provider) {
  CloudUploadOptions options;
  options.session = net::FtpSessionOptionsFor(provider);
  options.retry = ftp::RetryPolicyFor(provider);
  return options;
}

std::string TemporaryName(const std::string& finalName) {
  return finalName.substr(0, finalName.size() < 3 ? 0 : finalName.size() - 3) + "TMP";
}

std::string UploadToCloud(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                          const std::string& password, const std::string& computerFolder,
                          const std::string& customerFolder, const std::string& localFolder,
                          const std::string& fileName) {
  try {
    return Upload(options, host, user, password, computerFolder, customerFolder, localFolder, fileName);
  } catch (const std::exception& failure) {
    return failure.what();
  }
}

}  // namespace norvo::run
