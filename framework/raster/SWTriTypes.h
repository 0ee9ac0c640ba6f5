#pragma once
#include <cstdint>

// The rasteriser's own small vocabulary. It depends on nothing else in the framework: the image
// classes hand it their colours, rectangles and texels through these types.
namespace Nubra {

// Caller's vertex: position in destination pixels, normalised texture coordinates, 0xAARRGGBB.
struct SWTri_Vertex {
    float x;
    float y;
    float u;
    float v;
    uint32_t color;
};

// A vertex as the fillers see it: x, y, u, v in 16.16; a, r, g, b as channel << 16.
struct SWTri_FixedVertex {
    int32_t x;
    int32_t y;
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
    int32_t u;
    int32_t v;
};

// The texture as the fillers read it; a texel is read only when its index is below size.
struct SWTri_TextureInfo {
    const uint32_t* bits;
    int32_t width;
    int32_t size;
};

// The constant colour, alpha first, each 0-255.
struct SWTri_ConstColor {
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
};

// Destination pixel formats. The values are the codes the image classes use.
enum class SWTri_Format : int32_t {
    ARGB8888 = 0x8888, // alpha kept and composited, colour not premultiplied
    RGB888 = 0x888,    // opaque: the alpha byte is never read and written as 255
    RGB565 = 0x565,
    RGB555 = 0x555, // bit 15 written as 0
};

constexpr int SWTri_PixelSize(SWTri_Format format)
{
    return format == SWTri_Format::RGB565 || format == SWTri_Format::RGB555 ? 2 : 4;
}

struct SWTri_Color {
    int32_t r = 255;
    int32_t g = 255;
    int32_t b = 255;
    int32_t a = 255;

    static const SWTri_Color White;

    friend constexpr bool operator==(const SWTri_Color&, const SWTri_Color&) = default;
};

inline constexpr SWTri_Color SWTri_Color::White{255, 255, 255, 255};

struct SWTri_Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// A block of destination pixels: pixel (0, 0) at bits, rows pitch bytes apart.
struct SWTri_Dest {
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    int32_t width = 0;
    int32_t height = 0;
    SWTri_Format format = SWTri_Format::ARGB8888;
};

// Every span filler: three vertices (any order), destination, pitch in bytes, texture, colour.
using SWTri_FillerFn = void (*)(const SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch,
                                const SWTri_TextureInfo* texture, const SWTri_ConstColor* color);

} // namespace Nubra
