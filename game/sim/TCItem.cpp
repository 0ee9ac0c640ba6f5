#include "game/sim/TCItem.h"

#include <algorithm>

#include "engine/core/EffectFile.h"
#include "engine/core/EngineHelpers.h"
#include "engine/core/GameClock.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCEffect.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCZOrderSolver.h"

TCItem::TCItem() { block_.active = &active_; }

TCItem::~TCItem() { ClearParts(); }

void TCItem::SetEffectVisible(bool visible)
{
    visible_ = visible;
    mouseOver_ = false;
}

void TCItem::SetActive(bool active)
{
    active_ = active;
    if (active)
        SetVisible(true);
}

void TCItem::SetMouseOver(Nubra::Point, bool over) { mouseOver_ = over; }

void TCItem::BindPart(const EffectPartSlot& slot)
{
    if (block_.count < kMaxDrivenParts)
        block_.slot[block_.count++] = slot;
}

void TCItem::LoadFromXml(pugi::xml_node node)
{
    XmlGetString(node, "name", name_);
    XmlGetString(node, "orient", orient_);
    XmlGetInt(node, "pos_x", position_.x);
    XmlGetInt(node, "pos_y", position_.y);
    XmlGetInt(node, "offs_x", offset_.x);
    XmlGetInt(node, "offs_y", offset_.y);
    std::string effect;
    XmlGetString(node, "effect", effect);
    effect_.reset();
    if (!effect.empty())
        effect_ = CreateEffect(effect.c_str());
    if (effect_) {
        effect_->SetBinding(kBindTargetBlock, &block_);
        effect_->SetBinding(kBindVisibleFlag, &visible_);
        effect_->SetTarget(this);
    }
    for (pugi::xml_node element : node.children("part")) {
        parts_.push_back(std::make_unique<TCItemPart>(*this));
        parts_.back()->LoadFromXml(element);
    }
}

void TCItem::ClearParts()
{
    parts_.clear();
    effect_.reset();
    block_.count = 0;
}

void TCItem::LoadSkin(pugi::xml_node node)
{
    std::string skin, animation;
    XmlGetString(node, "skin", skin);
    XmlGetString(node, "anim", animation);
    SetSkin(skin, true);
    if (!skin_.empty())
        ReapplyAnimation("");
    if (!animation.empty())
        SetAnimation(animation, false);
    bool stop = false;
    const bool stopped = XmlGetBool(node, "stop", stop) && stop;
    if (stopped)
        SetEffectVisible(false);
    active_ = !stopped;
}

void TCItem::SetSkin(const std::string& skin, bool applyToParts)
{
    skin_ = skin;
    if (applyToParts)
        for (const auto& part : parts_)
            part->SetSkin(skin);
}

bool TCItem::SetAnimation(const std::string& name, bool reorient)
{
    bool accepted = false;
    for (const auto& part : parts_) {
        if (reorient)
            part->SetOrient(orient_, false);
        if (part->PlayAnimation(name, false)) {
            AcceptAnimation(name);
            accepted = true;
        }
    }
    return accepted;
}

bool TCItem::ReapplyAnimation(const std::string& name, float* longest)
{
    bool accepted = false;
    float duration = -1.0f;
    for (const auto& part : parts_) {
        part->SetSkin(skin_);
        part->SetOrient(orient_, false);
        if (part->PlayAnimation(name, false)) {
            accepted = true;
            duration = std::max(duration, part->GetClipDuration());
        }
    }
    if (accepted)
        AcceptAnimation(name);
    if (longest)
        *longest = duration;
    return accepted;
}

void TCItem::AcceptAnimation(const std::string& name)
{
    animation_ = name;
    scheduled_.armed = false;
    ArmAnimation(name);
}

void TCItem::PlayLoopedAnimation(const std::string& name)
{
    for (const auto& part : parts_)
        part->PlayLooped(name);
}

TCItem::Timing* TCItem::FindTiming(const std::string& name)
{
    const auto found = std::find_if(timings_.begin(), timings_.end(), [&](const Timing& t) { return t.name == name; });
    return found != timings_.end() ? &*found : nullptr;
}

void TCItem::AddAnimationTiming(const std::string& name, int cueFrame, float minPause, float maxPause)
{
    Timing* timing = FindTiming(name);
    if (!timing)
        timing = &timings_.emplace_back(Timing{name});
    timing->cueFrame = cueFrame;
    timing->minPause = minPause;
    timing->maxPause = maxPause;
}

void TCItem::RemoveAnimationTiming(const std::string& name)
{
    std::erase_if(timings_, [&](const Timing& t) { return t.name == name; });
    for (const auto& part : parts_)
        if (part->GetAnimation() && part->GetCurrentClip() == name)
            part->GetAnimation()->ClearFrameMarker();
}

void TCItem::Arm(const Timing& timing)
{
    scheduled_.armed = true;
    scheduled_.countdown = RandomFloat(timing.minPause, timing.maxPause);
    scheduled_.name = timing.name;
}

void TCItem::ScheduleAnimation(TCItemPart*, const std::string& name)
{
    if (const Timing* timing = FindTiming(name))
        Arm(*timing);
}

void TCItem::ArmAnimation(const std::string& name)
{
    const Timing* timing = FindTiming(name);
    if (!timing)
        return;
    Arm(*timing);
    for (const auto& part : parts_)
        if (part->GetAnimation())
            part->GetAnimation()->SetFrameMarker(timing->cueFrame);
}

void TCItem::SendEffectEvent(const char* name)
{
    if (effect_)
        effect_->RunEvent(name);
    for (const auto& part : parts_)
        part->RunEvent(name);
}

void TCItem::SetVisible(bool visible)
{
    const char* event = visible ? "onshow" : "onhide";
    if (effect_ && effect_->HasEvent(event))
        effect_->RunEvent(event);
    else
        SetEffectVisible(visible);
    for (const auto& part : parts_)
        part->SetVisible(visible);
}

TCItemPart* TCItem::FindPart(const std::string& name, int index) const
{
    for (const auto& part : parts_)
        if (part->GetName() == name && index-- == 0)
            return part.get();
    return nullptr;
}

Nubra::Point TCItem::GetScreenPoint(Nubra::Point point) const
{
    return {position_.x + offset_.x + point.x, position_.y + offset_.y + point.y};
}

void TCItem::SetDelayedNotify(float delay, int code)
{
    notifyDelay_ = delay;
    notifyCode_ = code;
}

void TCItem::ApplyUpgrade(const std::string& skin)
{
    SetSkin(skin, true);
    ReapplyAnimation(animation_);
}

void TCItem::RegisterZOrder(TCZOrderSolver& solver)
{
    for (const auto& part : parts_) {
        if (part->GetName() == "held_items")
            continue;
        if (part->IsZOver())
            solver.RegisterOverPart(*part);
        else
            solver.RegisterPart(*part);
    }
}

void TCItem::ResetAnimation()
{
    for (const auto& part : parts_)
        part->ReleaseClipImages();
}

bool TCItem::OnUse(TCItem* other, bool testOnly)
{
    TCItem* owner = FindItemByName(GetPlaceOwner(name_));
    return owner && owner != this && owner->OnUse(other, testOnly);
}

void TCItem::Update()
{
    if (effect_)
        effect_->UpdateTimers(gFrameTime);
    if (!active_ || !visible_)
        return;
    for (const auto& part : parts_)
        part->Update();
    RunScheduler();
    RunDelayedNotify();
}

void TCItem::RunScheduler()
{
    if (!scheduled_.armed)
        return;
    scheduled_.countdown -= gFrameTime;
    if (scheduled_.countdown > 0.0f)
        return;
    // A record removed meanwhile leaves the scheduler armed and silent.
    const Timing* timing = FindTiming(scheduled_.name);
    if (!timing)
        return;
    PlayLoopedAnimation(timing->name);
    for (const auto& part : parts_) {
        if (TCAnimController* animation = part->GetAnimation()) {
            animation->SetFrameMarker(timing->cueFrame);
            animation->Resume();
        }
    }
    scheduled_.armed = false;
}

void TCItem::RunDelayedNotify()
{
    if (notifyDelay_ <= 0.0f)
        return;
    notifyDelay_ -= DebugSettings().BossSlowSpeed ? gFrameTime / 10.0f : gFrameTime;
    if (notifyDelay_ > 0.0f)
        return;
    notifyDelay_ = 0.0f;
    Notify(notifyCode_);
}
