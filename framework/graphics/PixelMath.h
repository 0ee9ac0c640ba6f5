#pragma once
// Per-pixel arithmetic of the software drawing: 0xAARRGGBB words blended with 256-based
// weights, red and blue in one word and green in another so no channel spills into the next.
#include "framework/graphics/Color.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Nubra {

// Entry i is min(i, 255): the sum of two channels clamped by a look-up.
inline constexpr std::array<uint8_t, 512> kSaturationTable = [] {
    std::array<uint8_t, 512> table{};
    for (int i = 0; i < 512; ++i)
        table[size_t(i)] = uint8_t(std::min(i, 255));
    return table;
}();

// Components held to 0-255: nothing upstream clamps them, and the words and table look-ups
// built from them must stay in range.
inline Color ClampedColor(const Color& color)
{
    auto clamp = [](int c) { return std::clamp(c, 0, 255); };
    return Color(clamp(color.red), clamp(color.green), clamp(color.blue), clamp(color.alpha));
}

constexpr uint32_t AlphaOf(uint32_t pixel) { return pixel >> 24; }
constexpr uint32_t RedOf(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
constexpr uint32_t GreenOf(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
constexpr uint32_t BlueOf(uint32_t pixel) { return pixel & 0xFF; }
constexpr uint32_t PackARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

// d's colour moved towards s's by w / 256 (w 0-256), each channel floored once; alpha bits 0.
constexpr uint32_t MixRGB(uint32_t d, uint32_t s, uint32_t w)
{
    uint32_t keep = 256 - w;
    uint32_t rb = (((d & 0xFF00FF) * keep + (s & 0xFF00FF) * w) >> 8) & 0xFF00FF;
    uint32_t g = (((d & 0xFF00) * keep + (s & 0xFF00) * w) >> 8) & 0xFF00;
    return rb | g;
}

// As MixRGB, but blue is the sum of its two products floored apart, as the image blits have it.
constexpr uint32_t MixRGBSplitBlue(uint32_t d, uint32_t s, uint32_t w)
{
    uint32_t blue = (BlueOf(d) * (256 - w) >> 8) + (BlueOf(s) * w >> 8);
    return (MixRGB(d, s, w) & 0xFFFF00) | blue;
}

enum class BlueRounding { Once, Split };

// The source colour s with alpha sa (1-255) over d, d's own alpha taking part: the out alpha is
// da + (255 - da) sa / 255 and the source weight sa x 255 / out alpha.
template <BlueRounding Rounding>
constexpr uint32_t CompositeOnto(uint32_t d, uint32_t s, uint32_t sa)
{
    uint32_t da = AlphaOf(d);
    uint32_t outAlpha = 255;
    uint32_t w = sa; // what the general form gives onto an opaque pixel, without the divisions
    if (da != 255) {
        outAlpha = da + (255 - da) * sa / 255;
        w = sa * 255 / outAlpha;
    }
    uint32_t rgb = Rounding == BlueRounding::Once ? MixRGB(d, s, w) : MixRGBSplitBlue(d, s, w);
    return outAlpha << 24 | rgb;
}

// Each of d's channels plus the given amount, saturated at 255; d's alpha stays.
inline uint32_t AddSaturated(uint32_t d, uint32_t r, uint32_t g, uint32_t b)
{
    const auto& sat = kSaturationTable;
    return (d & 0xFF000000) | uint32_t(sat[RedOf(d) + r]) << 16 | uint32_t(sat[GreenOf(d) + g]) << 8 |
           sat[BlueOf(d) + b];
}

// A colour that tints source pixels: each channel times the colour's over 256, the alpha times
// the colour's alpha over 255.
struct Tint {
    uint32_t r, g, b, a;

    explicit Tint(const Color& c) : r(uint32_t(c.red)), g(uint32_t(c.green)), b(uint32_t(c.blue)), a(uint32_t(c.alpha)) {}

    uint32_t AlphaOf(uint32_t s) const { return Nubra::AlphaOf(s) * a / 255; }
    uint32_t Apply(uint32_t s) const
    {
        return PackARGB(0, RedOf(s) * r / 256, GreenOf(s) * g / 256, BlueOf(s) * b / 256);
    }
};

} // namespace Nubra
