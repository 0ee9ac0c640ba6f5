// The masked draw: an image drawn only where a placed mask covers it, its alpha multiplied by
// the mask's.
#include "framework/graphics/Color.h"
#include "framework/graphics/D3DGeometry.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/TextureData.h"

#include <algorithm>

namespace Nubra {

namespace {

FPoint Apply(const Matrix3& m, float x, float y)
{
    const NubraVector2 p = m * NubraVector2(x, y);
    return {p.x, p.y};
}

// One part of the mask (inside one of its pieces): its texture, its offset from the mask
// rectangle's corner, its size and its texture coordinates.
struct MaskPart {
    plat::GpuTexture* texture = nullptr;
    float ox = 0, oy = 0, w = 0, h = 0;
    float leftU = 0, topV = 0, rightU = 0, bottomV = 0;
};

std::vector<MaskPart> MaskParts(const TextureData& mask, const Rect& r)
{
    std::vector<MaskPart> parts;
    int rowHeight = 0;
    for (int my = r.y; my < r.y + r.height; my += rowHeight) {
        int partWidth = 0;
        for (int mx = r.x; mx < r.x + r.width; mx += partWidth) {
            MaskPart part;
            partWidth = r.x + r.width - mx;
            int partHeight = r.y + r.height - my;
            part.texture = mask.GetTexture(mx, my, partWidth, partHeight, part.leftU, part.topV, part.rightU,
                                           part.bottomV);
            if (partWidth <= 0 || partHeight <= 0)
                return parts;
            rowHeight = partHeight;
            part.ox = float(mx - r.x);
            part.oy = float(my - r.y);
            part.w = float(partWidth);
            part.h = float(partHeight);
            parts.push_back(part);
        }
    }
    return parts;
}

} // namespace

// The image's pieces that the source rectangle S touches are each drawn through every part of
// the mask rectangle R. A point q of a piece's working rectangle (measured from where that
// piece's share of S begins, at offset `off` from S's corner) is drawn at M(q + off) + (x, y);
// a mask point m (from R's corner) is placed at K(m + (Px - x, Py - y)) + (x, y). So
// q = N(m) - off with N = M^-1 x K x Translate(Px - x, Py - y), for any M and K.
void TextureData::BltMasked(const Matrix3& m, const Rect& src, const Color& color, int, const Rect* clip, float x,
                            float y, TextureData& maskData, const ImageMask& mask)
{
    const Rect s = src.Intersection(Rect(0, 0, imageWidth, imageHeight));
    const Rect& r = mask.source;
    Matrix3 inverseM, n, inverseN;
    if (s.width <= 0 || s.height <= 0 || r.width <= 0 || r.height <= 0 || !InvertMatrix(m, inverseM))
        return;
    Matrix3 t;
    t.Translate(float(mask.position.x) - x, float(mask.position.y) - y);
    n = inverseM * mask.matrix * t;
    if (!InvertMatrix(n, inverseN))
        return; // a mask scaled to nothing covers nothing
    const bool mirrored = Determinant(n) < 0.0f;
    const uint32_t diffuse = color.ToInt();
    const std::vector<MaskPart> parts = MaskParts(maskData, r);

    for (int row = s.y / pieceHeight; row < rows && row * pieceHeight < s.y + s.height; ++row) {
        for (int column = s.x / pieceWidth; column < columns && column * pieceWidth < s.x + s.width; ++column) {
            const TexturePiece& piece = Piece(column, row);
            // The piece's share of S: the image it holds (not its padding) within S.
            const int pieceX = column * pieceWidth, pieceY = row * pieceHeight;
            const int left = std::max(s.x, pieceX), top = std::max(s.y, pieceY);
            const int right = std::min({s.x + s.width, pieceX + pieceWidth, imageWidth});
            const int bottom = std::min({s.y + s.height, pieceY + pieceHeight, imageHeight});
            if (right <= left || bottom <= top || !piece.texture)
                continue;
            const float offX = float(left - s.x), offY = float(top - s.y);
            const float w = float(right - left), h = float(bottom - top);
            for (const MaskPart& part : parts) {
                const FPoint quad[4] = {
                    Apply(n, part.ox, part.oy), Apply(n, part.ox, part.oy + part.h),
                    Apply(n, part.ox + part.w, part.oy + part.h), Apply(n, part.ox + part.w, part.oy)};
                std::vector<FPoint> polygon;
                if (mirrored) {
                    // The corner walk runs one way only: cut a mirrored quad by its sides instead.
                    std::vector<D3DVertex> cut(4);
                    for (int i = 0; i < 4; ++i) {
                        cut[size_t(i)].x = quad[i].x - offX;
                        cut[size_t(i)].y = quad[i].y - offY;
                    }
                    for (const D3DVertex& v : ClipToRect(cut, 0.0f, 0.0f, w, h))
                        polygon.push_back({v.x, v.y});
                } else {
                    FPoint moved[4];
                    for (int i = 0; i < 4; ++i)
                        moved[i] = {quad[i].x - offX, quad[i].y - offY};
                    IntersectQuadRect(w, h, moved, polygon);
                }
                if (polygon.size() < 3 || !part.texture)
                    continue;
                std::vector<D3DVertex2> fan;
                bool needsClip = false;
                for (const FPoint& q : polygon) {
                    D3DVertex2 v;
                    const FPoint dest = Apply(m, q.x + offX, q.y + offY);
                    v.x = dest.x + x;
                    v.y = dest.y + y;
                    v.diffuse = diffuse;
                    v.u = (float(left - pieceX) + q.x) / float(piece.width);
                    v.v = (float(top - pieceY) + q.y) / float(piece.height);
                    const FPoint inMask = Apply(inverseN, q.x + offX, q.y + offY);
                    v.u2 = part.leftU + (inMask.x - part.ox) * (part.rightU - part.leftU) / part.w;
                    v.v2 = part.topV + (inMask.y - part.oy) * (part.bottomV - part.topV) / part.h;
                    if (clip)
                        needsClip = needsClip || v.x < float(clip->x) || v.x >= float(clip->x + clip->width)
                                    || v.y < float(clip->y) || v.y >= float(clip->y + clip->height);
                    fan.push_back(v);
                }
                if (needsClip)
                    owner->DrawPolyClipped(fan, *clip, piece.texture.get(), part.texture);
                else
                    owner->DrawMaskedFan(fan, piece.texture.get(), part.texture, "DrawPrimitive (Tri) 3");
            }
        }
    }
}

} // namespace Nubra
