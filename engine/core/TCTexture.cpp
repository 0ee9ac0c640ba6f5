#include "engine/core/TCTexture.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/XmlHelpers.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

TCTexture::TCTexture(const TCTexture& other) { CopyFrom(other); }

TCTexture& TCTexture::operator=(const TCTexture& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

void TCTexture::CopyFrom(const TCTexture& other)
{
    frames_ = other.frames_;
    rect_ = other.rect_;
    additive_ = other.additive_;
    transform_.LoadIdentity();
    hasClip_ = false;
    hasColor_ = false;
    color_ = Nubra::Color(0, 0, 0, 0);
    fps_ = other.fps_;
    frame_ = other.frame_;
    count_ = other.count_;
    oneShot_ = other.oneShot_;
    time_ = other.time_;
    visible_ = other.visible_;
    playing_ = other.playing_;
}

void TCTexture::LoadFromXml(pugi::xml_node node, int defaultWidth, int defaultHeight)
{
    rect_ = {0, 0, defaultWidth, defaultHeight};
    XmlGetInt(node, "u", rect_.x);
    XmlGetInt(node, "v", rect_.y);
    XmlGetInt(node, "width", rect_.width);
    XmlGetInt(node, "height", rect_.height);
    fps_ = 0;
    count_ = 1;
    int oneShot = 1;
    XmlGetInt(node, "fps", fps_);
    XmlGetInt(node, "count", count_);
    XmlGetInt(node, "oneshot", oneShot);
    oneShot_ = oneShot != 0;
    std::string id, mode;
    XmlGetString(node, "texture", id);
    XmlGetString(node, "mode", mode);
    additive_ = mode == "additive";

    // A count below one would leave no frame to stand on.
    count_ = std::max(count_, 1);
    for (TCImageRef& frame : frames_)
        frame.Unlock();
    frames_.clear();
    if (fps_ == 0) {
        frames_.push_back(FindTexture(id));
        return;
    }
    for (int i = 0; i < count_; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", i);
        frames_.push_back(FindTexture(id + number));
    }
}

void TCTexture::SetImage(const TCImageRef& ref)
{
    time_ = 0.0f;
    frame_ = 0;
    fps_ = 0;
    playing_ = true;
    count_ = 1;
    oneShot_ = true;
    const TCImageRef kept = ref; // the ref may be one of the frames dropped below
    frames_.clear();
    frames_.push_back(kept);
}

void TCTexture::SetImage(const TCImageRef& ref, const Nubra::Rect& rect)
{
    SetImage(ref);
    rect_ = rect;
}

void TCTexture::SetClipRect(const Nubra::Rect& rect)
{
    clip_ = rect;
    hasClip_ = true;
}

void TCTexture::SetColor(const Nubra::Color& color)
{
    color_ = color;
    hasColor_ = true;
}

void TCTexture::Rewind()
{
    frame_ = 0;
    time_ = 0.0f;
    playing_ = true;
}

void TCTexture::LockFrames()
{
    for (TCImageRef& frame : frames_)
        frame.Lock();
}

void TCTexture::UnlockFrames()
{
    for (TCImageRef& frame : frames_)
        frame.Unlock();
}

void TCTexture::Update(float dt)
{
    // A negative rate would step every call; it counts as still.
    if (fps_ <= 0)
        return;
    time_ += dt;
    const float period = 1.0f / float(fps_);
    if (time_ < period)
        return;
    time_ -= period;
    if (++frame_ < count_)
        return;
    if (oneShot_) {
        frame_ = count_ - 1;
        playing_ = false;
    } else {
        frame_ = 0;
    }
}

const TCImageRef* TCTexture::GetCurrentFrame() const
{
    if (frame_ < 0 || frame_ >= int(frames_.size()) || !frames_[frame_])
        return nullptr;
    return &frames_[frame_];
}

Nubra::MemoryImage* TCTexture::CurrentImage()
{
    if (!visible_ || !GetCurrentFrame())
        return nullptr;
    return frames_[frame_].GetImage();
}

void TCTexture::Draw(Nubra::Graphics* g)
{
    Nubra::MemoryImage* image = CurrentImage();
    if (!image)
        return;
    Nubra::Graphics drawing(*g);
    if (hasClip_)
        drawing.clipRect = drawing.clipRect.Intersection(clip_);
    if (additive_)
        drawing.SetDrawMode(Nubra::DRAWMODE_ADDITIVE);
    if (hasColor_)
        drawing.SetColor(color_);
    drawing.DrawImageF(image, transform_, rect_, 0.0f, 0.0f);
}

void TCTexture::DrawInto(Nubra::Graphics* g, const Nubra::Rect& dest)
{
    Nubra::MemoryImage* image = CurrentImage();
    if (!image)
        return;
    const int mode = g->GetDrawMode();
    if (additive_)
        g->SetDrawMode(Nubra::DRAWMODE_ADDITIVE);
    g->DrawImage(image, dest, rect_);
    g->SetDrawMode(mode);
}
