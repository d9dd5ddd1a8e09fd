// An unreadable file, for tests that run as root (who may read any file):
// loaded with LD_PRELOAD, it makes open() and openat() of any path whose last
// part is NORVO_UNREADABLE_NAME fail with EACCES, as a file the account may
// not read, or that another program holds locked, fails. An open of
// NORVO_STALLED_NAME waits until a signal arrives (30 s at most) and then goes
// on, so that a test can catch the program at work. Everything else is passed to the C
// library unchanged.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int Named(const char* path, const char* variable) {
  const char* name = getenv(variable);
  if (name == NULL || name[0] == '\0' || path == NULL) return 0;
  const char* slash = strrchr(path, '/');
  return strcmp(slash ? slash + 1 : path, name) == 0;
}

static int Refused(const char* path) {
  if (Named(path, "NORVO_STALLED_NAME")) sleep(30);
  if (!Named(path, "NORVO_UNREADABLE_NAME")) return 0;
  errno = EACCES;
  return 1;
}

// The mode argument is there only when a file may be created.
static mode_t ModeOf(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

#define FORWARD_OPEN(name)                                                            \
  int name(const char* path, int flags, ...) {                                        \
    static int (*real)(const char*, int, ...) = NULL;                                 \
    if (real == NULL) real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, #name); \
    va_list args;                                                                     \
    va_start(args, flags);                                                            \
    mode_t mode = ModeOf(flags, args);                                                \
    va_end(args);                                                                     \
    return Refused(path) ? -1 : real(path, flags, mode);                              \
  }

#define FORWARD_OPENAT(name)                                                               \
  int name(int dir, const char* path, int flags, ...) {                                    \
    static int (*real)(int, const char*, int, ...) = NULL;                                 \
    if (real == NULL) real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, #name); \
    va_list args;                                                                          \
    va_start(args, flags);                                                                 \
    mode_t mode = ModeOf(flags, args);                                                     \
    va_end(args);                                                                          \
    return Refused(path) ? -1 : real(dir, path, flags, mode);                              \
  }

FORWARD_OPEN(open)
FORWARD_OPEN(open64)
FORWARD_OPENAT(openat)
FORWARD_OPENAT(openat64)
