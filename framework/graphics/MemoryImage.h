#pragma once
#include "framework/graphics/Image.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Nubra {

class ImageHost;
class NativeDisplay;
class TextureData;
struct SWTri_Dest;
struct SWTri_Vertex;

// An image held as 0xAARRGGBB words in memory. The bits are the master form; the palette form,
// the display-format copy (native data) and the run-length tables are caches built on demand
// and dropped when the pixels change. The bits may be absent while another form holds the
// picture (palettised, purged to native data, or only in textures).
class MemoryImage : public Image {
public:
    static constexpr uint32_t kGuardWord = 0x4BEEFADE; // written after the last pixel
    static constexpr uint32_t TextureFlag_No565 = 8;

    MemoryImage(); // for the application's host (GetImageHost)
    explicit MemoryImage(ImageHost* app);
    // Copies every form the other holds; the textures are not shared.
    MemoryImage(const MemoryImage& other);
    ~MemoryImage() override;

    // The pixels in the display's format, premultiplied by (alpha + 1) / 256 with the alpha
    // kept in the top byte (256 words for a palettised image).
    virtual uint32_t* GetNativeAlphaData(NativeDisplay* display);
    // Per pixel, how many pixels of its class (alpha 0, 255, other) follow in its row, itself
    // included, capped at 255.
    virtual uint8_t* GetRLAlphaData();
    // The same over the native data, classed black (low 24 bits 0) or not.
    virtual uint8_t* GetRLAdditiveData(NativeDisplay* display);
    // Asks to keep the picture in the display's form only; without acceleration the bits go
    // now, with it once textures exist.
    virtual void PurgeBits();
    virtual void DeleteSWBuffers(); // native and run-length data; rebuilds the bits first
    virtual void Delete3DBuffers();
    virtual void DeleteDerivedBuffers();
    virtual void ApplyLoadOptions(); // palettise, then purge, as requested
    virtual void BitsChanged(); // after any write to the pixels
    virtual void CommitBits(); // recomputes the alpha flags when stale and not forced
    virtual void DeleteNativeData(); // as DeleteSWBuffers but keeps the run-length alpha data
    virtual void Clear();
    virtual void SetBits(const uint32_t* pixels, int width, int height, bool commit);
    virtual void Create(int width, int height);
    virtual uint32_t* GetBits(); // rebuilt from the other forms when absent
    virtual void SetImageMode(bool hasTrans, bool hasAlpha); // forces the alpha flags
    virtual void SetOptionFlag(bool flag);
    // Replaces the bits by a colour table of at most 256 entries and one index per pixel;
    // false (the bits kept) when the picture has more colours.
    virtual bool Palletize();
    // Surface-backed images hold a copy of the picture on the display; the memory report counts it.
    virtual bool HasDisplaySurface() const { return false; }

    // Software drawing into the bits. Each operation cuts what it is given to this image (and a
    // blit's source rectangle to its source) and ends with BitsChanged once it has drawn.
    void FillRect(const Rect& rect, const Color& color, int drawMode) override; // mode ignored
    void ClearRect(const Rect& rect) override;
    // Axis-parallel lines are filled rectangles; others go to the drawer of the draw mode.
    void DrawLine(double startX, double startY, double endX, double endY, const Color& color,
                  int drawMode) override;
    void DrawLineAA(double startX, double startY, double endX, double endY, const Color& color,
                    int drawMode) override;
    void FillScanLinesWithCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                   const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                   int coverHeight) override;
    void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    // The rotated blit at angle 0, so fractional positions are filtered.
    void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
              int drawMode) override;
    // Bilinear, by inverse mapping; any draw mode but 0 adds. Each row is cut so that all four
    // texels of a sample lie inside the source rectangle, which leaves out its first column and
    // its last column and row even at angle 0.
    void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                    const Color& color, int drawMode, double angle, float centerX, float centerY) override;
    void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                    const Color& color, int drawMode, bool fastStretch) override;
    void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                   int drawMode, const Rect& srcRect, bool blend, const ImageMask* mask) override;
    void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                         const Color& color, int drawMode, float tx, float ty, bool blend) override;

    // The line drawers behind DrawLine and DrawLineAA, for sloped lines.
    void NormalDrawLine(double startX, double startY, double endX, double endY, const Color& color);
    void AdditiveDrawLine(double startX, double startY, double endX, double endY, const Color& color);
    void NormalDrawLineAA(double startX, double startY, double endX, double endY, const Color& color);
    // The source box drawn into destRect (already clipped). The fast stretch samples the nearest
    // pixel, tinted by a colour other than white; the smooth one filters (box where it shrinks,
    // linear where it grows) and ignores colour and draw mode. Neither reads the draw mode.
    void FastStretchBlt(Image* image, const Rect& destRect, const DRect& srcBox, const Color& color,
                        int drawMode);
    void SmoothStretchBlt(Image* image, const Rect& destRect, const DRect& srcBox, const Color& color,
                          int drawMode);

    std::unique_ptr<uint32_t[]> bits; // width x height words and the guard word
    uint32_t bitsChangedCount = 0;
    TextureData* d3dData = nullptr; // owned by the accelerated path
    uint32_t d3dFlags = TextureFlag_No565;
    std::unique_ptr<uint32_t[]> colorTable; // 256 entries, with colorIndices
    std::unique_ptr<uint8_t[]> colorIndices;
    bool forcedMode = false;
    bool hasTrans = false; // some pixel has alpha 0
    bool hasAlpha = false; // some pixel has alpha strictly between 0 and 255
    bool optionFlag = false;
    bool purgeRequested = false;
    bool palettizeRequested = false;
    std::unique_ptr<uint32_t[]> nativeAlphaData;
    std::unique_ptr<uint8_t[]> rlAlphaData;
    std::unique_ptr<uint8_t[]> rlAdditiveData;
    bool alphaFlagsStale = false;
    ImageHost* app = nullptr;

protected:
    // The matrix and triangle blits of a memory source drawn into `dest`: this image's bits
    // (BitsDest) or pixels of the same size elsewhere. Neither calls BitsChanged.
    void RasterMatrix(const SWTri_Dest& dest, MemoryImage& source, float x, float y, const Matrix3& matrix,
                      const Rect& clipRect, const Color& color, int drawMode, const Rect& srcRect, bool blend);
    void RasterTriangles(const SWTri_Dest& dest, MemoryImage& source, const TriVertex (*triangles)[3], int count,
                         const Rect& clipRect, const Color& color, int drawMode, float tx, float ty, bool blend);
    SWTri_Dest BitsDest();

private:
    Rect Bounds() const { return Rect(0, 0, width, height); }
    // Hands a triangle strip to the software rasteriser.
    void RasteriseStrip(const SWTri_Dest& dest, const SWTri_Vertex* vertices, int count, MemoryImage& texture,
                        const Color& color, int drawMode, const Rect& clipRect, bool blend, bool vertexColors);
    size_t PixelCount() const;
    size_t NativeWordCount() const;
    // The picture from the palette, the native data or the textures, else transparent black.
    void RebuildPixels(uint32_t* out) const;
    void BuildNativeData(NativeDisplay* display);
    void FreePalette();
    void FreeNativeAndRunLengths(bool keepRLAlpha);
    uint32_t AlphaSourceAt(size_t pixel) const;
    uint32_t NativeAt(size_t pixel) const;

    const NativeDisplay* nativeDisplay_ = nullptr; // the format of nativeAlphaData
};

} // namespace Nubra
