#pragma once
// One running tray program per user: the lock of the platform's tray lock
// file. The system releases it when the holder ends, however it ends, so a
// program that died never keeps the next one out.
#include <QString>
#include <memory>

#include "platform/InstanceLock.h"

namespace norvo::tray {

enum class InstanceCheck { First, AlreadyRunning, LockUnavailable };

class SingleInstance {
 public:
  explicit SingleInstance(const QString& lock_path = DefaultLockPath());

  // Takes the lock without waiting. LockUnavailable: the lock file cannot be
  // made at all (the reason in errorText()); the caller may run unguarded.
  InstanceCheck tryLock();
  QString errorText() const { return error_; }

  // The platform's tray lock file of this user.
  static QString DefaultLockPath();

 private:
  QString path_;
  QString error_;
  std::unique_ptr<platform::InstanceLock> lock_;
};

}  // namespace norvo::tray
