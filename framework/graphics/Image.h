#pragma once
#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Nubra {

class Image;

// Draw modes of every drawing operation.
enum DrawMode { DRAWMODE_NORMAL = 0, DRAWMODE_ADDITIVE = 1 };

// One span of a scan-line fill.
struct Span {
    int32_t y;
    int32_t x;
    int32_t width;
};

// A corner of a textured triangle: u and v in 0-1 of the texture, colour 0 for none.
struct TriVertex {
    float x, y, u, v;
    uint32_t color;
};

// A mask that the accelerated matrix blit draws through: the part of the mask image used, the
// point where that part's corner lies (x and y are read) and the mask's own matrix.
struct ImageMask {
    Image* image = nullptr;
    Rect source;
    Rect position;
    Matrix3 matrix;
};

// A picture of some size, optionally a grid of animation cels, and the drawing operations that
// draw onto it. The bodies here draw nothing; the image kinds supply the drawing.
class Image {
public:
    Image() = default;
    Image(const Image& other); // the file path is not copied
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    // Takes the other's cel grid and a copy of its animation (or none).
    void CopyAttributes(const Image* other);

    // True when drawing goes to the display's surface through the accelerated path.
    virtual bool Check3D() { return false; }

    virtual bool PolyFill(const Point* vertices, int count, const Rect* clip, const Color& color, int drawMode,
                          int tx, int ty);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    // The outline covers width + 1 by height + 1 pixels, drawn as four fills.
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void ClearRect(const Rect& rect);
    virtual void DrawLine(double startX, double startY, double endX, double endY, const Color& color,
                          int drawMode);
    virtual void DrawLineAA(double startX, double startY, double endX, double endY, const Color& color,
                            int drawMode);
    // One fill per span.
    virtual void FillScanLines(const Span* spans, int count, const Color& color, int drawMode);
    virtual void FillScanLinesWithCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                           const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                           int coverHeight);
    virtual void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    virtual void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                      const Color& color, int drawMode);
    virtual void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                            const Color& color, int drawMode, double angle, float centerX, float centerY);
    virtual void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                            const Color& color, int drawMode, bool fastStretch);
    // `mask` may be null; only the accelerated path reads it.
    virtual void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                           const Color& color, int drawMode, const Rect& srcRect, bool blend,
                           const ImageMask* mask);
    virtual void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count,
                                 const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                 bool blend);
    virtual void BltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    virtual void StretchBltMirror(Image* image, const Rect& destRect, const Rect& srcRect,
                                  const Rect& clipRect, const Color& color, int drawMode, bool fastStretch);

    bool drawn = false; // set on a source image when it is drawn
    std::string filePath; // the file it came from; empty for images made in code
    int32_t width = 0;
    int32_t height = 0;
    int32_t numRows = 1; // the grid of animation cels
    int32_t numCols = 1;
    std::unique_ptr<AnimInfo> animInfo;
};

} // namespace Nubra
