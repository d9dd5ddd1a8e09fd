#pragma once
// One running tray program per user: a lock file in the user's runtime
// folder. A lock left by a program that died is taken over, because the
// process it names is no longer running.
#include <QLockFile>
#include <QString>

namespace norvo::tray {

enum class InstanceCheck { First, AlreadyRunning, LockUnavailable };

class SingleInstance {
 public:
  explicit SingleInstance(const QString& lock_path = DefaultLockPath());

  // Takes the lock without waiting. LockUnavailable: the lock file cannot be
  // made at all (the reason in errorText()); the caller may run unguarded.
  InstanceCheck tryLock();
  QString errorText() const { return error_; }

  // The runtime folder ($XDG_RUNTIME_DIR, or Qt's fallback) + "/norvo-tray.lock".
  static QString DefaultLockPath();

 private:
  QLockFile lock_;
  QString path_;
  QString error_;
};

}  // namespace norvo::tray
