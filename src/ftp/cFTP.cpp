#include "ftp/cFTP.h"

#include <utility>

#include "net/FtpErrors.h"
#include "net/FtpSession.h"

namespace norvo::ftp {

cFTP::cFTP(const net::FtpSessionOptions& options) : options_(options) {}
cFTP::~cFTP() = default;

std::shared_ptr<cDirList> cFTP::Directory() {
  if (!directoryList_) directoryList_ = std::make_shared<cDirList>();
  return directoryList_;
}

bool cFTP::Connected() const { return session_ && session_->Connected(); }

// The message of a failed step: the label, the code and its text; when the
// server refused (12003), the server's reply alone.
void cFTP::RecordError(unsigned code, const std::string& label) {
  lastErrorMessage_ = label + " error code: " + std::to_string(code) + " Message: " + net::FtpErrorText(code);
  if (code == net::ftp_error::kExtendedError && session_) lastErrorMessage_ = session_->LastResponse();
}

void cFTP::RecordSessionError(const std::string& label) { RecordError(session_->LastError(), label); }

// Operations without an open connection fail like a call on a null handle.
bool cFTP::NeedConnection(const std::string& label) {
  if (Connected()) return true;
  RecordError(net::ftp_error::kInvalidHandle, label);
  return false;
}

bool cFTP::OpenConnection(const std::string& sServer, const std::string& sUser,
                          const std::string& sPassword) {
  if (session_) session_->Disconnect();
  session_ = std::make_unique<net::FtpSession>();
  if (!session_->Ready()) RecordError(net::ftp_error::kInternalError, "InternetOpen");
  net::FtpSessionOptions options = options_;
  options.passive = connectFlags_ == kFlagPassive;
  if (session_->Connect(sServer, sUser, sPassword, options)) return true;
  RecordSessionError("InternetConnect");
  return false;
}

void cFTP::CloseConnection() {
  if (session_) session_->Disconnect();
  session_.reset();
}

bool cFTP::RenameFTPFile(const std::string& sExisting, const std::string& sNewName) {
  if (!NeedConnection("RenameFTPFile")) return false;
  if (session_->RenameFile(sExisting, sNewName)) return true;
  RecordSessionError("RenameFTPFile");
  return false;
}

bool cFTP::CreateFTPDirectory(const std::string& sDirectory) {
  if (!NeedConnection("CreateFTPDirectory")) return false;
  if (session_->MakeDirectory(sDirectory)) return true;
  RecordSessionError("CreateFTPDirectory");
  return false;
}

bool cFTP::RemoveFTPDirectory(const std::string& sDirectory) {
  if (!NeedConnection("RemoveFTPDirectory")) return false;
  if (session_->RemoveDirectory(sDirectory)) return true;
  RecordSessionError("RemoveFTPDirectory");
  return false;
}

bool cFTP::DeleteFTPFile(const std::string& sRemote) {
  if (!NeedConnection("DeleteFTPFile")) return false;
  if (session_->DeleteFile(sRemote)) return true;
  RecordSessionError("DeleteFTPFile");
  return false;
}

std::string cFTP::GetFTPDirectory() {
  if (!NeedConnection("FtpGetCurrentDirectory")) return {};
  std::string folder;
  if (session_->PrintDirectory(&folder)) return folder;
  RecordSessionError("FtpGetCurrentDirectory");
  return {};
}

bool cFTP::SetFTPDirectory(const std::string& sDir) {
  if (!NeedConnection("FtpSetCurrentDirectory")) return false;
  if (session_->ChangeDirectory(sDir)) return true;
  RecordSessionError("FtpSetCurrentDirectory");
  return false;
}

}  // namespace norvo::ftp
