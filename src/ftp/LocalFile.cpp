#include "ftp/LocalFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "net/FtpErrors.h"
#include "platform/System.h"

namespace norvo::ftp {

LocalReader::~LocalReader() {
  // Closing a file that was only read cannot lose anything.
  if (file_ != nullptr) static_cast<void>(std::fclose(file_));
}

bool LocalReader::Open(const std::string& path, unsigned* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    *error = net::ftp_error::kAccessDenied;
    return false;
  }
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    *error = net::FtpErrorFromErrno(errno);
    return false;
  }
  auto size = std::filesystem::file_size(path, ec);
  if (ec) {
    *error = net::ftp_error::kReadFault;
    return false;
  }
  size_ = static_cast<int64_t>(size);
  return true;
}

long long LocalReader::Read(char* buffer, size_t size) {
  size_t got = std::fread(buffer, 1, size, file_);
  if (got == 0 && std::ferror(file_)) return -1;
  return static_cast<long long>(got);
}

bool LocalReader::SeekTo(int64_t offset) { return platform::SeekFile(file_, offset); }

LocalWriter::LocalWriter(std::string path) : path_(std::move(path)), side_path_(path_ + ".part") {}

LocalWriter::~LocalWriter() {
  // Still open only when the transfer failed: the side file is removed below.
  if (file_ != nullptr) static_cast<void>(std::fclose(file_));
  if (!committed_ && !side_path_.empty()) {
    std::error_code ec;
    std::filesystem::remove(side_path_, ec);
  }
}

bool LocalWriter::OpenSide(unsigned* error) {
  file_ = std::fopen(side_path_.c_str(), "wb");
  if (file_ == nullptr) *error = net::FtpErrorFromErrno(errno);
  return file_ != nullptr;
}

bool LocalWriter::Write(const char* data, size_t size, unsigned* error) {
  if (file_ == nullptr && !OpenSide(error)) return false;
  if (std::fwrite(data, 1, size, file_) == size) return true;
  *error = net::FtpErrorFromErrno(errno);
  return false;
}

bool LocalWriter::Commit(unsigned* error) {
  if (file_ == nullptr && !OpenSide(error)) return false;
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) {
    *error = net::FtpErrorFromErrno(errno);
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(side_path_, path_, ec);
  if (ec) {
    *error = net::FtpErrorFromErrno(ec.value());
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace norvo::ftp
