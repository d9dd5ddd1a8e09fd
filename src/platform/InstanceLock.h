#pragma once
// A lock that at most one process holds at a time, tied to a file. The
// operating system releases it when its holder ends, however it ends, so a
// crashed holder never leaves it behind.
#include <memory>
#include <string>

namespace norvo::platform {

class InstanceLock {
 public:
  virtual ~InstanceLock() = default;  // releases the lock
  // Children started from now on hold the lock too, until the last holder
  // ends: a helper left running when this program was killed keeps the next
  // instance out of the files it still writes.
  virtual void HoldInChildren() = 0;
};

enum class LockOutcome { Acquired, Busy, Failed };

// Tries once, without waiting, to take the lock of the file (created when
// missing). Busy: another process holds it. Failed: the file cannot be
// opened, with the reason in *error.
LockOutcome TryInstanceLock(const std::string& file, std::unique_ptr<InstanceLock>& lock,
                            std::string* error = nullptr);

// The lock file of the backup run of this user: beside the settings store, so
// that runs over the same settings exclude each other. Its folder is created
// when missing.
std::string RunLockFile();

// The lock file of the tray program of this user: one tray program per user
// (its runtime folder on POSIX, %LOCALAPPDATA%\Norvo on Windows). Its folder
// is created when missing.
std::string TrayLockFile();

}  // namespace norvo::platform
