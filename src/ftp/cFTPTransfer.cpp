// Transfers of whole files. Data moves in the large buffers of the session;
// the chunked transfers still report progress in 255-byte steps.
#include <algorithm>

#include "ftp/LocalFile.h"
#include "ftp/cFTP.h"
#include "net/FtpErrors.h"
#include "net/FtpSession.h"
#include "settings/Text.h"

namespace norvo::ftp {
namespace {

constexpr int64_t kChunk = 255;

// Raises one progress event for every whole 255-byte step passed: after k
// steps the count is first + 255 k (first is 0 for uploads, 1 for downloads).
class ChunkEvents {
 public:
  using Handler = std::function<void(int64_t, int64_t)>;
  ChunkEvents(int64_t total, int64_t first, const Handler& handler)
      : total_(total), first_(first), handler_(handler) {}
  void Moved(int64_t moved) {
    int64_t reached = std::min(moved, total_) / kChunk;
    while (steps_ < reached) {
      ++steps_;
      if (handler_) handler_(first_ + kChunk * steps_, total_);
    }
  }

 private:
  int64_t total_, first_;
  const Handler& handler_;
  int64_t steps_ = 0;
};

// The label of a failed chunked transfer: refused at its start, in the whole
// 255-byte steps, or in the last short step.
const char* TransferLabel(bool started, int64_t moved, int64_t total, const char* open, const char* whole,
                          const char* rest) {
  if (!started) return open;
  return moved > (total / kChunk) * kChunk ? rest : whole;
}

}  // namespace

bool cFTP::SimpleFTPPutFile(const std::string& sLocal, const std::string& sRemote) {
  const char* label = "SimpleFtpPutFile";
  if (!NeedConnection(label)) return false;
  LocalReader reader;
  unsigned error = 0;
  if (!reader.Open(sLocal, &error)) {
    RecordError(error, label);
    return false;
  }
  net::FtpReadFn read = [&](char* buffer, size_t size) -> long long {
    long long got = reader.Read(buffer, size);
    if (got < 0) session_->SetLocalError(net::ftp_error::kReadFault);
    return got;
  };
  if (session_->Store(sRemote, Binary(), read, reader.Size())) return true;
  RecordSessionError(label);
  return false;
}

bool cFTP::SimpleFTPGetFile(const std::string& sLocal, const std::string& sRemote) {
  const char* label = "SimpleFtpGetFile";
  if (!NeedConnection(label)) return false;
  LocalWriter writer(sLocal);
  net::FtpWriteFn write = [&](const char* data, size_t size) {
    unsigned error = 0;
    if (writer.Write(data, size, &error)) return true;
    session_->SetLocalError(error);
    return false;
  };
  if (!session_->Retrieve(sRemote, Binary(), write)) {
    RecordSessionError(label);
    return false;
  }
  unsigned error = 0;
  if (writer.Commit(&error)) return true;
  RecordError(error, label);
  return false;
}

bool cFTP::FTPUploadFile(const std::string& sLocal, const std::string& sRemote) {
  const std::string local(settings::Trim(sLocal, " ")), remote(settings::Trim(sRemote, " "));
  if (local.empty() || remote.empty()) return false;
  if (!NeedConnection("FtpOpenFile:PutFile")) return false;
  // The local file is opened first: a missing one must not truncate the remote copy.
  LocalReader reader;
  unsigned error = 0;
  if (!reader.Open(local, &error)) {
    RecordError(error, "FTPUploadFile");
    return false;
  }
  const int64_t total = reader.Size();
  int64_t sent = 0;
  bool local_failed = false;
  ChunkEvents events(total, 0, FileTransferProgress);
  net::FtpReadFn read = [&](char* buffer, size_t size) -> long long {
    size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(size), total - sent));
    if (want == 0) return 0;
    long long got = reader.Read(buffer, want);
    if (got <= 0) {  // unreadable, or shorter than when it was opened
      local_failed = true;
      session_->SetLocalError(net::ftp_error::kReadFault);
      return -1;
    }
    sent += got;
    events.Moved(sent);
    return got;
  };
  if (!session_->Store(remote, Binary(), read, total)) {
    RecordSessionError(local_failed
                           ? "FTPUploadFile"
                           : TransferLabel(session_->TransferStarted(), sent, total, "FtpOpenFile:PutFile",
                                           "InternetWriteFile", "InternetWriteFile2"));
    return false;
  }
  if (FileTransferProgress) FileTransferProgress(total, total);
  return true;
}

bool cFTP::FTPDownloadFile(const std::string& sLocal, const std::string& sRemote) {
  const std::string local(settings::Trim(sLocal, " ")), remote(settings::Trim(sRemote, " "));
  if (local.empty() || remote.empty()) return false;
  const int64_t total = GetFTPFileSize64(remote);
  if (total <= 0) return false;  // missing, failed, or empty: nothing is created
  LocalWriter writer(local);
  int64_t received = 0;
  bool local_failed = false;
  ChunkEvents events(total, 1, FileTransferProgress);
  net::FtpWriteFn write = [&](const char* data, size_t size) {
    unsigned error = 0;
    if (!writer.Write(data, size, &error)) {
      local_failed = true;
      session_->SetLocalError(error);
      return false;
    }
    received += static_cast<int64_t>(size);
    events.Moved(received);
    return true;
  };
  bool ok = session_->Retrieve(remote, Binary(), write);
  if (ok && Binary() && received < total) {
    // The data connection closed early yet the server reported success.
    RecordError(net::ftp_error::kConnectionAborted,
                received > (total / kChunk) * kChunk ? "InternetReadFile2" : "InternetReadFile");
    return false;
  }
  if (!ok) {
    RecordSessionError(local_failed
                           ? "FTPDownloadFile"
                           : TransferLabel(session_->TransferStarted(), received, total,
                                           "FtpOpenFile:GetFile", "InternetReadFile", "InternetReadFile2"));
    return false;
  }
  unsigned error = 0;
  if (!writer.Commit(&error)) {
    RecordError(error, "FTPDownloadFile");
    return false;
  }
  if (FileTransferProgress) FileTransferProgress(total, total);
  return true;
}

}  // namespace norvo::ftp
