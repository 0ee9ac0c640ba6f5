#include "ReferenceFiller.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

using Nubra::SWTri_ConstColor;
using Nubra::SWTri_FixedVertex;
using Nubra::SWTri_Format;
using Nubra::SWTri_TextureInfo;

namespace reference {
namespace {

// ---- numbers --------------------------------------------------------------------------------

int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }
int64_t MulMod64(int64_t a, int64_t b) { return int64_t(uint64_t(a) * uint64_t(b)); }
int32_t CeilRow(int32_t y) { return Wrap(int64_t(y) + 0xFFFF) >> 16; }
int32_t CeilColumn(int32_t x) { return Wrap((int64_t(x) + 0xFFFF) & 0xFFFF0000); }

// Interpolated 8.16 channels are held to 0..255.99 before use.
uint32_t Clamped(int32_t q) { return uint32_t(std::clamp(q, 0, 0xFFFFFF)); }

uint32_t Byte(uint32_t word, int shift) { return (word >> shift) & 0xFF; }

// ---- destination pixels -----------------------------------------------------------------------

bool Is16(SWTri_Format f) { return f == SWTri_Format::RGB565 || f == SWTri_Format::RGB555; }

uint32_t LoadPixel(SWTri_Format f, const uint8_t* p)
{
    if (Is16(f))
        return uint32_t(p[0]) | uint32_t(p[1]) << 8;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void StorePixel(SWTri_Format f, uint8_t* p, uint32_t w)
{
    p[0] = uint8_t(w);
    p[1] = uint8_t(w >> 8);
    if (!Is16(f)) {
        p[2] = uint8_t(w >> 16);
        p[3] = uint8_t(w >> 24);
    }
}

uint32_t Pack565(uint32_t r, uint32_t g, uint32_t b) { return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3; }
uint32_t Pack555(uint32_t r, uint32_t g, uint32_t b) { return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3; }

// ---- the frame ------------------------------------------------------------------------------

using Pixel = std::function<void(uint8_t* pixel, const int32_t* q)>;

std::vector<int> AttributeWords(const Filler& f)
{
    std::vector<int> words;
    if (f.V)
        words.insert(words.end(), {2, 3, 4, 5});
    if (f.T)
        words.insert(words.end(), {6, 7});
    return words;
}

void Frame(const Filler& f, const SWTri_FixedVertex* in, uint8_t* dest, int32_t pitch, const Pixel& pixel)
{
    int32_t w[3][8];
    for (int i = 0; i < 3; ++i)
        std::memcpy(w[i], &in[i], sizeof w[i]);
    int order[3] = {0, 1, 2};
    auto y = [&](int k) { return w[order[k]][1]; };
    if (y(0) > y(1))
        std::swap(order[0], order[1]);
    if (y(1) > y(2))
        std::swap(order[1], order[2]);
    if (y(0) > y(1))
        std::swap(order[0], order[1]);
    const int32_t* T = w[order[0]];
    const int32_t* M = w[order[1]];
    const int32_t* B = w[order[2]];

    const int32_t rT = CeilRow(T[1]), rM = CeilRow(M[1]), rB = CeilRow(B[1]);
    if (rT == rB)
        return;
    const int64_t invL = (int64_t(1) << 48) / int64_t(Wrap(int64_t(B[1]) - T[1]));
    auto edgeGradient = [&](int word) { return Wrap(MulMod64(Wrap(int64_t(B[word]) - T[word]), invL) >> 32); };
    const int32_t dxL = edgeGradient(0);
    const int32_t heightTM = Wrap(int64_t(M[1]) - T[1]);
    const int32_t xLM = Wrap(int64_t(T[0]) + Wrap((int64_t(dxL) * heightTM) >> 16));
    const int32_t W = Wrap(int64_t(M[0]) - xLM);
    if (W == 0)
        return;

    const int32_t pT = Wrap((int64_t(rT) << 16) - T[1]);
    int32_t xL = Wrap(int64_t(T[0]) + Wrap((int64_t(dxL) * pT) >> 16));
    const int64_t invW = (int64_t(1) << 48) / W;
    const std::vector<int> words = AttributeWords(f);
    int32_t qL[8] = {}, dqL[8] = {}, dqX[8] = {};
    for (int a : words) {
        dqL[a] = edgeGradient(a);
        qL[a] = Wrap(int64_t(T[a]) + Wrap((int64_t(dqL[a]) * pT) >> 16));
        const int64_t E = (int64_t(dqL[a]) * heightTM) >> 16;
        dqX[a] = Wrap(MulMod64(int64_t(M[a]) - E - int64_t(T[a]), invW) >> 32);
    }
    const bool longIsLeft = xLM < M[0];
    const int32_t hullLeft = CeilColumn(std::min({T[0], M[0], B[0]}));
    const int32_t hullRight = CeilColumn(std::max({T[0], M[0], B[0]}));
    const int px = Is16(f.format) ? 2 : 4;
    const int32_t stride = pitch & ~(px - 1);

    auto rows = [&](int32_t from, int32_t to, int32_t xS, int32_t dxS) {
        for (int32_t row = from; row < to; ++row) {
            const int32_t xl = longIsLeft ? xL : xS;
            const int32_t xr = longIsLeft ? xS : xL;
            const int32_t cl = std::max(CeilColumn(xl), hullLeft);
            const int32_t cr = std::min(CeilColumn(xr), hullRight);
            const int32_t n = Wrap(int64_t(cr) - cl) >> 16;
            int32_t q[8] = {};
            for (int a : words)
                q[a] = Wrap(int64_t(qL[a]) + Wrap((int64_t(dqX[a]) * Wrap(int64_t(cl) - xL)) >> 16));
            if (f.B) {
                q[6] = Wrap(int64_t(q[6]) - 0x8000);
                q[7] = Wrap(int64_t(q[7]) - 0x8000);
            }
            for (int32_t i = 0; i < n; ++i) {
                pixel(dest + int64_t(row) * stride + (int64_t(cl >> 16) + i) * px, q);
                for (int a : words)
                    q[a] = Wrap(int64_t(q[a]) + dqX[a]);
            }
            xL = Wrap(int64_t(xL) + dxL);
            xS = Wrap(int64_t(xS) + dxS);
            for (int a : words)
                qL[a] = Wrap(int64_t(qL[a]) + dqL[a]);
        }
    };
    if (rM != rT) {
        const int64_t inv = (int64_t(1) << 48) / heightTM;
        const int32_t dxS = Wrap(MulMod64(Wrap(int64_t(M[0]) - T[0]), inv) >> 32);
        rows(rT, rM, Wrap(int64_t(T[0]) + Wrap((int64_t(dxS) * pT) >> 16)), dxS);
    }
    if (rB != rM) {
        const int64_t inv = (int64_t(1) << 48) / int64_t(Wrap(int64_t(B[1]) - M[1]));
        const int32_t dxS = Wrap(MulMod64(Wrap(int64_t(B[0]) - M[0]), inv) >> 32);
        const int32_t offset = Wrap((int64_t(rM) << 16) - M[1]);
        rows(rM, rB, Wrap(int64_t(M[0]) + Wrap((int64_t(offset) * dxS) >> 16)), dxS);
    }
}

// ---- untextured fillers ---------------------------------------------------------------------

void Untextured(SWTri_Format format, uint8_t* p, const int32_t* q)
{
    const uint32_t a = Clamped(q[2]), r = Clamped(q[3]), g = Clamped(q[4]), b = Clamped(q[5]);
    const uint32_t R = r >> 16, G = g >> 16, Bl = b >> 16;
    if (a > 0xF00000) {
        switch (format) {
        case SWTri_Format::RGB565: StorePixel(format, p, Pack565(R, G, Bl)); break;
        case SWTri_Format::RGB555: StorePixel(format, p, Pack555(R, G, Bl)); break;
        default: StorePixel(format, p, 0xFF000000u + R * 65536 + G * 256 + Bl); break;
        }
        return;
    }
    if (a <= 0x80000)
        return;
    const uint32_t As = a >> 16;
    const uint32_t d = LoadPixel(format, p);
    switch (format) {
    case SWTri_Format::ARGB8888: {
        const uint32_t Ad = Byte(d, 24), Rd = Byte(d, 16), Gd = Byte(d, 8), Bd = Byte(d, 0);
        const uint32_t D = 256 - (((256 - Ad) * (256 - As)) >> 8);
        const uint32_t blue = ((((Bd * Ad) >> 8) * (256 - As) + ((Bl * As) & 0xFF00)) / D) & 0xFF;
        const uint32_t green = (((((Gd * Ad) >> 8) * (256 - As)) * 256 + (((g >> 8) * As) & 0xFF0000)) / D >> 8) & 0xFF;
        const uint32_t red = (((((Rd * Ad) >> 8) * (256 - As)) * 65536 + ((r * As) & 0xFF000000)) / D >> 16) & 0xFF;
        StorePixel(format, p, (D - 1) << 24 | red << 16 | green << 8 | blue);
        break;
    }
    case SWTri_Format::RGB888: {
        auto ch = [&](uint32_t Cd, uint32_t C) { return ((Cd * (255 - As)) >> 8) + ((C * As) >> 8); };
        StorePixel(format, p, 0xFF000000u | ch(Byte(d, 16), R) << 16 | ch(Byte(d, 8), G) << 8 | ch(Byte(d, 0), Bl));
        break;
    }
    case SWTri_Format::RGB565:
    case SWTri_Format::RGB555: {
        const bool is565 = format == SWTri_Format::RGB565;
        const int redShift = is565 ? 11 : 10, greenDrop = is565 ? 2 : 3;
        const uint32_t greenMask = is565 ? 63 : 31;
        const uint32_t ia = (255 - As) >> 3;
        const uint32_t R5 = (((d >> redShift) & 31) * ia >> 5) + (((R * As) >> 8) >> 3);
        const uint32_t Gf = (((d >> 5) & greenMask) * ia >> 5) + (((G * As) >> 8) >> greenDrop);
        const uint32_t B5 = ((d & 31) * ia >> 5) + (((Bl * As) >> 8) >> 3);
        StorePixel(format, p, R5 << redShift | Gf << 5 | B5);
        break;
    }
    }
}

// ---- texels --------------------------------------------------------------------------------

uint32_t NearestTexel(const SWTri_TextureInfo& t, int32_t u, int32_t v)
{
    const uint32_t index = (uint32_t(v) >> 16) * uint32_t(t.width) + (uint32_t(u) >> 16);
    return index < uint32_t(t.size) ? t.bits[index] : 0;
}

struct Sample {
    uint32_t r, g, b, a;
};

Sample FilteredTexel(const SWTri_TextureInfo& t, int32_t u, int32_t v)
{
    const int64_t uFloor = int64_t(std::floor(u / 65536.0)) * 65536;
    const int64_t vFloor = int64_t(std::floor(v / 65536.0)) * 65536;
    const uint32_t index = uint32_t(Wrap((vFloor / 65536) * t.width + uFloor / 65536));
    const uint32_t fu = (uint32_t(u - uFloor) & 0xFFFE) + 1;
    const uint32_t fv = (uint32_t(v - vFloor) & 0xFFFE) + 1;
    const uint32_t gu = 0x10000 - fu, gv = 0x10000 - fv;
    const uint32_t tapIndex[4] = {index, index + 1, index + uint32_t(t.width), index + uint32_t(t.width) + 1};
    const uint32_t weight[4] = {(gu * gv) >> 16, (fu * gv) >> 16, (gu * fv) >> 16, (fu * fv) >> 16};
    Sample s{0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const uint32_t tap = tapIndex[i] < uint32_t(t.size) ? t.bits[tapIndex[i]] : 0;
        const uint32_t k = (weight[i] * Byte(tap, 24)) >> 16;
        s.a += k;
        s.r += Byte(tap, 16) * k;
        s.g += Byte(tap, 8) * k;
        s.b += Byte(tap, 0) * k;
    }
    return {s.r >> 8, s.g >> 8, s.b >> 8, s.a};
}

// ---- the blends of the textured fillers -----------------------------------------------------

void OpaqueWrite(SWTri_Format format, uint8_t* p, uint32_t r, uint32_t g, uint32_t b)
{
    if (format == SWTri_Format::RGB565)
        StorePixel(format, p, Pack565(r, g, b));
    else if (format == SWTri_Format::RGB555)
        StorePixel(format, p, Pack555(r, g, b));
    else
        StorePixel(format, p, 0xFF000000u | r << 16 | g << 8 | b);
}

// B1 into 0x8888; the source channels are already scaled by the coverage.
void BlendB1(uint8_t* p, const uint32_t s[3], uint32_t as)
{
    const uint32_t d = LoadPixel(SWTri_Format::ARGB8888, p);
    const uint32_t da = Byte(d, 24);
    const uint32_t inv = 256 - as;
    const uint32_t oa = 256 - ((inv * (256 - da)) >> 8);
    if (oa == 0)
        return; // left unchanged: the formula has no value there
    uint32_t out[3];
    for (int i = 0; i < 3; ++i) {
        const uint32_t dc = Byte(d, 16 - 8 * i);
        out[i] = std::min<uint32_t>((((dc * da) >> 8) * inv + s[i] * 256) / oa, 255); // 256 would store 0
    }
    StorePixel(SWTri_Format::ARGB8888, p, (oa - 1) << 24 | out[0] << 16 | out[1] << 8 | out[2]);
}

// B2 into 0x888.
void BlendB2(uint8_t* p, const uint32_t s[3], uint32_t as)
{
    const uint32_t d = LoadPixel(SWTri_Format::RGB888, p);
    uint32_t out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = ((Byte(d, 16 - 8 * i) * (255 - as)) >> 8) + s[i];
    StorePixel(SWTri_Format::RGB888, p, 0xFF000000u | out[0] << 16 | out[1] << 8 | out[2]);
}

// The 16-bit blend: destination fields scaled in place by k, the packed source added.
void Blend16(SWTri_Format format, uint8_t* p, const uint32_t s[3], uint32_t alpha)
{
    const uint32_t d = LoadPixel(format, p);
    const uint32_t k = (255 - alpha) >> 3;
    if (format == SWTri_Format::RGB565) {
        const uint32_t scaled = ((((d >> 11) & 31) * k) >> 5) << 11 | ((((d >> 5) & 63) * k) >> 5) << 5 |
                                (((d & 31) * k) >> 5);
        StorePixel(format, p, Pack565(s[0], s[1], s[2]) + scaled);
    } else {
        const uint32_t scaled = ((((d >> 10) & 31) * k) >> 5) << 10 | ((((d >> 5) & 31) * k) >> 5) << 5 |
                                (((d & 31) * k) >> 5);
        StorePixel(format, p, Pack555(s[0], s[1], s[2]) + scaled);
    }
}

void Blend(SWTri_Format format, uint8_t* p, const uint32_t s[3], uint32_t alpha)
{
    if (format == SWTri_Format::ARGB8888)
        BlendB1(p, s, alpha);
    else if (format == SWTri_Format::RGB888)
        BlendB2(p, s, alpha);
    else
        Blend16(format, p, s, alpha);
}

// ---- textured fillers -----------------------------------------------------------------------

// The nearest texel, or the filtered one; a is the texel's alpha or the filtered alpha.
Sample SampleAt(const Filler& f, const int32_t* q, const SWTri_TextureInfo& tex)
{
    if (f.B)
        return FilteredTexel(tex, q[6], q[7]);
    const uint32_t t = NearestTexel(tex, q[6], q[7]);
    return {Byte(t, 16), Byte(t, 8), Byte(t, 0), Byte(t, 24)};
}

// Opaque from coverage 240 on; below it a blend, whose source the filtered colour already is.
void WriteOrBlend(const Filler& f, uint8_t* p, const uint32_t m[3], uint32_t sa)
{
    if (sa >= 240) {
        OpaqueWrite(f.format, p, m[0], m[1], m[2]);
        return;
    }
    uint32_t s[3];
    for (int i = 0; i < 3; ++i)
        s[i] = f.B ? m[i] : (m[i] * sa) >> 8;
    Blend(f.format, p, s, sa);
}

void TexturedPlain(const Filler& f, uint8_t* p, const int32_t* q, const SWTri_TextureInfo& tex,
                   const SWTri_ConstColor& K)
{
    const Sample sample = SampleAt(f, q, tex);
    if (f.A && sample.a <= 8)
        return;
    uint32_t m[3] = {sample.r, sample.g, sample.b};
    if (f.C) {
        const int32_t kc[3] = {K.r, K.g, K.b};
        for (int i = 0; i < 3; ++i)
            m[i] = (m[i] * uint32_t(kc[i])) >> 8;
        if (f.B)
            for (uint32_t& c : m)
                c = (c * uint32_t(K.a)) >> 8;
    }
    if (!f.A && !f.C)
        OpaqueWrite(f.format, p, m[0], m[1], m[2]);
    else
        WriteOrBlend(f, p, m, !f.A ? (uint32_t(K.a) * 255) >> 8 : f.C ? (uint32_t(K.a) * sample.a) >> 8 : sample.a);
}

// The vertex factors fa, fr, fg, fb, with the constant colour taken in when C is set.
void VertexFactors(const Filler& f, const int32_t* q, const SWTri_ConstColor& K, uint32_t factor[4])
{
    const int32_t kc[4] = {K.a, K.r, K.g, K.b};
    for (int i = 0; i < 4; ++i) {
        const uint32_t attribute = Clamped(q[2 + i]);
        factor[i] = f.C ? (uint32_t(kc[i]) * attribute) >> 24 : attribute >> 16;
    }
}

void TexturedVertexColoured(const Filler& f, uint8_t* p, const int32_t* q, const SWTri_TextureInfo& tex,
                            const SWTri_ConstColor& K)
{
    const Sample sample = SampleAt(f, q, tex);
    const uint32_t textureAlpha = f.A ? sample.a : 255; // without A the texel counts as opaque
    if (f.A && textureAlpha <= 8)
        return;
    uint32_t factor[4];
    VertexFactors(f, q, K, factor);
    const uint32_t texel[3] = {sample.r, sample.g, sample.b};
    uint32_t c[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = ((texel[i] * factor[1 + i]) >> 8) & 255;
        if (f.B)
            c[i] = ((c[i] * factor[0]) >> 8) & 255;
    }
    WriteOrBlend(f, p, c, (factor[0] * textureAlpha) >> 8);
}

// ---- entry ----------------------------------------------------------------------------------

SWTri_FixedVertex ScaledByConstant(SWTri_FixedVertex v, const SWTri_ConstColor& k)
{
    v.a = int32_t((uint32_t(v.a) * uint32_t(k.a)) >> 8);
    v.r = int32_t((uint32_t(v.r) * uint32_t(k.r)) >> 8);
    v.g = int32_t((uint32_t(v.g) * uint32_t(k.g)) >> 8);
    v.b = int32_t((uint32_t(v.b) * uint32_t(k.b)) >> 8);
    return v;
}

} // namespace

void Fill(const Filler& f, const SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch,
          const SWTri_TextureInfo* texture, const SWTri_ConstColor* color)
{
    if (!f.T) {
        if (!f.V)
            return;
        SWTri_FixedVertex v[3] = {vertices[0], vertices[1], vertices[2]};
        if (f.C)
            for (auto& vertex : v)
                vertex = ScaledByConstant(vertex, *color);
        Frame(f, v, dest, pitch, [&](uint8_t* p, const int32_t* q) { Untextured(f.format, p, q); });
    } else if (f.V) {
        Frame(f, vertices, dest, pitch,
              [&](uint8_t* p, const int32_t* q) { TexturedVertexColoured(f, p, q, *texture, *color); });
    } else {
        Frame(f, vertices, dest, pitch, [&](uint8_t* p, const int32_t* q) { TexturedPlain(f, p, q, *texture, *color); });
    }
}

} // namespace reference
