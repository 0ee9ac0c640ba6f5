// The rotated blit onto a surface-backed image: bilinear samples of the source blended straight
// into the locked surface, in its own 16- or 32-bit format.
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/SurfaceAccess.h"
#include "framework/graphics/Texels.h"
#include "framework/graphics/TransformedBlits.h"

namespace Nubra {

namespace {

// A channel as the generic blends place it: the top `bits` of its in-place sum (the sum's top
// lies at bit 32 for red, 24 for green, 16 for blue) moved to the channel's place.
struct PlacedChannel {
    uint32_t mask;
    int shift;
    int down; // the sum's top bit position less the channel's width

    PlacedChannel(const Channel& c, int sumTop) : mask(c.mask), shift(c.shift), down(sumTop - c.bits) {}
    uint32_t Source(uint32_t sum) const { return (sum >> down) << shift; }
    uint32_t Kept(uint32_t d, uint32_t dw) const { return (((d & mask) * dw) >> 8) & mask; }
};

// The three in-place sums of a sample: red (p AND 0xFF0000) x w, green (p AND 0xFF00) x w,
// blue (p AND 0xFF) x w, each summed over the four texels; and the destination's weight.
struct InPlaceSums {
    uint32_t r, g, b, dw;

    explicit InPlaceSums(const SampleSums& s) : r(s.red << 16), g(s.green << 8), b(s.blue), dw(256 - s.total) {}
};

// Blends that take the sample's weights as they are.
struct PlainWeights {
    void ApplyColorAlpha(BilinearSample&) const {}
};

// Any channel layout, white.
struct GenericBlend : PlainWeights {
    PlacedChannel red, green, blue;

    explicit GenericBlend(const Channels& c) : red(c.red, 32), green(c.green, 24), blue(c.blue, 16) {}
    uint32_t operator()(const BilinearSample& sample, uint32_t d) const
    {
        const InPlaceSums s(sample.Sums());
        return (red.Source(s.r) + red.Kept(d, s.dw)) | (green.Source(s.g) + green.Kept(d, s.dw)) |
               (blue.Source(s.b) + blue.Kept(d, s.dw));
    }
};

// Any channel layout, colourised: the colour's alpha scales the weights, each channel's sum is
// multiplied by its colour component + 1.
struct GenericTintedBlend {
    PlacedChannel red, green, blue;
    uint32_t alpha, plusR, plusG, plusB;

    GenericTintedBlend(const Channels& c, const Color& color)
        : red(c.red, 32), green(c.green, 24), blue(c.blue, 16), alpha(uint32_t(color.alpha)),
          plusR(uint32_t(color.red) + 1), plusG(uint32_t(color.green) + 1), plusB(uint32_t(color.blue) + 1)
    {
    }
    void ApplyColorAlpha(BilinearSample& s) const { s.Scale(alpha); }
    uint32_t operator()(const BilinearSample& sample, uint32_t d) const
    {
        const InPlaceSums s(sample.Sums());
        auto part = [&](const PlacedChannel& c, uint32_t sum, uint32_t plus) {
            return c.Source((sum >> 8) * plus) + c.Kept(d, s.dw);
        };
        return part(red, s.r, plusR) | part(green, s.g, plusG) | part(blue, s.b, plusB);
    }
};

// 16-bit 5-6-5 or 5-5-5 in red-green-blue order, white: the destination's green moved into the
// upper half-word, so one multiplication (by the destination weight in 32 steps) blends all three.
template <bool Is555> struct Packed16Blend : PlainWeights {
    static constexpr uint32_t kSpread = Is555 ? 0x03E07C1F : 0x07E0F81F;

    uint32_t operator()(const BilinearSample& sample, uint32_t d) const
    {
        const SampleSums s = sample.Sums();
        // The sums over 256 as an 8-8-8 colour.
        const uint32_t p = (s.red >> 8) << 16 | (s.green >> 8) << 8 | s.blue >> 8;
        const uint32_t e = ((((d | (d << 16)) & kSpread) * ((256 - s.total) >> 3)) >> 5) & kSpread;
        const uint32_t q = Is555 ? e + ((p >> 3) & 0x1F) + ((p >> 9) & 0x7C00) + ((p & 0xF800) << 10)
                                 : e + ((p & 0xFC00) << 11) + ((p >> 3) & 0x1F) + ((p >> 8) & 0xF800);
        return (q | (q >> 16)) & 0xFFFF;
    }
};

// 32-bit 8-8-8 in red-green-blue order, white: per channel ((sum AND 0xFF00) + d x dw) >> 8, which
// stays below 0x10000; the top byte becomes 0.
struct Packed888Blend : PlainWeights {
    uint32_t operator()(const BilinearSample& sample, uint32_t d) const
    {
#if defined(__SSE2__)
        const __m128i sums = sample.Lanes();
        const __m128i dw = _mm_sub_epi16(_mm_set1_epi16(256), _mm_shufflelo_epi16(sums, 0xFF));
        const __m128i kept = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int(d)), _mm_setzero_si128()), dw);
        const __m128i out = _mm_srli_epi16(_mm_add_epi16(_mm_and_si128(sums, _mm_set1_epi16(short(0xFF00))), kept), 8);
        return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))) & 0xFFFFFF;
#else
        const SampleSums s = sample.Sums();
        const uint32_t dw = 256 - s.total;
        auto channel = [&](uint32_t sum, uint32_t dc) { return ((sum & 0xFF00) + dc * dw) >> 8; };
        return PackARGB(0, channel(s.red, RedOf(d)), channel(s.green, GreenOf(d)), channel(s.blue, BlueOf(d)));
#endif
    }
};

// Any layout and colour: each channel's share, scaled by the colour, added through the
// display's saturation tables.
struct AdditiveBlend : PlainWeights {
    const Channels& channels;
    uint32_t kR, kG, kB;

    AdditiveBlend(const Channels& c, const Color& color)
        : channels(c), kR(uint32_t(color.red * color.alpha / 255)), kG(uint32_t(color.green * color.alpha / 255)),
          kB(uint32_t(color.blue * color.alpha / 255))
    {
    }
    uint32_t operator()(const BilinearSample& sample, uint32_t d) const
    {
        const InPlaceSums s(sample.Sums());
        auto field = [d](const Channel& c, uint32_t add) {
            return (*c.saturation)[add + ((d & c.mask) >> c.shift)] << c.shift;
        };
        const Channel &r = channels.red, &g = channels.green, &b = channels.blue;
        return field(r, ((s.r >> (32 - r.bits)) * kR) >> 8) | field(g, (s.g * kG) >> (32 - g.bits)) |
               field(b, (s.b * kB) >> (24 - b.bits));
    }
};

// Calls draw(blend) with the member that the surface's layout, the colour and the draw mode pick.
template <typename Draw>
void WithRotatedBlend(const Channels& channels, const plat::PixelFormat& format, bool rgbOrder, const Color& color,
                      int drawMode, Draw&& draw)
{
    if (drawMode != DRAWMODE_NORMAL)
        draw(AdditiveBlend(channels, color));
    else if (color != Color::White)
        draw(GenericTintedBlend(channels, color));
    else if (rgbOrder && format.bitsPerPixel == 32)
        draw(Packed888Blend());
    else if (rgbOrder && format.greenMask == 0x07E0)
        draw(Packed16Blend<false>());
    else if (rgbOrder && format.greenMask == 0x03E0)
        draw(Packed16Blend<true>());
    else
        draw(GenericBlend(channels));
}

// Draws count pixels from dest, sampling at (u, v) from the texel at origin and stepping by
// (du, dv); every sample's four texels lie inside the source rectangle.
template <typename Pixel, typename Blend, typename Texels>
void DrawRotatedRun(Pixel* dest, int64_t count, const Texels& texels, size_t origin, size_t stride, int64_t u,
                    int64_t v, int64_t du, int64_t dv, const Blend& blend, uint32_t colorBits)
{
    for (int64_t k = 0; k < count; ++k, u += du, v += dv) {
        BilinearSample sample(texels, origin + size_t(v >> 16) * stride + size_t(u >> 16), stride);
        // With nothing to add every member gives back the destination's colour bits.
        if (sample.Clear()) {
            dest[k] = Pixel(dest[k] & colorBits);
            continue;
        }
        sample.Weigh(u, v);
        blend.ApplyColorAlpha(sample);
        dest[k] = Pixel(blend(sample, dest[k]));
    }
}

} // namespace

void DDImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                         const Color& color, int drawMode, double angle, float centerX, float centerY)
{
    if (!image)
        return;
    image->drawn = true;
    if (videoMemoryWriteOnly)
        return;
    CommitBits();
    if (Check3D()) {
        display->d3dInterface->BltRotated(image, x, y, &clipRect, color, drawMode, angle, centerX, centerY, srcRect);
        return;
    }
    if (!OnSurfaceRoad(true)) {
        MemoryImage::BltRotated(image, x, y, srcRect, clipRect, color, drawMode, angle, centerX, centerY);
        return;
    }
    const RotatedBlit blit{x, y, srcRect, angle, centerX, centerY};
    const DRect box = blit.Box(clipRect, Rect(0, 0, width, height));
    if (!(box.width > 0) || !(box.height > 0))
        return;
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source) {
        DeleteExtraBuffers();
        return;
    }
    if (!blit.SourceInside(source->width, source->height))
        return;
    source->CommitBits();

    const Color c = ClampedColor(color);
    const size_t stride = size_t(source->width);
    const size_t origin = size_t(srcRect.y) * stride + size_t(srcRect.x);
    bool locked = false;
    WithTexels(*source, [&](const auto& texels) {
        LockedSurface target(*this);
        locked = target.Locked();
        if (!target.Usable())
            return;
        const plat::PixelFormat& format = surfaceDesc.format;
        const Channels channels(format, *display);
        WithRotatedBlend(channels, format, display->rgbOrder, c, drawMode, [&](const auto& blend) {
            blit.ForEachRun(box, [&](int destX, int destY, int64_t count, int64_t u, int64_t v, int64_t du,
                                     int64_t dv) {
                if (target.Is16())
                    DrawRotatedRun(target.Row<uint16_t>(destY) + destX, count, texels, origin, stride, u, v, du, dv,
                                   blend, format.ColorMask());
                else
                    DrawRotatedRun(target.Row<uint32_t>(destY) + destX, count, texels, origin, stride, u, v, du, dv,
                                   blend, format.ColorMask());
            });
        });
    });
    if (locked)
        DeleteExtraBuffers(); // the surface now holds the only picture
}

} // namespace Nubra
