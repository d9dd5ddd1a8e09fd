#pragma once
// One FTP session with the provider's server, as both programs use it: log-on,
// folders, transfers (simple and with progress), file sizes and listings.
// Failures come back as the result (false, -2, an empty text or no list) and
// leave a readable text in GetLastErrorMessage(); nothing is thrown.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ftp/FindData.h"
#include "ftp/cDirList.h"
#include "net/FtpSession.h"

namespace norvo::ftp {

inline constexpr int32_t kTransferTypeAscii = 1;
inline constexpr int32_t kTransferTypeBinary = 2;
inline constexpr uint32_t kFlagPassive = 0x08000000;

class cFTP {
 public:
  // Raised by FTPUploadFile and FTPDownloadFile: bytes moved so far and the
  // file's size, once per 255 bytes and once at the end (64-bit counts).
  std::function<void(int64_t lCurrentBytes, int64_t lTotalBytes)> FileTransferProgress;

  // options: time-out and TLS of every connection (see FtpSessionOptionsFor);
  // the passive flag is SetModeActive/SetModePassive's.
  explicit cFTP(const net::FtpSessionOptions& options = {});
  ~cFTP();
  cFTP(const cFTP&) = delete;
  cFTP& operator=(const cFTP&) = delete;

  // The list of the last listing; a new empty list when none is held.
  std::shared_ptr<cDirList> Directory();
  const std::string& GetLastErrorMessage() const { return lastErrorMessage_; }

  // sServer is "host" (port 21) or "host:port".
  bool OpenConnection(const std::string& sServer, const std::string& sUser, const std::string& sPassword);
  void CloseConnection();
  bool SimpleFTPPutFile(const std::string& sLocal, const std::string& sRemote);
  bool RenameFTPFile(const std::string& sExisting, const std::string& sNewName);
  bool CreateFTPDirectory(const std::string& sDirectory);
  bool RemoveFTPDirectory(const std::string& sDirectory);
  bool DeleteFTPFile(const std::string& sRemote);
  bool FTPUploadFile(const std::string& sLocal, const std::string& sRemote);
  bool FTPDownloadFile(const std::string& sLocal, const std::string& sRemote);
  bool SimpleFTPGetFile(const std::string& sLocal, const std::string& sRemote);
  std::string GetFTPDirectory();
  bool SetFTPDirectory(const std::string& sDir);
  // Size in bytes (its low 32 bits), -1 when no such file, -2 on other failures.
  int32_t GetFTPFileSize(const std::string& sFile);
  // The same with the whole size.
  int64_t GetFTPFileSize64(const std::string& sFile);
  // The entries of the current folder that match the pattern (a folder part
  // such as "sub/*.RAR" lists that folder); no list when nothing matches.
  std::shared_ptr<cDirList> GetDirectoryListing(const std::string& sFilter);
  void SetTransferASCII() { transferType_ = kTransferTypeAscii; }
  void SetTransferBinary() { transferType_ = kTransferTypeBinary; }
  void SetModeActive() { connectFlags_ = 0; }
  void SetModePassive() { connectFlags_ = kFlagPassive; }

  int32_t TransferType() const { return transferType_; }
  uint32_t ConnectFlags() const { return connectFlags_; }
  bool Connected() const;

 private:
  void RecordError(unsigned code, const std::string& label);
  void RecordSessionError(const std::string& label);
  bool NeedConnection(const std::string& label);
  bool Binary() const { return transferType_ == kTransferTypeBinary; }
  enum class Search { Found, NoMatch, Failed, FailedPartway };
  Search Find(const std::string& filter, std::vector<FindData>* found);

  net::FtpSessionOptions options_;
  std::unique_ptr<net::FtpSession> session_;
  int32_t transferType_ = kTransferTypeAscii;
  uint32_t connectFlags_ = kFlagPassive;
  std::string lastErrorMessage_;
  std::shared_ptr<cDirList> directoryList_;
};

}  // namespace norvo::ftp
