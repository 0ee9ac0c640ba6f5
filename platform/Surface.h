#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace plat {

// Where the colour channels lie in a 16- or 32-bit pixel.
struct PixelFormat {
    int bitsPerPixel = 32;
    uint32_t redMask = 0x00FF0000;
    uint32_t greenMask = 0x0000FF00;
    uint32_t blueMask = 0x000000FF;

    static constexpr PixelFormat XRGB8888() { return {32, 0x00FF0000, 0x0000FF00, 0x000000FF}; }
    static constexpr PixelFormat XBGR8888() { return {32, 0x000000FF, 0x0000FF00, 0x00FF0000}; }
    static constexpr PixelFormat RGB565() { return {16, 0xF800, 0x07E0, 0x001F}; }
    static constexpr PixelFormat RGB555() { return {16, 0x7C00, 0x03E0, 0x001F}; }
    static constexpr PixelFormat BGR565() { return {16, 0x001F, 0x07E0, 0xF800}; }

    int BytesPerPixel() const { return bitsPerPixel / 8; }
    uint32_t ColorMask() const { return redMask | greenMask | blueMask; }
    bool operator==(const PixelFormat&) const = default;
};

// A rectangle of pixels; the right and bottom edges are exclusive.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// What a lock hands out: the first pixel, the distance between rows in bytes, and the format.
struct SurfaceLock {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    PixelFormat format;
};

// A picture in plain memory in a display pixel format, the stand-in for a display surface. Locks
// nest; while any is held, blits and fills onto or from the surface are refused, as a busy
// display surface refuses them. Nothing here waits.
class Surface {
public:
    // Rows are padded, so the pitch is not width x bytes per pixel. A size below 1 is empty.
    Surface(int width, int height, const PixelFormat& format);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return pitch_; }
    const PixelFormat& Format() const { return format_; }

    // Counted: every successful Lock wants one Unlock. False (and no count) while locks fail.
    bool Lock(SurfaceLock* out);
    void Unlock();
    int LockCount() const { return lockCount_; }
    // Lets tests make every later Lock fail.
    void SetLocksFail(bool fail) { locksFail_ = fail; }

    // A source key: pixels whose colour bits equal the key's are skipped by keyed blits.
    void SetColorKey(uint32_t key) { colorKey_ = key; }
    void ClearColorKey() { colorKey_.reset(); }
    std::optional<uint32_t> ColorKey() const { return colorKey_; }

    // Copies `from` of `source` into `to`: row by row when the sizes agree, else sampling the
    // source pixel under each destination pixel's top-left corner (coordinates truncated).
    // With `keyed`, source pixels of the source's key are skipped. False, with nothing drawn,
    // when a rectangle is empty or leaves its surface, when the formats differ, or when either
    // surface is locked. The source may be this surface.
    bool Blt(const PixelRect& to, const Surface& source, const PixelRect& from, bool keyed);
    // Sets every pixel of the rectangle to `value` (its low 16 bits on a 16-bit surface).
    bool Fill(const PixelRect& rect, uint32_t value);
    // One pixel's value; 0 outside the surface.
    uint32_t PixelAt(int x, int y) const;

    // Only the users' book-keeping: all memory is the same here. Nothing that reads the
    // surface back should do so when it is write-only.
    bool videoMemory = false;
    bool writeOnly = false;

private:
    bool Contains(const PixelRect& rect) const;
    uint8_t* Row(int y) { return pixels_.data() + size_t(y) * size_t(pitch_); }
    const uint8_t* Row(int y) const { return pixels_.data() + size_t(y) * size_t(pitch_); }
    uint32_t Read(const uint8_t* row, int x) const;
    void Write(uint8_t* row, int x, uint32_t value) const;

    int width_;
    int height_;
    PixelFormat format_;
    int pitch_;
    std::vector<uint8_t> pixels_;
    int lockCount_ = 0;
    bool locksFail_ = false;
    std::optional<uint32_t> colorKey_;
};

} // namespace plat
