#pragma once
#include <cstdint>

namespace ImageLib {

// Cyan, magenta, yellow and black amounts (0 none, 255 full) as an opaque 0xFFRRGGBB word:
// each channel keeps what its ink and the black let through.
inline uint32_t RGBFromInks(unsigned cyan, unsigned magenta, unsigned yellow, unsigned black)
{
    unsigned through = 255 - black;
    auto channel = [through](unsigned ink) { return ((255 - ink) * through + 127) / 255; };
    return 0xFF000000 | channel(cyan) << 16 | channel(magenta) << 8 | channel(yellow);
}

} // namespace ImageLib
