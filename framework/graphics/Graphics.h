#pragma once
#include "framework/graphics/Color.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Nubra {

class Font;

// Everything a drawing context can save and restore.
struct GraphicsState {
    Image* destImage = nullptr; // not owned
    float transX = 0.0f;
    float transY = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float scaleOrigX = 0.0f;
    float scaleOrigY = 0.0f;
    Rect clipRect; // in destination pixels
    Color color; // opaque black
    Font* font = nullptr; // not owned
    int32_t drawMode = DRAWMODE_NORMAL;
    bool colorizeImages = false; // images are tinted with the colour instead of drawn white
    bool fastStretch = false;
    bool writeColoredString = true; // text writing reads "^RRGGBB^" colour escapes
    bool linearBlend = false;
    bool is3D = false; // the destination is the display drawn through the accelerated path
};

// The drawing context: turns drawing calls into destination coordinates, clips them and hands
// them to the destination image; writes text with colour escapes and word wrapping.
class Graphics : public GraphicsState {
public:
    // A null destination draws into an empty image, so nothing shows (measuring uses this).
    explicit Graphics(Image* destImage = nullptr);
    // The other's state, not its saved states nor its mask.
    Graphics(const Graphics& other);
    Graphics& operator=(const Graphics&) = delete;
    virtual ~Graphics() = default;
    Graphics* Create() const; // a new copy, owned by the caller

    void PushState();
    void PopState(); // nothing without a saved state
    void Translate(int dx, int dy);
    void TranslateF(float dx, float dy);
    // Scaled image draws grow away from the origin.
    void SetScale(float sx, float sy, float originX, float originY);

    void SetFont(Font* newFont) { font = newFont; }
    Font* GetFont() const { return font; }
    void SetColor(const Color& newColor) { color = newColor; }
    const Color& GetColor() const { return color; }
    void SetDrawMode(int mode) { drawMode = mode; }
    int GetDrawMode() const { return drawMode; }
    void SetColorizeImages(bool on) { colorizeImages = on; }
    bool GetColorizeImages() const { return colorizeImages; }
    void SetFastStretch(bool on) { fastStretch = on; }
    void SetLinearBlend(bool on) { linearBlend = on; }
    void SetWriteColoredString(bool on) { writeColoredString = on; }

    // Sets the clip to the rectangle (translated), kept within the destination.
    void SetClipRect(int x, int y, int width, int height);
    void SetClipRect(const Rect& rect) { SetClipRect(rect.x, rect.y, rect.width, rect.height); }
    // Narrows the clip to the rectangle (translated); it never grows.
    void ClipRect(int x, int y, int width, int height);
    const Rect& GetClipRect() const { return clipRect; }

    void FillRect(int x, int y, int width, int height);
    void FillRect(const Rect& rect) { FillRect(rect.x, rect.y, rect.width, rect.height); }
    // An outline of width + 1 by height + 1 pixels.
    void DrawRect(int x, int y, int width, int height);
    void DrawRect(const Rect& rect) { DrawRect(rect.x, rect.y, rect.width, rect.height); }
    void DrawLine(int startX, int startY, int endX, int endY);
    // Cuts the line to the clip; false when none of it is visible. The direction is not kept.
    bool ClipLine(double& x1, double& y1, double& x2, double& y2) const;
    // x is the left edge and y the baseline of the text.
    void DrawString(const std::wstring& text, int x, int y);

    void DrawImage(Image* image, int x, int y);
    // Nothing when the source reaches outside the image.
    void DrawImage(Image* image, int x, int y, const Rect& srcRect);
    void DrawImage(Image* image, int x, int y, int width, int height); // stretched
    void DrawImage(Image* image, const Rect& destRect, const Rect& srcRect); // stretched
    void DrawImageMirror(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror);
    // Through a matrix at (x, y) in destination pixels: the translation is not added. The
    // mask, when it has an image, goes along.
    void DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& srcRect, float x, float y);
    void DrawImageF(Image* image, const Matrix3& matrix, const Rect& srcRect, float x, float y)
    {
        DrawImageMatrix(image, matrix, srcRect, x, y);
    }
    // A nine-part box: corners as they are, edges and centre tiled from the source's middle.
    void DrawImageBox(const Rect& srcRect, const Rect& destRect, Image* image);
    void DrawImageBox(const Rect& destRect, Image* image);

    // Writes text with colour escapes ("^RRGGBB^", "^oldclr^" and "^^" for a caret) and
    // returns its width. Justification 0 centres it in `width`, 1 aligns it right, -1 leaves
    // it. Length -1 runs to the end; oldColor -1 is the current colour. A colour set by an
    // escape stays.
    int WriteString(const std::wstring& text, int x, int y, int width = -1, int justification = -1,
                    bool draw = true, int offset = 0, int length = -1, int oldColor = -1);
    // Writes the text in lines no wider than the rectangle, the first baseline at its top;
    // returns the height used. `lastWidth` gives the first line's indent and receives the last
    // line's width. Lines outside the clip are measured but not drawn.
    int WriteWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing = -1,
                         int justification = -1, int* maxWidth = nullptr, int maxChars = -1,
                         int* lastWidth = nullptr);
    int WriteWordWrapped(const std::wstring& text, int x, int y, int width, int lineSpacing = -1,
                         int justification = -1, int* maxWidth = nullptr);
    // The height WriteWordWrapped would use, drawing nothing.
    int GetWordWrappedHeight(int width, const std::wstring& text, int lineSpacing = -1, int* maxWidth = nullptr);

    ImageMask mask; // set by whoever draws masked, cleared after

private:
    int DestX(int x) const { return int(float(x) + transX); }
    int DestY(int y) const { return int(float(y) + transY); }
    Color ImageColor() const { return colorizeImages ? color : Color::White; }
    bool IsLineVisible(int y, int lineSpacing) const;

    std::vector<GraphicsState> savedStates_; // the latest last
};

} // namespace Nubra
