#include "support/Ports.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace norvo::test {
namespace {

// A socket bound to a loopback port the system chose; its port in *port.
int BoundSocket(int* port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    *port = 0;
    return fd;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

}  // namespace

int FreeLoopbackPort() {
  int port = 0;
  const int fd = BoundSocket(&port);
  if (fd >= 0) ::close(fd);
  return port;
}

SilentListener::SilentListener() {
  fd_ = BoundSocket(&port_);
  if (fd_ >= 0 && ::listen(fd_, 4) != 0) port_ = 0;
}

SilentListener::~SilentListener() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace norvo::test
