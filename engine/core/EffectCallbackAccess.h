#pragma once
#include <algorithm>
#include <string>

#include "engine/core/TCCallBackParams.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCEffectCallbacks.h"
#include "engine/core/TCIEffect.h"

// How callbacks reach what their record points at. Every access tolerates a missing effect,
// target, block or slot value: callbacks run on whatever their owner bound.

inline TCIEffect* EffectTargetOf(const TCCallbackRecord* record)
{
    return record && record->effect ? record->effect->GetTarget() : nullptr;
}

inline float ProgressOf(const TCCallbackRecord* record) { return record ? record->progress : 0.0f; }

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

// The slot of that index when the block uses it, else null.
inline EffectPartSlot* UsedSlot(const TCCallbackRecord* record, int index)
{
    EffectTargetBlock* block = record && record->effect ? record->effect->GetTargetBlock() : nullptr;
    if (!block || index >= std::min(block->count, int(EffectTargetBlock::kMaxSlots)))
        return nullptr;
    return &block->slot[index];
}

template <class Fn>
int WithTarget(const TCCallbackRecord* record, Fn fn)
{
    if (TCIEffect* target = EffectTargetOf(record))
        fn(*target, record->progress);
    return 1;
}

// The control's parameter of that name, or the fallback when the control has none.
template <class T>
T ParamOr(const TCCallbackRecord* record, const std::string& name, T fallback)
{
    if (record && record->params)
        record->params->GetParam(name, fallback);
    return fallback;
}

template <class T>
void SetIfBound(T* value, T to)
{
    if (value)
        *value = to;
}
