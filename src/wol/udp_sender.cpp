#include "wol/udp_sender.h"

#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "common/errors.h"
#include "common/file_ops.h"

namespace vornel {
namespace {

// Socket failures carry the numbers the program has always shown for them (those of the
// Windows socket layer), so a user's error report means the same on every system.
constexpr int kErrSocketAccess = 10013;
constexpr int kErrAddressInUse = 10048;
constexpr int kErrAddressNotAvailable = 10049;
constexpr int kErrNetworkUnreachable = 10051;
constexpr int kErrTimedOut = 10060;
constexpr int kErrHostUnreachable = 10065;
constexpr int kErrHostNotFound = 11001;

[[noreturn]] void raiseSocketError(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            throw VbError(kErrSocketAccess, "ソケットへのアクセスが拒否されました。");
        case EADDRINUSE:
            throw VbError(kErrAddressInUse, "アドレスは既に使用されています。");
        case EADDRNOTAVAIL:
            throw VbError(kErrAddressNotAvailable, "要求したアドレスは使用できません。");
        case ENETUNREACH:
            throw VbError(kErrNetworkUnreachable, "ネットワークに到達できません。");
        case EHOSTUNREACH:
            throw VbError(kErrHostUnreachable, "ホストに到達できません。");
        default:
            throw VbError(kErrDeviceIo);
    }
}

int lookup(const std::string& host, int flags, in_addr& out) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    if (int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found); rc != 0) return rc;
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, ::freeaddrinfo);
    out = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    return 0;
}

// The answer of a resolving thread. It is shared, so a thread that outlives the wait (the
// name service hangs) still has somewhere to put its answer.
struct Resolution {
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    int rc = 0;
    in_addr addr{};
};

sockaddr_in ipv4(in_addr addr, int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = addr;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    return sa;
}

}  // namespace

int resolveIPv4(const std::string& host, in_addr& out) { return lookup(host, 0, out); }

int bindIPv4(int fd, const sockaddr_in& local) {
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 ? 0 : errno;
}

in_addr resolveHost(KvCmn15& cmn, const UdpNet& net, const std::string& host) {
    if (host.empty()) throw VbError(kErrHostNotFound, "ホストが見つかりません。");
    in_addr addr{};
    if (lookup(host, AI_NUMERICHOST, addr) == 0) return addr;

    auto job = std::make_shared<Resolution>();
    std::thread([job, resolve = net.resolve, host] {
        in_addr found{};
        const int rc = resolve(host, found);
        const std::lock_guard lock(job->mutex);
        job->done = true;
        job->rc = rc;
        job->addr = found;
        job->doneSignal.notify_all();
    }).detach();

    const double start = cmn.GetTickSeconds();
    std::unique_lock lock(job->mutex);
    while (!job->done) {
        if (cmn.GetTickSeconds() - start >= net.resolveSeconds)
            throw VbError(kErrTimedOut, "ホスト名の解決が時間内に終わりませんでした。");
        lock.unlock();
        cmn.DoEvents();
        lock.lock();
        job->doneSignal.wait_for(lock, std::chrono::milliseconds(10), [&] { return job->done; });
    }
    if (job->rc != 0) throw VbError(kErrHostNotFound, "ホストが見つかりません。");
    return job->addr;
}

void sendDatagrams(const UdpNet& net, in_addr to, int remotePort, int localPort,
                   const std::uint8_t* data, std::size_t size, int count) {
    const Fd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.ok()) raiseSocketError(errno);
    const int on = 1;
    if (::setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        raiseSocketError(errno);
    int err = net.bind(socket.get(), ipv4(in_addr{htonl(INADDR_ANY)}, localPort));
    // Ports below 1024 are kept for privileged programs here, and the usual wake port 9 asks
    // for local port 10. A sleeping card does not look at the source port.
    if (err == EACCES) err = net.bind(socket.get(), ipv4(in_addr{htonl(INADDR_ANY)}, 0));
    if (err != 0) raiseSocketError(err);

    const sockaddr_in dest = ipv4(to, remotePort);
    for (int i = 0; i < count; ++i) {
        ssize_t n;
        do {
            n = ::sendto(socket.get(), data, size, 0, reinterpret_cast<const sockaddr*>(&dest),
                         sizeof dest);
        } while (n < 0 && errno == EINTR);
        if (n < 0) raiseSocketError(errno);
    }
}

}  // namespace vornel
