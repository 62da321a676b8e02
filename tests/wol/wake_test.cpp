// Sending magic packets and waking the entries, against a receiver on the loopback network.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <optional>

#include "support/loopback_receiver.h"
#include "support/program_state.h"
#include "wol/wake_on_lan.h"

namespace vornel {
namespace {

using Mac = std::array<std::string, 6>;
using Lines = std::vector<std::string>;
// Hexadecimal in either case, one digit or two.
const Mac kMac = {"ff", "a", "0F", "Ab", "00", "9"};

struct RecordingNotice : WolNotice {
    Lines opened;
    void open(const std::string& pcName) override { opened.push_back(pcName); }
};

class Wake : public ::testing::Test, protected test::ProgramState<> {
  protected:
    Wake() { m.WOL_name = "PC1"; }
    std::string port() const { return std::to_string(rx.port()); }
    // Nothing was sent, and the one box shown is the error report of SendMagicPacket with
    // this error number (only that report names the procedure).
    void expectFailure(int number) {
        EXPECT_TRUE(rx.take().empty());
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text.rfind("エラー番号" + std::to_string(number) + " ", 0), 0u)
            << be.boxes[0].text;
        EXPECT_NE(be.boxes[0].text.find("[SendMagicPacket]"), std::string::npos);
        EXPECT_EQ(historyTags(), Lines{"[Fail] PC1 [WakeOnLan]"});
        EXPECT_TRUE(notice.opened.empty());
    }

    KvCmn15 windowCmn{be};
    RecordingNotice notice;
    WolContext ctx{m, windowCmn, notice, {}};
    test::LoopbackReceiver rx;
};

// The count of packets goes from the port above the remote one, to an address, a host name or
// the loopback network's own broadcast address (sent with the socket's broadcast permission,
// the datagram stays on this machine); a count of nothing sends nothing and still succeeds.
// The well-known port 9 sends from the privileged port 10, which only root may listen on.
TEST_F(Wake, SendsTheCountOfPacketsFromThePortAboveAndReportsSuccess) {
    std::vector<std::uint8_t> packet(6, 0xFF);
    for (int k = 0; k < 16; ++k) packet.insert(packet.end(), {0xFF, 0x0A, 0x0F, 0xAB, 0x00, 0x09});
    const struct {
        const char *count, *address;
        std::size_t packets;
        int port = 0;  // 0: a free port
    } cases[] = {{"3", "127.0.0.1", 3}, {"0", "127.0.0.1", 0},       {"-2", "127.0.0.1", 0},
                 {"1", "localhost", 1}, {"1", "127.255.255.255", 1}, {"1", "127.0.0.1", 1, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " to " + c.address + ":" + std::to_string(c.port));
        if (c.port == 9 && ::geteuid() != 0) continue;
        std::filesystem::remove(m.Hist_path);
        notice.opened.clear();
        test::LoopbackReceiver to(c.address == std::string("localhost") ? "127.0.0.1" : c.address,
                                  c.port);
        SendMagicPacket(ctx, std::to_string(to.port()), c.count, c.address, kMac);
        const auto got = to.take();
        ASSERT_EQ(got.size(), c.packets);
        for (const auto& d : got) {
            EXPECT_EQ(d.bytes, packet);
            EXPECT_EQ(d.sourcePort, to.port() + 1);
        }
        EXPECT_EQ(historyTags(), Lines{"[Success] PC1 [WakeOnLan]"});
        EXPECT_EQ(notice.opened, Lines{"PC1"});
    }
    if (::geteuid() != 0) GTEST_SKIP() << "the port 9 row needs root to listen on port 10";
}

TEST_F(Wake, ABadSettingSendsNothingReportsTheErrorAndWritesOneFailLine) {
    const struct {
        const char* name;
        std::string port;  // "" stands for the receiver's port
        std::string count;
        std::string address;
        Mac mac;
        int error;
        bool portAboveTaken = false;
    } cases[] = {
        {"MacNotHexadecimal", "", "3", "127.0.0.1", {"G1", "1A", "2B", "3C", "4D", "5E"}, 13},
        {"MacEmpty", "", "3", "127.0.0.1", {"00", "1A", "2B", "3C", "4D", ""}, 13},
        {"MacAboveFF", "", "3", "127.0.0.1", {"00", "100", "2B", "3C", "4D", "5E"}, 6},
        {"PortWithoutPortAbove", "32767", "3", "127.0.0.1", kMac, 6},
        {"PortNotANumber", "nine", "3", "127.0.0.1", kMac, 13},
        {"PortZero", "0", "3", "127.0.0.1", kMac, 380},
        {"CountEmpty", "", "", "127.0.0.1", kMac, 13},
        {"AddressEmpty", "", "3", "", kMac, 11001},
        {"AddressUnresolvable", "", "3", "no-such-host.invalid", kMac, 11001},
        {"LocalPortInUse", "", "3", "127.0.0.1", kMac, 10048, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m.Hist_path);
        be.boxes.clear();
        be.answerNextBox(kAnsOk);
        std::optional<test::LoopbackReceiver> occupant;
        if (c.portAboveTaken) occupant.emplace("127.0.0.1", rx.port() + 1);
        SendMagicPacket(ctx, c.port.empty() ? port() : c.port, c.count, c.address, c.mac);
        expectFailure(c.error);
    }
}

TEST_F(Wake, APrivilegedLocalPortIsLeftToTheSystem) {
    ctx.net.bind = [this](int fd, const sockaddr_in& local) {
        return ntohs(local.sin_port) == rx.port() + 1 ? EACCES : bindIPv4(fd, local);
    };
    SendMagicPacket(ctx, port(), "2", "127.0.0.1", kMac);
    EXPECT_EQ(rx.take().size(), 2u);
    EXPECT_EQ(historyTags(), Lines{"[Success] PC1 [WakeOnLan]"});
}

// A name service that answers 127.0.0.1 once the promise it returns is kept.
std::promise<void> holdNameService(UdpNet& net) {
    std::promise<void> held;
    net.resolve = [answer = held.get_future().share()](const std::string&, in_addr& out) {
        answer.wait();
        out.s_addr = htonl(INADDR_LOOPBACK);
        return 0;
    };
    return held;
}

TEST_F(Wake, AHostNameThatTakesTooLongFailsWhileEventsGoOn) {
    std::promise<void> held = holdNameService(ctx.net);
    be.secondsPerPump = 0.5;
    be.answerNextBox(kAnsOk);
    SendMagicPacket(ctx, port(), "3", "sleepy-name-service", kMac);
    EXPECT_GE(be.pumpCount, 10) << "the windows stay alive while the name is awaited";
    held.set_value();
    expectFailure(10060);
}

TEST_F(Wake, AWakeStartedWhileANameResolvesDoesNotTakeOverTheName) {
    std::promise<void> held = holdNameService(ctx.net);
    be.onPump = [&](int) {
        if (m.WOL_name == "PC2") return;
        m.WOL_name = "PC2";
        held.set_value();
    };
    SendMagicPacket(ctx, port(), "1", "slow-name", kMac);
    EXPECT_EQ(historyTags(), Lines{"[Success] PC1 [WakeOnLan]"});
    EXPECT_EQ(notice.opened, Lines{"PC1"});
}

}  // namespace
}  // namespace vornel
