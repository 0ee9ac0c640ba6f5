// The rotated blit of the memory image: destination pixels mapped back into the source in
// 16.16 steps and sampled bilinearly, the weights scaled by each texel's alpha.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelMath.h"
#include "framework/graphics/Texels.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace Nubra {

namespace {

// trunc(v x 65536), held to 32 bits.
int64_t ToFixed(double v) { return int64_t(std::clamp(std::trunc(v * 65536.0), -2147483648.0, 2147483647.0)); }

// The destination box of the source rectangle turned about the centre, in floats.
DRect RotatedBox(float x, float y, const Rect& src, double angle, float centerX, float centerY)
{
    const float c = float(std::cos(angle)), s = float(std::sin(angle));
    float minX = 1.0e7f, minY = 1.0e7f, maxX = -1.0e7f, maxY = -1.0e7f;
    const float cornersX[4] = {0.0f, float(src.width), float(src.width), 0.0f};
    const float cornersY[4] = {0.0f, 0.0f, float(src.height), float(src.height)};
    for (int k = 0; k < 4; ++k) {
        const float px = cornersX[k] - centerX, py = cornersY[k] - centerY;
        const float landX = x + centerX + px * c + py * s;
        const float landY = y + centerY - px * s + py * c;
        minX = std::min(minX, landX);
        maxX = std::max(maxX, landX);
        minY = std::min(minY, landY);
        maxY = std::max(maxY, landY);
    }
    return DRect(minX, minY, maxX - minX, maxY - minY);
}

DRect ToDRect(const Rect& r) { return DRect(r.x, r.y, r.width, r.height); }

// Narrows [start, end] to the samples along one axis whose texel pair (at pos >> 16 and the
// next) lies inside 0 .. size - 1; false when the row has none. The v axis bounds a falling
// walk by pos / delta, the u axis by the 0x7FFF form.
bool ClipSamples(int64_t pos, int64_t delta, int64_t size, bool isV, int64_t& start, int64_t& end)
{
    const int64_t extent = size << 16;
    if (delta >= 1) {
        if ((pos >> 16) >= size - 1)
            return false;
        const int64_t first = (0x10000 - pos) / delta;
        if (first > 0)
            start = std::max(start, first);
        end = std::min(end, (extent - pos - 0x17FFF) / delta);
    } else if (delta <= -1) {
        if ((pos >> 16) < 0)
            return false;
        const int64_t first = (extent - pos - 0x27FFF) / delta;
        if (first >= 0)
            start = std::max(start, first);
        end = std::min(end, isV ? -(pos / delta) : (0x7FFF - pos) / delta);
    } else if (pos < 0 || pos >= extent - 0x10000) {
        return false;
    }
    return true;
}

enum class RotatedBlend { Normal, NormalTinted, Additive, AdditiveTinted };

// What a call's colour contributes to each member's blend.
struct RotatedColor {
    uint32_t alpha;                 // scales the weights of the tinted normal member
    uint32_t plusR, plusG, plusB;   // colour + 1, the tinted normal member's factors
    uint32_t kR, kG, kB;            // colour x alpha / 255, the tinted additive member's factors

    explicit RotatedColor(const Color& c)
        : alpha(uint32_t(c.alpha)), plusR(uint32_t(c.red) + 1), plusG(uint32_t(c.green) + 1),
          plusB(uint32_t(c.blue) + 1), kR(uint32_t(c.red * c.alpha / 255)), kG(uint32_t(c.green * c.alpha / 255)),
          kB(uint32_t(c.blue * c.alpha / 255))
    {
    }
};

// The source colour (s_R, s_G, s_B) with total weight t over d: written as is when nearly
// opaque, else blended with d's alpha taking part.
uint32_t NormalRotatedPixel(uint32_t d, uint32_t t, uint32_t sR, uint32_t sG, uint32_t sB)
{
    if (t > 250)
        return PackARGB(255, sR, sG, sB);
    const uint32_t da = AlphaOf(d);
    const uint32_t keep = 256 - t;
    const uint32_t out = 256 - (((256 - da) * keep) >> 8);
    auto channel = [&](uint32_t dc, uint32_t sc) { return ((((dc * da) >> 8) * keep + 256 * sc) / out) & 255; };
    return PackARGB(out - 1, channel(RedOf(d), sR), channel(GreenOf(d), sG), channel(BlueOf(d), sB));
}

// Draws count destination pixels from dest, sampling at (u, v) relative to the texel at
// origin and stepping by (du, dv); every sample's four texels lie inside the source rectangle.
template <RotatedBlend Kind, typename Texels>
void DrawRotatedSpan(uint32_t* dest, int64_t count, const Texels& texels, size_t origin, size_t stride, int64_t u,
                     int64_t v, int64_t du, int64_t dv, const RotatedColor& color)
{
    for (int64_t k = 0; k < count; ++k, u += du, v += dv) {
        const size_t i = origin + size_t(v >> 16) * stride + size_t(u >> 16);
        const uint32_t p00 = texels[i], p10 = texels[i + 1], p01 = texels[i + stride], p11 = texels[i + stride + 1];
        const uint32_t fu = (uint32_t(u) & 0xFFFE) + 1, fv = (uint32_t(v) & 0xFFFE) + 1;
        uint32_t w00 = ((((65536 - fu) * (65536 - fv)) >> 16) * AlphaOf(p00)) >> 16;
        uint32_t w10 = (((fu * (65536 - fv)) >> 16) * AlphaOf(p10)) >> 16;
        uint32_t w01 = ((((65536 - fu) * fv) >> 16) * AlphaOf(p01)) >> 16;
        uint32_t w11 = (((fu * fv) >> 16) * AlphaOf(p11)) >> 16;
        if constexpr (Kind == RotatedBlend::NormalTinted) {
            w00 = (w00 * color.alpha) >> 8;
            w10 = (w10 * color.alpha) >> 8;
            w01 = (w01 * color.alpha) >> 8;
            w11 = (w11 * color.alpha) >> 8;
        }
        const uint32_t total = w00 + w10 + w01 + w11;
        if (total == 0)
            continue;
        auto sum = [&](uint32_t (*channel)(uint32_t)) {
            return channel(p00) * w00 + channel(p10) * w10 + channel(p01) * w01 + channel(p11) * w11;
        };
        const uint32_t sumR = sum(RedOf), sumG = sum(GreenOf), sumB = sum(BlueOf);
        uint32_t& d = dest[k];
        if constexpr (Kind == RotatedBlend::Normal) {
            d = NormalRotatedPixel(d, total, sumR >> 8, sumG >> 8, sumB >> 8);
        } else if constexpr (Kind == RotatedBlend::NormalTinted) {
            d = NormalRotatedPixel(d, total, ((sumR * color.plusR) >> 16) & 255,
                                   (((sumG >> 8) * color.plusG) >> 8) & 255, (((sumB >> 8) * color.plusB) >> 8) & 255);
        } else if constexpr (Kind == RotatedBlend::Additive) {
            d = AddSaturated(d, sumR >> 8, sumG >> 8, sumB >> 8);
        } else {
            d = AddSaturated(d, ((sumR >> 8) * color.kR) >> 8, (sumG * color.kG) >> 16, (sumB * color.kB) >> 16);
        }
    }
}

} // namespace

void MemoryImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, double angle, float centerX, float centerY)
{
    if (!image)
        return;
    image->drawn = true;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle) || !std::isfinite(centerX) ||
        !std::isfinite(centerY))
        return;
    const DRect box = RotatedBox(x, y, srcRect, angle, centerX, centerY)
                          .Intersection(ToDRect(clipRect))
                          .Intersection(ToDRect(Bounds()));
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!(box.width > 0) || !(box.height > 0) || !source)
        return;
    // The samples stay inside the source rectangle; it must lie inside its image.
    if (srcRect.x < 0 || srcRect.y < 0 || srcRect.width > source->width - srcRect.x ||
        srcRect.height > source->height - srcRect.y)
        return;

    const Color c = ClampedColor(color);
    const bool tinted = c != Color::White;
    const RotatedColor rotatedColor(c);
    const double cosine = std::cos(angle), sine = std::sin(angle);
    const int64_t du = int64_t(cosine * 65536), dv = int64_t(sine * 65536);
    const int ix = int(box.x), iy = int(box.y);
    const int64_t lastColumn = int64_t(box.width - 1);
    const float a = float(ix) - centerX - x;
    const size_t stride = size_t(source->width);
    const size_t origin = size_t(srcRect.y) * stride + size_t(srcRect.x);
    uint32_t* pixels = GetBits();

    WithTexels(*source, [&](const auto& texels) {
        for (int r = 0; r < box.height; ++r) {
            const float b = float(iy + r) - centerY - y;
            const int64_t uStart = ToFixed(a * cosine - b * sine + centerX);
            const int64_t vStart = ToFixed(b * cosine + a * sine + centerY);
            int64_t start = 0, end = lastColumn;
            if (!ClipSamples(uStart, du, srcRect.width, false, start, end) ||
                !ClipSamples(vStart, dv, srcRect.height, true, start, end) || start > end)
                continue;
            uint32_t* dest = pixels + size_t(iy + r) * size_t(width) + size_t(ix + start);
            const int64_t count = end - start + 1, u = uStart + start * du, v = vStart + start * dv;
            auto draw = [&](auto kind) {
                DrawRotatedSpan<decltype(kind)::value>(dest, count, texels, origin, stride, u, v, du, dv,
                                                       rotatedColor);
            };
            if (drawMode == DRAWMODE_NORMAL)
                tinted ? draw(std::integral_constant<RotatedBlend, RotatedBlend::NormalTinted>())
                       : draw(std::integral_constant<RotatedBlend, RotatedBlend::Normal>());
            else
                tinted ? draw(std::integral_constant<RotatedBlend, RotatedBlend::AdditiveTinted>())
                       : draw(std::integral_constant<RotatedBlend, RotatedBlend::Additive>());
        }
    });
    BitsChanged();
}

} // namespace Nubra
