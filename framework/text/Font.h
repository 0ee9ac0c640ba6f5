#pragma once
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <string>

namespace Nubra {

class Graphics;

// A font: four vertical metrics and the operations to measure and draw a wide string. The
// bodies here measure 0 and draw nothing; the concrete fonts supply both.
class Font {
public:
    Font() = default;
    Font(const Font&) = default;
    Font& operator=(const Font&) = default;
    virtual ~Font() = default;

    virtual int GetAscent() { return ascent; }
    virtual int GetAscentPadding() { return ascentPadding; }
    virtual int GetDescent() { return height - ascent; }
    virtual int GetHeight() { return height; }
    virtual int GetLineSpacingOffset() { return lineSpacingOffset; }
    virtual int GetLineSpacing() { return height + lineSpacingOffset; }
    virtual int StringWidth(const std::wstring& text);
    virtual int CharWidth(wchar_t c);
    virtual int CharWidthKern(wchar_t c, wchar_t previous);
    // x is the text's left edge and y its baseline, before the context's translation.
    virtual void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                            const Rect& clip);
    virtual Font* Duplicate() = 0; // a new copy, owned by the caller

    int ascent = 0; // from the top of a line to the baseline
    int ascentPadding = 0; // space above the glyphs inside the ascent that layout may overlap
    int height = 0;
    int lineSpacingOffset = 0; // added to the height between lines
};

} // namespace Nubra
