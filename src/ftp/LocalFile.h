#pragma once
// Local files of the transfers: a reader that knows the file's length, and a
// writer that fills a side file and puts it in place only when the transfer
// has succeeded, so a failed download never leaves a partial or stale file.
#include <cstdint>
#include <cstdio>
#include <string>

namespace norvo::ftp {

class LocalReader {
 public:
  ~LocalReader();
  // False with an error code (FtpErrors.h) when the file cannot be read.
  bool Open(const std::string& path, unsigned* error);
  int64_t Size() const { return size_; }
  // Up to `size` bytes; 0 at the end, -1 on a read error.
  long long Read(char* buffer, size_t size);
  // Moves to byte `offset` for the next Read; false when the file cannot.
  bool SeekTo(int64_t offset);

 private:
  std::FILE* file_ = nullptr;
  int64_t size_ = 0;
};

class LocalWriter {
 public:
  explicit LocalWriter(std::string path);
  ~LocalWriter();  // discards the side file unless committed
  bool Write(const char* data, size_t size, unsigned* error);
  // Closes the side file and moves it over the target (creating an empty file
  // when nothing was written).
  bool Commit(unsigned* error);

 private:
  bool OpenSide(unsigned* error);
  std::string path_;
  std::string side_path_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace norvo::ftp
