#pragma once
#include "framework/text/Font.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class FontFace;
}

namespace Nubra {

class DDImage;
class GlyphCompositor;
class MemoryImage;
class NubraAppBase;
struct PixelRows;

// A font installed on the system, found by face name ("Arial", "Courier New", ...; metric-
// compatible faces stand in for names that are not installed) at a point size converted at 96
// pixels per inch. Without any installed face it measures 0 and draws nothing.
class SysFont : public Font {
public:
    // `face` is narrow (Latin-1) text.
    SysFont(const std::string& face, int pointSize, bool bold = false, bool italic = false, bool underline = false);
    // The character set is not used: every face here is Unicode.
    SysFont(NubraAppBase* app, const std::string& face, int pointSize, int charSet, bool bold = false,
            bool italic = false, bool underline = false);
    // The same face and metrics, without shadow or simulated bold, ascent padding and
    // line-spacing offset 0.
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    int StringWidth(const std::wstring& text) override;
    // Onto a surface-backed image's surface: straight into its pixels. Onto the screen drawn
    // through the accelerated path: placed as on a surface. Onto any other image: the text as
    // an image with alpha (RenderTextImage), drawn through the context at
    // (x, y - ascent) with its translation, clip and draw mode.
    void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    // Writes the text straight into a surface's locked pixels: opaque in the colour's red,
    // green and blue, cut by `clip`, its top at y - ascent + 1 (one pixel lower than through an
    // image), both positions with the context's translation rounded.
    void DrawStringOnSurface(const PixelRows& surface, Graphics* g, int x, int y, const std::wstring& text,
                             const Color& color, const Rect& clip);
    // The text (with shadow and simulated bold) as an image of StringWidth x height whose
    // alpha is the glyph coverage; what falls outside is lost. Null for an empty picture.
    std::unique_ptr<MemoryImage> RenderTextImage(const std::wstring& text, const Color& color);
    // One pixel of the text image from the same pixel drawn over white and over black.
    static uint32_t RecoverPixel(uint32_t onWhite, uint32_t onBlack);
    // points x dpi / 72, rounded to nearest with halves away from zero.
    static int PointsToPixels(int points, int dpi);

    const plat::FontFace* GetFace() const { return face_.get(); }
    int GetPixelHeight() const { return pixelHeight_; }

    NubraAppBase* app = nullptr; // not owned
    bool drawShadow = false; // a black copy one pixel right and down under the text
    bool simulateBold = false; // the text again one pixel to the right

private:
    void Open();
    // Shadow, text and simulated bold with the line's top-left corner at (left, top).
    void DrawLine(GlyphCompositor& out, int left, int top, const std::wstring& text, const Color& color);
    void DrawOnAcceleratedScreen(Graphics* g, int x, int y, const std::wstring& text, const Color& color);
    // Straight into the surface of a surface-backed image; false when it has none.
    bool DrawOnSurfaceImage(DDImage& image, Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                            const Rect& clip);

    std::string faceName_; // UTF-8
    int pixelHeight_ = 0;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    std::unique_ptr<plat::FontFace> face_;
};

} // namespace Nubra
