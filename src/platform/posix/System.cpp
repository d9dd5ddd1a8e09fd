#include "platform/System.h"

#include <dirent.h>
#include <fnmatch.h>
#include <limits.h>
#include <mntent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string_view>

#include "platform/posix/UserFolders.h"

namespace norvo::platform {
namespace {

// File systems that live on a local disk; network, memory and virtual ones are not "drives".
bool IsLocalDiskType(std::string_view type) {
  static const std::set<std::string_view> kTypes = {"ext2",  "ext3",     "ext4",    "xfs",  "btrfs",  "f2fs",
                                                    "jfs",   "reiserfs", "zfs",     "vfat", "exfat",  "ntfs",
                                                    "ntfs3", "fuseblk",  "hfsplus", "apfs", "overlay"};
  return kTypes.count(type) != 0;
}

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string ComputerName() {
  char buffer[256] = {};
  if (::gethostname(buffer, sizeof(buffer) - 1) != 0) return "";
  std::string name(buffer);
  return name.substr(0, name.find('.'));
}

bool IsWritableFolder(const std::string& folder) {
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string DriveRootFromSetting(const std::string& setting) { return WithSeparator(setting); }

std::vector<Drive> WritableLocalDrives() {
  std::vector<Drive> drives;
  FILE* mounts = ::setmntent("/proc/self/mounts", "r");
  if (mounts == nullptr) return drives;
  const std::string home = HomeFolder();
  struct stat home_info {};
  const bool have_home = ::stat(home.c_str(), &home_info) == 0;
  std::set<dev_t> seen;
  mntent entry{};
  char buffer[4096];
  while (::getmntent_r(mounts, &entry, buffer, sizeof(buffer)) != nullptr) {
    if (!IsLocalDiskType(entry.mnt_type)) continue;
    struct stat mount_info {};
    if (::stat(entry.mnt_dir, &mount_info) != 0 || !seen.insert(mount_info.st_dev).second) continue;
    // The mount point if the user may write there, else the home folder when it is on this disk.
    std::string root;
    if (IsWritableFolder(entry.mnt_dir)) {
      root = entry.mnt_dir;
    } else if (have_home && home_info.st_dev == mount_info.st_dev && IsWritableFolder(home)) {
      root = home;
    } else {
      continue;
    }
    struct statvfs space {};
    if (::statvfs(root.c_str(), &space) != 0) continue;
    double free_bytes = static_cast<double>(space.f_bavail) * static_cast<double>(space.f_frsize);
    drives.push_back({WithSeparator(root), free_bytes / 1024.0 / 1024.0 / 1024.0});
  }
  ::endmntent(mounts);
  return drives;
}

std::string ShortPath(const std::string& path) {
  struct stat info {};
  return (!path.empty() && ::stat(path.c_str(), &info) == 0) ? path : std::string();
}

bool AnyFileMatches(const std::string& pattern) {
  if (pattern.empty()) return false;
  auto slash = pattern.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (name.empty()) name = "*";
  bool wild = name.find_first_of("*?[") != std::string::npos;
  if (!wild) return IsRegularFile(pattern);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  bool found = false;
  while (dirent* item = ::readdir(dir)) {
    if (::fnmatch(name.c_str(), item->d_name, FNM_PERIOD) == 0 &&
        IsRegularFile(WithSeparator(folder) + item->d_name)) {
      found = true;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

bool MakePrivate(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  return ::chmod(path.c_str(), S_ISDIR(info.st_mode) ? 0700 : 0600) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool SeekFile(std::FILE* file, int64_t offset) {
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool FileExists(const std::string& path) { return IsRegularFile(path); }

std::string ProgramFolder() {
  char buffer[PATH_MAX + 1] = {};
  ssize_t length = ::readlink("/proc/self/exe", buffer, PATH_MAX);
  if (length <= 0) return "./";
  std::string path(buffer, static_cast<size_t>(length));
  return path.substr(0, path.find_last_of('/') + 1);
}

std::string SharedConfigFolder() { return "/etc/norvo/"; }

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::tm LocalTime(std::time_t moment) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  return local;
}

std::time_t FromLocalTime(std::tm local) {
  local.tm_isdst = -1;
  return std::mktime(&local);
}

}  // namespace norvo::platform
