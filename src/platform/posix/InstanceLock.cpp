#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/StorePath.h"

namespace norvo::platform {
namespace {

// flock() locks belong to the open file description: they go away when the
// descriptor closes, and the kernel closes it when the process dies.
class FlockLock : public InstanceLock {
 public:
  explicit FlockLock(int fd) : fd_(fd) {}
  ~FlockLock() override { ::close(fd_); }
  // An inherited descriptor shares the open file description, and with it the lock.
  void HoldInChildren() override { ::fcntl(fd_, F_SETFD, ::fcntl(fd_, F_GETFD) & ~FD_CLOEXEC); }

 private:
  int fd_;
};

}  // namespace

LockOutcome TryInstanceLock(const std::string& file, std::unique_ptr<InstanceLock>& lock,
                            std::string* error) {
  int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (error != nullptr) *error = file + ": " + std::strerror(errno);
    return LockOutcome::Failed;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int why = errno;
    ::close(fd);
    if (why == EWOULDBLOCK) return LockOutcome::Busy;
    if (error != nullptr) *error = file + ": " + std::strerror(why);
    return LockOutcome::Failed;
  }
  // The file names its holder's process, for a person who wonders who holds it.
  const std::string holder = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) != 0 || ::write(fd, holder.data(), holder.size()) < 0) {
    // The lock holds whether or not the name could be written.
  }
  lock = std::make_unique<FlockLock>(fd);
  return LockOutcome::Acquired;
}

std::string RunLockFile() {
  const std::string store = RegistryStorePath();
  std::string why;
  EnsureStoreFolder(store, &why);  // a failure shows when the lock file is opened
  return store + ".run.lock";
}

// $XDG_RUNTIME_DIR belongs to the user and goes with the session; without one
// the lock lies beside the settings store, which is the user's too.
std::string TrayLockFile() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/norvo-tray.lock";
  const std::string store = RegistryStorePath();
  std::string why;
  EnsureStoreFolder(store, &why);  // a failure shows when the lock file is opened
  return store + ".tray.lock";
}

}  // namespace norvo::platform
