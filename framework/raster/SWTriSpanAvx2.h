#pragma once
#include "framework/raster/SWTriDivide.h"
#include "framework/raster/SWTriFrame.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SWTRI_AVX2_SPANS 1
#include <immintrin.h>
#else
#define SWTRI_AVX2_SPANS 0
#endif

#if SWTRI_AVX2_SPANS

// Spans eight pixels at a time with AVX2, for processors that have it. Each lane does the
// arithmetic of the plain pixel work (SWTriPixel.h), so both forms write the same pixels. Colours
// travel packed as 0x00RRGGBB: scaling red and blue in one product is exact while every channel
// product stays below 2^16.
#define SWTRI_AVX2 __attribute__((target("avx2")))
#define SWTRI_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace Nubra::swtri::avx2 {

using V8 = __m256i;

SWTRI_AVX2_INLINE V8 Set(uint32_t x) { return _mm256_set1_epi32(int(x)); }
SWTRI_AVX2_INLINE V8 Add(V8 a, V8 b) { return _mm256_add_epi32(a, b); }
SWTRI_AVX2_INLINE V8 Sub(V8 a, V8 b) { return _mm256_sub_epi32(a, b); }
SWTRI_AVX2_INLINE V8 Mul(V8 a, V8 b) { return _mm256_mullo_epi32(a, b); }
SWTRI_AVX2_INLINE V8 And(V8 a, V8 b) { return _mm256_and_si256(a, b); }
SWTRI_AVX2_INLINE V8 Or(V8 a, V8 b) { return _mm256_or_si256(a, b); }
template <int N>
SWTRI_AVX2_INLINE V8 Shr(V8 a)
{
    return _mm256_srli_epi32(a, N);
}
template <int N>
SWTRI_AVX2_INLINE V8 Sar(V8 a)
{
    return _mm256_srai_epi32(a, N);
}
template <int N>
SWTRI_AVX2_INLINE V8 Shl(V8 a)
{
    return _mm256_slli_epi32(a, N);
}
SWTRI_AVX2_INLINE V8 Select(V8 mask, V8 ifSet, V8 ifClear) { return _mm256_blendv_epi8(ifClear, ifSet, mask); }
// Unsigned a < b.
SWTRI_AVX2_INLINE V8 Below(V8 a, V8 b)
{
    const V8 bias = Set(0x80000000u);
    return _mm256_cmpgt_epi32(_mm256_xor_si256(b, bias), _mm256_xor_si256(a, bias));
}
// a > b, for lanes below 2^31.
SWTRI_AVX2_INLINE V8 Above(V8 a, uint32_t b) { return _mm256_cmpgt_epi32(a, Set(b)); }

// Each channel of a packed colour times f (0-255), >> 8.
SWTRI_AVX2_INLINE V8 ScalePacked(V8 c, V8 f)
{
    return Or(And(Shr<8>(Mul(And(c, Set(0xFF00FF)), f)), Set(0xFF00FF)),
              And(Shr<8>(Mul(And(c, Set(0xFF00)), f)), Set(0xFF00)));
}

// Each channel times its own factor, >> 8.
SWTRI_AVX2_INLINE V8 ModulatePacked(V8 c, V8 r, V8 g, V8 b)
{
    return Or(Or(And(Shr<8>(Mul(And(c, Set(0xFF0000)), r)), Set(0xFF0000)),
                 And(Shr<8>(Mul(And(c, Set(0xFF00)), g)), Set(0xFF00))),
              Shr<8>(Mul(And(c, Set(0xFF)), b)));
}

// Texels at the given indices; 0 where an index is not below size or the lane is not live.
SWTRI_AVX2_INLINE V8 Gather(const SWTri_TextureInfo& tex, V8 index, V8 live)
{
    const V8 take = And(live, Below(index, Set(uint32_t(tex.size))));
    return _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(tex.bits), index, take,
                                       4);
}

struct Sample {
    V8 color; // packed 0x00RRGGBB
    V8 alpha;
};

SWTRI_AVX2_INLINE Sample Nearest(const SWTri_TextureInfo& tex, V8 u, V8 v, V8 live)
{
    const V8 t = Gather(tex, Add(Mul(Shr<16>(v), Set(uint32_t(tex.width))), Shr<16>(u)), live);
    return {And(t, Set(0xFFFFFF)), Shr<24>(t)};
}

SWTRI_AVX2_INLINE Sample Filtered(const SWTri_TextureInfo& tex, V8 u, V8 v, V8 live)
{
    const V8 floorMask = Set(0xFFFF0000u);
    const V8 uFloor = And(u, floorMask);
    const V8 vFloor = And(v, floorMask);
    const V8 width = Set(uint32_t(tex.width));
    const V8 index = Add(Mul(Sar<16>(vFloor), width), Sar<16>(uFloor));
    const V8 fu = Add(And(Sub(u, uFloor), Set(0xFFFE)), Set(1));
    const V8 fv = Add(And(Sub(v, vFloor), Set(0xFFFE)), Set(1));
    const V8 gu = Sub(Set(0x10000), fu);
    const V8 gv = Sub(Set(0x10000), fv);
    const V8 weights[4] = {Shr<16>(Mul(gu, gv)), Shr<16>(Mul(fu, gv)), Shr<16>(Mul(gu, fv)), Shr<16>(Mul(fu, fv))};
    const V8 taps[4] = {index, Add(index, Set(1)), Add(index, width), Add(index, Add(width, Set(1)))};
    V8 alpha = _mm256_setzero_si256();
    V8 redBlue = alpha; // red * k sums in the high half, blue * k in the low half
    V8 green = alpha;   // green * k sums << 8
    for (int i = 0; i < 4; ++i) {
        const V8 t = Gather(tex, taps[i], live);
        const V8 k = Shr<16>(Mul(weights[i], Shr<24>(t)));
        alpha = Add(alpha, k);
        redBlue = Add(redBlue, Mul(And(t, Set(0xFF00FF)), k));
        green = Add(green, Mul(And(t, Set(0xFF00)), k));
    }
    return {Or(And(Shr<8>(redBlue), Set(0xFF00FF)), And(Shr<8>(green), Set(0xFF00))), alpha};
}

// Truncated n / coverage per lane, as swtri::DivideByCoverage (n below kMaxDividend).
SWTRI_AVX2_INLINE V8 DivideByCoverage(V8 n, __m256 coverage)
{
    return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(n), coverage));
}

// Source over an opaque 0x888 pixel; s is already scaled by sa.
SWTRI_AVX2_INLINE V8 Blend888(V8 d, V8 s, V8 sa) { return Or(Set(0xFF000000u), Add(ScalePacked(d, Sub(Set(255), sa)), s)); }

// One channel of the 0x8888 blend: (((dc * da) >> 8) * inv + sc * 256) / oa, held to 255.
SWTRI_AVX2_INLINE V8 CompositeChannel(V8 dc, V8 sc, V8 da, V8 inv, __m256 oa)
{
    const V8 n = Add(Mul(Shr<8>(Mul(dc, da)), inv), Shl<8>(sc));
    return _mm256_min_epu32(DivideByCoverage(n, oa), Set(255));
}

// Source over a 0x8888 pixel, composited with its alpha; s is already scaled by sa. A pixel
// whose composited coverage is 0 stays as it is.
SWTRI_AVX2_INLINE V8 Blend8888(V8 d, V8 s, V8 sa)
{
    const V8 da = Shr<24>(d);
    const V8 inv = Sub(Set(256), sa);
    const V8 oa = Sub(Set(256), Shr<8>(Mul(inv, Sub(Set(256), da))));
    const __m256 coverage = _mm256_cvtepi32_ps(oa); // lanes where it is 0 keep the destination
    const V8 mask = Set(0xFF);
    const V8 r = CompositeChannel(And(Shr<16>(d), mask), And(Shr<16>(s), mask), da, inv, coverage);
    const V8 g = CompositeChannel(And(Shr<8>(d), mask), And(Shr<8>(s), mask), da, inv, coverage);
    const V8 b = CompositeChannel(And(d, mask), And(s, mask), da, inv, coverage);
    const V8 out = Or(Or(Shl<24>(Sub(oa, Set(1))), Shl<16>(r)), Or(Shl<8>(g), b));
    return Select(_mm256_cmpeq_epi32(oa, _mm256_setzero_si256()), d, out);
}

// A vertex channel (8.16) as a factor 0-255, held to 0..255.99 and taking the constant channel
// in when there is one.
template <bool C>
SWTRI_AVX2_INLINE V8 Factor(V8 attribute, int32_t constant)
{
    const V8 clamped = _mm256_min_epi32(_mm256_max_epi32(attribute, _mm256_setzero_si256()), Set(0xFFFFFF));
    return C ? Shr<24>(Mul(Set(uint32_t(constant)), clamped)) : Shr<16>(clamped);
}

// Eight pixels of a span: where they are, how many of them are in the span (lanes beyond are not
// live: neither read nor written) and the interpolated words [First, kWordCount).
template <int First>
struct Chunk {
    int* pixels;
    bool full;
    V8 live;
    V8 words[kWordCount - First];

    SWTRI_AVX2_INLINE V8 operator[](int word) const { return words[word - First]; }
};

template <int First, bool B>
SWTRI_AVX2_INLINE Sample SampleOf(const Chunk<First>& c, const SWTri_TextureInfo& tex)
{
    return B ? Filtered(tex, c[kWordU], c[kWordV], c.live) : Nearest(tex, c[kWordU], c[kWordV], c.live);
}

// The pixel work of a textured filler into a 32-bit destination, given the chunk's texels.
template <SWTri_Format F, bool A, bool V, bool C, bool B, int First>
SWTRI_AVX2_INLINE void WritePixels(const Chunk<First>& c, const Sample& sample, const SWTri_ConstColor& k)
{
    constexpr bool kReadsDestination = A || V || C;
    V8 x = sample.color;
    V8 alphaFactor = Set(255); // vertex or constant alpha
    if constexpr (V) {
        alphaFactor = Factor<C>(c[kWordA], k.a);
        x = ModulatePacked(x, Factor<C>(c[kWordR], k.r), Factor<C>(c[kWordG], k.g), Factor<C>(c[kWordB], k.b));
    } else if constexpr (C) {
        alphaFactor = Set(uint32_t(k.a));
        x = ModulatePacked(x, Set(uint32_t(k.r)), Set(uint32_t(k.g)), Set(uint32_t(k.b)));
    }
    if constexpr (B && (V || C))
        x = ScalePacked(x, alphaFactor);
    V8 out = Or(x, Set(0xFF000000u));
    if constexpr (kReadsDestination) {
        const V8 sampleAlpha = A ? sample.alpha : Set(255);
        const V8 sa = A && !V && !C ? sampleAlpha : Shr<8>(Mul(alphaFactor, sampleAlpha));
        const V8 opaque = Above(sa, 239);
        const V8 kept = A ? _mm256_cmpgt_epi32(Set(9), sample.alpha) : _mm256_setzero_si256();
        // Chunks of opaque texels alone, the common case, need not read the destination.
        if (!_mm256_testz_si256(Or(kept, _mm256_andnot_si256(opaque, c.live)), c.live)) {
            const V8 d = c.full ? _mm256_loadu_si256(reinterpret_cast<const V8*>(c.pixels))
                                : _mm256_maskload_epi32(c.pixels, c.live);
            if (!_mm256_testz_si256(_mm256_andnot_si256(Or(opaque, kept), c.live), c.live)) {
                const V8 s = B ? x : ScalePacked(x, sa);
                out = Select(opaque, out, F == SWTri_Format::RGB888 ? Blend888(d, s, sa) : Blend8888(d, s, sa));
            }
            out = Select(kept, d, out);
        }
    }
    if (c.full)
        _mm256_storeu_si256(reinterpret_cast<V8*>(c.pixels), out);
    else
        _mm256_maskstore_epi32(c.pixels, c.live, out);
}

// Texels first for all chunks, then the pixels: the fetches of short spans then overlap instead
// of each waiting for its own.
template <SWTri_Format F, bool A, bool V, bool C, bool B, int First>
SWTRI_AVX2_INLINE void FinishChunks(const Chunk<First>* chunks, int count, const SWTri_TextureInfo& tex,
                                    const SWTri_ConstColor& k)
{
    Sample samples[kSpanBatch];
    for (int i = 0; i < count; ++i)
        samples[i] = SampleOf<First, B>(chunks[i], tex);
    for (int i = 0; i < count; ++i)
        WritePixels<F, A, V, C, B>(chunks[i], samples[i], k);
}

// The spans of a textured filler into a 32-bit destination, eight pixels at a time.
template <SWTri_Format F, bool A, bool V, bool C, bool B>
SWTRI_AVX2 void TexturedSpans(Span* spans, int count, const int32_t* dq, const SWTri_TextureInfo& tex,
                              const SWTri_ConstColor& k)
{
    constexpr int First = V ? kWordA : kWordU;
    constexpr int Words = kWordCount - First;
    const V8 lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    V8 laneOffset[Words], step[Words];
    for (int w = 0; w < Words; ++w) {
        laneOffset[w] = Mul(lane, Set(uint32_t(dq[First + w])));
        step[w] = Set(uint32_t(dq[First + w]) * 8);
    }
    Chunk<First> chunks[kSpanBatch];
    int pending = 0;
    for (const Span* span = spans; span != spans + count; ++span) {
        Chunk<First> c;
        c.pixels = reinterpret_cast<int*>(span->pixel);
        for (int w = 0; w < Words; ++w)
            c.words[w] = Add(Set(span->q[First + w]), laneOffset[w]);
        for (int32_t n = span->n; n > 0; n -= 8, c.pixels += 8) {
            c.full = n >= 8;
            c.live = c.full ? Set(~0u) : _mm256_cmpgt_epi32(Set(uint32_t(n)), lane);
            chunks[pending] = c;
            if (++pending == kSpanBatch) {
                FinishChunks<F, A, V, C, B>(chunks, pending, tex, k);
                pending = 0;
            }
            for (int w = 0; w < Words; ++w)
                c.words[w] = Add(c.words[w], step[w]);
        }
    }
    FinishChunks<F, A, V, C, B>(chunks, pending, tex, k);
}

} // namespace Nubra::swtri::avx2

#endif
