#include "engine/core/EffectVisibilityCallbacks.h"

#include <cmath>

#include "engine/core/EffectCallbackAccess.h"
#include "engine/core/EngineHelpers.h"

namespace {

void SetSlotAlpha(EffectPartSlot& slot, float alpha) { SetIfBound(slot.alpha, alpha); }

} // namespace

int DlgShow(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float) { target.SetEffectVisible(true); });
}

int DlgHide(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float) { target.SetEffectVisible(false); });
}

int DlgFadeIn(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetAlpha(p); });
}

int DlgFadeOut(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetAlpha(1.0f - p); });
}

int DlgSetAlpha0(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float) { target.SetAlpha(0.0f); });
}

int DlgSetAlpha1(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float) { target.SetAlpha(1.0f); });
}

int DlgReset(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float) {
        target.SetAlpha(1.0f);
        target.SetScale(1.0f);
        target.SetOffsetX(0);
        target.SetOffsetY(0);
    });
}

int DlgScaleUpRecoil(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetScale(-1.5686269f * p * p + 2.5686269f * p); });
}

int DlgScaleUpEaseOut(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetScale(-1.2f * p * p + 2.2f * p + 1.0f); });
}

int EffectFadeIn(const TCCallbackRecord* record)
{
    ForEachSlot(record, [p = ProgressOf(record)](EffectPartSlot& slot) { SetSlotAlpha(slot, p); });
    return 1;
}

int EffectFadeOut(const TCCallbackRecord* record)
{
    ForEachSlot(record, [p = ProgressOf(record)](EffectPartSlot& slot) { SetSlotAlpha(slot, 1.0f - p); });
    return 1;
}

int WindowFadeOut(const TCCallbackRecord* record)
{
    ForEachSlot(record, [p = ProgressOf(record)](EffectPartSlot& slot) {
        SetSlotAlpha(slot, 1.0f - p);
        if (p == 1.0f && slot.visible)
            *slot.visible = false;
    });
    return 1;
}

int WindowReset(const TCCallbackRecord* record)
{
    if (!record || !record->effect)
        return 1;
    if (bool* visible = static_cast<bool*>(record->effect->GetBinding(kBindVisibleFlag)))
        *visible = true;
    ForEachSlot(record, [](EffectPartSlot& slot) {
        SetSlotAlpha(slot, 1.0f);
        if (slot.visible)
            *slot.visible = true;
    });
    return 1;
}

int DlgSmallScaleUpAccel(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetScale(1.1f - 0.1f * p * p); });
}

int DlgSmallScaleDownAccel(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetScale(1.0f - 0.1f * p * p); });
}

int DlgBigScaleDownAccel(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) { target.SetScale((1.0f - p * p) * 3.0f + 1.0f); });
}

int DlgStampSplash(const TCCallbackRecord* record)
{
    return WithTarget(record, [](TCIEffect& target, float p) {
        if (p < 0.5f) {
            const float fall = p / 0.5f;
            target.SetScale(3.0f - 2.0f * fall * fall);
            target.SetAlpha(fall);
        } else {
            const float squash = std::min(1.0f, (p - 0.5f) / 0.5f);
            target.SetScale(1.0f - 0.1f * std::sin(squash * float(M_PI)));
            target.SetAlpha(1.0f);
        }
    });
}

int DlgSetRandomScale(const TCCallbackRecord* record)
{
    const float from = ParamOr(record, "from", 1.0f);
    const float to = ParamOr(record, "to", 1.0f);
    return WithTarget(record, [from, to](TCIEffect& target, float) { target.SetScale(RandomFloat(from, to)); });
}
