#pragma once
#include "framework/graphics/Image.h"
#include "framework/graphics/Matrix3.h"
#include "platform/Gpu.h"

#include <list>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace Nubra {

class DDInterface;
class MemoryImage;
class TextureData;

// A screen-space vertex as the drawing path builds it: position (pixel centres at whole
// numbers, as the drawing operations reckon), colour as 0xAARRGGBB, texture coordinates.
struct D3DVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f, rhw = 1.0f;
    uint32_t diffuse = 0;
    uint32_t specular = 0;
    float u = 0.0f, v = 0.0f;
};

// The same with a second set of texture coordinates (the mask's, in a masked draw).
struct D3DVertex2 {
    float x = 0.0f, y = 0.0f, z = 0.0f, rhw = 1.0f;
    uint32_t diffuse = 0;
    float u = 0.0f, v = 0.0f;
    float u2 = 0.0f, v2 = 0.0f;
};

// Drawing onto the display's frame with the graphics card: the frame is a target texture on
// the card, images become textures cut into pieces (TextureData), and every draw is a list of
// textured or plain triangles. A failed step records its name in gD3DErrorText (and in the
// settings); the display turns the card off at its next present.
class D3DInterface {
public:
    D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;
    virtual ~D3DInterface();

    // Takes the display's renderer and makes the frame's target. False, with gD3DErrorText
    // saying why, when the display cannot draw with the card.
    virtual bool Init(DDInterface* display);
    bool InitD3D();
    void UpdateViewport();
    // Opens the frame's drawing when needed; false when nothing may be drawn now.
    bool PreDraw();
    virtual void Flush(); // ends the frame's drawing
    void SetupDrawMode(int drawMode);
    void SetLinearFilter(bool linear);
    virtual void Cleanup();
    virtual void RemoveImage(MemoryImage* image); // drops the image's textures
    // Makes sure the image's textures exist and are current; false when it has none.
    bool CreateImageTexture(MemoryImage* image);
    // Shows `from` of the frame in `to` of the display.
    bool Present(const Rect& from, const Rect& to, int displayWidth, int displayHeight);
    // True once after the card lost the frame's pixels: everything must be drawn again.
    bool TakeFrameLost();

    virtual void Blt(Image* image, float x, float y, const Rect& src, const Color& color, int drawMode, bool linear);
    // Cut to `clip` when given.
    virtual void BltF(Image* image, float x, float y, const Rect& src, const Rect* clip, const Color& color,
                      int drawMode);
    virtual void BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& src,
                                const Matrix3& matrix, bool linear, float x, float y, bool center,
                                const ImageMask* mask);
    virtual void BltMirror(Image* image, float x, float y, const Rect& src, const Color& color, int drawMode,
                           bool linear);
    // Cut to `clip` when given.
    virtual void StretchBlt(Image* image, const Rect& dest, const Rect& src, const Rect* clip, const Color& color,
                            int drawMode, bool fastStretch, bool mirror);
    // Turned by `angle` radians about the centre, measured from the source rectangle's corner at (x, y).
    virtual void BltRotated(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode,
                            double angle, float centerX, float centerY, const Rect& src);
    virtual void BltTriangles(Image* image, const TriVertex (*triangles)[3], int count, const Color& color,
                              int drawMode, float tx, float ty, bool linear);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    virtual void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode);
    virtual bool FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                          int ty);

    // A fan cut to `clip`, drawn with `texture` (or plain when null); the twin draws a masked
    // fan (textures as BltMasked gives them).
    void DrawPolyClipped(const std::vector<D3DVertex>& fan, const Rect& clip, plat::GpuTexture* texture);
    void DrawPolyClipped(const std::vector<D3DVertex2>& fan, const Rect& clip, plat::GpuTexture* image,
                         plat::GpuTexture* mask);
    // Draws a fan of masked vertices: the mask, then the image through it, onto the frame.
    void DrawMaskedFan(const std::vector<D3DVertex2>& fan, plat::GpuTexture* image, plat::GpuTexture* mask,
                       const char* step);

    // True when `failed`: "step: what the card said" becomes gD3DErrorText and the settings
    // value "Test3D\RuntimeError".
    bool CheckDXError(bool failed, const char* step);

    // Texture pieces.
    static int RoundToPowerOfTwo(int n);
    static bool IsPowerOfTwo(int n);
    static void GetBestTextureDimensions(int& width, int& height, bool isRemainder, bool powerOfTwo,
                                         uint32_t imageFlags);
    static int32_t GetPixelFormatType(plat::GpuFormat format);
    // The format types the card keeps as they are, as a mask.
    static int32_t SupportedFormats(const plat::GpuInfo& info);
    std::unique_ptr<plat::GpuTexture> CreateTextureSurface(int width, int height, int32_t format);
    void CopyImageToTexture(plat::GpuTexture& texture, MemoryImage& image, int x, int y, int width, int height,
                            int32_t format);

    plat::Gpu* gpu = nullptr;         // the display's; null until Init
    DDInterface* display = nullptr;   // not owned
    std::unique_ptr<plat::GpuTexture> renderTarget; // the frame
    int32_t width = 800;
    int32_t height = 600;
    bool inScene = false;
    bool windowed = true;
    std::set<MemoryImage*> imageSet; // images with texture data, under the display lock
    // While not empty, its last matrix applies to every draw.
    std::list<Matrix3> transformStack;

private:
    // Draws a textured fan (corners in drawing order) as triangles.
    void DrawFan(const D3DVertex* corners, int count, plat::GpuTexture* texture, const char* step);
    void DrawStrip(const D3DVertex (&corners)[4], plat::GpuTexture* texture, const char* step);
    void BltPieces(TextureData& data, const Rect& src, const Rect* clip, const Color& color, const Matrix3* matrix,
                   float x, float y, bool center);
    void BltTrianglesAcrossPieces(TextureData& data, const std::vector<D3DVertex>& corners);
    bool UseTexture(plat::GpuTexture* texture, bool linear);
    void ReleaseOrphans();
    void DrawUntextured(const D3DVertex* corners, int count, const Rect* clip, const char* step);

    plat::GpuBlend blend_ = plat::GpuBlend::Blend;
    std::unique_ptr<plat::GpuTexture> maskTarget_; // where masked draws are composed
    bool frameLost_ = false;
    // The renderer belongs to the thread that draws: textures of images that end on another
    // thread wait here (under the display lock) for its next scene.
    std::thread::id drawingThread_ = std::this_thread::get_id();
    std::vector<TextureData*> orphans_;
};

// The last failed step of drawing with the card ("step: reason"); empty while all went well.
// The display turns the card off at its next present when it is not empty.
extern std::string gD3DErrorText;
extern bool gLinearFilter;      // the filter draws use now: linear or nearest
extern bool gRenderTargetFailed; // the frame's target could not be drawn into

} // namespace Nubra
