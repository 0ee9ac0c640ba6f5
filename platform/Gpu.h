#pragma once
#include "platform/Surface.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Renderer;

namespace plat {

// Drawing with the graphics card: the window's renderer seen through the few operations the
// accelerated drawing path and the card's capability test need. SdlGpu works over an
// SDL_Renderer (a window's, or a software renderer on a surface); RecordingGpu writes down what
// it is asked, for tests. Every call that can fail returns false (or null) and leaves the reason
// in Error(), "SDL_Call: what SDL said".
//
// Coordinates: pixel (x, y) covers [x, x + 1) x [y, y + 1); its centre is at (x + 0.5, y + 0.5).
// A quad from (x, y) to (x + w, y + h) with texture coordinates 0..1 reproduces a w x h texture
// exactly with nearest sampling.

// Texel formats. A renderer that does not offer one converts on upload (see GpuInfo).
enum class GpuFormat {
    ARGB8888, // 0xAARRGGBB words
    ARGB4444, // 16-bit 0xARGB
    RGB565,   // 16-bit, opaque
};

// How a draw is combined with the target's pixels.
enum class GpuBlend {
    None,     // dst = src
    Blend,    // rgb: src x srcA + dst x (1 - srcA); alpha: srcA + dstA x (1 - srcA)
    Add,      // rgb: src x srcA + dst; alpha: dstA
    // Custom: rgb = src, alpha = srcA x dstA. Drawn over a mask already in the target, it keeps
    // the source's colour with its alpha multiplied by the mask's. Not every renderer takes it
    // (SupportsBlend); the software renderer does not.
    MultiplyDestAlpha,
    // Custom: rgb = src + dst; alpha = srcA + dstA. The software renderer does not take it.
    Sum,
};

// One corner of a triangle: position in target pixels, colour modulating the texture (or
// the colour itself when drawn untextured), texture coordinates 0..1 across the texture.
// The layout is SDL_Vertex's.
struct GpuVertex {
    float x = 0.0f;
    float y = 0.0f;
    uint8_t r = 255, g = 255, b = 255, a = 255;
    float u = 0.0f;
    float v = 0.0f;
};

struct GpuPoint {
    float x = 0.0f;
    float y = 0.0f;
};

struct GpuInfo {
    std::string name;         // the renderer's name: "opengl", "opengles2", "software", ...
    bool accelerated = false; // runs on the graphics card
    bool targetTextures = false;
    int maxTextureWidth = 0; // 0: no limit
    int maxTextureHeight = 0;
    std::vector<GpuFormat> nativeFormats; // formats kept as they are; the others are converted
};

// Texts the graphics driver gives about itself (GL_VENDOR, GL_RENDERER, GL_VERSION).
enum class GpuString { Vendor, Renderer, Version };

// What happened to the card's memory since the last TakeResets.
struct GpuResets {
    bool targets = false; // target textures lost their pixels
    bool device = false;  // every texture is gone and must be made again
};

// A texture on the card. Destroying it frees the card's texture; every texture must go before
// the Gpu that made it.
class GpuTexture {
public:
    GpuTexture(int width, int height, GpuFormat format, bool target)
        : width(width), height(height), format(format), target(target)
    {
    }
    virtual ~GpuTexture() = default;
    GpuTexture(const GpuTexture&) = delete;
    GpuTexture& operator=(const GpuTexture&) = delete;

    const int width;
    const int height;
    const GpuFormat format;
    const bool target; // can be drawn into
};

class Gpu {
public:
    virtual ~Gpu() = default;

    virtual GpuInfo Info() = 0;
    // The graphics driver's text, for an OpenGL renderer; else the renderer's name.
    virtual std::string DriverString(GpuString which) = 0;

    virtual std::unique_ptr<GpuTexture> CreateTexture(GpuFormat format, int width, int height) = 0;
    // An ARGB8888 texture that can be drawn into (SetTarget), transparent black at first.
    virtual std::unique_ptr<GpuTexture> CreateTarget(int width, int height) = 0;
    // Replaces every texel: `pixels` in the texture's format, `pitch` bytes from row to row.
    virtual bool Upload(GpuTexture& texture, const void* pixels, int pitch) = 0;
    // Nearest (false) or linear (true) sampling of the texture from now on.
    virtual bool SetLinear(GpuTexture& texture, bool linear) = 0;
    virtual bool SupportsBlend(GpuBlend blend) = 0;

    // Where draws go: a target texture, or the output (the window, or the renderer's surface)
    // when null. The viewport becomes the whole of it.
    virtual bool SetTarget(GpuTexture* target) = 0;
    // Draws land in `rect` of the target, with (0, 0) at its corner.
    virtual bool SetViewport(const PixelRect& rect) = 0;
    // Every pixel of the target (whatever the viewport) becomes `argb`.
    virtual bool Clear(uint32_t argb) = 0;

    // Triangles: each three entries of `indices` name the corners of one. Untextured when
    // `texture` is null.
    virtual bool DrawGeometry(GpuTexture* texture, const GpuVertex* vertices, int vertexCount, const int* indices,
                              int indexCount, GpuBlend blend) = 0;
    // Connected one-pixel lines through the points.
    virtual bool DrawLines(const GpuPoint* points, int count, uint32_t argb, GpuBlend blend) = 0;
    // `from` of the texture stretched into `to` of the target.
    virtual bool Copy(GpuTexture& texture, const PixelRect& from, const PixelRect& to, GpuBlend blend) = 0;
    // `rect` of the target as 0xAARRGGBB words, `pitch` bytes from row to row.
    virtual bool ReadPixels(const PixelRect& rect, uint32_t* argb, int pitch) = 0;
    // Hands every queued draw to the card.
    virtual bool Flush() = 0;

    // Shows `from` of `frame` in `to` of a display of displayWidth x displayHeight, fitted to
    // the output and centred, black elsewhere. The target becomes the output.
    virtual bool Present(GpuTexture& frame, const PixelRect& from, const PixelRect& to, int displayWidth,
                         int displayHeight) = 0;

    virtual GpuResets TakeResets() = 0;
    virtual const std::string& Error() const = 0;
};

// Over an SDL_Renderer that stays the caller's. The reset events are watched from the moment
// it is made.
class SdlGpu : public Gpu {
public:
    explicit SdlGpu(SDL_Renderer* renderer);
    ~SdlGpu() override;
    SdlGpu(const SdlGpu&) = delete;
    SdlGpu& operator=(const SdlGpu&) = delete;

    GpuInfo Info() override;
    std::string DriverString(GpuString which) override;
    std::unique_ptr<GpuTexture> CreateTexture(GpuFormat format, int width, int height) override;
    std::unique_ptr<GpuTexture> CreateTarget(int width, int height) override;
    bool Upload(GpuTexture& texture, const void* pixels, int pitch) override;
    bool SetLinear(GpuTexture& texture, bool linear) override;
    bool SupportsBlend(GpuBlend blend) override;
    bool SetTarget(GpuTexture* target) override;
    bool SetViewport(const PixelRect& rect) override;
    bool Clear(uint32_t argb) override;
    bool DrawGeometry(GpuTexture* texture, const GpuVertex* vertices, int vertexCount, const int* indices,
                      int indexCount, GpuBlend blend) override;
    bool DrawLines(const GpuPoint* points, int count, uint32_t argb, GpuBlend blend) override;
    bool Copy(GpuTexture& texture, const PixelRect& from, const PixelRect& to, GpuBlend blend) override;
    bool ReadPixels(const PixelRect& rect, uint32_t* argb, int pitch) override;
    bool Flush() override;
    bool Present(GpuTexture& frame, const PixelRect& from, const PixelRect& to, int displayWidth,
                 int displayHeight) override;
    GpuResets TakeResets() override;
    const std::string& Error() const override { return error_; }

    // Called by SDL's event watch.
    void NoteReset(bool device);

private:
    bool Fail(const char* step);
    bool Check(int result, const char* step) { return result == 0 || Fail(step); }
    bool ApplyBlend(GpuTexture* texture, GpuBlend blend);

    SDL_Renderer* renderer_;
    std::string error_;
    std::atomic<bool> targetsReset_{false};
    std::atomic<bool> deviceReset_{false};
    int blendSupport_[5] = {}; // per GpuBlend: 0 unknown, 1 yes, -1 no
};

} // namespace plat
