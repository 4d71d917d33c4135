// The checksum that names tag entries and gives art objects their identity keys.
#pragma once

#include <cstdint>
#include <string_view>

// CRC-32 over the reflected polynomial 0xEDB88320, with the register starting at 0x80000000 and
// no final inversion. Stored documents carry entry names made with exactly this variant, so it
// must never change: "abc" gives 0xca659850 and the empty text 0x80000000.
std::uint32_t CRC32(std::string_view bytes);
