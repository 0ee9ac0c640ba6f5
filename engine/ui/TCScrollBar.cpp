#include "engine/ui/TCScrollBar.h"

#include <algorithm>

#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/TCButton.h"

TCScrollBar::TCScrollBar(TCCandyWidget* parent) : TCCandyWidget(parent) {}

void TCScrollBar::LoadFromXml(pugi::xml_node node, TCEngine* app)
{
    TCCandyWidget::LoadFromXml(node);
    XmlGetInt(node, "distx1", distX1_);
    XmlGetInt(node, "disty1", distY1_);
    XmlGetInt(node, "distx2", distX2_);
    XmlGetInt(node, "disty2", distY2_);
    for (auto [name, id, field] : {std::tuple{"up", kUp, &up_}, std::tuple{"down", kDown, &down_},
                                   std::tuple{"slider", kSlider, &slider_}}) {
        pugi::xml_node element = node.find_child_by_attribute("element", "name", name);
        if (!element)
            continue;
        auto* button = new TCButton(this, id, this);
        button->LoadFromXml(element, app);
        AddChild(name, button);
        *field = button;
    }
}

void TCScrollBar::SetMax(int maximum)
{
    max_ = maximum;
    SetDisabled(maximum <= 0);
}

void TCScrollBar::SetSliderPath(int x1, int y1, int x2, int y2)
{
    distX1_ = x1;
    distY1_ = y1;
    distX2_ = x2;
    distY2_ = y2;
}

TCButton* TCScrollBar::GetButton(int id) const
{
    switch (id) {
    case kUp:
        return up_;
    case kDown:
        return down_;
    case kSlider:
        return slider_;
    default:
        return nullptr;
    }
}

void TCScrollBar::SetDisabled(bool isDisabled)
{
    TCCandyWidget::SetDisabled(isDisabled);
    for (TCButton* button : {up_, down_})
        if (button)
            button->SetDisabled(isDisabled);
    if (!slider_)
        return;
    if (isDisabled)
        slider_->Hide();
    else
        slider_->Show();
}

void TCScrollBar::ButtonPress(intptr_t id, int)
{
    if (id == kUp && position_ > 0)
        --position_;
    else if (id == kDown && position_ < max_)
        ++position_;
}

void TCScrollBar::Update()
{
    TCCandyWidget::Update();
    position_ = std::max(0, std::min(position_, max_));
    if (max_ == 0 || !slider_)
        return;
    const float f = float(position_) / float(max_);
    slider_->Move(int(f * float(distX2_ - distX1_)) + distX1_, int(float(distY2_ - distY1_) * f) + distY1_);
}

void TCScrollBar::Draw(Nubra::Graphics* g) { DrawOutlineIfAsked(g, *this); }
