#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "common/kvcmn15.h"

namespace vornel {

// Resolves `host` to an IPv4 address with getaddrinfo: 0 or a getaddrinfo code. May block for
// as long as the name service takes.
int resolveIPv4(const std::string& host, in_addr& out);
// Binds `fd` to `local`: 0 or an errno value.
int bindIPv4(int fd, const sockaddr_in& local);

// How datagrams reach the network. The defaults are the real system calls; tests replace the
// slow and the privileged steps.
struct UdpNet {
    // Runs on a helper thread that does nothing else, so a slow name service cannot freeze
    // the windows.
    std::function<int(const std::string& host, in_addr& out)> resolve = resolveIPv4;
    std::function<int(int fd, const sockaddr_in& local)> bind = bindIPv4;
    // How long a host name may take, on the program's monotonic clock.
    double resolveSeconds = 5;
};

// Finds the address of `host`: a dotted IPv4 address (broadcast addresses included) as it
// stands, a host name through `net.resolve` while window events go on. An empty text, a name
// that resolves to nothing and a name that takes longer than `net.resolveSeconds` raise an
// error (VbError); there is never a fallback address.
in_addr resolveHost(KvCmn15& cmn, const UdpNet& net, const std::string& host);

// Sends `size` bytes as one datagram `count` times back to back from a UDP socket allowed to
// broadcast and bound to `localPort`, to `to`:`remotePort`. The socket is closed before this
// returns, whatever happens. A local port below 1024 that the system keeps for privileged
// programs is left to the system to choose; one in use is an error. Failures raise VbError.
void sendDatagrams(const UdpNet& net, in_addr to, int remotePort, int localPort,
                   const std::uint8_t* data, std::size_t size, int count);

}  // namespace vornel
