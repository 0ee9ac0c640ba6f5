#include "game/sim/TCItemPart.h"

#include "engine/core/EffectFile.h"
#include "engine/core/GameClock.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCParticleRegistry.h"
#include "engine/core/TCEngine.h"
#include "engine/core/XmlHelpers.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/Font.h"
#include "game/sim/TCItem.h"

namespace {

enum PartBinding { kBindOrigin = 264, kBindClipWidth = 265, kBindMirror = 266 };

Nubra::Color FromRgba(uint32_t rgba)
{
    return Nubra::Color(int(rgba >> 24), int((rgba >> 16) & 0xFF), int((rgba >> 8) & 0xFF), int(rgba & 0xFF));
}

Nubra::Font* FindFont(const std::string& name) { return gTCEngine ? gTCEngine->GetFont(name) : nullptr; }

} // namespace

TCItemPart::TCItemPart(TCItem& owner) : owner_(owner)
{
    EffectPartSlot& slot = ownBlock_.slot[0];
    slot.offset = &effectOffset_;
    slot.scale = &scale_;
    slot.scalePoint = &scalePoint_;
    slot.alpha = &alpha_;
    slot.visible = &visible_;
    slot.checkmark = &checkmark_;
    slot.colour1 = &textColour_;
    slot.colour2 = &shadowColour_;
    ownBlock_.count = 1;
    owner_.BindPart(slot);
}

TCItemPart::~TCItemPart()
{
    if (animation_)
        animation_->Unload();
}

bool TCItemPart::IsOwnerVisible() const { return owner_.IsVisible(); }

bool TCItemPart::IsShown() const { return visible_ && owner_.IsVisible(); }

void TCItemPart::LoadFromXml(pugi::xml_node node)
{
    std::string effect;
    XmlGetString(node, "name", name_);
    XmlGetString(node, "effect", effect);
    std::string font;
    if (XmlGetString(node, "font", font))
        font_ = FindFont(font);
    XmlGetInt(node, "offs_x", offset_.x);
    XmlGetInt(node, "offs_y", offset_.y);
    XmlGetInt(node, "scale_point_x", scalePoint_.x);
    XmlGetInt(node, "scale_point_y", scalePoint_.y);
    int mirror = 0;
    XmlGetInt(node, "mirror", mirror);
    mirror_ = mirror != 0;
    std::string orient;
    if (XmlGetString(node, "orient", orient) && !orient.empty())
        SetOrient(orient, false);
    for (pugi::xml_node exchange : node.children("exchange_skin")) {
        std::string from, to;
        XmlGetString(exchange, "from", from);
        XmlGetString(exchange, "to", to);
        exchange_[from] = to;
    }
    XmlGetBool(node, "zover", zOver_);
    if (!zOver_) {
        XmlGetString(node, "parent_z", zParent_);
        for (int i = 0; i < 3; ++i) {
            const std::string index = std::to_string(i);
            XmlGetInt(node, ("order" + index + "_x").c_str(), floor_[i].x);
            XmlGetInt(node, ("order" + index + "_y").c_str(), floor_[i].y);
        }
    }
    checkmark_ = name_ == "checkmark";
    LoadEffect(effect);
    LoadAnimation();
}

void TCItemPart::LoadEffect(const std::string& name)
{
    effect_.reset();
    if (name.empty())
        return;
    effect_ = CreateEffect(name.c_str());
    if (!effect_)
        return;
    effect_->SetBinding(kBindTargetBlock, &ownBlock_);
    effect_->SetBinding(kBindVisibleFlag, &visible_);
    effect_->SetBinding(kBindOrigin, &origin_);
    effect_->SetBinding(kBindClipWidth, &clipWidth_);
    effect_->SetBinding(kBindMirror, &mirror_);
    effect_->SetTarget(this);
    effect_->RunEvent("oncreate");
}

void TCItemPart::LoadAnimation()
{
    animation_ = std::make_unique<TCAnimController>(static_cast<TCAnimOwner*>(this));
    if (!animation_->LoadAnm(name_.c_str()))
        animation_.reset();
}

void TCItemPart::SetSkin(const std::string& skin)
{
    const auto exchanged = exchange_.find(skin);
    skin_ = exchanged != exchange_.end() ? exchanged->second : skin;
}

void TCItemPart::SetOrient(const std::string& orient, bool replay)
{
    if (orient.empty())
        return;
    mirror_ = orient[0] == 'm';
    orient_ = mirror_ ? orient.substr(1) : orient;
    if (replay && animation_ && animation_->GetCurrentClip())
        animation_->Play(ClipName(clip_).c_str(), true);
}

std::string TCItemPart::ClipName(const std::string& animation) const
{
    return name_ + skin_ + (checkmark_ ? std::string() : orient_) + animation;
}

bool TCItemPart::PlayAnimation(const std::string& name, bool keepPosition)
{
    if (!animation_ || name.empty())
        return false;
    clip_ = name;
    return animation_->Play(ClipName(name).c_str(), keepPosition);
}

void TCItemPart::PlayLooped(const std::string& name)
{
    if (!animation_)
        return;
    clip_ = name;
    animation_->SelectClip(ClipName(name).c_str());
}

void TCItemPart::SetText(const std::wstring& text, uint32_t colour, uint32_t shadowColour)
{
    text_ = text;
    textColour_ = colour;
    shadowColour_ = shadowColour;
}

void TCItemPart::SetVisible(bool visible)
{
    const char* event = visible ? "onshow" : "onhide";
    if (effect_ && effect_->HasEvent(event))
        effect_->RunEvent(event);
    else
        SetEffectVisible(visible);
}

bool TCItemPart::RunEvent(const char* name) { return effect_ && effect_->RunEvent(name); }

void TCItemPart::Update()
{
    if (!IsShown())
        return;
    origin_ = owner_.GetScreenPoint(offset_);
    if (effect_) {
        effect_->UpdateTimers(gFrameTime);
        UpdateParticlesOf(effect_.get(), gFrameTime);
    }
    if (!animation_)
        return;
    bool cueReached = false;
    animation_->Update(&cueReached);
    const AnmClip* clip = animation_->GetCurrentClip();
    clipWidth_ = clip ? clip->width : 0;
    if (cueReached)
        owner_.ScheduleAnimation(this, clip_);
}

void TCItemPart::OnAnimationStopped() { owner_.ScheduleAnimation(this, clip_); }

float TCItemPart::GetClipDuration() const { return animation_ ? animation_->GetClipDuration() : 0.0f; }

void TCItemPart::ReleaseClipImages()
{
    // Ghosts point into the images.
    trail_.clear();
    if (animation_)
        animation_->ReleaseImages();
}

void TCItemPart::AddTrailEntry()
{
    const AnmFrame* frame = animation_ ? animation_->GetCurrentFrame() : nullptr;
    Nubra::MemoryImage* sheet = animation_ ? animation_->GetCurrentImage() : nullptr;
    if (frame && sheet && IsShown())
        trail_.push_back({sheet, {frame->srcX, frame->srcY, frame->width, frame->height}, GetOutline(), mirror_,
                          kTrailLife});
}

void TCItemPart::AgeTrail(float amount)
{
    for (TrailEntry& entry : trail_)
        entry.life -= amount;
    std::erase_if(trail_, [](const TrailEntry& entry) { return entry.life <= 0.0f; });
}

void TCItemPart::DrawTrail(Nubra::Graphics& graphics) const
{
    for (const TrailEntry& entry : trail_) {
        graphics.PushState();
        graphics.SetColorizeImages(true);
        // Half as strong as the part at most, fading with the ghost's life.
        graphics.SetColor(Nubra::Color(255, 255, 255, int(alpha_ * 127.0f * entry.life / kTrailLife)));
        graphics.DrawImageMirror(entry.sheet, entry.at, entry.source, entry.mirror);
        graphics.PopState();
    }
}

Nubra::Rect TCItemPart::FrameRect() const
{
    const AnmFrame* frame = animation_ ? animation_->GetCurrentFrame() : nullptr;
    const Nubra::Point at = owner_.GetScreenPoint({offset_.x + effectOffset_.x, offset_.y + effectOffset_.y});
    if (!frame)
        return {at.x, at.y, 0, 0};
    const AnmClip* clip = animation_->GetCurrentClip();
    const int placeX = mirror_ ? clip->width - frame->offsetX - frame->width : frame->offsetX;
    return {at.x + placeX, at.y + frame->offsetY, frame->width, frame->height};
}

Nubra::Rect TCItemPart::GetOutline() const
{
    const Nubra::Rect frame = FrameRect();
    if (scale_ == 1.0f)
        return frame;
    // Scaled about the scale point, which lies in the frame's own pixels.
    const float pivotX = float(frame.x + scalePoint_.x), pivotY = float(frame.y + scalePoint_.y);
    return {int(pivotX - float(scalePoint_.x) * scale_), int(pivotY - float(scalePoint_.y) * scale_),
            int(float(frame.width) * scale_), int(float(frame.height) * scale_)};
}

void TCItemPart::Draw(Nubra::Graphics& graphics)
{
    if (!IsShown())
        return;
    DrawTrail(graphics);
    const AnmFrame* frame = animation_ ? animation_->GetCurrentFrame() : nullptr;
    Nubra::MemoryImage* sheet = animation_ ? animation_->GetCurrentImage() : nullptr;
    if (frame && sheet) {
        graphics.PushState();
        graphics.SetColorizeImages(true);
        graphics.SetColor(Nubra::Color(255, 255, 255, int(alpha_ * 255.0f)));
        graphics.DrawImageMirror(sheet, GetOutline(), {frame->srcX, frame->srcY, frame->width, frame->height},
                                 mirror_);
        graphics.PopState();
    }
    if (effect_) {
        effect_->SetBinding(kBindGraphics, &graphics);
        effect_->RunEvent("render_ps");
        effect_->RemoveBinding(kBindGraphics);
    }
    if (!text_.empty())
        DrawText(graphics);
}

void TCItemPart::DrawText(Nubra::Graphics& graphics) const
{
    if (!font_)
        return;
    const Nubra::Rect at = FrameRect();
    const int baseline = at.y + font_->GetAscent();
    if (shadowColour_ & 0xFF)
        font_->DrawString(&graphics, at.x + 1, baseline + 1, text_, FromRgba(shadowColour_), graphics.clipRect);
    font_->DrawString(&graphics, at.x, baseline, text_, FromRgba(textColour_), graphics.clipRect);
}
