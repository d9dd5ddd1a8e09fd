#include "peers/VsftpdPeer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace norvo::test {

VsftpdPeer::VsftpdPeer(VsftpdOptions options) : RealFtpPeer("vsftpd", "/usr/sbin/vsftpd") {
  if (!problem_.empty()) return;
  // vsftpd refuses a writable anonymous root; the "pub" folder inside is writable.
  if (chown(home_.c_str(), 0, 0) != 0 || chmod(home_.c_str(), 0555) != 0)
    problem_ = "cannot prepare the root";
  mkdir("/var/run/vsftpd", 0755);
  mkdir("/var/run/vsftpd/empty", 0555);
  const std::string config = folder_ / "vsftpd.conf";
  std::ofstream(config)
      << "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" << port_
      << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
         "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
         "anon_umask=022\nno_anon_password=YES\nanon_root="
      << home_
      << "\nsecure_chroot_dir=/var/run/vsftpd/empty\nseccomp_sandbox=NO\n"
         "xferlog_enable=NO\nport_enable=YES\npasv_enable=YES\none_process_model=YES\n"
         "max_per_ip="
      << options.max_per_ip << "\n";
  Start({"/usr/sbin/vsftpd", config});
}

}  // namespace norvo::test
