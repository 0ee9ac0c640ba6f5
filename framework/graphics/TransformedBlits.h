#pragma once
// What the rotated and stretched blits of memory images and of surfaces share: where a turned
// source rectangle lands, which run of each destination row samples inside it, the bilinear
// texel weights, and the clipped destination and source box of a stretch.
#include "framework/graphics/PixelMath.h"
#include "framework/graphics/Rect.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Nubra {

inline DRect ToDRect(const Rect& r) { return DRect(r.x, r.y, r.width, r.height); }

// trunc(v x 65536), held to 32 bits.
inline int64_t ToFixed(double v)
{
    return int64_t(std::clamp(std::trunc(v * 65536.0), -2147483648.0, 2147483647.0));
}

// A rotated blit: the source rectangle turned by `angle` radians about the centre (measured
// from its corner, in source pixels), its corner at (x, y) when the angle is 0. A positive
// angle turns the picture counter-clockwise on the screen.
struct RotatedBlit {
    float x, y;
    Rect src;
    double angle;
    float centerX, centerY;

    bool Finite() const
    {
        return std::isfinite(x) && std::isfinite(y) && std::isfinite(angle) && std::isfinite(centerX) &&
               std::isfinite(centerY);
    }

    // The smallest box holding the turned rectangle's corners, in floats as the walk needs them,
    // cut to `clip` and `bounds`. Empty when a position is not finite.
    DRect Box(const Rect& clip, const Rect& bounds) const
    {
        if (!Finite())
            return DRect();
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
        return DRect(minX, minY, maxX - minX, maxY - minY).Intersection(ToDRect(clip)).Intersection(ToDRect(bounds));
    }

    // The samples stay inside the source rectangle; it must lie inside its image.
    bool SourceInside(int sourceWidth, int sourceHeight) const
    {
        return src.x >= 0 && src.y >= 0 && src.width <= sourceWidth - src.x && src.height <= sourceHeight - src.y;
    }

    // Calls run(destX, destY, count, u, v, du, dv) for each destination row of the box with the
    // run of pixels whose four texels lie inside the source rectangle: count pixels from
    // (destX, destY), the first sampling at (u, v) (16.16, from the source rectangle's corner)
    // and each next one (du, dv) further.
    template <typename Run> void ForEachRun(const DRect& box, Run&& run) const
    {
        const double cosine = std::cos(angle), sine = std::sin(angle);
        const int64_t du = int64_t(cosine * 65536), dv = int64_t(sine * 65536);
        const int ix = int(box.x), iy = int(box.y);
        const int64_t lastColumn = int64_t(box.width - 1);
        const float a = float(ix) - centerX - x;
        for (int r = 0; r < box.height; ++r) {
            const float b = float(iy + r) - centerY - y;
            const int64_t uStart = ToFixed(a * cosine - b * sine + centerX);
            const int64_t vStart = ToFixed(b * cosine + a * sine + centerY);
            int64_t start = 0, end = lastColumn;
            if (!ClipSamples(uStart, du, src.width, false, start, end) ||
                !ClipSamples(vStart, dv, src.height, true, start, end) || start > end)
                continue;
            run(ix + int(start), iy + r, end - start + 1, uStart + start * du, vStart + start * dv, du, dv);
        }
    }

private:
    // Narrows [start, end] to the samples along one axis whose texel pair (at pos >> 16 and the
    // next) lies inside 0 .. size - 1; false when the row has none. The v axis bounds a falling
    // walk by pos / delta, the u axis by the 0x7FFF form.
    static bool ClipSamples(int64_t pos, int64_t delta, int64_t size, bool isV, int64_t& start, int64_t& end)
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
};

// The weighted channel sums of a bilinear sample: for each channel the sum over the four texels
// of its value times the texel's weight (at most 255 x 255), and the weights' total (at most 255).
struct SampleSums {
    uint32_t blue, green, red, total;
};

// The four texels around a 16.16 position and their weights: bilinear shares (the low fraction
// bit forced to 1) times each texel's alpha, so the four add up to at most 255. With SSE2 the
// four are worked on at once in 16-bit lanes, which hold every product here exactly.
class BilinearSample {
public:
    // `at` indexes the top-left texel; rows lie `stride` apart. The weights come from Weigh.
    template <typename Texels> BilinearSample(const Texels& texels, size_t at, size_t stride)
    {
        const uint32_t p00 = texels[at], p10 = texels[at + 1], p01 = texels[at + stride], p11 = texels[at + stride + 1];
#if defined(__SSE2__)
        texels_ = _mm_setr_epi32(int(p00), int(p10), int(p01), int(p11));
#else
        texels_ = {p00, p10, p01, p11};
#endif
    }

    // All four texels fully transparent: every weight would be 0.
    bool Clear() const
    {
#if defined(__SSE2__)
        return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(texels_, 24), _mm_setzero_si128())) == 0xFFFF;
#else
        return ((texels_[0] | texels_[1] | texels_[2] | texels_[3]) >> 24) == 0;
#endif
    }

    // Weights for the position: ((share x share') >> 16) x alpha >> 16 per texel.
    void Weigh(int64_t u, int64_t v)
    {
        const uint32_t fu = (uint32_t(u) & 0xFFFE) + 1, fv = (uint32_t(v) & 0xFFFE) + 1;
#if defined(__SSE2__)
        // Lanes [65536 - fu, fu, 65536 - fu, fu] times [65536 - fv, 65536 - fv, fv, fv], high halves.
        const __m128i across = _mm_set1_epi32(int(fu << 16 | (65536 - fu)));
        const __m128i down = _mm_setr_epi32(int((65536 - fv) * 0x10001u), int(fv * 0x10001u), 0, 0);
        const __m128i alphas = _mm_packs_epi32(_mm_srli_epi32(texels_, 24), _mm_setzero_si128());
        weights_ = _mm_mulhi_epu16(_mm_mulhi_epu16(across, down), alphas);
#else
        const uint32_t shares[4] = {((65536 - fu) * (65536 - fv)) >> 16, (fu * (65536 - fv)) >> 16,
                                    ((65536 - fu) * fv) >> 16, (fu * fv) >> 16};
        for (int k = 0; k < 4; ++k)
            weights_[k] = (shares[k] * AlphaOf(texels_[k])) >> 16;
#endif
    }

    // Each weight times alpha / 256.
    void Scale(uint32_t alpha)
    {
#if defined(__SSE2__)
        weights_ = _mm_srli_epi16(_mm_mullo_epi16(weights_, _mm_set1_epi16(short(alpha))), 8);
#else
        for (uint32_t& w : weights_)
            w = (w * alpha) >> 8;
#endif
    }

#if defined(__SSE2__)
    // The sums in the 16-bit lanes blue, green, red and total.
    __m128i Lanes() const
    {
        const __m128i pairs = _mm_unpacklo_epi16(weights_, weights_);
        const __m128i top = _mm_unpacklo_epi32(pairs, pairs), bottom = _mm_unpackhi_epi32(pairs, pairs);
        // The alpha lanes carry 1, so that they sum the weights.
        const __m128i colours = _mm_set1_epi64x(0x0000FFFFFFFFFFFF), one = _mm_set1_epi64x(int64_t(1) << 48);
        const __m128i upper = _mm_or_si128(_mm_and_si128(_mm_unpacklo_epi8(texels_, _mm_setzero_si128()), colours), one);
        const __m128i lower = _mm_or_si128(_mm_and_si128(_mm_unpackhi_epi8(texels_, _mm_setzero_si128()), colours), one);
        const __m128i sums = _mm_add_epi16(_mm_mullo_epi16(upper, top), _mm_mullo_epi16(lower, bottom));
        return _mm_add_epi16(sums, _mm_srli_si128(sums, 8));
    }
#endif

    SampleSums Sums() const
    {
#if defined(__SSE2__)
        const uint64_t lanes = uint64_t(_mm_cvtsi128_si64(Lanes()));
        return {uint32_t(lanes & 0xFFFF), uint32_t(lanes >> 16 & 0xFFFF), uint32_t(lanes >> 32 & 0xFFFF),
                uint32_t(lanes >> 48)};
#else
        SampleSums sums{0, 0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            sums.blue += BlueOf(texels_[k]) * weights_[k];
            sums.green += GreenOf(texels_[k]) * weights_[k];
            sums.red += RedOf(texels_[k]) * weights_[k];
            sums.total += weights_[k];
        }
        return sums;
#endif
    }

private:
#if defined(__SSE2__)
    __m128i texels_;                            // 32-bit lanes p00, p10, p01, p11
    __m128i weights_ = _mm_setzero_si128();     // 16-bit lanes w00, w10, w01, w11
#else
    std::array<uint32_t, 4> texels_;
    std::array<uint32_t, 4> weights_{};
#endif
};

// A stretch's destination rectangle cut to the clip, and the part of the source rectangle that
// lands in it (in source pixels, fractional).
struct StretchArea {
    Rect dest;
    DRect box;

    bool Empty() const { return !(box.width > 0) || !(box.height > 0); }
};

// With `mirrored`, what the clip cuts off the right of the destination comes off the left of
// the source. Empty when the destination rectangle is.
inline StretchArea StretchAreaOf(const Rect& destRect, const Rect& srcRect, const Rect& clip, bool mirrored)
{
    if (destRect.width <= 0 || destRect.height <= 0)
        return {};
    const Rect dest = destRect.Intersection(clip);
    const double rx = double(srcRect.width) / destRect.width;
    const double ry = double(srcRect.height) / destRect.height;
    const int cutLeft = mirrored ? (destRect.x + destRect.width) - (dest.x + dest.width) : dest.x - destRect.x;
    return {dest, DRect(srcRect.x + cutLeft * rx, srcRect.y + (dest.y - destRect.y) * ry,
                        srcRect.width + rx * (dest.width - destRect.width),
                        srcRect.height + ry * (dest.height - destRect.height))};
}

} // namespace Nubra
