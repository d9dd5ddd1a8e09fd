#pragma once
// Keeps a file transfer to a bandwidth cap while local time is within the
// cap's daily hours. It wraps the callbacks that feed a transfer or take its
// data, so every FTP backend is paced the same way: a token bucket on a
// steady clock, filled at the cap's rate, that a callback waits on once the
// bytes moved run ahead of it. The hours are looked at again every second,
// so a transfer that crosses the window's end goes on at full speed.
//
// The waits happen between the library's reads and writes: a paced reader
// hands out at most a tenth of a second's worth of bytes at a time, a paced
// writer waits after the block the library gave it, which the backends keep
// to ReceiveBlock while there is a cap. The connection never stands still
// for long, so neither the stall time-out (ftp_timeout_s) of a backend, which
// looks for no progress at all, nor a server's own time-out for a data
// connection without progress is reached by the pacing itself.
#include <chrono>
#include <cstddef>
#include <functional>

#include "settings/HoursWindow.h"

namespace norvo::net {

struct TransferCap {
  int max_kbps = 0;  // kilobits (1000 bits) per second; 0: no cap
  settings::HoursWindow hours;
};

// What the pace reads and how it waits; SystemPaceClock gives the real ones.
struct PaceClock {
  std::function<std::chrono::steady_clock::time_point()> now;
  std::function<void(std::chrono::steady_clock::duration)> sleep;
  std::function<int()> minute_of_day;  // local time, minutes after midnight
  std::function<bool()> stop;          // true: stop waiting (the transfer is being ended)
};
// The steady clock, a real sleep, local time, and the program's end request.
PaceClock SystemPaceClock();

class TransferPace {
 public:
  TransferPace(const TransferCap& cap, PaceClock clock);

  // How many of `wanted` bytes to move in the next step: all of them outside
  // the hours, else at most a tenth of a second's worth.
  std::size_t Step(std::size_t wanted);
  // Counts bytes moved; within the hours it waits until the bucket holds
  // enough for them again.
  void Moved(std::size_t bytes);

 private:
  void Refresh();

  double rate_;      // bytes per second
  double capacity_;  // the most the bucket holds: half a second's worth
  std::size_t step_;
  settings::HoursWindow hours_;
  PaceClock clock_;
  double tokens_ = 0;
  bool inside_ = false;
  std::chrono::steady_clock::time_point last_;
  std::chrono::steady_clock::time_point next_hours_check_;
};

// The most a download should take from its connection at a time: `uncapped`
// without a cap, else a tenth of a second's worth at the cap (at least
// 16 KiB), so that a paced writer's waits stay short.
std::size_t ReceiveBlock(const TransferCap& cap, std::size_t uncapped);

// The callbacks paced by the cap; returned unchanged when there is no cap.
std::function<long long(char*, std::size_t)> PacedRead(const TransferCap& cap,
                                                       std::function<long long(char*, std::size_t)> read,
                                                       PaceClock clock = SystemPaceClock());
std::function<bool(const char*, std::size_t)> PacedWrite(const TransferCap& cap,
                                                         std::function<bool(const char*, std::size_t)> write,
                                                         PaceClock clock = SystemPaceClock());

}  // namespace norvo::net
