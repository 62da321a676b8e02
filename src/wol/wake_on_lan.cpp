#include "wol/wake_on_lan.h"

#include "common/errors.h"
#include "common/text_number.h"
#include "history/history.h"
#include "wol/magic_packet.h"

namespace vornel {
namespace {

constexpr int kErrInvalidPropertyValue = 380;

// Remote port, local port (one above), packet and number of sends, converted in this order so
// a bad setting fails before the socket exists.
struct Transmission {
    int remotePort = 0;
    int localPort = 0;
    MagicPacket packet{};
    int count = 0;
};

Transmission prepare(const std::string& port, const std::string& reptNum,
                     const std::array<std::string, 6>& mac) {
    Transmission t;
    t.remotePort = textToInt16(port);
    if (t.remotePort < 1) throw VbError(kErrInvalidPropertyValue, "プロパティの値が不正です。");
    // The local port is a 16-bit number too: 32767 has no port above it.
    if (t.remotePort == 32767) raiseError(kErrOverflow);
    t.localPort = t.remotePort + 1;
    t.packet = buildMagicPacket(mac);
    t.count = textToInt16(reptNum);
    return t;
}

}  // namespace

void SendMagicPacket(WolContext& ctx, std::string port, std::string reptNum, std::string address,
                     std::array<std::string, 6> mac) {
    // Events go on while a host name resolves and may start another wake, which sets WOL_name
    // anew; this one still reports the PC it was started for.
    const std::string pcName = ctx.m.WOL_name;
    try {
        const Transmission t = prepare(port, reptNum, mac);
        if (t.count > 0) {
            const in_addr to = resolveHost(ctx.cmn, ctx.net, address);
            sendDatagrams(ctx.net, to, t.remotePort, t.localPort, t.packet.data(), t.packet.size(),
                          t.count);
        }
    } catch (const VbError& e) {
        ctx.cmn.Err_Msg("SendMagicPacket", e);
        write_hist(ctx.m, HistOutcome::Fail, HistOrigin::WakeOnLan, pcName);
        return;
    }
    write_hist(ctx.m, HistOutcome::Success, HistOrigin::WakeOnLan, pcName);
    ctx.notice.open(pcName);
}

void pc_wol_Click(WolContext& ctx, std::int16_t g) {
    if (g < 0 || g > 4) return;
    Module1& m = ctx.m;
    const WOL_data& entry = m.WOL_set[static_cast<std::size_t>(g)];
    if (m.WOL_valid[static_cast<std::size_t>(g)] == 0) {
        m.Msg_str = "この設定は無効です！\r\n設定を全て入力して下さい";
        ctx.cmn.Msg_Box(ctx.cmn.KindErr, m.Msg_str);
        return;
    }
    m.WOL_name = entry.PCname;
    SendMagicPacket(ctx, m.WOL_Port, m.WOL_ReptNum, entry.IPaddr, entry.MAC);
}

}  // namespace vornel
