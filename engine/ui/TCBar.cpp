#include "engine/ui/TCBar.h"

#include "engine/core/TCTextureTable.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"

TCBarSegments SplitBar(int width, int segmentWidth, int value, int maximum)
{
    TCBarSegments segments;
    if (segmentWidth <= 0 || maximum <= 0)
        return segments;
    segments.count = width / segmentWidth;
    const double fraction = double(value) / double(maximum);
    while (segments.filled < segments.count && double(segments.filled) / segments.count < fraction)
        ++segments.filled;
    return segments;
}

TCBar::TCBar(TCCandyWidget* parent) : TCCandyWidget(parent) {}

void TCBar::LoadFromXml(pugi::xml_node node, TCEngine*)
{
    TCCandyWidget::LoadFromXml(node);
    XmlGetInt(node, "seg_width", segmentWidth_);
    for (auto [id, texture] : {std::pair{"fill", &fill_}, std::pair{"empty", &empty_}}) {
        pugi::xml_node element = ChildWithId(node, "texture", id);
        if (!element)
            continue;
        std::string image;
        XmlGetString(element, "texture", image);
        Nubra::Rect source(0, 0, segmentWidth_, height);
        XmlGetInt(element, "u", source.x);
        XmlGetInt(element, "v", source.y);
        XmlGetInt(element, "height", source.height);
        SetSegmentImage(*texture, image, source);
    }
}

void TCBar::SetSegmentImage(TCTexture& texture, const std::string& imageId, const Nubra::Rect& source)
{
    texture.SetImage(FindTexture(imageId), source);
    // A bar already on screen does not pass through OnShown again.
    if (IsVisibleInTree())
        texture.LockFrames();
}

void TCBar::SetImage(const std::string& imageId)
{
    SetSegmentImage(fill_, imageId, fill_.GetRect());
    SetSegmentImage(empty_, imageId, empty_.GetRect());
}

float TCBar::EffectiveScale() const
{
    float scale = GetScale();
    for (const TCCandyWidget* ancestor = GetParent(); ancestor; ancestor = ancestor->GetParent())
        scale *= ancestor->GetScale();
    return scale;
}

void TCBar::Draw(Nubra::Graphics* g)
{
    TintByEffectiveAlpha(g, *this);
    if (!HasFrames(&fill_) || !HasFrames(&empty_))
        return;
    const TCBarSegments segments = Segments();
    const int w = int(float(fill_.GetRect().width) * EffectiveScale());
    for (int i = 0; i < segments.count; ++i)
        (i < segments.filled ? fill_ : empty_).DrawInto(g, Nubra::Rect(i * w, 0, w, height));
}

void TCBar::OnShown()
{
    TCCandyWidget::OnShown();
    fill_.LockFrames();
    empty_.LockFrames();
}

void TCBar::OnHidden()
{
    TCCandyWidget::OnHidden();
    fill_.UnlockFrames();
    empty_.UnlockFrames();
}
