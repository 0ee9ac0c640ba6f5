#include "engine/ui/TCSlider.h"

#include <algorithm>
#include <string_view>

#include "engine/core/XmlHelpers.h"
#include "engine/ui/TCBar.h"
#include "engine/ui/TCText.h"

int SliderThumbOffset(int track, int thumbWidth, int value, int maximum)
{
    if (track < thumbWidth)
        return 0;
    const int centre = int(float(track) * (float(value) / float(maximum)));
    return std::clamp(centre - thumbWidth / 2, 0, track - thumbWidth);
}

TCSlider::TCSlider(TCCandyWidget* parent) : TCCandyWidget(parent) {}

void TCSlider::LoadFromXml(pugi::xml_node node, TCEngine* app)
{
    TCCandyWidget::LoadFromXml(node);
    XmlGetInt(node, "mz_x", zoneX_);
    XmlGetInt(node, "mz_y", zoneY_);
    XmlGetInt(node, "mz_width", zoneWidth_);
    XmlGetInt(node, "mz_height", zoneHeight_);
    XmlGetInt(node, "mz_dz1", lowDeadZone_);
    XmlGetInt(node, "mz_dz2", highDeadZone_);
    for (const char* name : {"back", "bar", "thumb"}) {
        pugi::xml_node element = node.find_child_by_attribute("element", "name", name);
        if (!element)
            continue;
        if (std::string_view(name) == "bar") {
            auto* bar = new TCBar(this);
            bar->LoadFromXml(element, app);
            AddChild(name, bar);
        } else {
            auto* text = new TCText(this, app);
            text->LoadFromXml(element, app);
            AddChild(name, text);
        }
    }
    if (thumb_)
        margin_ = thumb_->x;
}

void TCSlider::SetMax(int maximum)
{
    max_ = maximum;
    if (bar_)
        bar_->SetMax(maximum);
}

void TCSlider::SetValue(int value)
{
    value_ = value;
    if (bar_)
        bar_->SetValue(value);
}

void TCSlider::AddChild(const std::string& name, TCCandyWidget* child)
{
    if (name == "back")
        back_ = child;
    else if (name == "bar")
        bar_ = dynamic_cast<TCBar*>(child);
    else if (name == "thumb")
        thumb_ = child;
    child->mouseVisible = false;
    TCCandyWidget::AddChild(name, child);
}

bool TCSlider::InMouseZone(int x, int y) const
{
    return x >= zoneX_ && x <= zoneX_ + zoneWidth_ && y >= zoneY_ && y <= zoneY_ + zoneHeight_;
}

void TCSlider::MouseDown(int x, int y, int, int)
{
    MarkDirty();
    if (!InMouseZone(x, y))
        return;
    if (x > width - highDeadZone_)
        SetValue(max_);
    else if (x < lowDeadZone_)
        SetValue(0);
    else if (zoneWidth_ > 0) // a zone without width has no scale to read a value on
        SetValue(int(float(x - zoneX_) / float(zoneWidth_) * float(max_)));
}

void TCSlider::Update()
{
    TCCandyWidget::Update();
    if (!IsVisibleInTree())
        return;
    SetValue(std::max(0, std::min(value_, max_)));
    if (max_ == 0 || !thumb_)
        return;
    const int offset = SliderThumbOffset(width - 2 * margin_, thumb_->width, value_, max_);
    thumb_->Move(margin_ + offset, thumb_->y);
}
