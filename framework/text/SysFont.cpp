#include "framework/text/SysFont.h"

#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/GlyphCompositor.h"
#include "platform/FontFace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace Nubra {

namespace {

// Text is laid out for this many pixels per inch whatever the monitor says.
constexpr int kDpi = 96;
constexpr uint32_t kRGB = 0x00FFFFFF;

std::string Latin1ToUtf8(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Where a surface draw puts the line's top-left corner: one pixel below the image road.
Point SurfaceOrigin(const Graphics* g, int x, int y, int ascent)
{
    return Point(int(std::lround(double(x) + g->transX)), int(std::lround(double(y - ascent + 1) + g->transY)));
}

} // namespace

SysFont::SysFont(const std::string& face, int pointSize, bool bold, bool italic, bool underline)
    : SysFont(nullptr, face, pointSize, 0, bold, italic, underline)
{
}

SysFont::SysFont(NubraAppBase* app, const std::string& face, int pointSize, int, bool bold, bool italic,
                 bool underline)
    : app(app), faceName_(Latin1ToUtf8(face)), pixelHeight_(PointsToPixels(pointSize, kDpi)), bold_(bold),
      italic_(italic), underline_(underline)
{
    Open();
    if (face_) {
        ascent = face_->Ascent();
        height = face_->Ascent() + face_->Descent();
    }
}

SysFont::SysFont(const SysFont& other)
    : Font(other), app(other.app), faceName_(other.faceName_), pixelHeight_(other.pixelHeight_), bold_(other.bold_),
      italic_(other.italic_), underline_(other.underline_)
{
    ascentPadding = 0;
    lineSpacingOffset = 0;
    Open();
}

SysFont::~SysFont() = default;

void SysFont::Open() { face_ = plat::FontFace::Open(faceName_, std::abs(pixelHeight_), bold_, italic_); }

int SysFont::PointsToPixels(int points, int dpi)
{
    long long product = static_cast<long long>(points) * dpi;
    long long half = (product >= 0 ? 72 : -72) / 2;
    return static_cast<int>((product + half) / 72);
}

Font* SysFont::Duplicate() { return new SysFont(*this); }

int SysFont::StringWidth(const std::wstring& text)
{
    return face_ ? GlyphCompositor::TextWidth(*face_, text) : 0;
}

void SysFont::DrawLine(GlyphCompositor& out, int left, int top, const std::wstring& text, const Color& color)
{
    int baseline = top + ascent;
    if (drawShadow) {
        out.DrawText(*face_, left + 1, baseline + 1, text, Color::Black, underline_);
        if (simulateBold)
            out.DrawText(*face_, left + 2, baseline + 1, text, Color::Black, underline_);
    }
    out.DrawText(*face_, left, baseline, text, color, underline_);
    if (simulateBold)
        out.DrawText(*face_, left + 1, baseline, text, color, underline_);
}

uint32_t SysFont::RecoverPixel(uint32_t onWhite, uint32_t onBlack)
{
    uint32_t w = onWhite & kRGB;
    uint32_t b = onBlack & kRGB;
    if (w == b)
        return 0xFF000000 | w;
    if (w == kRGB && (w & b) == 0)
        return 0; // untouched by the text
    // Per channel the coverage is what black gained less what white lost; the colour is what
    // black gained divided by the coverage.
    uint32_t pixel = 0;
    int alpha = 255;
    for (int shift = 0; shift < 24; shift += 8) {
        int wc = int(w >> shift) & 255;
        int bc = int(b >> shift) & 255;
        int coverage = bc - wc + 255;
        int value = coverage ? bc * 255 / coverage : 0;
        pixel |= uint32_t(value) << shift;
        alpha = std::min(alpha, coverage); // never above opaque, whatever the pair
    }
    return uint32_t(alpha) << 24 | pixel;
}

std::unique_ptr<MemoryImage> SysFont::RenderTextImage(const std::wstring& text, const Color& color)
{
    int width = StringWidth(text);
    if (!face_ || width <= 0 || height <= 0)
        return nullptr;
    size_t count = size_t(width) * size_t(height);
    std::vector<uint32_t> onWhite(count, kRGB);
    std::vector<uint32_t> onBlack(count, 0);
    for (auto* background : {&onWhite, &onBlack}) {
        GlyphCompositor out(PixelRows::Words(background->data(), width, height), Rect(0, 0, width, height));
        DrawLine(out, 0, 0, text, color);
    }
    for (size_t i = 0; i < count; ++i)
        onWhite[i] = RecoverPixel(onWhite[i], onBlack[i]);
    auto image = std::make_unique<MemoryImage>();
    image->SetBits(onWhite.data(), width, height, true);
    return image;
}

void SysFont::DrawStringOnSurface(const PixelRows& surface, Graphics* g, int x, int y, const std::wstring& text,
                                  const Color& color, const Rect& clip)
{
    if (!face_)
        return;
    GlyphCompositor out(surface, clip);
    Point origin = SurfaceOrigin(g, x, y, ascent);
    DrawLine(out, origin.x, origin.y, text, color);
}

void SysFont::DrawOnAcceleratedScreen(Graphics* g, int x, int y, const std::wstring& text, const Color& color)
{
    // The accelerated screen has no pixels to write into: the same text goes through an image,
    // placed and coloured as on a surface (no tint, no draw mode, no scale).
    auto image = RenderTextImage(text, color);
    if (!image)
        return;
    Graphics place(*g);
    place.transX = place.transY = 0.0f;
    place.scaleX = place.scaleY = 1.0f;
    place.colorizeImages = false;
    place.drawMode = DRAWMODE_NORMAL;
    Point origin = SurfaceOrigin(g, x, y, ascent);
    place.DrawImage(image.get(), origin.x, origin.y);
}

bool SysFont::DrawOnSurfaceImage(DDImage& image, Graphics* g, int x, int y, const std::wstring& text,
                                 const Color& color, const Rect& clip)
{
    // A picture that has no surface (it is partly transparent) takes the text as an image.
    if (image.drawToBits || !image.GetSurface())
        return false;
    if (image.LockSurface()) {
        const plat::SurfaceLock& pixels = image.surfaceDesc;
        const PixelRows rows{pixels.pixels,          pixels.pitch,          image.width,
                             image.height,          pixels.format.bitsPerPixel, pixels.format.redMask,
                             pixels.format.greenMask, pixels.format.blueMask};
        DrawStringOnSurface(rows, g, x, y, text, color, clip);
        image.UnlockSurface();
        image.DeleteExtraBuffers(); // the memory copies no longer hold the picture
    }
    return true;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color, const Rect& clip)
{
    if (!face_ || text.empty() || clip.width <= 0 || clip.height <= 0)
        return; // an empty clip (the context of no image) shows nothing
    if (g->destImage->Check3D()) {
        DrawOnAcceleratedScreen(g, x, y, text, color);
        return;
    }
    auto* surfaceImage = dynamic_cast<DDImage*>(g->destImage);
    if (surfaceImage && DrawOnSurfaceImage(*surfaceImage, g, x, y, text, color, clip))
        return;
    if (auto image = RenderTextImage(text, color))
        g->DrawImage(image.get(), x, y - ascent);
}

} // namespace Nubra
