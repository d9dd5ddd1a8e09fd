// A full disk for one folder, for fault tests: loaded with LD_PRELOAD, it
// makes write(), writev() and pwrite() on regular files under the folder
// named by NORVO_FULL_DIR fail with ENOSPC once NORVO_FULL_AFTER bytes
// (default 0) have been written to such files by this process. Everything
// else is passed to the C library unchanged.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static long long written_so_far = 0;

// True when fd is a regular file whose path lies under NORVO_FULL_DIR.
static int UnderFullFolder(int fd) {
  const char* folder = getenv("NORVO_FULL_DIR");
  if (folder == NULL || folder[0] == '\0') return 0;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  char link[64];
  char path[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0) return 0;
  path[n] = '\0';
  size_t len = strlen(folder);
  while (len > 1 && folder[len - 1] == '/') --len;
  return strncmp(path, folder, len) == 0 && (path[len] == '/' || path[len] == '\0');
}

// Whether this write of `count` bytes finds the disk full.
static int DiskFull(int fd, size_t count) {
  if (!UnderFullFolder(fd)) return 0;
  const char* after = getenv("NORVO_FULL_AFTER");
  long long room = after ? atoll(after) : 0;
  if (written_so_far + (long long)count <= room) {
    written_so_far += (long long)count;
    return 0;
  }
  errno = ENOSPC;
  return 1;
}

ssize_t write(int fd, const void* buf, size_t count) {
  static ssize_t (*real)(int, const void*, size_t) = NULL;
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  if (count > 0 && DiskFull(fd, count)) return -1;
  return real(fd, buf, count);
}

ssize_t writev(int fd, const struct iovec* iov, int iovcnt) {
  static ssize_t (*real)(int, const struct iovec*, int) = NULL;
  if (real == NULL) real = (ssize_t(*)(int, const struct iovec*, int))dlsym(RTLD_NEXT, "writev");
  size_t total = 0;
  for (int i = 0; i < iovcnt; ++i) total += iov[i].iov_len;
  if (total > 0 && DiskFull(fd, total)) return -1;
  return real(fd, iov, iovcnt);
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off_t offset) {
  static ssize_t (*real)(int, const void*, size_t, off_t) = NULL;
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite64");
  if (count > 0 && DiskFull(fd, count)) return -1;
  return real(fd, buf, count, offset);
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset) {
  return pwrite64(fd, buf, count, offset);
}
