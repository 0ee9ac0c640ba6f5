#include "engine/core/TCEffectCallbacks.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "engine/core/EffectVisibilityCallbacks.h"
#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"

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
    {"DlgShow", DlgShow, nullptr},
    {"EffectItemShow", DlgShow, nullptr},
    {"DlgHide", DlgHide, nullptr},
    {"EffectItemHide", DlgHide, nullptr},
    {"DlgFadeIn", DlgFadeIn, nullptr},
    {"DlgFadeOut", DlgFadeOut, nullptr},
    {"DlgSetAlpha0", DlgSetAlpha0, nullptr},
    {"DlgSetAlpha1", DlgSetAlpha1, nullptr},
    {"DlgReset", DlgReset, nullptr},
    {"DlgScaleUpRecoil", DlgScaleUpRecoil, nullptr},
    {"DlgScaleUpEaseOut", DlgScaleUpEaseOut, nullptr},
    {"EffectFadeIn", EffectFadeIn, nullptr},
    {"EffectFadeOut", EffectFadeOut, nullptr},
    {"WindowFadeOut", WindowFadeOut, nullptr},
    {"WindowReset", WindowReset, nullptr},
    {"WidgetsLock", AsControl<WidgetsLock>, AsMessage<WidgetsLock>},
    {"WidgetsUnlock", AsControl<WidgetsUnlock>, AsMessage<WidgetsUnlock>},
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
