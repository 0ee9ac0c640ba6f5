// Which road each drawing operation of a surface-backed image takes: the graphics card, the
// surface blitters, or the memory image's software drawing.
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/raster/SWTriTypes.h"

#include <algorithm>
#include <cmath>

namespace Nubra {

namespace {

int Truncate(double value) { return int(value); }

} // namespace

bool DDImage::IsPlainSurface(bool keyedCounts)
{
    CommitBits();
    return !drawToBits && !hasAlpha && (!hasTrans || (keyedCounts && firstPixelIsColorKey));
}

bool DDImage::OnSurfaceRoad(bool keyedCounts) { return display && !display->is3D && IsPlainSurface(keyedCounts); }

// A picture that cannot go on a surface (partly transparent) is drawn in memory rather than
// not at all.
bool DDImage::HasUsableSurface() { return !drawToBits && GetSurface(); }

bool DDImage::PolyFill(const Point* vertices, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                       int ty)
{
    if (!Check3D())
        return false;
    return display->d3dInterface->FillPoly(vertices, count, clip, color, drawMode, tx, ty);
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (Check3D()) {
        display->d3dInterface->FillRect(rect, color, drawMode);
        return;
    }
    if (!OnSurfaceRoad(true)) {
        MemoryImage::FillRect(rect, color, drawMode);
        return;
    }
    if (drawMode == DRAWMODE_NORMAL)
        NormalFillRect(rect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveFillRect(rect, color);
    DeleteExtraBuffers();
}

void DDImage::DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode)
{
    if (Check3D()) {
        display->d3dInterface->DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (!OnSurfaceRoad(false)) {
        MemoryImage::DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (startY == endY) {
        int left = Truncate(std::min(startX, endX)), right = Truncate(std::max(startX, endX));
        FillRect(Rect(left, Truncate(startY), right - left + 1, 1), color, drawMode);
    } else if (startX == endX) {
        int top = Truncate(std::min(startY, endY)), bottom = Truncate(std::max(startY, endY));
        FillRect(Rect(Truncate(startX), top, 1, bottom - top + 1), color, drawMode);
    } else {
        if (drawMode == DRAWMODE_NORMAL)
            NormalDrawLine(startX, startY, endX, endY, color);
        else if (drawMode == DRAWMODE_ADDITIVE)
            AdditiveDrawLine(startX, startY, endX, endY, color);
        DeleteExtraBuffers();
    }
}

void DDImage::DrawLineAA(double startX, double startY, double endX, double endY, const Color& color, int drawMode)
{
    if (Check3D()) {
        display->d3dInterface->DrawLine(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (!OnSurfaceRoad(false)) {
        MemoryImage::DrawLineAA(startX, startY, endX, endY, color, drawMode);
        return;
    }
    if (drawMode == DRAWMODE_NORMAL)
        NormalDrawLineAA(startX, startY, endX, endY, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveDrawLineAA(startX, startY, endX, endY, color);
    DeleteExtraBuffers();
}

void DDImage::FillScanLinesWithCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                        const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                        int coverHeight)
{
    if (count <= 0)
        return;
    if (!Check3D()) {
        if (!HasUsableSurface()) {
            MemoryImage::FillScanLinesWithCoverage(spans, count, color, drawMode, coverage, coverX, coverY,
                                                   coverWidth, coverHeight);
            return;
        }
        FillScanLinesWithCoverageOnSurface(spans, count, color, coverage, coverX, coverY, coverWidth, coverHeight);
        DeleteExtraBuffers();
        return;
    }
    // The card takes whole images: blend the spans into one the size of their bounding box.
    int left = spans[0].x, right = spans[0].x + spans[0].width, top = spans[0].y, bottom = spans[0].y + 1;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, spans[i].x);
        right = std::max(right, spans[i].x + spans[i].width);
        top = std::min(top, spans[i].y);
        bottom = std::max(bottom, spans[i].y + 1);
    }
    std::vector<Span> moved(spans, spans + count);
    for (Span& span : moved) {
        span.x -= left;
        span.y -= top;
    }
    MemoryImage box(nullptr);
    box.Create(right - left, bottom - top);
    box.Clear();
    box.FillScanLinesWithCoverage(moved.data(), count, color, drawMode, coverage, coverX - left, coverY - top,
                                  coverWidth, coverHeight);
    Blt(&box, left, top, Rect(0, 0, box.width, box.height), Color::White, drawMode);
}

void DDImage::Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (!image)
        return;
    image->drawn = true;
    CommitBits();
    if (Check3D()) {
        // Memory cannot be copied onto the card's frame: every picture goes as a texture.
        display->d3dInterface->Blt(image, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    if (!OnSurfaceRoad(true)) {
        MemoryImage::Blt(image, x, y, srcRect, color, drawMode);
        return;
    }
    if (drawMode == DRAWMODE_NORMAL)
        NormalBlt(image, x, y, srcRect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveBlt(image, x, y, srcRect, color);
    DeleteExtraBuffers();
}

void DDImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                   int drawMode)
{
    if (!image)
        return;
    image->drawn = true;
    if (!Check3D()) {
        BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
        return;
    }
    DRect target(x, y, srcRect.width, srcRect.height);
    DRect visible = target.Intersection(DRect(clipRect.x, clipRect.y, clipRect.width, clipRect.height));
    if (visible.width <= 0.0 || visible.height <= 0.0)
        return;
    if (visible == target)
        display->d3dInterface->Blt(image, x, y, srcRect, color, drawMode, true);
    else
        display->d3dInterface->BltF(image, x, y, srcRect, &clipRect, color, drawMode);
}

void DDImage::BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                        const Color& color, int drawMode, const Rect& srcRect, bool blend, const ImageMask* mask)
{
    if (!image)
        return;
    image->drawn = true;
    if (Check3D()) {
        display->d3dInterface->BltTransformed(image, &clipRect, color, drawMode, srcRect, matrix, blend, x, y, false,
                                              mask);
        return;
    }
    if (!HasUsableSurface()) {
        MemoryImage::BltMatrix(image, x, y, matrix, clipRect, color, drawMode, srcRect, blend, mask);
        return;
    }
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source || source->width <= 0 || source->height <= 0 || !LockSurface())
        return;
    SWTri_Dest dest;
    if (RasterDest(&dest))
        RasterMatrix(dest, *source, x, y, matrix, clipRect, color, drawMode, srcRect, blend);
    UnlockSurface();
    DeleteExtraBuffers();
}

void DDImage::BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                              const Color& color, int drawMode, float tx, float ty, bool blend)
{
    if (!texture)
        return;
    texture->drawn = true;
    if (Check3D()) {
        display->d3dInterface->BltTriangles(texture, triangles, count, color, drawMode, tx, ty, blend);
        return;
    }
    if (!HasUsableSurface()) {
        MemoryImage::BltTrianglesTex(texture, triangles, count, clipRect, color, drawMode, tx, ty, blend);
        return;
    }
    auto* source = dynamic_cast<MemoryImage*>(texture);
    if (!source || !triangles || count <= 0 || !LockSurface())
        return;
    SWTri_Dest dest;
    if (RasterDest(&dest))
        RasterTriangles(dest, *source, triangles, count, clipRect, color, drawMode, tx, ty, blend);
    UnlockSurface();
    DeleteExtraBuffers();
}

} // namespace Nubra
