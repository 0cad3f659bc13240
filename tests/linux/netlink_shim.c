// LD_PRELOAD shim for fwupd in tests: binds every netlink socket with port 0, so the kernel
// picks a free port. This fwupd binds its udev monitor socket to the process id, which
// the netlink socket libusb opened first already holds, and then fails with EADDRINUSE.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/netlink.h>
#include <string.h>
#include <sys/socket.h>

typedef int (*BindFunction)(int, const struct sockaddr*, socklen_t);

int bind(int fd, const struct sockaddr* address, socklen_t length) {
  static BindFunction real_bind;
  if (real_bind == NULL) real_bind = (BindFunction)dlsym(RTLD_NEXT, "bind");
  if (address != NULL && address->sa_family == AF_NETLINK && length >= sizeof(struct sockaddr_nl)) {
    struct sockaddr_nl any;
    memcpy(&any, address, sizeof any);
    any.nl_pid = 0;
    return real_bind(fd, (const struct sockaddr*)&any, sizeof any);
  }
  return real_bind(fd, address, length);
}
