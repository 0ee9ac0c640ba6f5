#pragma once
// What the software drawing onto a surface-backed image's surface reads: the destination's
// channels with the display's shifts, widths and saturation tables, and the surface held
// locked for one drawing operation.
#include "framework/graphics/Color.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Rect.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Nubra {

// One colour channel of the destination: its mask, and the display's shift, width and
// saturation table (entry i = min(i, largest value)) for it.
struct Channel {
    uint32_t mask;
    int shift;
    int bits;
    const std::vector<uint32_t>* saturation;

    uint32_t Field(uint32_t d) const { return (d & mask) >> shift; }
    // The field `sum` (held to the channel's largest value) put back in place.
    uint32_t Saturated(uint32_t sum) const { return (*saturation)[sum] << shift; }
};

struct Channels {
    Channel red, green, blue;

    Channels(const plat::PixelFormat& format, const DDInterface& d)
        : red{format.redMask, d.redShift, d.redBits, &d.redAddTable},
          green{format.greenMask, d.greenShift, d.greenBits, &d.greenAddTable},
          blue{format.blueMask, d.blueShift, d.blueBits, &d.blueAddTable}
    {
    }
    // Sums f(channel, component) over the three, with the components r, g, b.
    template <typename F> uint32_t Sum(uint32_t r, uint32_t g, uint32_t b, F f) const
    {
        return f(red, r) + f(green, g) + f(blue, b);
    }
    // Sums f(channel, colour component) over the three.
    template <typename F> uint32_t Sum(const Color& c, F f) const
    {
        return Sum(uint32_t(c.red), uint32_t(c.green), uint32_t(c.blue), f);
    }
    // An 8-bit colour put in place, each component cut to its field: Σ (c x m >> 8) & m.
    uint32_t Placed(const Color& c) const
    {
        return Sum(c, [](const Channel& ch, uint32_t v) { return (v * ch.mask >> 8) & ch.mask; });
    }
    // Per-field amounts (each in its field's units, not in place).
    struct Amounts {
        uint32_t red, green, blue;
    };
    // What an additive line or fill adds to each field: (c x a / 255) >> (8 - bits).
    Amounts AddAmounts(const Color& c) const
    {
        auto amount = [&c](const Channel& ch, int component) {
            return uint32_t(component * c.alpha / 255) >> (8 - ch.bits);
        };
        return {amount(red, c.red), amount(green, c.green), amount(blue, c.blue)};
    }
    // d with the amounts added field by field, each saturated.
    uint32_t AddFields(uint32_t d, const Amounts& add) const
    {
        return red.Saturated(red.Field(d) + add.red) | green.Saturated(green.Field(d) + add.green)
               | blue.Saturated(blue.Field(d) + add.blue);
    }
    // The fields are whole bytes (XRGB8888, XBGR8888).
    bool ByteFields() const
    {
        return green.mask == 0xFF00 && (red.mask | blue.mask) == 0xFF00FF && red.mask != blue.mask;
    }
    // Per-channel values listed by the byte their field lies in (byte fields only).
    std::array<uint32_t, 3> ByByte(uint32_t r, uint32_t g, uint32_t b) const
    {
        std::array<uint32_t, 3> out{};
        out[size_t(red.shift / 8)] = r;
        out[size_t(green.shift / 8)] = g;
        out[size_t(blue.shift / 8)] = b;
        return out;
    }
};

// Holds the image's surface locked for one member; usable only at 16 or 32 bits.
class LockedSurface {
public:
    explicit LockedSurface(DDImage& image) : image_(image), locked_(image.LockSurface()) {}
    ~LockedSurface()
    {
        if (locked_)
            image_.UnlockSurface();
    }
    LockedSurface(const LockedSurface&) = delete;
    LockedSurface& operator=(const LockedSurface&) = delete;

    bool Locked() const { return locked_; }
    bool Usable() const
    {
        const int bpp = Format().bitsPerPixel;
        return locked_ && (bpp == 16 || bpp == 32);
    }
    // Usable, and not a write-only surface, which most members may not read.
    bool Readable() const { return Usable() && !image_.videoMemoryWriteOnly; }
    bool Is16() const { return Format().bitsPerPixel == 16; }
    const plat::PixelFormat& Format() const { return image_.surfaceDesc.format; }
    int Width() const { return image_.width; }
    int Height() const { return image_.height; }
    Rect Bounds() const { return Rect(0, 0, Width(), Height()); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    // The pitch in pixels (signed division), as rows are found.
    int RowLength() const { return image_.surfaceDesc.pitch / (Format().bitsPerPixel / 8); }
    template <typename Pixel> Pixel* Row(int y) const
    {
        return reinterpret_cast<Pixel*>(image_.surfaceDesc.pixels + ptrdiff_t(image_.surfaceDesc.pitch) * y);
    }
    template <typename Pixel> Pixel* At(int x, int y) const { return Row<Pixel>(y) + x; }
    // Replaces every pixel d of the rectangle by f(d).
    template <typename F> void Each(const Rect& rect, F f) const
    {
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            if (Is16()) {
                uint16_t* row = Row<uint16_t>(y);
                for (int x = rect.x; x < rect.x + rect.width; ++x)
                    row[x] = uint16_t(f(uint32_t(row[x])));
            } else {
                uint32_t* row = Row<uint32_t>(y);
                for (int x = rect.x; x < rect.x + rect.width; ++x)
                    row[x] = f(row[x]);
            }
        }
    }

private:
    DDImage& image_;
    bool locked_;
};

} // namespace Nubra
