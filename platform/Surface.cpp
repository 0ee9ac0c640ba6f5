#include "platform/Surface.h"

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// Rows start on this many bytes, as display memory often does.
constexpr int kRowAlignment = 16;

int PaddedPitch(int width, int bytesPerPixel)
{
    int bytes = width * bytesPerPixel;
    return (bytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}

} // namespace

Surface::Surface(int width, int height, const PixelFormat& format)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), format_(format),
      pitch_(PaddedPitch(width_, format.BytesPerPixel())), pixels_(size_t(pitch_) * size_t(height_))
{
}

bool Surface::Lock(SurfaceLock* out)
{
    if (locksFail_)
        return false;
    ++lockCount_;
    out->pixels = pixels_.data();
    out->pitch = pitch_;
    out->format = format_;
    return true;
}

void Surface::Unlock()
{
    if (lockCount_ > 0)
        --lockCount_;
}

bool Surface::Contains(const PixelRect& rect) const
{
    return rect.width > 0 && rect.height > 0 && rect.x >= 0 && rect.y >= 0 && rect.x + rect.width <= width_
           && rect.y + rect.height <= height_;
}

uint32_t Surface::Read(const uint8_t* row, int x) const
{
    if (format_.bitsPerPixel == 16) {
        uint16_t value;
        std::memcpy(&value, row + size_t(x) * 2, 2);
        return value;
    }
    uint32_t value;
    std::memcpy(&value, row + size_t(x) * 4, 4);
    return value;
}

void Surface::Write(uint8_t* row, int x, uint32_t value) const
{
    if (format_.bitsPerPixel == 16) {
        uint16_t low = uint16_t(value);
        std::memcpy(row + size_t(x) * 2, &low, 2);
    } else {
        std::memcpy(row + size_t(x) * 4, &value, 4);
    }
}

bool Surface::Blt(const PixelRect& to, const Surface& source, const PixelRect& from, bool keyed)
{
    if (lockCount_ > 0 || source.lockCount_ > 0 || !(source.format_ == format_) || !Contains(to)
        || !source.Contains(from))
        return false;
    // A copy within one surface may overlap: read from a snapshot of the source rows.
    std::vector<uint8_t> snapshot;
    const uint8_t* sourceBase = source.pixels_.data();
    if (&source == this) {
        snapshot = pixels_;
        sourceBase = snapshot.data();
    }
    auto sourceRow = [&](int y) { return sourceBase + size_t(y) * size_t(source.pitch_); };

    const int bytes = format_.BytesPerPixel();
    const bool useKey = keyed && source.colorKey_.has_value();
    const uint32_t colorBits = format_.ColorMask();
    const uint32_t key = source.colorKey_.value_or(0) & colorBits;
    const bool sameSize = to.width == from.width && to.height == from.height;
    for (int dy = 0; dy < to.height; ++dy) {
        int sy = from.y + (sameSize ? dy : int(int64_t(dy) * from.height / to.height));
        const uint8_t* in = sourceRow(sy);
        uint8_t* out = Row(to.y + dy);
        if (sameSize && !useKey) {
            std::memcpy(out + size_t(to.x) * bytes, in + size_t(from.x) * bytes, size_t(to.width) * bytes);
            continue;
        }
        for (int dx = 0; dx < to.width; ++dx) {
            int sx = from.x + (sameSize ? dx : int(int64_t(dx) * from.width / to.width));
            uint32_t value = source.Read(in, sx);
            if (useKey && (value & colorBits) == key)
                continue;
            Write(out, to.x + dx, value);
        }
    }
    return true;
}

bool Surface::Fill(const PixelRect& rect, uint32_t value)
{
    if (lockCount_ > 0 || !Contains(rect))
        return false;
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        uint8_t* row = Row(y);
        for (int x = rect.x; x < rect.x + rect.width; ++x)
            Write(row, x, value);
    }
    return true;
}

uint32_t Surface::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return Read(Row(y), x);
}

} // namespace plat
