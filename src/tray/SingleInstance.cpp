#include "tray/SingleInstance.h"

namespace norvo::tray {

SingleInstance::SingleInstance(const QString& lock_path) : path_(lock_path) {}

InstanceCheck SingleInstance::tryLock() {
  std::string why;
  switch (platform::TryInstanceLock(path_.toStdString(), lock_, &why)) {
    case platform::LockOutcome::Acquired:
      return InstanceCheck::First;
    case platform::LockOutcome::Busy:
      return InstanceCheck::AlreadyRunning;
    case platform::LockOutcome::Failed:
      break;
  }
  error_ = QString::fromStdString(why);
  return InstanceCheck::LockUnavailable;
}

QString SingleInstance::DefaultLockPath() { return QString::fromStdString(platform::TrayLockFile()); }

}  // namespace norvo::tray
