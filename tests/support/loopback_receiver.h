#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/file_ops.h"

namespace vornel::test {

// A UDP socket on a loopback address that collects what the program sends it. Tests never
// send anywhere else.
class LoopbackReceiver {
  public:
    struct Datagram {
        std::vector<std::uint8_t> bytes;
        int sourcePort = 0;
    };

    // `address` must lie in 127.0.0.0/8. Port 0 picks a free port the program can be given:
    // its port settings are 16-bit numbers, and the port above must be free for the sender.
    explicit LoopbackReceiver(const std::string& address = "127.0.0.1", int port = 0) {
        in_addr at{};
        if (::inet_pton(AF_INET, address.c_str(), &at) != 1 || (ntohl(at.s_addr) >> 24) != 127)
            throw std::runtime_error("not a loopback address: " + address);
        const int first = port != 0 ? port : 20000 + static_cast<int>(::getpid() % 5000) * 2;
        const int last = port != 0 ? port : 32700;
        for (port_ = first; port_ <= last; port_ += 2) {
            // The port above is probed on every address, as the sender binds it.
            fd_ = bound(at, port_);
            if (fd_.ok() && (port != 0 || bound(in_addr{}, port_ + 1).ok())) return;
        }
        throw std::runtime_error("cannot listen on " + address);
    }

    int port() const { return port_; }

    // Everything that has arrived so far (loopback delivers within the sending call).
    std::vector<Datagram> take() {
        std::vector<Datagram> out;
        for (;;) {
            std::uint8_t buf[2048];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(fd_.get(), buf, sizeof buf, MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0) return out;
            out.push_back({{buf, buf + n}, ntohs(from.sin_port)});
        }
    }

  private:
    // A UDP socket bound to the address and port, or none.
    static Fd bound(in_addr at, int port) {
        Fd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr = at;
        sa.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) socket.reset();
        return socket;
    }

    Fd fd_;
    int port_ = 0;
};

}  // namespace vornel::test
