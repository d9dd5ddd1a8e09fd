#include "tray/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace norvo::tray {

SingleInstance::SingleInstance(const QString& lock_path) : lock_(lock_path), path_(lock_path) {
  // Only a lock whose process is gone counts as stale, however old it is:
  // a tray program that runs for weeks keeps its lock.
  lock_.setStaleLockTime(0);
}

InstanceCheck SingleInstance::tryLock() {
  if (lock_.tryLock(0)) return InstanceCheck::First;
  switch (lock_.error()) {
    case QLockFile::LockFailedError:
      return InstanceCheck::AlreadyRunning;
    case QLockFile::PermissionError:
      error_ = "no permission to create " + path_;
      break;
    default:
      error_ = "cannot create " + path_;
      break;
  }
  return InstanceCheck::LockUnavailable;
}

QString SingleInstance::DefaultLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder + "/norvo-tray.lock";
}

}  // namespace norvo::tray
