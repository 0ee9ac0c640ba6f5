#include "game/shell/TCComixActors.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/shell/TCComix.h"
#include "game/shell/TCComixObjects.h"

namespace {

using Nubra::NubraVector2;

// Single precision, as the rules were tuned with it.
constexpr float kTwoPi = 6.2831854820251465f;

float Lerp(float f) { return f; }
float Roof(float f) { return f < 0.5f ? 2.0f * f : 2.0f - 2.0f * f; }
float Crazy(float f) { return (std::sin(6.0f * std::sin(kTwoPi * f)) + 1.0f) * 0.5f; }
float Sine(float f) { return (std::sin(kTwoPi * f) + 1.0f) * 0.5f; }
float EaseIn(float f) { return f * f; }
float EaseOut(float f) { return std::sqrt(f); }

bool ReadValue(pugi::xml_node node, const char* name, float& out) { return XmlGetFloatA(node, name, out); }

bool ReadValue(pugi::xml_node node, const char* name, bool& out)
{
    int value = 0;
    if (!XmlGetIntA(node, name, value))
        return false;
    out = value != 0;
    return true;
}

bool ReadValue(pugi::xml_node node, const char* name, NubraVector2& out) { return XmlGetPointA(node, name, out); }

// Picture setters pass over sounds, audio setters over pictures.
template <typename T, T TCComixPicState::*Field>
void SetPic(TCComixObject& object, T value)
{
    if (TCComixObjectPic* pic = object.AsPic())
        pic->state.*Field = value;
}

template <NubraVector2 TCComixPicState::*Field, float NubraVector2::*Part>
void SetPicPart(TCComixObject& object, float value)
{
    if (TCComixObjectPic* pic = object.AsPic())
        (pic->state.*Field).*Part = value;
}

void SetClipPos(TCComixObject& object, NubraVector2 value)
{
    if (TCComixObjectPic* pic = object.AsPic()) {
        pic->state.clip.x = int(value.x);
        pic->state.clip.y = int(value.y);
    }
}

void SetClipSize(TCComixObject& object, NubraVector2 value)
{
    if (TCComixObjectPic* pic = object.AsPic()) {
        pic->state.clip.width = int(value.x);
        pic->state.clip.height = int(value.y);
    }
}

void SetPlay(TCComixObject& object, bool play)
{
    if (TCComixObjectSound* sound = object.AsSound())
        play ? sound->Play() : sound->Stop();
}

void SetPan(TCComixObject& object, float pan)
{
    if (TCComixObjectSound* sound = object.AsSound())
        sound->SetPan(pan);
}

void SetVolume(TCComixObject& object, float volume)
{
    if (TCComixObjectSound* sound = object.AsSound())
        sound->SetVolume(volume);
}

using S = TCComixPicState;
using V = NubraVector2;
constexpr auto kPos = &S::pos;
constexpr auto kOffset = &S::offset;
constexpr auto kCenter = &S::centerpos;
constexpr auto kX = &V::x;
constexpr auto kY = &V::y;

template <typename T, TCComixSetter<T> Setter>
std::unique_ptr<TCComixActor> Set()
{
    return std::make_unique<TCComixActorSetValue<T>>(Setter);
}

template <typename T, TCComixSetter<T> Setter>
std::unique_ptr<TCComixActor> Change()
{
    return std::make_unique<TCComixActorChangeValue<T>>(Setter);
}

struct Action {
    std::string_view name;
    std::unique_ptr<TCComixActor> (*make)();
};

// In the order the names are tried.
const Action kActions[] = {
    {"set_pos", Set<V, SetPic<V, kPos>>},
    {"set_offset", Set<V, SetPic<V, kOffset>>},
    {"set_play", Set<bool, SetPlay>},
    {"set_pan", Set<float, SetPan>},
    {"set_volume", Set<float, SetVolume>},
    {"set_pos_x", Set<float, SetPicPart<kPos, kX>>},
    {"set_pos_y", Set<float, SetPicPart<kPos, kY>>},
    {"set_offset_x", Set<float, SetPicPart<kOffset, kX>>},
    {"set_offset_y", Set<float, SetPicPart<kOffset, kY>>},
    {"set_maskStaticPos", Set<V, SetPic<V, &S::maskStaticPos>>},
    {"set_clipRectPos", Set<V, SetClipPos>},
    {"set_clipRectSize", Set<V, SetClipSize>},
    {"set_centerpos", Set<V, SetPic<V, kCenter>>},
    {"set_centerpos_x", Set<float, SetPicPart<kCenter, kX>>},
    {"set_centerpos_y", Set<float, SetPicPart<kCenter, kY>>},
    {"set_scale", Set<float, SetPic<float, &S::scale>>},
    {"set_alpha", Set<float, SetPic<float, &S::alpha>>},
    {"set_visible", Set<bool, SetPic<bool, &S::visible>>},
    {"set_staticMask", Set<bool, SetPic<bool, &S::staticMask>>},
    {"set_centerposGlobal", Set<bool, SetPic<bool, &S::centerposGlobal>>},
    {"set_angle", Set<float, SetPic<float, &S::angle>>},
    {"change_pan", Change<float, SetPan>},
    {"change_volume", Change<float, SetVolume>},
    {"change_pos", Change<V, SetPic<V, kPos>>},
    {"change_pos_x", Change<float, SetPicPart<kPos, kX>>},
    {"change_pos_y", Change<float, SetPicPart<kPos, kY>>},
    {"change_maskStaticPos", Change<V, SetPic<V, &S::maskStaticPos>>},
    {"change_clipRectPos", Change<V, SetClipPos>},
    {"change_clipRectSize", Change<V, SetClipSize>},
    {"change_offset", Change<V, SetPic<V, kOffset>>},
    {"change_offset_x", Change<float, SetPicPart<kOffset, kX>>},
    {"change_offset_y", Change<float, SetPicPart<kOffset, kY>>},
    {"change_scale", Change<float, SetPic<float, &S::scale>>},
    {"change_alpha", Change<float, SetPic<float, &S::alpha>>},
    {"change_centerpos", Change<V, SetPic<V, kCenter>>},
    {"change_centerpos_x", Change<float, SetPicPart<kCenter, kX>>},
    {"change_centerpos_y", Change<float, SetPicPart<kCenter, kY>>},
    {"change_angle", Change<float, SetPic<float, &S::angle>>},
};

} // namespace

TCEasingRule GetEasingRule(const std::string& name)
{
    static const std::pair<std::string_view, TCEasingRule> rules[] = {
        {"lerp", Lerp}, {"roof", Roof}, {"crazy", Crazy}, {"sin", Sine}, {"easeIn", EaseIn}, {"easeOut", EaseOut}};
    for (const auto& [ruleName, rule] : rules)
        if (ruleName == name)
            return rule;
    return nullptr;
}

bool TCComixActor::Parse(TCComix& comix, pugi::xml_node node)
{
    std::string objectName, groupName;
    const bool hasObject = XmlGetString(node, "object", objectName);
    const bool hasGroup = XmlGetString(node, "group", groupName);
    if (hasObject) {
        TCComixObject* object = comix.FindObject(objectName);
        if (!object) {
            WriteLog("WARNING: TCComixActor - object '%s' does not exist", objectName.c_str());
            return false;
        }
        if (hasGroup)
            WriteLog("WARNING: TCComixActor - group '%s' and object '%s' in single actor not supported.", groupName.c_str(),
                     objectName.c_str());
        ownGroup_ = std::make_unique<TCComixGroup>(1, object);
        group_ = ownGroup_.get();
        return true;
    }
    if (hasGroup) {
        group_ = comix.FindGroup(groupName);
        if (!group_)
            WriteLog("WARNING: TCComixActor - group '%s' does not exist", groupName.c_str());
        return group_ != nullptr;
    }
    WriteLog("WARNING: TCComixActor - no atributes 'object' or 'group'");
    return false;
}

template <typename T>
void TCComixValueActor<T>::Apply(const T& value) const
{
    for (TCComixObject* object : this->Targets())
        setter_(*object, value);
}

template <typename T>
bool TCComixActorSetValue<T>::Parse(TCComix& comix, pugi::xml_node node)
{
    if (!TCComixActor::Parse(comix, node))
        return false;
    if (!ReadValue(node, "val", value_)) {
        WriteLog("WARNING: TCComixActorSetValue - bad atribute 'val'");
        return false;
    }
    if (!XmlGetFloatA(node, "t", t_)) {
        WriteLog("WARNING: TCComixActorSetValue - bad atribute 't'");
        return false;
    }
    return true;
}

template <typename T>
void TCComixActorSetValue<T>::ApplyOnce()
{
    this->Apply(value_);
    done_ = true;
}

template <typename T>
void TCComixActorSetValue<T>::Update(float time)
{
    if (!done_ && t_ <= time)
        ApplyOnce();
}

template <typename T>
void TCComixActorSetValue<T>::Finish(float)
{
    if (!done_)
        ApplyOnce();
}

template <typename T>
bool TCComixActorChangeValue<T>::Parse(TCComix& comix, pugi::xml_node node)
{
    if (!TCComixActor::Parse(comix, node))
        return false;
    const auto bad = [](const char* attribute) {
        WriteLog("WARNING: TSComixActorChangeValue - bad atribute '%s'", attribute);
        return false;
    };
    if (!ReadValue(node, "val1", val1_))
        return bad("val1");
    if (!ReadValue(node, "val2", val2_))
        return bad("val2");
    if (!XmlGetFloatA(node, "t1", t1_))
        return bad("t1");
    if (!XmlGetFloatA(node, "t2", t2_))
        return bad("t2");
    XmlGetBoolA(node, "loop", loop_);
    XmlGetBoolA(node, "local", local_);
    std::string ruleName = "lerp";
    XmlGetString(node, "rule", ruleName);
    rule_ = GetEasingRule(ruleName);
    if (!rule_)
        WriteLog("WARNING: TSComixActorChangeValue - rule '%s' is unknown.", ruleName.c_str());
    return rule_ != nullptr;
}

template <typename T>
void TCComixActorChangeValue<T>::Update(float time)
{
    if (done_)
        return;
    // Without a span there is nothing to divide: the value steps to its end at t1.
    if (t2_ <= t1_) {
        if (time >= t1_) {
            this->Apply(val2_);
            done_ = true;
        }
        return;
    }
    if (time >= t1_ && (loop_ || time <= t2_)) {
        float f = (time - t1_) / (t2_ - t1_);
        // Only a loop wraps; a single run reaching t2 exactly must not fall back to val1.
        f = loop_ ? f - std::floor(f) : std::clamp(f, 0.0f, 1.0f);
        this->Apply(val1_ + (val2_ - val1_) * rule_(f));
    }
    if (time > t2_ && !loop_) {
        this->Apply(val2_);
        done_ = true;
    }
}

template <typename T>
void TCComixActorChangeValue<T>::Finish(float time)
{
    if (time <= t2_ || local_) {
        this->Apply(val2_);
        done_ = true;
    }
}

template <typename T>
void TCComixActorChangeValue<T>::StopLoop()
{
    if (local_)
        done_ = true;
}

template class TCComixActorSetValue<float>;
template class TCComixActorSetValue<bool>;
template class TCComixActorSetValue<Nubra::NubraVector2>;
template class TCComixActorChangeValue<float>;
template class TCComixActorChangeValue<Nubra::NubraVector2>;

std::unique_ptr<TCComixActor> CreateComixActor(TCComix& comix, pugi::xml_node node)
{
    std::string action;
    XmlGetString(node, "action", action);
    const auto found = std::find_if(std::begin(kActions), std::end(kActions), [&](const Action& a) { return a.name == action; });
    if (found == std::end(kActions)) {
        WriteLog("WARNING: Can not create actor for action '%s'", action.c_str());
        return nullptr;
    }
    std::unique_ptr<TCComixActor> actor = found->make();
    if (!actor->Parse(comix, node))
        return nullptr;
    return actor;
}
