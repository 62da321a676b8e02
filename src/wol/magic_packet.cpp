#include "wol/magic_packet.h"

#include "common/errors.h"
#include "common/text_number.h"

namespace vornel {

MagicPacket buildMagicPacket(const std::array<std::string, 6>& mac) {
    MagicPacket packet{};
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) packet[pos++] = 0xFF;
    for (int k = 0; k < 16; ++k) {
        for (const std::string& text : mac) {
            // "&HFFFF" reads as -1 and "&H100" as 256: neither is a byte.
            const std::int16_t value = textToInt16("&H" + text);
            if (value < 0 || value > 0xFF) raiseError(kErrOverflow);
            packet[pos++] = static_cast<std::uint8_t>(value);
        }
    }
    return packet;
}

}  // namespace vornel
