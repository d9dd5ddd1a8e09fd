#include "peers/VsftpdPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/posix/Spawn.h"
#include "support/Ports.h"

extern char** environ;

namespace norvo::test {
namespace {

constexpr const char* kVsftpd = "/usr/sbin/vsftpd";

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

bool VsftpdPeer::CanRun() { return geteuid() == 0; }

VsftpdPeer::VsftpdPeer() : root_(folder_ / "anon") {
  const passwd* ftp_user = getpwnam("ftp");
  if (access(kVsftpd, X_OK) != 0 || ftp_user == nullptr) {
    problem_ = "vsftpd is not installed (scripts/install-deps installs it)";
    return;
  }
  if (!CanRun()) {
    problem_ = "vsftpd needs the tests to run as root";
    return;
  }
  // vsftpd refuses a writable anonymous root; the "pub" folder inside is writable.
  mkdir(root_.c_str(), 0555);
  mkdir(PubPath().c_str(), 0755);
  chmod(folder_.path().c_str(), 0755);
  if (chown(PubPath().c_str(), ftp_user->pw_uid, ftp_user->pw_gid) != 0)
    problem_ = "cannot prepare the pub folder";
  mkdir("/var/run/vsftpd", 0755);
  mkdir("/var/run/vsftpd/empty", 0555);
  port_ = FreeLoopbackPort();
  const std::string config = folder_ / "vsftpd.conf";
  std::ofstream(config)
      << "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" << port_
      << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
         "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
         "anon_umask=022\nno_anon_password=YES\nanon_root="
      << root_
      << "\nsecure_chroot_dir=/var/run/vsftpd/empty\nseccomp_sandbox=NO\n"
         "xferlog_enable=NO\nport_enable=YES\npasv_enable=YES\none_process_model=YES\n";
  const std::vector<std::string> args = {kVsftpd, config};
  std::vector<char*> argv = platform::ArgvPointers(args);
  if (posix_spawn(&pid_, kVsftpd, nullptr, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
    problem_ = "vsftpd could not be started";
    return;
  }
  for (int i = 0; i < 100 && !Accepts(port_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!Accepts(port_)) problem_ = "vsftpd did not listen";
}

VsftpdPeer::~VsftpdPeer() {
  if (pid_ > 0) {
    // Let the sessions the client just closed end and be reaped by the listener.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

}  // namespace norvo::test
