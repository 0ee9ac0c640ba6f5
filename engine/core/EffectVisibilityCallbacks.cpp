#include "engine/core/EffectVisibilityCallbacks.h"

#include <algorithm>

#include "engine/core/TCEffect.h"
#include "engine/core/TCIEffect.h"

namespace {

TCIEffect* TargetOf(const TCCallbackRecord* record)
{
    return record && record->effect ? record->effect->GetTarget() : nullptr;
}

// Calls fn on each used slot of the target block; a count beyond the block's room is cut to it.
template <class Fn>
void ForEachSlot(const TCCallbackRecord* record, Fn fn)
{
    EffectTargetBlock* block = record && record->effect ? record->effect->GetTargetBlock() : nullptr;
    if (!block)
        return;
    const int count = std::clamp(block->count, 0, EffectTargetBlock::kMaxSlots);
    for (int i = 0; i < count; ++i)
        fn(block->slot[i]);
}

template <class Fn>
int WithTarget(const TCCallbackRecord* record, Fn fn)
{
    if (TCIEffect* target = TargetOf(record))
        fn(*target, record->progress);
    return 1;
}

void SetSlotAlpha(EffectPartSlot& slot, float alpha)
{
    if (slot.alpha)
        *slot.alpha = alpha;
}

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
    ForEachSlot(record, [p = record ? record->progress : 0.0f](EffectPartSlot& slot) { SetSlotAlpha(slot, p); });
    return 1;
}

int EffectFadeOut(const TCCallbackRecord* record)
{
    ForEachSlot(record, [p = record ? record->progress : 0.0f](EffectPartSlot& slot) { SetSlotAlpha(slot, 1.0f - p); });
    return 1;
}

int WindowFadeOut(const TCCallbackRecord* record)
{
    ForEachSlot(record, [p = record ? record->progress : 0.0f](EffectPartSlot& slot) {
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
