// The one-run lock on Windows: an exclusive LockFileEx range of a file. The
// system releases it when the handle closes, and closes the handle when the
// process ends, however it ends.
#include "platform/InstanceLock.h"

#include "platform/System.h"
#include "platform/windows/StoreRoot.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

class FileRangeLock : public InstanceLock {
 public:
  explicit FileRangeLock(HANDLE file) : file_(file) {}
  ~FileRangeLock() override { CloseHandle(file_); }
  FileRangeLock(const FileRangeLock&) = delete;
  FileRangeLock& operator=(const FileRangeLock&) = delete;
  // Nothing to hand on: a range lock is the locking process's own, and the
  // system drops it when that process ends even if a child holds a copy of
  // the handle. Instead no helper outlives this program: every child that
  // ends with its caller is in a job that kills it when the program ends
  // (ChildProcess.h), so none can still be writing when the lock is free.
  void HoldInChildren() override {}

 private:
  HANDLE file_;
};

}  // namespace

LockOutcome TryInstanceLock(const std::string& file, std::unique_ptr<InstanceLock>& lock,
                            std::string* error) {
  HANDLE handle = CreateFileW(Widen(file).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (error != nullptr) *error = file + ": " + SystemErrorText(GetLastError());
    return LockOutcome::Failed;
  }
  OVERLAPPED at{};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    const DWORD why = GetLastError();
    CloseHandle(handle);
    if (why == ERROR_LOCK_VIOLATION || why == ERROR_IO_PENDING) return LockOutcome::Busy;
    if (error != nullptr) *error = file + ": " + SystemErrorText(why);
    return LockOutcome::Failed;
  }
  lock = std::make_unique<FileRangeLock>(handle);
  return LockOutcome::Acquired;
}

namespace {

// %LOCALAPPDATA%\Norvo\<kind>.lock: one per user. A store moved by
// NORVO_REGISTRY_ROOT gets locks of its own beside it.
std::string UserLockFile(const std::string& kind) {
  std::string folder = EnvironmentValue("LOCALAPPDATA");
  if (folder.empty()) folder = EnvironmentValue("TEMP");
  folder += "\\Norvo";
  CreateDirectoryW(Widen(folder).c_str(), nullptr);  // a failure shows when the lock file is opened
  std::string name;
  for (char c : RegistryRootOverride()) name += (c == '\\' || c == '/' || c == ':') ? '_' : c;
  return folder + "\\" + (name.empty() ? std::string() : name + ".") + kind + ".lock";
}

}  // namespace

std::string RunLockFile() { return UserLockFile("run"); }

std::string TrayLockFile() { return UserLockFile("tray"); }

}  // namespace norvo::platform
