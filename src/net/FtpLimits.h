#pragma once
// Bounds on what an FTP server may send in answer to one request, so that a
// broken or hostile server can neither hold the caller nor grow its memory.
// Every backend applies them: a listing past its size, a reply past its
// size, or a listing or command exchange past its time fails the request.
#include <chrono>
#include <cstddef>

namespace norvo::net {

// The data of one listing (MLSD or LIST). A folder of backup copies lists in
// kilobytes; 16 MiB holds some 150 000 entries.
inline constexpr std::size_t kMaxListingBytes = std::size_t{16} << 20;
// Every reply line received during one request together (a greeting, a FEAT,
// a long 257). Real replies take a few hundred bytes; libcurl gives up on its
// own past 300 KB, so the bound lies below that.
inline constexpr std::size_t kMaxReplyBytes = std::size_t{256} << 10;

// The whole time a listing or a command exchange may take from its start, for
// the time-out of a single wait: connecting, logging on, the reply and the
// data may each take up to that, but a server that keeps sending a little at
// a time never lets a single wait run out.
std::chrono::seconds ExchangeTimeLimit(int timeout_s);

// One request measured against those bounds.
class ExchangeBudget {
 public:
  using Clock = std::chrono::steady_clock;
  // No time bound when `limit` is zero (a file transfer may take hours).
  ExchangeBudget(std::size_t max_bytes, Clock::duration limit);

  // Counts bytes received; false once they pass the size bound.
  bool Take(std::size_t bytes);
  bool OverSize() const { return taken_ > max_bytes_; }
  bool OverTime() const;
  // The FtpErrors code of the bound that was passed (size first), 0 while none.
  unsigned Exceeded() const;

 private:
  std::size_t max_bytes_;
  std::size_t taken_ = 0;
  Clock::time_point deadline_;
  bool timed_;
};

}  // namespace norvo::net
