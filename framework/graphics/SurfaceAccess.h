#pragma once
// What the software drawing onto a surface-backed image's surface reads: the destination's
// channels with the display's shifts, widths and saturation tables, and the surface held
// locked for one drawing operation.
#include "framework/graphics/Color.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Nubra {

// One colour channel of the destination: its mask, and the display's shift, width and
// saturation table for it.
struct Channel {
    uint32_t mask;
    int shift;
    int bits;
    const std::vector<uint32_t>* saturation;
};

struct Channels {
    Channel red, green, blue;

    Channels(const plat::PixelFormat& format, const DDInterface& d)
        : red{format.redMask, d.redShift, d.redBits, &d.redAddTable},
          green{format.greenMask, d.greenShift, d.greenBits, &d.greenAddTable},
          blue{format.blueMask, d.blueShift, d.blueBits, &d.blueAddTable}
    {
    }
    // Sums f(channel, colour component) over the three.
    template <typename F> uint32_t Sum(const Color& c, F f) const
    {
        return f(red, uint32_t(c.red)) + f(green, uint32_t(c.green)) + f(blue, uint32_t(c.blue));
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
        int bpp = image_.surfaceDesc.format.bitsPerPixel;
        return locked_ && (bpp == 16 || bpp == 32);
    }
    bool Is16() const { return image_.surfaceDesc.format.bitsPerPixel == 16; }
    template <typename Pixel> Pixel* Row(int y) const
    {
        return reinterpret_cast<Pixel*>(image_.surfaceDesc.pixels + ptrdiff_t(image_.surfaceDesc.pitch) * y);
    }
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
