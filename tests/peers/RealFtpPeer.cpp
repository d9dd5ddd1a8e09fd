#include "peers/RealFtpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/posix/Spawn.h"
#include "support/Ports.h"

namespace norvo::test {
namespace {

bool Accepts(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return ok;
}

}  // namespace

bool RealFtpPeer::CanRun() { return geteuid() == 0; }

RealFtpPeer::RealFtpPeer(const std::string& name, const std::string& program)
    : home_(folder_ / "home"), name_(name) {
  const passwd* ftp_user = getpwnam("ftp");
  if (access(program.c_str(), X_OK) != 0 || ftp_user == nullptr) {
    problem_ = name + " is not installed at " + program + " (scripts/install-deps installs it)";
    return;
  }
  if (!CanRun()) {
    problem_ = name + " needs the tests to run as root";
    return;
  }
  uid_ = ftp_user->pw_uid;
  gid_ = ftp_user->pw_gid;
  // The servers' users must reach the home through the test's private folder.
  chmod(folder_.path().c_str(), 0755);
  mkdir(home_.c_str(), 0755);
  mkdir(PubPath().c_str(), 0755);
  if (chown(home_.c_str(), uid_, gid_) != 0 || chown(PubPath().c_str(), uid_, gid_) != 0)
    problem_ = "cannot prepare the home folder of " + name;
  port_ = FreeLoopbackPort();
}

RealFtpPeer::~RealFtpPeer() {
  if (pid_ > 0) {
    // Let the sessions the client just closed end and be reaped by the listener.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

void RealFtpPeer::GiveToServer(const std::string& path) const {
  if (lchown(path.c_str(), uid_, gid_) != 0) return;
  if (!std::filesystem::is_directory(path)) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
    if (lchown(entry.path().c_str(), uid_, gid_) != 0) return;
}

int RealFtpPeer::KillSessions() const {
  int killed = 0;
  if (pid_ <= 0) return killed;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    // /proc/PID/stat: "PID (COMMAND) STATE PPID ..."; the command may hold spaces.
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    long parent = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &parent) == 2 && parent == pid_ &&
        kill(std::stoi(name), SIGKILL) == 0)
      ++killed;
  }
  return killed;
}

std::string RealFtpPeer::UnpackedPath(const std::string& package, const std::string& inside) {
  const char* dir = std::getenv("NORVO_PEERS_DIR");
  return std::string(dir != nullptr && *dir != '\0' ? dir : "/opt/norvo-peers") + "/" + package + inside;
}

void RealFtpPeer::Start(const std::vector<std::string>& argv) {
  if (!problem_.empty()) return;
  std::string error;
  if (!platform::SpawnProgram(argv, platform::SpawnSetup{}, &pid_, &error)) {
    pid_ = -1;
    problem_ = name_ + " could not be started: " + error;
    return;
  }
  for (int i = 0; i < 100 && !Accepts(port_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!Accepts(port_)) problem_ = name_ + " did not listen";
}

std::string RealFtpPeer::PasswordHash() {
  std::string hash;
  FILE* pipe = popen(("openssl passwd -6 " + Password()).c_str(), "r");
  if (pipe == nullptr) return hash;
  char line[256];
  if (fgets(line, sizeof(line), pipe) != nullptr) hash = line;
  pclose(pipe);
  while (!hash.empty() && (hash.back() == '\n' || hash.back() == '\r')) hash.pop_back();
  if (hash.empty()) problem_ = "openssl could not hash the test password";
  return hash;
}

}  // namespace norvo::test
