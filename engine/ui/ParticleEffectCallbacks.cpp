#include "engine/ui/ParticleEffectCallbacks.h"

#include <memory>

#include "engine/core/TCEffect.h"
#include "engine/core/TCParticleRegistry.h"
#include "engine/core/TCParticleSystem.h"
#include "engine/core/TCTimer.h"
#include "engine/ui/TCCandyWidget.h"
#include "framework/graphics/Graphics.h"

namespace {

constexpr int kSmallStars = kBindFirstParticleSystem;
constexpr int kBigStars = kBindFirstParticleSystem + 1;
constexpr int kSmoke = kBindFirstParticleSystem;
enum PartValue { kPartOrigin = 264, kPartClipWidth = 265, kPartMirror = 266 };
constexpr double kSmokeRise = -12.0; // pixels per second, up

template <class Fn>
void ForEachSystem(const TCEffect& effect, Fn fn)
{
    for (int id = kBindFirstParticleSystem; id <= kBindLastParticleSystem; ++id)
        if (TCParticleSystem* system = effect.GetParticleSystem(id))
            fn(*system);
}

// The effect's system of that id; the description is made only when the system is, not on every
// call of a range.
template <class MakeDesc>
TCParticleSystem& SystemOf(TCEffect& effect, int id, MakeDesc makeDesc)
{
    if (TCParticleSystem* system = effect.GetParticleSystem(id))
        return *system;
    return *effect.AdoptParticleSystem(id, std::make_unique<TCParticleSystem>(makeDesc(), &effect, gParticleRegistry));
}

template <class T>
T* Bound(const TCEffect& effect, int id)
{
    return static_cast<T*>(effect.GetBinding(id));
}

} // namespace

TCParticleDesc GoalStarDesc(bool big)
{
    TCParticleDesc desc;
    desc.texture = big ? "fx_goal_star_big" : "fx_goal_star_small";
    desc.keys = {{0.0f, Nubra::Color(255, 255, 255, 255)},
                 {0.4f, Nubra::Color(255, 236, 120, 255)},
                 {1.0f, Nubra::Color(255, 180, 0, 0)}};
    desc.emissionDuration = 0.4f;
    desc.life = big ? 1.4f : 1.0f;
    desc.speed = big ? 150.0f : 260.0f;
    desc.rate = big ? 30.0f : 90.0f;
    desc.shape = TCParticleDesc::Circle;
    desc.shapeWidth = desc.shapeHeight = 12.0f;
    desc.direction = 90.0f;
    desc.spread = 360.0f;
    desc.decayTime = 0.8f;
    desc.randomness = 0.35f;
    desc.flags = TCParticleDesc::RandomSpeed | TCParticleDesc::RandomLife;
    desc.driftY = 40.0; // they sink as they fade
    return desc;
}

TCParticleDesc WorkSmokeDesc()
{
    TCParticleDesc desc;
    desc.texture = "fx_work_smoke";
    desc.keys = {{0.0f, Nubra::Color(255, 255, 255, 0)},
                 {0.2f, Nubra::Color(240, 240, 240, 180)},
                 {1.0f, Nubra::Color(200, 200, 200, 0)}};
    desc.emissionDuration = 2.0f;
    desc.life = 1.6f;
    desc.speed = 30.0f;
    desc.rate = 6.0f;
    desc.shape = TCParticleDesc::Box;
    desc.shapeWidth = 10.0f;
    desc.shapeHeight = 4.0f;
    desc.direction = 90.0f;
    desc.spread = 30.0f;
    desc.decayTime = 1.0f;
    desc.randomness = 0.3f;
    desc.flags = TCParticleDesc::RandomSpeed | TCParticleDesc::RandomLife | TCParticleDesc::RandomRate;
    desc.driftY = kSmokeRise;
    return desc;
}

int RenderPSFunc(TCEffect* effect)
{
    Nubra::Graphics* g = effect ? Bound<Nubra::Graphics>(*effect, kBindGraphics) : nullptr;
    if (g)
        ForEachSystem(*effect, [g](TCParticleSystem& system) { system.Draw(*g); });
    return 1;
}

int StopPSFunc(TCEffect* effect)
{
    if (effect)
        ForEachSystem(*effect, [](TCParticleSystem& system) { system.Reset(); });
    return 1;
}

int FuncOnGoalExpertPSEffect(const TCCallbackRecord* record)
{
    if (!record || !record->effect)
        return 1;
    TCEffect& effect = *record->effect;
    const bool fresh = !effect.GetParticleSystem(kSmallStars);
    TCParticleSystem& small = SystemOf(effect, kSmallStars, [] { return GoalStarDesc(false); });
    TCParticleSystem& big = SystemOf(effect, kBigStars, [] { return GoalStarDesc(true); });
    // A range calls on with its progress; only its entry (or a point) sets the stars off.
    if (!fresh && record->kind == TCTimerControl::Range && record->progress > 0.0f)
        return 1;
    const auto* widget = Bound<TCCandyWidget>(effect, kBindWidget);
    const double x = widget ? widget->width / 2.0 : 0.0, y = widget ? widget->height / 2.0 : 0.0;
    for (TCParticleSystem* system : {&small, &big}) {
        system->Reset();
        system->SetPosition(x, y);
        system->Start();
    }
    return 1;
}

int FuncOnWorkerWorkingPSEffect(const TCCallbackRecord* record)
{
    if (!record || !record->effect)
        return 1;
    TCEffect& effect = *record->effect;
    TCParticleSystem& smoke = SystemOf(effect, kSmoke, WorkSmokeDesc);
    if (record->kind == TCTimerControl::Range && record->progress >= 1.0f) {
        smoke.Stop();
        return 1;
    }
    const auto* origin = Bound<Nubra::Point>(effect, kPartOrigin);
    const int* width = Bound<int>(effect, kPartClipWidth);
    const bool* mirror = Bound<bool>(effect, kPartMirror);
    const Nubra::Point at = origin ? *origin : Nubra::Point();
    smoke.SetPosition(at.x + (width ? *width / 2.0 : 0.0), at.y);
    smoke.SetDrift(mirror && *mirror ? 10.0 : -10.0, kSmokeRise);
    if (!smoke.IsEmitting())
        smoke.Start();
    return 1;
}
