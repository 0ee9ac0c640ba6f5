#pragma once
#include "framework/raster/SWTriTextureSource.h"
#include "framework/raster/SWTriTypes.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace rastertest {

using namespace Nubra;

// A destination block inside a guard band: a write outside the block shows in the band.
class Canvas {
public:
    static constexpr int kGuard = 8; // pixels on every side
    static constexpr uint8_t kGuardByte = 0xA5;

    Canvas(SWTri_Format format, int width, int height, uint32_t fill = 0)
        : format_(format), width_(width), height_(height), px_(SWTri_PixelSize(format)),
          pitch_((width + 2 * kGuard) * px_), bytes_(size_t(pitch_) * (height + 2 * kGuard), kGuardByte)
    {
        Fill(fill);
    }

    SWTri_Dest Dest() { return {Origin(), pitch_, width_, height_, format_}; }
    uint8_t* Origin() { return bytes_.data() + kGuard * pitch_ + kGuard * px_; }
    int32_t Pitch() const { return pitch_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Fill(uint32_t value)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                Set(x, y, value);
    }

    uint32_t At(int x, int y) const
    {
        uint32_t w = 0;
        std::memcpy(&w, Address(x, y), size_t(px_));
        return w;
    }

    void Set(int x, int y, uint32_t value) { std::memcpy(Address(x, y), &value, size_t(px_)); }

    bool GuardIntact() const
    {
        for (int y = -kGuard; y < height_ + kGuard; ++y)
            for (int x = -kGuard; x < width_ + kGuard; ++x) {
                if (x >= 0 && x < width_ && y >= 0 && y < height_)
                    continue;
                const uint8_t* p = Address(x, y);
                for (int i = 0; i < px_; ++i)
                    if (p[i] != kGuardByte)
                        return false;
            }
        return true;
    }

    // One line per row: '#' where the pixel differs from `background`, '.' elsewhere.
    std::string Picture(uint32_t background) const
    {
        std::string out;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x)
                out += At(x, y) == background ? '.' : '#';
            out += '\n';
        }
        return out;
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    const uint8_t* Address(int x, int y) const
    {
        return bytes_.data() + size_t(y + kGuard) * size_t(pitch_) + size_t(x + kGuard) * size_t(px_);
    }
    uint8_t* Address(int x, int y) { return const_cast<uint8_t*>(static_cast<const Canvas*>(this)->Address(x, y)); }

    SWTri_Format format_;
    int width_, height_, px_;
    int32_t pitch_;
    std::vector<uint8_t> bytes_;
};

inline int32_t Fixed(double v) { return int32_t(std::trunc(v * 65536.0)); }

// A fixed-point vertex at (x, y) pixels with colour 0xAARRGGBB and texel coordinates (u, v).
inline SWTri_FixedVertex Vx(double x, double y, uint32_t argb = 0xFFFFFFFF, double u = 0, double v = 0)
{
    return {Fixed(x), Fixed(y), int32_t(((argb >> 24) & 0xFF) << 16), int32_t(argb & 0xFF0000),
            int32_t((argb & 0xFF00) << 8), int32_t((argb & 0xFF) << 16), Fixed(u), Fixed(v)};
}

// A texture held in memory, counting how often the rasteriser asks for its state.
class FakeTexture : public SWTri_TextureSource {
public:
    FakeTexture(int width, int height, uint32_t fill = 0xFFFFFFFF)
        : width(width), height(height), texels(size_t(width) * size_t(height), fill)
    {
    }

    int32_t Width() const override { return width; }
    int32_t Height() const override { return height; }
    bool HasTransparency() const override { return transparency; }
    bool HasPartialAlpha() const override { return partialAlpha; }
    void CommitBits() override { ++commits; }
    const uint32_t* GetBits() override
    {
        ++getBits;
        return readable ? texels.data() : nullptr;
    }

    int width, height;
    std::vector<uint32_t> texels;
    bool transparency = false;
    bool partialAlpha = false;
    bool readable = true;
    int commits = 0;
    int getBits = 0;
};

} // namespace rastertest
