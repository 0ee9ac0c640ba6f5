#pragma once
#include "framework/graphics/MemoryImage.h"
#include "framework/raster/SWTri.h"

namespace Nubra {

// A memory image as the software rasteriser reads its texture: the image's bits (a palettised
// image is expanded) and its alpha flags.
class MemoryImageTexture : public SWTri_TextureSource {
public:
    explicit MemoryImageTexture(MemoryImage& image) : image_(image) {}

    int32_t Width() const override { return image_.width; }
    int32_t Height() const override { return image_.height; }
    bool HasTransparency() const override { return image_.hasTrans; }
    bool HasPartialAlpha() const override { return image_.hasAlpha; }
    void CommitBits() override { image_.CommitBits(); }
    const uint32_t* GetBits() override { return image_.GetBits(); }

private:
    MemoryImage& image_;
};

// The rasteriser that the memory image's matrix and triangle blits hand their triangles to.
class TriangleRasteriser {
public:
    virtual ~TriangleRasteriser() = default;
    virtual void DrawTriangles(const SWTri_Vertex* vertices, int32_t count, SWTri_TextureSource* texture,
                               const SWTri_Color& color, int32_t drawMode, const SWTri_Rect& clipRect,
                               const SWTri_Dest& dest, bool linearBlend, bool vertexColors) = 0;
};

TriangleRasteriser& GetTriangleRasteriser();
// Puts another rasteriser in place (a recorder, in tests); null restores the software one.
void SetTriangleRasteriser(TriangleRasteriser* rasteriser);

} // namespace Nubra
