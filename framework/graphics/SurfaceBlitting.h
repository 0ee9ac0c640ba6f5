#pragma once
// What the surface blitters share beyond SurfaceAccess.h: the pixel layouts their inner loops
// are written for. Each member picks its layout once (WithLayout) and runs a loop compiled
// for it.
#include "framework/graphics/PixelMath.h"
#include "framework/graphics/SurfaceAccess.h"
#include "framework/graphics/SurfaceRows.h"
#include "framework/graphics/Texels.h"

#include <cstddef>
#include <cstdint>

namespace Nubra::SurfaceBlit {

// The layouts. A 32-bit surface blends red and blue in one word and green in another (the
// 0xFF00FF / 0xFF00 pair); 5-6-5 and 5-5-5 blend all three at once in a spread 32-bit form
// with 5-bit weights; any other 16-bit layout goes channel by channel through its masks.
struct Bits32 {
    using Pixel = uint32_t;
};

template <uint32_t G, uint32_t RB>
struct Spread16 {
    using Pixel = uint16_t;
    static constexpr uint32_t M = G << 16 | RB;
    static constexpr uint32_t Spread(uint32_t v) { return ((v & G) << 16) | (v & RB); }
    static constexpr uint32_t Fold(uint32_t t) { return (t >> 16) | (t & 0xFFFF); }
    // fold((spread(v) x (w >> 3)) >> 5 & M): v scaled by w / 256 in 5-bit steps.
    static constexpr uint32_t Scale(uint32_t v, uint32_t w) { return Fold(((Spread(v) * (w >> 3)) >> 5) & M); }
};
using Packed565 = Spread16<0x7E0, 0xF81F>;
using Packed555 = Spread16<0x3E0, 0x7C1F>;

struct Masked16 {
    using Pixel = uint16_t;
};

template <typename L> constexpr bool kSpread = false;
template <uint32_t G, uint32_t RB> constexpr bool kSpread<Spread16<G, RB>> = true;

// Calls f with the layout of a 16- or 32-bit format.
template <typename F> void WithLayout(const plat::PixelFormat& format, F&& f)
{
    if (format.bitsPerPixel == 32)
        f(Bits32{});
    else if (format == plat::PixelFormat::RGB565())
        f(Packed565{});
    else if (format == plat::PixelFormat::RGB555())
        f(Packed555{});
    else
        f(Masked16{});
}

// Calls f with a value of the pixel type of a 16- or 32-bit format.
template <typename F> void WithPixelType(const plat::PixelFormat& format, F&& f)
{
    if (format.bitsPerPixel == 16)
        f(uint16_t{});
    else
        f(uint32_t{});
}

// Calls draw with the source's display-format words (BitsTexels or PaletteTexels), indexed
// y x width + x; nothing when they cannot be built.
template <typename Draw> void WithNativeWords(MemoryImage& source, DDInterface* display, Draw&& draw)
{
    const uint32_t* native = source.GetNativeAlphaData(display);
    if (!native)
        return;
    if (source.colorIndices)
        draw(PaletteTexels{native, source.colorIndices.get()});
    else
        draw(BitsTexels{native});
}

// True when the rectangle is not empty and lies inside a width x height picture.
inline bool Inside(const Rect& r, int width, int height)
{
    return r.width > 0 && r.height > 0 && r.x >= 0 && r.y >= 0 && int64_t(r.x) + r.width <= width
           && int64_t(r.y) + r.height <= height;
}

// The source of a blit, marked drawn and its alpha flags brought up to date; null when it is
// not a memory image, or when a rectangle leaves the source or the destination (no member
// clips, so such a blit is drawn nowhere).
inline MemoryImage* BlitSource(Image* image, const DDImage& dest, int x, int y, const Rect& src)
{
    if (image)
        image->drawn = true;
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source)
        return nullptr;
    source->CommitBits();
    const bool fits = Inside(src, source->width, source->height)
                      && Inside(Rect(x, y, src.width, src.height), dest.width, dest.height);
    return fits ? source : nullptr;
}

// c x a / 255, toward zero: a colour component scaled by the colour's alpha.
inline uint32_t Scaled(int component, int alpha) { return uint32_t(component * alpha / 255); }

} // namespace Nubra::SurfaceBlit
