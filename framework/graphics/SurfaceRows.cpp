#include "framework/graphics/SurfaceRows.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Nubra::SurfaceRows {

namespace {

uint32_t Byte(uint32_t v, int i) { return v >> (8 * i) & 0xFF; }

uint32_t Saturate(uint32_t v) { return v > 255 ? 255 : v; }

// Each colour byte of d plus f(byte of s, its index), saturated; the top byte 0.
template <typename F> uint32_t AddBytes(uint32_t d, uint32_t s, F f)
{
    return Saturate(Byte(d, 0) + f(Byte(s, 0), 0)) | Saturate(Byte(d, 1) + f(Byte(s, 1), 1)) << 8
           | Saturate(Byte(d, 2) + f(Byte(s, 2), 2)) << 16;
}

uint32_t Same(uint32_t v, int) { return v; }

#if defined(__SSE2__)
__m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
__m128i ColourOf(__m128i v) { return _mm_and_si128(v, _mm_set1_epi32(0x00FFFFFF)); }

// Each byte times its lane's factor (16-bit lanes, one pixel's three factors per half) >> 8.
__m128i ScaleBytes(__m128i v, __m128i factors)
{
    const __m128i zero = _mm_setzero_si128();
    auto half = [&factors](__m128i lanes) { return _mm_srli_epi16(_mm_mullo_epi16(lanes, factors), 8); };
    return _mm_packus_epi16(half(_mm_unpacklo_epi8(v, zero)), half(_mm_unpackhi_epi8(v, zero)));
}

__m128i Load16(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store16(uint16_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// The field of d under mask plus that of add, held to mask; eight 16-bit lanes. The sum is
// saturated at 0xFFFF first, so a top field cannot wrap, and min(x, m) = x - max(x - m, 0).
__m128i AddField16(__m128i d, __m128i add, __m128i mask)
{
    const __m128i sum = _mm_adds_epu16(_mm_and_si128(d, mask), _mm_and_si128(add, mask));
    return _mm_sub_epi16(sum, _mm_subs_epu16(sum, mask));
}

// Each word's low 16 bits sign-extended, so that a signed pack gives them back unchanged.
__m128i SignedLow(__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }

__m128i Factors(uint32_t k0, uint32_t k1, uint32_t k2)
{
    return _mm_set_epi16(0, short(k2), short(k1), short(k0), 0, short(k2), short(k1), short(k0));
}
#endif

} // namespace

void AddSaturated(uint32_t* dest, const uint32_t* src, int count)
{
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        Store(dest + i, _mm_adds_epu8(ColourOf(Load(dest + i)), ColourOf(Load(src + i))));
#endif
    for (; i < count; ++i)
        dest[i] = AddBytes(dest[i], src[i], Same);
}

void AddScaled(uint32_t* dest, const uint32_t* src, int count, const std::array<uint32_t, 3>& k)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i factors = Factors(k[0], k[1], k[2]);
    for (; i + 4 <= count; i += 4)
        Store(dest + i, _mm_adds_epu8(ColourOf(Load(dest + i)), ScaleBytes(ColourOf(Load(src + i)), factors)));
#endif
    for (; i < count; ++i)
        dest[i] = AddBytes(dest[i], src[i], [&k](uint32_t v, int b) { return (v * k[size_t(b)]) >> 8; });
}

void AddConstant(uint32_t* dest, int count, uint32_t add)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i amount = ColourOf(_mm_set1_epi32(int(add)));
    for (; i + 4 <= count; i += 4)
        Store(dest + i, _mm_adds_epu8(ColourOf(Load(dest + i)), amount));
#endif
    for (; i < count; ++i)
        dest[i] = AddBytes(dest[i], add, Same);
}

void KeepAndAdd(uint32_t* dest, int count, uint32_t keep, uint32_t add)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i weights = Factors(keep, keep, keep), amount = _mm_set1_epi32(int(add));
    for (; i + 4 <= count; i += 4)
        Store(dest + i, _mm_add_epi32(ScaleBytes(ColourOf(Load(dest + i)), weights), amount));
#endif
    for (; i < count; ++i) {
        const uint32_t d = dest[i];
        dest[i] = add + ((Byte(d, 0) * keep) >> 8 | ((Byte(d, 1) * keep) >> 8) << 8 | ((Byte(d, 2) * keep) >> 8) << 16);
    }
}

void AddFields16(uint16_t* dest, int count, const std::array<uint16_t, 3>& masks, uint16_t add)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i amount = _mm_set1_epi16(short(add));
    const __m128i m0 = _mm_set1_epi16(short(masks[0])), m1 = _mm_set1_epi16(short(masks[1])),
                  m2 = _mm_set1_epi16(short(masks[2]));
    for (; i + 8 <= count; i += 8) {
        const __m128i d = Load16(dest + i);
        Store16(dest + i, _mm_or_si128(_mm_or_si128(AddField16(d, amount, m0), AddField16(d, amount, m1)),
                                       AddField16(d, amount, m2)));
    }
#endif
    for (; i < count; ++i) {
        uint32_t out = 0;
        for (uint32_t m : masks)
            out |= std::min<uint32_t>((dest[i] & m) + (add & m), m);
        dest[i] = uint16_t(out);
    }
}

void LowHalves(uint16_t* dest, const uint32_t* src, int count)
{
    int i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= count; i += 8)
        Store16(dest + i, _mm_packs_epi32(SignedLow(Load(src + i)), SignedLow(Load(src + i + 4))));
#endif
    for (; i < count; ++i)
        dest[i] = uint16_t(src[i]);
}

} // namespace Nubra::SurfaceRows
