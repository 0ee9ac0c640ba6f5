#include "engine/ui/TCLabelImage.h"

#include "engine/ui/ControlDrawing.h"
#include "engine/ui/TCCandyWidget.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/Font.h"

Nubra::Rect LabelRect(const TCLabelLayout& layout, int width, int height, int textHeight)
{
    switch (layout.valign) {
    case 0:
        return {layout.woffset, layout.hoffset + (height - textHeight) / 2, width, textHeight};
    case 1:
        return {layout.woffset, layout.hoffset + height - textHeight, width, textHeight};
    default:
        return {layout.woffset, layout.hoffset, width, height};
    }
}

TCLabelImage::TCLabelImage() = default;

TCLabelImage::~TCLabelImage() = default;

void TCLabelImage::Free() { image_.reset(); }

void TCLabelImage::Render(const TCCandyWidget& owner, const std::wstring& text, int chars, const TCTextStyles& styles,
                          const TCLabelLayout& layout)
{
    const int width = owner.width, height = owner.height;
    if (!image_ || image_->GetWidth() != width || image_->GetHeight() != height) {
        image_ = std::make_unique<Nubra::MemoryImage>();
        image_->Create(width, height);
        valid_ = false;
    }
    if (valid_)
        return;
    valid_ = true;
    image_->Clear();
    Nubra::Font* normal = styles[kStyleNormal].font;
    if (!normal)
        return;
    Nubra::Graphics g(image_.get());
    g.SetFont(normal);
    // The writer measures from the first baseline down; the block starts a line's ascent above it.
    const int textHeight = normal->GetAscent() - normal->GetAscentPadding() +
                           g.GetWordWrappedHeight(width, text, layout.lineSpacing);
    const Nubra::Rect rect = LabelRect(layout, width, height, textHeight);
    for (const TCTextStyle& style : styles) {
        if (!style.font)
            continue;
        g.SetFont(style.font);
        g.SetColor(owner.disabled ? style.disabledColor : style.color);
        // The writer takes the first baseline; the rectangle gives the top of the text.
        const int baseline = rect.y + style.font->GetAscent() - style.font->GetAscentPadding();
        g.WriteWordWrapped(Nubra::Rect(rect.x, baseline, rect.width, rect.height), text, layout.lineSpacing,
                           layout.justify, nullptr, chars);
    }
}

void TCLabelImage::Draw(Nubra::Graphics* g, TCCandyWidget& owner)
{
    if (image_)
        DrawThroughTransform(g, owner, image_.get());
}
