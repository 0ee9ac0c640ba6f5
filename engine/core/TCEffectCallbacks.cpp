#include "engine/core/TCEffectCallbacks.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "engine/core/EffectPartCallbacks.h"
#include "engine/core/EffectVisibilityCallbacks.h"
#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"
#include "engine/ui/ParticleEffectCallbacks.h"
#include "engine/ui/WidgetEffectCallbacks.h"

namespace {

struct Entry {
    std::string_view name;
    TCControlCallback control; // called by timer controls with the callback record
    TCMessageCallback message; // called by "call" messages with the effect itself
};

// A function that reads neither argument, in either role.
template <void (*Function)()>
int AsControl(const TCCallbackRecord*)
{
    Function();
    return 1;
}

template <void (*Function)()>
int AsMessage(TCEffect*)
{
    Function();
    return 1;
}

// Every function the effect file may name. A function that reads neither argument fills both.
constexpr Entry kCallbacks[] = {
    {"EffectScaleZero", EffectScaleZero, nullptr},
    {"EffectScaleUpRecoil", EffectScaleUpRecoil, nullptr},
    {"EffectScaleDownToOne", EffectScaleDownToOne, nullptr},
    {"EffectScaleDown", EffectScaleDown, nullptr},
    {"EffectFadeIn", EffectFadeIn, nullptr},
    {"EffectFadeOut", EffectFadeOut, nullptr},
    {"EffectFadeOne", EffectFadeOne, nullptr},
    {"EffectBlinkHPOff", EffectFadeOne, nullptr},
    {"EffectFadeZero", EffectFadeZero, nullptr},
    {"EffectSlideUpAccel", EffectSlideUpAccel, nullptr},
    {"EffectShake", EffectShake, nullptr},
    {"EffectSetCheckmarkScalepoint", EffectSetCheckmarkScalepoint, nullptr},
    {"DlgSetCenterScalePoint", DlgSetCenterScalePoint, nullptr},
    {"DlgShiftDown", DlgShiftDown, nullptr},
    {"SparklingStar", SparklingStar, nullptr},
    {"Rotate360", Rotate360, nullptr},
    {"DlgSlideDownAccel", DlgSlideDownAccel, nullptr},
    {"DlgSlideRightAccel", DlgSlideRightAccel, nullptr},
    {"DlgSlideLeftAccel", DlgSlideLeftAccel, nullptr},
    {"DlgSlideUp20", DlgSlideUp20, nullptr},
    {"DlgSlideDown20", DlgSlideDown20, nullptr},
    {"EffectSetCashBonusColor", EffectSetCashBonusColor, nullptr},
    {"EffectSetCashPenaltyColor", EffectSetCashPenaltyColor, nullptr},
    {"EffectSetCashPenaltyOffset", EffectSetCashPenaltyOffset, nullptr},
    {"EffectSetChainColor", EffectSetChainColor, nullptr},
    {"RenderPSFunc", nullptr, RenderPSFunc},
    {"StopPSFunc", nullptr, StopPSFunc},
    {"WidgetsLock", AsControl<WidgetsLock>, AsMessage<WidgetsLock>},
    {"WidgetsUnlock", AsControl<WidgetsUnlock>, AsMessage<WidgetsUnlock>},
    {"WindowFadeOut", WindowFadeOut, nullptr},
    {"WindowReset", WindowReset, nullptr},
    {"DlgShow", DlgShow, nullptr},
    {"EffectItemShow", DlgShow, nullptr},
    {"EffectBlinkHP", EffectBlinkHP, nullptr},
    {"EffectScalePulse", EffectScalePulse, nullptr},
    {"DlgHide", DlgHide, nullptr},
    {"EffectItemHide", DlgHide, nullptr},
    {"DlgReset", DlgReset, nullptr},
    {"DlgScaleUpRecoil", DlgScaleUpRecoil, nullptr},
    {"DlgScaleUpEaseOut", DlgScaleUpEaseOut, nullptr},
    {"DlgSmallScaleUpAccel", DlgSmallScaleUpAccel, nullptr},
    {"DlgSmallScaleDownAccel", DlgSmallScaleDownAccel, nullptr},
    {"DlgBigScaleDownAccel", DlgBigScaleDownAccel, nullptr},
    {"DlgStampSplash", DlgStampSplash, nullptr},
    {"DlgFadeIn", DlgFadeIn, nullptr},
    {"DlgTypeIn", DlgTypeIn, nullptr},
    {"DlgFadeOut", DlgFadeOut, nullptr},
    {"DlgSetAlpha0", DlgSetAlpha0, nullptr},
    {"DlgSetAlpha1", DlgSetAlpha1, nullptr},
    {"DlgSlideFromRightAccel", DlgSlideFromRightAccel, nullptr},
    {"UpgradeEffectBlink", UpgradeEffectBlink, nullptr},
    {"DlgUpgradeBtnBlink", DlgUpgradeBtnBlink, nullptr},
    {"FuncOnGoalExpertPSEffect", FuncOnGoalExpertPSEffect, nullptr},
    {"EffectSlideFromBottomDecel", EffectSlideFromBottomDecel, nullptr},
    {"DlgSlideDownAccel485", DlgSlideDownAccel485, nullptr},
    {"DlgSlideFromBottomAccel", DlgSlideFromBottomAccel, nullptr},
    {"DlgSlideFromBottomAccel485", DlgSlideFromBottomAccel485, nullptr},
    {"DlgSlideFromLeftAccel", DlgSlideFromLeftAccel, nullptr},
    {"DlgSlideRightAccelGirl", DlgSlideRightAccelGirl, nullptr},
    {"DlgSlideFromRightAccelGirl", DlgSlideFromRightAccelGirl, nullptr},
    {"FuncOnWorkerWorkingPSEffect", FuncOnWorkerWorkingPSEffect, nullptr},
    {"EffectJumpUp", EffectJumpUp, nullptr},
    {"DlgShiftToRight", DlgShiftToRight, nullptr},
    {"DlgShiftDownAccel", DlgShiftDownAccel, nullptr},
    {"DlgSlideFromLeftAccel400", DlgSlideFromLeftAccel400, nullptr},
    {"DlgSlideLeftAccel400", DlgSlideLeftAccel400, nullptr},
    {"DlgSlideFromLeftAccel400M", DlgSlideFromLeftAccel400M, nullptr},
    {"DlgSlideLeftAccel400M", DlgSlideLeftAccel400M, nullptr},
    {"DlgSetRandomScale", DlgSetRandomScale, nullptr},
    {"DlgSetRandomRotation", DlgSetRandomRotation, nullptr},
};

const Entry* Find(std::string_view name)
{
    const auto found = std::find_if(std::begin(kCallbacks), std::end(kCallbacks), [name](const Entry& e) { return e.name == name; });
    return found == std::end(kCallbacks) ? nullptr : &*found;
}

void WarnWrongRole(std::string_view name, const char* wanted)
{
    WriteLog("WARNING: effect function %.*s cannot be used as a %s", static_cast<int>(name.size()), name.data(), wanted);
}

} // namespace

TCControlCallback FindControlCallback(std::string_view name)
{
    const Entry* entry = Find(name);
    if (entry && !entry->control)
        WarnWrongRole(name, "timer control");
    return entry ? entry->control : nullptr;
}

TCMessageCallback FindMessageCallback(std::string_view name)
{
    const Entry* entry = Find(name);
    if (entry && !entry->message)
        WarnWrongRole(name, "call message");
    return entry ? entry->message : nullptr;
}
