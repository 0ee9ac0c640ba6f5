#include "engine/ui/ParticleEffectCallbacks.h"

#include <gtest/gtest.h>

#include <utility>

#include "UiFixture.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCParticleRegistry.h"
#include "engine/core/TCParticleSystem.h"
#include "engine/ui/TCCandyWidget.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

// Stars when shown, drawn where the widget draws, silenced when hidden.
const char* const kStarEffects = R"(<?xml version="1.0" encoding="utf-8"?>
<effects>
  <effect name="stars">
    <timers>
      <timer name="burst" type="usual" ftime="1" direction="forward">
        <control id="1" type="point" starttime="0" function="FuncOnGoalExpertPSEffect" active="1"/>
      </timer>
    </timers>
    <messages>
      <message name="onshow" timer_id="burst" command="start"/>
      <message name="render_ps" timer_id="RenderPSFunc" command="call"/>
      <message name="onhide" timer_id="StopPSFunc" command="call"/>
    </messages>
  </effect>
</effects>
)";

class StarDialog : public fixtures::UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ASSERT_TRUE(UseEffects(kStarEffects));
        fake_.table.Add("fx_goal_star_small", "small.png");
        fake_.table.Add("fx_goal_star_big", "big.png");
    }
    // A shown 200 x 200 widget with the star effect, stepped a few times.
    TCCandyWidget* Burst()
    {
        auto* widget = OnScreen(new TCCandyWidget(nullptr));
        widget->LoadFromXml(Xml("<element width='200' height='200' effect='stars'/>"));
        widget->Show();
        Step(5);
        return widget;
    }
    static int Lit(TCCandyWidget& widget)
    {
        Nubra::MemoryImage screen;
        screen.Create(200, 200);
        Nubra::Graphics g(&screen);
        widget.Draw(&g);
        int lit = 0;
        for (int i = 0; i < 200 * 200; ++i)
            lit += screen.GetBits()[i] != 0;
        return lit;
    }
};

TEST_F(StarDialog, ShowsStarsAndSilencesThemWhenHidden)
{
    TCCandyWidget* widget = Burst();
    TCEffect* effect = widget->GetEffect();
    TCParticleSystem* small = effect->GetParticleSystem(kBindFirstParticleSystem);
    TCParticleSystem* big = effect->GetParticleSystem(kBindFirstParticleSystem + 1);
    ASSERT_TRUE(small && big);
    EXPECT_GT(small->GetCount(), 0);
    EXPECT_GT(big->GetCount(), 0);
    EXPECT_GT(Lit(*widget), 0);
    EXPECT_EQ(gParticleRegistry->Count(effect), 2u);

    widget->Hide();
    EXPECT_EQ(small->GetCount(), 0);
    EXPECT_EQ(Lit(*widget), 0);
}

TEST_F(StarDialog, DestroyedDialogsLeaveNothingBehind)
{
    for (int cycle = 0; cycle < 100; ++cycle) {
        TCCandyWidget* widget = Burst();
        ASSERT_GT(Lit(*widget), 0);
        Manager().RemoveWidget(widget);
        delete widget;
        ASSERT_EQ(gParticleRegistry->Count(), 0u) << "cycle " << cycle;
    }
    EXPECT_EQ(images_.Holders("small.png"), 0);
}

TEST(ParticleCallbacks, SmokeFollowsThePartUntilTheWorkEnds)
{
    // The engine's registry for this test, given back even when an assertion ends it early.
    struct OwnRegistry {
        TCParticleRegistry registry;
        TCParticleRegistry* previous = std::exchange(gParticleRegistry, &registry);
        ~OwnRegistry() { gParticleRegistry = previous; }
    } own;
    TCParticleRegistry& registry = own.registry;
    TCEffect effect("smoke");
    Nubra::Point origin(100, 50);
    int width = 40;
    bool mirror = true;
    effect.SetBinding(264, &origin);
    effect.SetBinding(265, &width);
    effect.SetBinding(266, &mirror);
    TCCallbackRecord record;
    record.kind = TCTimerControl::Range;
    record.effect = &effect;
    FuncOnWorkerWorkingPSEffect(&record);
    TCParticleSystem* smoke = effect.GetParticleSystem(kBindFirstParticleSystem);
    ASSERT_NE(smoke, nullptr);
    EXPECT_EQ(registry.Count(&effect), 1u);
    for (int i = 0; i < 100; ++i) {
        record.progress = float(i) / 100.0f;
        FuncOnWorkerWorkingPSEffect(&record);
        registry.Update(&effect, 0.05f);
    }
    ASSERT_GT(smoke->GetCount(), 0) << "still smoking after its first batch";
    double x = 0.0, y = 0.0;
    for (const TCParticleSystem::Particle* puff : smoke->GetParticles()) {
        x += puff->x / smoke->GetCount();
        y += puff->y / smoke->GetCount();
    }
    EXPECT_LT(y, 50.0) << "it rises from the part's top";
    EXPECT_GT(x, 120.0) << "mirrored, it drifts to the right of the part's middle";
    record.progress = 1.0f;
    FuncOnWorkerWorkingPSEffect(&record);
    EXPECT_FALSE(smoke->IsEmitting());
}

} // namespace
