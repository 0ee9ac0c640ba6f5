#include "ReferenceFiller.h"

#include <algorithm>
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
          const SWTri_TextureInfo* /*texture*/, const SWTri_ConstColor* color)
{
    if (!f.T) {
        if (!f.V)
            return;
        SWTri_FixedVertex v[3] = {vertices[0], vertices[1], vertices[2]};
        if (f.C)
            for (auto& vertex : v)
                vertex = ScaledByConstant(vertex, *color);
        Frame(f, v, dest, pitch, [&](uint8_t* p, const int32_t* q) { Untextured(f.format, p, q); });
    }
}

} // namespace reference
