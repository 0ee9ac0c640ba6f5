#pragma once
#include "framework/raster/SWTriTypes.h"

#include <algorithm>
#include <utility>

// The frame every span filler shares: vertex sort, edge walk, span setup and per-pixel stepping,
// in 16.16 fixed point. What happens at a pixel is the Op's business.
namespace Nubra {

// Floor of a 16.16 value (also for values at or below 0).
constexpr int32_t SWTri_TexelFloor(int32_t value) { return int32_t(uint32_t(value) & 0xFFFF0000u); }

namespace swtri {

// Word positions inside SWTri_FixedVertex, for walking the attributes generically.
enum VertexWord : int { kWordX, kWordY, kWordA, kWordR, kWordG, kWordB, kWordU, kWordV, kWordCount };

// Wrapping 32-bit arithmetic, as the fixed-point formats are defined.
constexpr int32_t Add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
constexpr int32_t Sub(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }

// Ceiling to a whole pixel, still in 16.16.
constexpr int32_t CeilFixed(int32_t v) { return int32_t((uint32_t(v) + 0xFFFFu) & 0xFFFF0000u); }
constexpr int32_t CeilRow(int32_t y) { return Add(y, 0xFFFF) >> 16; }

// (a * b) >> 16 on 64 bits, low 32 bits kept.
constexpr int32_t MulShift16(int32_t a, int32_t b) { return int32_t((int64_t(a) * b) >> 16); }

// 2^48 / distance, the reciprocal the gradients are formed with.
constexpr int64_t Reciprocal(int32_t distance) { return (int64_t(1) << 48) / distance; }

// (difference * reciprocal) >> 32, the product taken modulo 2^64.
constexpr int32_t Gradient(int64_t difference, int64_t reciprocal)
{
    return int32_t(int64_t(uint64_t(difference) * uint64_t(reciprocal)) >> 32);
}

constexpr int32_t Word(const SWTri_FixedVertex& v, int word)
{
    switch (word) {
    case kWordX: return v.x;
    case kWordY: return v.y;
    case kWordA: return v.a;
    case kWordR: return v.r;
    case kWordG: return v.g;
    case kWordB: return v.b;
    case kWordU: return v.u;
    default: return v.v;
    }
}

// Calls f(word) for each word in [First, Last), unrolled.
template <int First, int Last, class F>
inline void ForWords(F&& f)
{
    [&]<int... I>(std::integer_sequence<int, I...>) { (f(First + I), ...); }(std::make_integer_sequence<int, Last - First>{});
}

// One row's pixels: n of them from pixel on, the first one's attributes in q (by VertexWord).
struct Span {
    uint8_t* pixel;
    int32_t n;
    uint32_t q[kWordCount];
};

// The frame hands its rows over this many at a time.
inline constexpr int kSpanBatch = 16;

// The plain spans: op's pixel work a pixel at a time, the attributes stepping by dq after each.
template <class Op>
inline void StepSpans(const Op& op, Span* spans, int count, const int32_t* dq)
{
    for (Span* span = spans; span != spans + count; ++span) {
        uint8_t* pixel = span->pixel;
        for (int32_t n = span->n; n > 0; --n, pixel += Op::kPixelSize) {
            op(pixel, span->q);
            ForWords<Op::kFirstWord, Op::kLastWord>([&](int w) { span->q[w] += uint32_t(dq[w]); });
        }
    }
}

} // namespace swtri

// Runs the frame over one triangle. Op provides:
//   kFirstWord, kLastWord: the attribute words [first, last) interpolated besides x;
//   kPixelSize: 2 or 4 bytes; kUVBias: subtracted from u and v at each span start;
//   Spans(swtri::Span* spans, int count, const int32_t* dq): the work of up to kSpanBatch rows,
//   dq holding the attributes' steps from pixel to pixel (swtri::StepSpans does it a pixel at
//   a time).
// Spans are held between the triangle's leftmost and rightmost vertex, so gradients that wrap
// on slivers cannot carry writes past the triangle's extent.
template <class Op>
void SWTri_RunFrame(const SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch, const Op& op)
{
    using namespace swtri;
    constexpr int First = Op::kFirstWord;
    constexpr int Last = Op::kLastWord;
    constexpr int kPx = Op::kPixelSize;

    const SWTri_FixedVertex* top = &vertices[0];
    const SWTri_FixedVertex* mid = &vertices[1];
    const SWTri_FixedVertex* bot = &vertices[2];
    if (top->y > mid->y)
        std::swap(top, mid);
    if (mid->y > bot->y)
        std::swap(mid, bot);
    if (top->y > mid->y)
        std::swap(top, mid);
    const SWTri_FixedVertex& T = *top;
    const SWTri_FixedVertex& M = *mid;
    const SWTri_FixedVertex& B = *bot;

    const int32_t rT = CeilRow(T.y);
    const int32_t rM = CeilRow(M.y);
    const int32_t rB = CeilRow(B.y);
    if (rT == rB)
        return;

    const int32_t heightTM = Sub(M.y, T.y);
    const int64_t invL = Reciprocal(Sub(B.y, T.y));
    const int32_t dxL = Gradient(Sub(B.x, T.x), invL);
    const int32_t xLM = Add(T.x, MulShift16(dxL, heightTM));
    const int32_t width = Sub(M.x, xLM);
    if (width == 0)
        return;
    const bool longIsLeft = xLM < M.x;

    const int32_t pT = Sub(rT << 16, T.y);
    int32_t xL = Add(T.x, MulShift16(dxL, pT));
    const int64_t invW = Reciprocal(width);
    int32_t qL[kWordCount] = {};
    int32_t dqL[kWordCount] = {};
    int32_t dqX[kWordCount] = {};
    ForWords<First, Last>([&](int w) {
        dqL[w] = Gradient(Sub(Word(B, w), Word(T, w)), invL);
        qL[w] = Add(Word(T, w), MulShift16(dqL[w], pT));
        const int64_t e = (int64_t(dqL[w]) * heightTM) >> 16;
        dqX[w] = Gradient(int64_t(Word(M, w)) - e - int64_t(Word(T, w)), invW);
    });

    const int32_t hullLeft = CeilFixed(std::min({T.x, M.x, B.x}));
    const int32_t hullRight = CeilFixed(std::max({T.x, M.x, B.x}));
    const int32_t stride = pitch & ~(kPx - 1);
    uint8_t* row = dest + int64_t(rT) * stride;

    Span batch[kSpanBatch];
    int pending = 0;
    auto drawRows = [&](int32_t firstRow, int32_t endRow, int32_t xS, int32_t dxS) {
        for (int32_t y = firstRow; y < endRow; ++y) {
            const int32_t cl = std::max(CeilFixed(longIsLeft ? xL : xS), hullLeft);
            const int32_t cr = std::min(CeilFixed(longIsLeft ? xS : xL), hullRight);
            const int32_t n = Sub(cr, cl) >> 16;
            if (n > 0) {
                Span& span = batch[pending];
                span.pixel = row + int64_t(cl >> 16) * kPx;
                span.n = n;
                const int32_t offset = Sub(cl, xL);
                ForWords<First, Last>([&](int w) { span.q[w] = uint32_t(Add(qL[w], MulShift16(dqX[w], offset))); });
                if constexpr (Op::kUVBias != 0) {
                    span.q[kWordU] -= uint32_t(Op::kUVBias);
                    span.q[kWordV] -= uint32_t(Op::kUVBias);
                }
                if (++pending == kSpanBatch) {
                    op.Spans(batch, pending, dqX);
                    pending = 0;
                }
            }
            xL = Add(xL, dxL);
            xS = Add(xS, dxS);
            ForWords<First, Last>([&](int w) { qL[w] = Add(qL[w], dqL[w]); });
            row += stride;
        }
    };

    if (rM != rT) {
        const int32_t dxS = Gradient(Sub(M.x, T.x), Reciprocal(heightTM));
        drawRows(rT, rM, Add(T.x, MulShift16(dxS, pT)), dxS);
    }
    if (rB != rM) {
        const int32_t dxS = Gradient(Sub(B.x, M.x), Reciprocal(Sub(B.y, M.y)));
        drawRows(rM, rB, Add(M.x, MulShift16(Sub(rM << 16, M.y), dxS)), dxS);
    }
    if (pending > 0)
        op.Spans(batch, pending, dqX);
}

} // namespace Nubra
