#pragma once
#include <memory>
#include <string>

#include "engine/ui/TCTextStyle.h"
#include "framework/graphics/Rect.h"

namespace Nubra {
class Graphics;
class MemoryImage;
} // namespace Nubra
class TCCandyWidget;

// Where a control's text goes and how it is wrapped.
struct TCLabelLayout {
    int lineSpacing = -1; // -1: the font's own
    int justify = -1; // -1 left, 0 centred, 1 right
    int valign = -1; // 0 centred, 1 on the bottom, anything else from the top
    int hoffset = 0; // down
    int woffset = 0; // right
};

// The block of text `textHeight` high within a control of that size; from the top it keeps the
// control's whole height.
Nubra::Rect LabelRect(const TCLabelLayout& layout, int width, int height, int textHeight);

// A control's text rendered into an image of the control's size only when something changed,
// then drawn through the control's transform every frame.
class TCLabelImage {
public:
    TCLabelImage();
    ~TCLabelImage();

    void Invalidate() { valid_ = false; }
    void Free();
    Nubra::MemoryImage* GetImage() const { return image_.get(); }

    // The first `chars` characters in every style that has a font, when stale or when the
    // control's size changed. Nothing is written without a "normal" font.
    void Render(const TCCandyWidget& owner, const std::wstring& text, int chars, const TCTextStyles& styles,
                const TCLabelLayout& layout);
    // Through the owner's transform and draw offset, clipped to its bounds on screen, in the
    // graphics' current colour.
    void Draw(Nubra::Graphics* g, TCCandyWidget& owner);

private:
    std::unique_ptr<Nubra::MemoryImage> image_;
    bool valid_ = false;
};
