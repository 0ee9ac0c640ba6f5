#include "engine/core/EffectPartCallbacks.h"

#include <cmath>
#include <cstdint>

#include "engine/core/EffectCallbackAccess.h"
#include "engine/core/EngineHelpers.h"

namespace {

constexpr float kPi = float(M_PI);

template <class Curve>
int ScaleEach(const TCCallbackRecord* record, Curve curve)
{
    const float scale = curve(ProgressOf(record));
    ForEachSlot(record, [scale](EffectPartSlot& slot) { SetIfBound(slot.scale, scale); });
    return 1;
}

int AlphaEach(const TCCallbackRecord* record, float alpha)
{
    ForEachSlot(record, [alpha](EffectPartSlot& slot) { SetIfBound(slot.alpha, alpha); });
    return 1;
}

int OffsetYEach(const TCCallbackRecord* record, float y)
{
    ForEachSlot(record, [y = int(y)](EffectPartSlot& slot) {
        if (slot.offset)
            slot.offset->y = y;
    });
    return 1;
}

int ColourFirst(const TCCallbackRecord* record, uint32_t text, uint32_t shadow)
{
    if (EffectPartSlot* slot = UsedSlot(record, 0)) {
        SetIfBound(slot->colour1, text);
        SetIfBound(slot->colour2, shadow);
        SetIfBound(slot->alpha, 1.0f);
    }
    return 1;
}

} // namespace

int EffectScaleZero(const TCCallbackRecord* record)
{
    return ScaleEach(record, [](float) { return 0.0f; });
}

int EffectScaleUpRecoil(const TCCallbackRecord* record)
{
    return ScaleEach(record, [](float p) { return -2.2222219f * p * p + 3.2222219f * p; });
}

int EffectScaleDownToOne(const TCCallbackRecord* record)
{
    return ScaleEach(record, [](float p) { return (1.0f - p) * 1.5f + 1.0f; });
}

int EffectScaleDown(const TCCallbackRecord* record)
{
    return ScaleEach(record, [](float p) { return 1.0f - p; });
}

int EffectScalePulse(const TCCallbackRecord* record)
{
    return ScaleEach(record, [](float p) { return std::sin(p * kPi) * 0.2f + 1.0f; });
}

int EffectFadeOne(const TCCallbackRecord* record) { return AlphaEach(record, 1.0f); }

int EffectFadeZero(const TCCallbackRecord* record) { return AlphaEach(record, 0.0f); }

int EffectBlinkHP(const TCCallbackRecord* record)
{
    if (EffectPartSlot* slot = UsedSlot(record, 1))
        SetIfBound(slot->alpha, std::sin(ProgressOf(record) * kPi) * 0.5f + 0.5f);
    return 1;
}

int UpgradeEffectBlink(const TCCallbackRecord* record)
{
    const int beat = int(ProgressOf(record) * 10.0f);
    return AlphaEach(record, beat % 2 == 0 ? 1.0f : 0.3f);
}

int EffectSlideUpAccel(const TCCallbackRecord* record)
{
    const float p = ProgressOf(record);
    return OffsetYEach(record, -(p * p * 40.0f));
}

int EffectSlideFromBottomDecel(const TCCallbackRecord* record)
{
    const float rest = 1.0f - ProgressOf(record);
    return OffsetYEach(record, 20.0f * rest * rest);
}

int EffectJumpUp(const TCCallbackRecord* record)
{
    const float p = ProgressOf(record);
    const float height = ParamOr(record, "jumpheight", 20.0f);
    return OffsetYEach(record, -(4.0f * height * p * (1.0f - p)));
}

int EffectShake(const TCCallbackRecord* record)
{
    ForEachSlot(record, [](EffectPartSlot& slot) {
        if (!slot.offset)
            return;
        slot.offset->x = int(RandomFloat(-2.0f, 2.0f));
        slot.offset->y = int(RandomFloat(-2.0f, 2.0f));
    });
    return 1;
}

int EffectSetCashPenaltyOffset(const TCCallbackRecord* record) { return OffsetYEach(record, 50.0f); }

int EffectSetCheckmarkScalepoint(const TCCallbackRecord* record)
{
    if (EffectPartSlot* slot = UsedSlot(record, 0))
        SetIfBound(slot->scalePoint, Nubra::Point(13, 15));
    return 1;
}

int EffectSetCashBonusColor(const TCCallbackRecord* record) { return ColourFirst(record, 0x5AFF00FF, 0x000000FF); }

int EffectSetCashPenaltyColor(const TCCallbackRecord* record) { return ColourFirst(record, 0xFF0000FF, 0xFFFFFFFF); }

int EffectSetChainColor(const TCCallbackRecord* record) { return ColourFirst(record, 0xFFF7C2FF, 0x4C1900FF); }
