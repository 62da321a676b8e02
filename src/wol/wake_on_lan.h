#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/kvcmn15.h"
#include "common/module_state.h"
#include "wol/udp_sender.h"

namespace vornel {

// The window that confirms a wake.
class WolNotice {
  public:
    virtual ~WolNotice() = default;
    // Shows the notice for `pcName`; one that is already open shows the new name and keeps
    // its remaining time.
    virtual void open(const std::string& pcName) = 0;
};

// What a wake needs of the program around it.
struct WolContext {
    Module1& m;
    // The main window's own instance: the wake's boxes and error reports are the window's.
    KvCmn15& cmn;
    WolNotice& notice;
    UdpNet net;
};

// Sends the magic packet for `mac` to `address`:`port` `reptNum` times and records the
// outcome for the PC named in WOL_name: "[Success]" and the notice, or the error report and
// "[Fail]". Never passes an error on.
void SendMagicPacket(WolContext& ctx, std::string port, std::string reptNum, std::string address,
                     std::array<std::string, 6> mac);

// Wakes entry `g` (0..4) from its saved settings, whatever its box and the page show. An
// incomplete entry only gets a message.
void pc_wol_Click(WolContext& ctx, std::int16_t g);

}  // namespace vornel
