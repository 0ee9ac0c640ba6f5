// The matrix and triangle blits of the memory image, drawn by the software rasteriser.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/MemoryImageTexture.h"
#include "framework/graphics/PixelMath.h"
#include "platform/Replaceable.h"

namespace Nubra {

namespace {

class SoftwareRasteriser : public TriangleRasteriser {
public:
    void DrawTriangles(const SWTri_Vertex* vertices, int32_t count, SWTri_TextureSource* texture,
                       const SWTri_Color& color, int32_t drawMode, const SWTri_Rect& clipRect, const SWTri_Dest& dest,
                       bool linearBlend, bool vertexColors) override
    {
        SWTri_DrawTriangles(vertices, count, texture, color, drawMode, clipRect, dest, linearBlend, vertexColors);
    }
};

TriangleRasteriser& Software()
{
    static SoftwareRasteriser rasteriser;
    return rasteriser;
}

constinit plat::Replaceable<TriangleRasteriser> current(Software);

} // namespace

TriangleRasteriser& GetTriangleRasteriser() { return current.Get(); }

void SetTriangleRasteriser(TriangleRasteriser* rasteriser) { current.Set(rasteriser); }

SWTri_Dest MemoryImage::BitsDest()
{
    // An image forced opaque lets the rasteriser ignore (and not keep) the alpha byte.
    const bool opaque = forcedMode && !hasTrans && !hasAlpha;
    return SWTri_Dest{reinterpret_cast<uint8_t*>(GetBits()), width * 4, width, height,
                      opaque ? SWTri_Format::RGB888 : SWTri_Format::ARGB8888};
}

void MemoryImage::RasteriseStrip(const SWTri_Dest& dest, const SWTri_Vertex* vertices, int count, MemoryImage& texture,
                                 const Color& color, int drawMode, const Rect& clipRect, bool blend, bool vertexColors)
{
    const Color c = ClampedColor(color);
    MemoryImageTexture source(texture);
    GetTriangleRasteriser().DrawTriangles(vertices, count, &source, SWTri_Color{c.red, c.green, c.blue, c.alpha}, drawMode,
                SWTri_Rect{clipRect.x, clipRect.y, clipRect.width, clipRect.height}, dest, blend, vertexColors);
}

void MemoryImage::BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                            const Color& color, int drawMode, const Rect& srcRect, bool blend, const ImageMask*)
{
    if (!image)
        return;
    image->drawn = true;
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source || source->width <= 0 || source->height <= 0)
        return;
    RasterMatrix(BitsDest(), *source, x, y, matrix, clipRect, color, drawMode, srcRect, blend);
    BitsChanged();
}

void MemoryImage::RasterMatrix(const SWTri_Dest& dest, MemoryImage& source, float x, float y, const Matrix3& matrix,
                               const Rect& clipRect, const Color& color, int drawMode, const Rect& srcRect, bool blend)
{
    const float w = float(source.width), h = float(source.height);
    const float left = float(srcRect.x) / w, right = float(srcRect.x + srcRect.width) / w;
    const float top = float(srcRect.y) / h, bottom = float(srcRect.y + srcRect.height) / h;
    // The strip 0-1-2, 1-2-3 over the corners top-left, top-right, bottom-left, bottom-right.
    const float cornerX[4] = {0.0f, float(srcRect.width), 0.0f, float(srcRect.width)};
    const float cornerY[4] = {0.0f, 0.0f, float(srcRect.height), float(srcRect.height)};
    const float u[4] = {left, right, left, right};
    const float v[4] = {top, top, bottom, bottom};
    SWTri_Vertex strip[4];
    for (int k = 0; k < 4; ++k) {
        const float in[3] = {cornerX[k], cornerY[k], 1.0f};
        float out[3];
        matrix.Multiply(in, out);
        strip[k] = {out[0] + (x - 0.5f), out[1] + (y - 0.5f), u[k], v[k], 0xFFFFFFFF};
    }
    RasteriseStrip(dest, strip, 4, source, color, drawMode, clipRect, blend, false);
}

void MemoryImage::BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                                  const Color& color, int drawMode, float tx, float ty, bool blend)
{
    if (!texture)
        return;
    texture->drawn = true;
    auto* source = dynamic_cast<MemoryImage*>(texture);
    if (!source || !triangles || count <= 0)
        return;
    RasterTriangles(BitsDest(), *source, triangles, count, clipRect, color, drawMode, tx, ty, blend);
    BitsChanged();
}

void MemoryImage::RasterTriangles(const SWTri_Dest& dest, MemoryImage& source, const TriVertex (*triangles)[3],
                                  int count, const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                  bool blend)
{
    for (int t = 0; t < count; ++t) {
        SWTri_Vertex corners[3];
        bool vertexColors = false;
        for (int k = 0; k < 3; ++k) {
            const TriVertex& in = triangles[t][k];
            corners[k] = {in.x + tx, in.y + ty, in.u, in.v, in.color};
            vertexColors = vertexColors || in.color != 0;
        }
        RasteriseStrip(dest, corners, 3, source, color, drawMode, clipRect, blend, vertexColors);
    }
}

} // namespace Nubra
