#pragma once
#include "framework/graphics/MemoryImage.h"
#include "platform/Surface.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace Nubra {

class DDInterface;
struct StretchArea;

// A memory image whose picture can also live on a surface of the display. Every drawing
// operation picks one of three roads: the graphics card when this image is the display's frame
// and the card draws (Check3D); the surface blitters when the picture is on an opaque or
// colour-keyed surface; the memory image's software drawing otherwise. Drawing onto the
// surface drops the memory copies, and GetBits reads the surface back.
class DDImage : public MemoryImage {
public:
    explicit DDImage(DDInterface* display);
    ~DDImage() override;

    bool Check3D() override;
    plat::Surface* GetSurface(); // generated first when there is none; may still be null
    // Puts the picture on a surface of its own; false for an image with partly transparent
    // pixels (and when no surface can be made). Transparent pixels become the surface's key.
    bool GenerateDDSurface();
    virtual bool GenerateDDSurfaceColorKeyed();
    void DeleteDDSurface(); // reads the picture back first when nothing else holds it
    // Frees the memory copies that a draw onto the surface makes stale.
    void DeleteExtraBuffers();
    // Counted: only the outermost lock and unlock reach the surface. Both false on the card's road.
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    // Binds the image to a surface it did not make (the display's frame); it keeps it for life.
    virtual bool SetSurface(std::shared_ptr<plat::Surface> surface);
    virtual void SetVideoMemory(bool flag);
    // The display is going away: the picture goes back into memory, and the image into the
    // application's memory road.
    void DetachDisplay();
    // The locked surface as the rasteriser's destination; false for masks it has no format for.
    bool RasterDest(SWTri_Dest* out) const;

    // Buffer management.
    void BitsChanged() override;
    void CommitBits() override;
    void DeleteNativeData() override;
    void DeleteDerivedBuffers() override;
    bool Palletize() override;
    void ApplyLoadOptions() override;
    void PurgeBits() override;
    uint32_t* GetBits() override; // from the surface when there are no bits

    // Drawing: the road choice.
    bool PolyFill(const Point* vertices, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                  int ty) override;
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double startX, double startY, double endX, double endY, const Color& color,
                  int drawMode) override;
    void DrawLineAA(double startX, double startY, double endX, double endY, const Color& color,
                    int drawMode) override;
    void FillScanLinesWithCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                   const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                   int coverHeight) override;
    void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
              int drawMode) override;
    void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                    int drawMode, double angle, float centerX, float centerY) override;
    void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect, const Color& color,
                    int drawMode, bool fastStretch) override;
    // Always the nearest pixel, whatever the fast flag says.
    void StretchBltMirror(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                          const Color& color, int drawMode, bool fastStretch) override;
    void BltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                   int drawMode, const Rect& srcRect, bool blend, const ImageMask* mask) override;
    void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                         const Color& color, int drawMode, float tx, float ty, bool blend) override;

    // The surface blitters: they write into the locked surface; nothing is clipped here.
    virtual void NormalFillRect(const Rect& rect, const Color& color);
    virtual void AdditiveFillRect(const Rect& rect, const Color& color);
    virtual void NormalBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    virtual void NormalDrawLine(double startX, double startY, double endX, double endY, const Color& color);
    virtual void AdditiveDrawLine(double startX, double startY, double endX, double endY, const Color& color);
    virtual void NormalDrawLineAA(double startX, double startY, double endX, double endY, const Color& color);
    virtual void AdditiveDrawLineAA(double startX, double startY, double endX, double endY, const Color& color);
    virtual void NormalBltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    virtual void AdditiveBltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color);
    // The surface road of FillScanLinesWithCoverage.
    void FillScanLinesWithCoverageOnSurface(const Span* spans, int count, const Color& color,
                                            const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                            int coverHeight);

    DDInterface* display; // not owned; null once it is gone
    std::shared_ptr<plat::Surface> surface;
    bool adopted = false; // the surface came through SetSurface
    bool videoMemoryWriteOnly = false; // never read back
    bool wantsVideoMemory = false;
    bool firstPixelIsColorKey = false;
    bool wantsDDSurface = false;
    bool drawToBits = false;
    int32_t lockCount = 0;
    plat::SurfaceLock surfaceDesc; // filled by the outermost lock

private:
    // Draw to bits off, no alpha, no transparency (unless keyed by the first pixel and allowed).
    bool IsPlainSurface(bool keyedCounts);
    bool OnSurfaceRoad(bool keyedCounts);
    bool HasUsableSurface();
    size_t PixelTotal() const { return size_t(std::max(width, 0)) * size_t(std::max(height, 0)); }
    uint32_t ToSurfacePixel(uint32_t argb, const plat::PixelFormat& format) const;
    uint32_t ChooseColorKey(const uint32_t* picture, const std::vector<uint32_t>& converted, int bpp) const;
    void WriteSurfaceRows(const plat::SurfaceLock& pixels, const std::vector<uint32_t>& converted) const;
    // A surface-to-surface blit, stretched when the sizes differ; a held lock is let go for it and
    // taken again. False when either surface is missing or the lock could not be taken again.
    bool BltFromSurface(DDImage* source, const plat::PixelRect& to, const plat::PixelRect& from);
    // StretchBlt's smooth road onto the surface, and the nearest-pixel stretch into it.
    void SmoothStretchThroughMemory(Image* image, const StretchArea& area, const Color& color, int drawMode);
    void DrawStretched(Image* image, const StretchArea& area, const Color& color, int drawMode, bool mirrored);
    // The other roads of NormalBlt.
    void OptionFlagBlt(MemoryImage& source, int x, int y, const Rect& srcRect);
    void CopyNativeWords(MemoryImage& source, int x, int y, const Rect& srcRect);
    // The run road, also of the mirrored blit (rows written right to left).
    void RunBlt(MemoryImage& source, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    void AdditiveRunBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
};

} // namespace Nubra
