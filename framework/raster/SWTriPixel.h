#pragma once
#include "framework/raster/SWTriDivide.h"
#include "framework/raster/SWTriFillers.h"
#include "framework/raster/SWTriFrame.h"
#include "framework/raster/SWTriSpanAvx2.h"
#include "framework/raster/SWTriVectorised.h"

#include <cstring>

// What a span filler does at one pixel: fetch, modulate, cover, then skip, write or blend.
// One template, specialised by the destination format and the five index bits, so no pixel
// loop tests the drawing mode. All channel arithmetic is unsigned 32-bit and truncating.
namespace Nubra {
namespace swtri {

struct Rgb {
    uint32_t r, g, b;
};

constexpr Rgb Scale(Rgb c, uint32_t r, uint32_t g, uint32_t b)
{
    return {(c.r * r) >> 8, (c.g * g) >> 8, (c.b * b) >> 8};
}
constexpr Rgb Scale(Rgb c, uint32_t f) { return Scale(c, f, f, f); }
constexpr Rgb Channels(uint32_t word) { return {(word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF}; }
constexpr uint32_t Word(Rgb c) { return c.r << 16 | c.g << 8 | c.b; }

// An interpolated 8.16 channel held to 0..255.99: rounding of the gradients can carry it a
// little past the vertices' range, where its integer part would wrap.
constexpr uint32_t ClampChannel(uint32_t q) { return uint32_t(std::clamp(int32_t(q), 0, 0xFFFFFF)); }

inline uint32_t FetchNearest(const SWTri_TextureInfo& tex, uint32_t u, uint32_t v)
{
    const uint32_t index = (v >> 16) * uint32_t(tex.width) + (u >> 16);
    return index < uint32_t(tex.size) ? tex.bits[index] : 0;
}

// The alpha-weighted 2x2 fetch: colour already scaled by its alpha (at most 253), alpha at most
// 254. u and v carry the half-texel offset already.
struct Filtered {
    Rgb c;
    uint32_t a;
};

inline Filtered FetchFiltered(const SWTri_TextureInfo& tex, uint32_t u, uint32_t v)
{
    const int32_t uFloor = SWTri_TexelFloor(int32_t(u));
    const int32_t vFloor = SWTri_TexelFloor(int32_t(v));
    const uint32_t width = uint32_t(tex.width);
    const uint32_t index = uint32_t(vFloor >> 16) * width + uint32_t(uFloor >> 16);
    const uint32_t fu = ((u - uint32_t(uFloor)) & 0xFFFE) + 1;
    const uint32_t fv = ((v - uint32_t(vFloor)) & 0xFFFE) + 1;
    const uint32_t gu = 0x10000 - fu;
    const uint32_t gv = 0x10000 - fv;
    const uint32_t weights[4] = {(gu * gv) >> 16, (fu * gv) >> 16, (gu * fv) >> 16, (fu * fv) >> 16};
    const uint32_t taps[4] = {index, index + 1, index + width, index + width + 1};
    Filtered out{{0, 0, 0}, 0};
    for (int i = 0; i < 4; ++i) {
        const uint32_t t = taps[i] < uint32_t(tex.size) ? tex.bits[taps[i]] : 0;
        const uint32_t k = (weights[i] * (t >> 24)) >> 16;
        out.a += k;
        out.c.r += ((t >> 16) & 0xFF) * k;
        out.c.g += ((t >> 8) & 0xFF) * k;
        out.c.b += (t & 0xFF) * k;
    }
    out.c = {out.c.r >> 8, out.c.g >> 8, out.c.b >> 8};
    return out;
}

template <SWTri_Format F>
inline uint32_t Load(const uint8_t* p)
{
    if constexpr (SWTri_PixelSize(F) == 4) {
        uint32_t w;
        std::memcpy(&w, p, 4);
        return w;
    } else {
        uint16_t w;
        std::memcpy(&w, p, 2);
        return w;
    }
}

template <SWTri_Format F>
inline void Store(uint8_t* p, uint32_t w)
{
    if constexpr (SWTri_PixelSize(F) == 4) {
        std::memcpy(p, &w, 4);
    } else {
        const uint16_t h = uint16_t(w);
        std::memcpy(p, &h, 2);
    }
}

template <SWTri_Format F>
constexpr uint32_t Pack16(Rgb c)
{
    if constexpr (F == SWTri_Format::RGB565)
        return (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3;
    else
        return (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3;
}

template <SWTri_Format F>
inline void WriteOpaque(uint8_t* p, Rgb c)
{
    if constexpr (SWTri_PixelSize(F) == 4)
        Store<F>(p, 0xFF000000u | Word(c));
    else
        Store<F>(p, Pack16<F>(c));
}

// Source over destination at coverage sa (0-239); s is the source colour already scaled by sa.
template <SWTri_Format F>
inline void Blend(uint8_t* p, Rgb s, uint32_t sa)
{
    const uint32_t d = Load<F>(p);
    if constexpr (F == SWTri_Format::ARGB8888) {
        // Composited over the destination's own alpha; the colour stays unpremultiplied.
        const uint32_t da = d >> 24;
        const uint32_t inv = 256 - sa;
        const uint32_t oa = 256 - ((inv * (256 - da)) >> 8);
        if (oa == 0)
            return; // nothing of the source over nothing: the pixel stays as it is
        auto channel = [&](uint32_t dc, uint32_t sc) {
            return std::min<uint32_t>(255, DivideByCoverage(((dc * da) >> 8) * inv + sc * 256, oa));
        };
        const Rgb dc = Channels(d);
        Store<F>(p, (oa - 1) << 24 | Word({channel(dc.r, s.r), channel(dc.g, s.g), channel(dc.b, s.b)}));
    } else if constexpr (F == SWTri_Format::RGB888) {
        const uint32_t keep = 255 - sa;
        const Rgb dc = Channels(d);
        Store<F>(p, 0xFF000000u | Word({((dc.r * keep) >> 8) + s.r, ((dc.g * keep) >> 8) + s.g,
                                         ((dc.b * keep) >> 8) + s.b}));
    } else {
        // Fields are scaled in place, without widening to 8 bits.
        constexpr bool is565 = F == SWTri_Format::RGB565;
        constexpr int redShift = is565 ? 11 : 10;
        constexpr uint32_t greenMask = is565 ? 63 : 31;
        const uint32_t k = (255 - sa) >> 3;
        const uint32_t red = (((d >> redShift) & 31) * k) >> 5;
        const uint32_t green = (((d >> 5) & greenMask) * k) >> 5;
        const uint32_t blue = ((d & 31) * k) >> 5;
        Store<F>(p, Pack16<F>(s) + (red << redShift | green << 5 | blue));
    }
}

// The per-pixel work of SWTri_Fill<F, T, A, V, C, B>.
template <SWTri_Format F, bool T, bool A, bool V, bool C, bool B>
class PixelOp {
public:
    static constexpr int kFirstWord = V ? kWordA : kWordU;
    static constexpr int kLastWord = T ? kWordCount : kWordU;
    static constexpr int kPixelSize = SWTri_PixelSize(F);
    static constexpr int32_t kUVBias = B ? 0x8000 : 0;

    PixelOp(const SWTri_TextureInfo* texture, const SWTri_ConstColor* color)
    {
        if constexpr (T)
            tex_ = *texture;
        if constexpr (C)
            k_ = *color;
    }

    void operator()(uint8_t* p, const uint32_t* q) const
    {
        if constexpr (T)
            Textured(p, q);
        else
            Untextured(p, q);
    }

    void Spans(Span* spans, int count, const int32_t* dq) const
    {
#if SWTRI_AVX2_SPANS
        if constexpr (T && kPixelSize == 4) {
            if (SWTri_VectorisedSpans()) {
                avx2::TexturedSpans<F, A, V, C, B>(spans, count, dq, tex_, k_);
                return;
            }
        }
#endif
        StepSpans(*this, spans, count, dq);
    }

private:
    // Gouraud colour; the constant colour was applied to the vertices before the frame.
    static void Untextured(uint8_t* p, const uint32_t* q)
    {
        const uint32_t a = ClampChannel(q[kWordA]);
        const uint32_t r = ClampChannel(q[kWordR]);
        const uint32_t g = ClampChannel(q[kWordG]);
        const uint32_t b = ClampChannel(q[kWordB]);
        if (a > 0xF00000) {
            WriteOpaque<F>(p, {r >> 16, g >> 16, b >> 16});
        } else if (a > 0x80000) {
            const uint32_t as = a >> 16;
            if constexpr (F == SWTri_Format::ARGB8888) {
                // Red and green keep fraction bits of the interpolated channel.
                Blend<F>(p, {(r * as) >> 24, ((g >> 8) * as) >> 16, ((b >> 16) * as) >> 8}, as);
            } else {
                Blend<F>(p, Scale({r >> 16, g >> 16, b >> 16}, as), as);
            }
        }
    }

    void Textured(uint8_t* p, const uint32_t* q) const
    {
        Rgb x;
        uint32_t sampleAlpha = 255; // of the texel, or of the filtered fetch, when A
        if constexpr (B) {
            const Filtered f = FetchFiltered(tex_, q[kWordU], q[kWordV]);
            if (f.a <= 8)
                return;
            x = f.c;
            sampleAlpha = f.a;
        } else {
            const uint32_t t = FetchNearest(tex_, q[kWordU], q[kWordV]);
            if constexpr (A) {
                sampleAlpha = t >> 24;
                if (sampleAlpha <= 8)
                    return;
            }
            x = Channels(t);
        }

        uint32_t alphaFactor = 255; // vertex or constant alpha, 0-255
        if constexpr (V) {
            alphaFactor = Factor(q[kWordA], k_.a);
            x = Scale(x, Factor(q[kWordR], k_.r), Factor(q[kWordG], k_.g), Factor(q[kWordB], k_.b));
        } else if constexpr (C) {
            x = Scale(x, uint32_t(k_.r), uint32_t(k_.g), uint32_t(k_.b));
            alphaFactor = uint32_t(k_.a);
        }
        if constexpr (B && (V || C))
            x = Scale(x, alphaFactor); // the filtered colour carries every alpha it is drawn with

        if constexpr (!A && !V && !C) {
            WriteOpaque<F>(p, x);
        } else {
            const uint32_t sa = A && !V && !C ? sampleAlpha : (alphaFactor * sampleAlpha) >> 8;
            if (sa >= 240)
                WriteOpaque<F>(p, x);
            else
                Blend<F>(p, B ? x : Scale(x, sa), sa);
        }
    }

    // A vertex channel as a factor 0-255, taking the constant channel in when C is set.
    static uint32_t Factor(uint32_t attribute, int32_t constant)
    {
        const uint32_t clamped = ClampChannel(attribute);
        if constexpr (C)
            return (uint32_t(constant) * clamped) >> 24;
        else
            return clamped >> 16;
    }

    SWTri_TextureInfo tex_{};
    SWTri_ConstColor k_{};
};

// The constant colour scales each channel by K/256, on a copy.
inline SWTri_FixedVertex ScaleVertexColor(SWTri_FixedVertex v, const SWTri_ConstColor& k)
{
    v.a = int32_t((uint32_t(v.a) * uint32_t(k.a)) >> 8);
    v.r = int32_t((uint32_t(v.r) * uint32_t(k.r)) >> 8);
    v.g = int32_t((uint32_t(v.g) * uint32_t(k.g)) >> 8);
    v.b = int32_t((uint32_t(v.b) * uint32_t(k.b)) >> 8);
    return v;
}

} // namespace swtri

template <SWTri_Format F, bool T, bool A, bool V, bool C, bool B>
void SWTri_Fill(const SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch, const SWTri_TextureInfo* texture,
                const SWTri_ConstColor* color)
{
    const swtri::PixelOp<F, T, A, V, C, B> op(texture, color);
    if constexpr (!T && C) {
        // Untextured fillers apply the constant colour once, to their own copy of the vertices.
        const SWTri_FixedVertex scaled[3] = {swtri::ScaleVertexColor(vertices[0], *color),
                                             swtri::ScaleVertexColor(vertices[1], *color),
                                             swtri::ScaleVertexColor(vertices[2], *color)};
        SWTri_RunFrame(scaled, dest, pitch, op);
    } else {
        SWTri_RunFrame(vertices, dest, pitch, op);
    }
}

} // namespace Nubra
