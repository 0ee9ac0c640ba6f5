#include "engine/ui/TCAnim.h"

#include <iterator>

#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "framework/graphics/Graphics.h"

void TCAnim::LoadFromXml(pugi::xml_node node)
{
    TCCandyWidget::LoadFromXml(node);
    fps_ = 0;
    oneShot_ = false;
    XmlGetInt(node, "fps", fps_);
    XmlGetBool(node, "oneshot", oneShot_);
    frames_.clear();
    for (pugi::xml_node texture : node.children("texture"))
        frames_.emplace_back().LoadFromXml(texture, width, height);
    current_ = frames_.begin();
}

void TCAnim::Update()
{
    TCCandyWidget::Update();
    // A negative rate counts as still.
    if (stopped_ || frames_.empty() || fps_ <= 0)
        return;
    clock_ += UpdateStep();
    const float period = 1.0f / float(fps_);
    if (clock_ < period)
        return;
    clock_ -= period;
    auto next = std::next(current_);
    if (next == frames_.end()) {
        if (oneShot_) {
            stopped_ = true;
            return;
        }
        next = frames_.begin();
    }
    if (next != current_) {
        current_ = next;
        MarkDirty();
    }
}

void TCAnim::Draw(Nubra::Graphics* g)
{
    if (current_ == frames_.end())
        return;
    g->PushState();
    TintByEffectiveAlpha(g, *this);
    current_->DrawInto(g, Nubra::Rect(0, 0, width, height));
    DrawOutlineIfAsked(g, *this);
    g->PopState();
}

void TCAnim::Rewind()
{
    current_ = frames_.begin();
    clock_ = 0.0f;
}

void TCAnim::OnShown()
{
    TCCandyWidget::OnShown();
    for (TCTexture& frame : frames_)
        frame.LockFrames();
    stopped_ = false;
    Rewind();
}

void TCAnim::OnHidden()
{
    TCCandyWidget::OnHidden();
    for (TCTexture& frame : frames_)
        frame.UnlockFrames();
    Rewind();
    stopped_ = true;
}

int TCAnim::GetFrameIndex() const
{
    if (current_ == frames_.end())
        return -1;
    return int(std::distance(frames_.begin(), std::list<TCTexture>::const_iterator(current_)));
}
