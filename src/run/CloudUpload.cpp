// The upload of one archive with its copy rotation. The folders are made on a
// cFTP session first; then the file goes up on one passive connection and, on
// a second one, replaces the slot's copy. Each connection is an FtpSession
// object, so it is closed on every way out of its scope.
#include "run/CloudUpload.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <thread>
#include <vector>

#include "ftp/LocalFile.h"
#include "ftp/RemoteFileSize.h"
#include "ftp/cFTP.h"
#include "net/FtpErrors.h"

namespace norvo::run {
namespace {

const std::string kOk = "OK";

// Makes the customer and computer folders; false when the server cannot be
// reached or refuses the log-on. A folder that already exists is no error.
bool PrepareFolders(const net::FtpSessionOptions& options, const std::string& host, const std::string& user,
                    const std::string& password, const std::string& customerFolder,
                    const std::string& computerFolder) {
  ftp::cFTP ftp(options);
  if (!ftp.OpenConnection(host, user, password)) {
    ftp.CloseConnection();
    return false;
  }
  ftp.CreateFTPDirectory(customerFolder);
  ftp.CreateFTPDirectory(computerFolder);
  ftp.CloseConnection();
  return true;
}

// Sends the local file as `remote` in binary. The local file is opened before
// anything reaches the server, so a missing one cannot truncate a remote file;
// a file that shrinks while it is read fails the transfer. *size is the local
// size the server must end up holding.
bool PutFile(net::FtpSession& session, const std::string& local, const std::string& remote, int64_t* size) {
  ftp::LocalReader reader;
  unsigned error = 0;
  if (!reader.Open(local, &error)) return false;
  const int64_t total = reader.Size();
  int64_t sent = 0;
  net::FtpReadFn read = [&](char* buffer, size_t room) -> long long {
    const auto want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(room), total - sent));
    if (want == 0) return 0;
    const long long got = reader.Read(buffer, want);
    if (got <= 0) return -1;
    sent += got;
    return got;
  };
  *size = total;
  return session.Store(remote, true, read, total) && sent == total;
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

net::FtpSessionOptions PassiveOptions(const CloudUploadOptions& options) {
  net::FtpSessionOptions session = options.session;
  session.passive = true;
  return session;
}

// On a second connection: the new file must be whole on the server, then it
// takes the final name. A server that replaces on rename does so in one step,
// with no moment without a copy. Only when the rename was refused at RNTO
// (so renaming works) while the final name is taken, the old copy is deleted
// and the rename made again; a rename refused outright leaves both files.
std::string ReplaceCopy(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                        const std::string& password, const std::string& computerFolder,
                        const std::string& fileName, int64_t size) {
  const std::string temporary = TemporaryName(fileName);
  net::FtpSession second;
  if (!second.Connect(host, user, password, PassiveOptions(options))) {
    return "No se puede conectar al Cloud para renombrar " + host;
  }
  second.ChangeDirectory(computerFolder);
  const SlotState slot = LookAtSlot(second, temporary, fileName);
  if (!slot.listed && options.diagnostic) {
    std::string why = net::FtpErrorText(second.LastError());
    why.erase(why.find_last_not_of("\r\n") + 1);  // the text ends in a line break of its own
    options.diagnostic("the size of " + temporary + " on the server could not be checked: " + why);
  }
  if (slot.temporarySize != size) {
    // Incomplete on the server, or not known to be whole: the old copy stays,
    // the new file goes.
    second.DeleteFile(temporary);
    return "Problema no se pudo copiar el archivo " + fileName;
  }
  if (second.RenameFile(temporary, fileName)) return kOk;
  const bool finalNameInTheWay = second.RefusedCommand() == "RNTO" && slot.finalExists;
  if (!finalNameInTheWay || !second.DeleteFile(fileName) || !second.RenameFile(temporary, fileName)) {
    return "Problema no se pudo renombrar " + temporary;
  }
  return kOk;
}

std::string Upload(const CloudUploadOptions& options, const std::string& host, const std::string& user,
                   const std::string& password, const std::string& computerFolder,
                   const std::string& customerFolder, const std::string& localFolder,
                   const std::string& fileName) {
  if (!PrepareFolders(options.session, host, user, password, customerFolder, computerFolder))
    return "No se puede conectar al Cloud";
  int64_t size = 0;
  {
    net::FtpSession first;
    if (!first.Ready()) return "No tiene conexión a internet";
    if (!first.Connect(host, user, password, PassiveOptions(options)))
      return "No se puede conectar al Cloud " + host;
    std::this_thread::sleep_for(options.pause);
    if (!first.ChangeDirectory(computerFolder)) return "Problema al ingresar al directorio " + computerFolder;
    if (!PutFile(first, localFolder + fileName, TemporaryName(fileName), &size)) {
      return "Problema no se pudo copiar el archivo " + fileName;
    }
  }  // the first connection is closed before the second one opens
  return ReplaceCopy(options, host, user, password, computerFolder, fileName, size);
}

}  // namespace

CloudUploadOptions CloudUploadOptionsFor(const settings::ProviderConfig& provider) {
  CloudUploadOptions options;
  options.session = net::FtpSessionOptionsFor(provider);
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
