#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vornel {

// Six bytes of 0xFF, then the MAC address sixteen times: the datagram a network card that
// sleeps listens for.
using MagicPacket = std::array<std::uint8_t, 102>;

// Builds the packet for a MAC address given as six hexadecimal texts, byte 0 first. Each text
// is read as "&H" + text by the program's one text-to-number conversion and must give
// 0..255; otherwise the conversion's error (13 not a number, 6 out of range) is raised before
// any packet exists.
MagicPacket buildMagicPacket(const std::array<std::string, 6>& mac);

}  // namespace vornel
