#include "framework/graphics/BlendRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Nubra {

namespace {

#if defined(__SSE2__)

// Each group of four is one 128-bit word; unpacked, a pixel's channels are the 16-bit lanes
// blue, green, red, alpha, two pixels a register.

const __m128i kOpaqueAlpha = _mm_set1_epi32(int(0xFF000000u));
const __m128i kColourMask = _mm_set1_epi32(0x00FFFFFF);
const __m128i kFloorBlue = _mm_set_epi16(-1, -1, -1, short(0xFF00), -1, -1, -1, short(0xFF00));

__m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

__m128i Low(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
__m128i High(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

// Per-pixel values (32-bit lanes, at most 256) copied to the channel lanes of each pixel.
void SpreadPerPixel(__m128i perPixel, __m128i& low, __m128i& high)
{
    const __m128i halves = _mm_packs_epi32(perPixel, perPixel);
    const __m128i pairs = _mm_unpacklo_epi16(halves, halves);
    low = _mm_unpacklo_epi32(pairs, pairs);
    high = _mm_unpackhi_epi32(pairs, pairs);
}

// Two pixels: (d (256 - w) + s w) >> 8 per channel, blue (d (256 - w) >> 8) + (s w >> 8): the
// blue products lose their low bytes before the sum, which floors them apart.
__m128i MixHalf(__m128i d, __m128i s, __m128i w)
{
    const __m128i kept = _mm_and_si128(_mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), w)), kFloorBlue);
    const __m128i added = _mm_and_si128(_mm_mullo_epi16(s, w), kFloorBlue);
    return _mm_srli_epi16(_mm_add_epi16(kept, added), 8);
}

// Four pixels of d mixed towards s by the weights w (32-bit lanes, 0-255); alpha 255.
__m128i MixOpaque4(__m128i d, __m128i s, __m128i w)
{
    __m128i wLow, wHigh;
    SpreadPerPixel(w, wLow, wHigh);
    const __m128i mixed = _mm_packus_epi16(MixHalf(Low(d), Low(s), wLow), MixHalf(High(d), High(s), wHigh));
    return _mm_or_si128(mixed, kOpaqueAlpha);
}

__m128i AlphaLanes(__m128i pixels) { return _mm_srli_epi32(pixels, 24); }

bool AllOpaque(__m128i pixels)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(pixels, kColourMask), _mm_set1_epi32(-1))) == 0xFFFF;
}

// Channels times factors / 256 (factors 0-256, one per lane).
__m128i ScaleHalf(__m128i channels, __m128i factors) { return _mm_srli_epi16(_mm_mullo_epi16(channels, factors), 8); }

// The pixel's tint: colour channels times the tint's / 256, alpha 0.
__m128i Tinted4(__m128i s, __m128i factors)
{
    return _mm_packus_epi16(ScaleHalf(Low(s), factors), ScaleHalf(High(s), factors));
}

// Source alpha times the tint's / 255, as x / 255 = (x + 1 + (x >> 8)) >> 8 for x up to 65025.
__m128i TintedAlpha4(__m128i s, __m128i tintAlpha)
{
    const __m128i x = _mm_mullo_epi16(AlphaLanes(s), tintAlpha);
    return _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(x, _mm_set1_epi32(1)), _mm_srli_epi32(x, 8)), 8);
}

__m128i ChannelFactors(uint32_t r, uint32_t g, uint32_t b)
{
    return _mm_set_epi16(0, short(r), short(g), short(b), 0, short(r), short(g), short(b));
}

#endif

// Each op blends one pixel, and under SSE2 also a group of four in place.
template <typename Op>
void ForRow(uint32_t* dest, const uint32_t* src, int count, const Op& op)
{
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        op(dest + i, src + i);
#endif
    for (; i < count; ++i)
        dest[i] = op(dest[i], src[i]);
}

struct MixOpaqueOp {
    uint32_t operator()(uint32_t d, uint32_t s) const { return 0xFF000000 | MixRGBSplitBlue(d, s, AlphaOf(s)); }
#if defined(__SSE2__)
    void operator()(uint32_t* d, const uint32_t* s) const
    {
        const __m128i source = Load(s);
        Store(d, MixOpaque4(Load(d), source, AlphaLanes(source)));
    }
#endif
};

// The source as the plain composite sees it: its own colour and alpha.
struct AsIs {
    uint32_t Colour(uint32_t s) const { return s; }
    uint32_t Alpha(uint32_t s) const { return AlphaOf(s); }
#if defined(__SSE2__)
    __m128i Colour4(__m128i s) const { return s; }
    __m128i Alpha4(__m128i s) const { return AlphaLanes(s); }
#endif
};

// The source as the colourised composite sees it: tinted, its alpha scaled.
struct Tinted {
    const Tint& tint;
#if defined(__SSE2__)
    const __m128i factors = ChannelFactors(tint.r, tint.g, tint.b);
    const __m128i tintAlpha = _mm_set1_epi32(int(tint.a));
#endif

    uint32_t Colour(uint32_t s) const { return tint.Apply(s); }
    uint32_t Alpha(uint32_t s) const { return tint.AlphaOf(s); }
#if defined(__SSE2__)
    __m128i Colour4(__m128i s) const { return Tinted4(s, factors); }
    __m128i Alpha4(__m128i s) const { return TintedAlpha4(s, tintAlpha); }
#endif
};

template <typename Look>
struct CompositeOp {
    Look look;

    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        const uint32_t sa = look.Alpha(s);
        return sa ? CompositeOnto<BlueRounding::Split>(d, look.Colour(s), sa) : d;
    }
#if defined(__SSE2__)
    // Onto opaque pixels the out alpha is 255 and the weight the source alpha.
    void operator()(uint32_t* d, const uint32_t* s) const
    {
        const __m128i destination = Load(d);
        if (!AllOpaque(destination)) {
            for (int k = 0; k < 4; ++k)
                d[k] = (*this)(d[k], s[k]);
            return;
        }
        const __m128i source = Load(s);
        Store(d, MixOpaque4(destination, look.Colour4(source), look.Alpha4(source)));
    }
#endif
};

struct AddOp {
    const AddFactors& f;
#if defined(__SSE2__)
    const __m128i factors = ChannelFactors(f.r, f.g, f.b);
#endif

    uint32_t operator()(uint32_t d, uint32_t s) const
    {
        uint32_t r = RedOf(s), g = GreenOf(s), b = BlueOf(s);
        if (f.tinted) {
            r = r * f.r / 256;
            g = g * f.g / 256;
            b = b * f.b / 256;
        }
        if (f.weighted) {
            const uint32_t a = AlphaOf(s);
            r = r * a / 256;
            g = g * a / 256;
            b = b * a / 256;
        }
        return AddSaturated(d, r, g, b);
    }
#if defined(__SSE2__)
    void operator()(uint32_t* d, const uint32_t* s) const
    {
        const __m128i source = Load(s);
        __m128i low = Low(source), high = High(source);
        if (f.tinted) {
            low = ScaleHalf(low, factors);
            high = ScaleHalf(high, factors);
        }
        if (f.weighted) {
            __m128i wLow, wHigh;
            SpreadPerPixel(AlphaLanes(source), wLow, wHigh);
            low = ScaleHalf(low, wLow);
            high = ScaleHalf(high, wHigh);
        }
        const __m128i added = _mm_and_si128(_mm_packus_epi16(low, high), kColourMask);
        Store(d, _mm_adds_epu8(Load(d), added));
    }
#endif
};

} // namespace

void MixRowOpaque(uint32_t* dest, const uint32_t* src, int count) { ForRow(dest, src, count, MixOpaqueOp{}); }

void CompositeRow(uint32_t* dest, const uint32_t* src, int count) { ForRow(dest, src, count, CompositeOp<AsIs>{}); }

void CompositeTintedRow(uint32_t* dest, const uint32_t* src, int count, const Tint& tint)
{
    ForRow(dest, src, count, CompositeOp<Tinted>{Tinted{tint}});
}

void AddRow(uint32_t* dest, const uint32_t* src, int count, const AddFactors& factors)
{
    ForRow(dest, src, count, AddOp{factors});
}

} // namespace Nubra
