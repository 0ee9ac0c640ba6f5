#include "engine/core/TCEffect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

int Mark(const TCCallbackRecord* record)
{
    gLog.push_back("point " + std::to_string(record->progress));
    return 1;
}
int First(TCEffect* effect)
{
    gLog.push_back("first " + effect->GetName());
    return 1;
}
int Second(TCEffect*)
{
    gLog.push_back("second");
    return 1;
}

class Effect : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLog.clear();
        timer = effect.AddTimer(0);
        TCTimer::Params params;
        params.mask = TCTimer::Params::Duration | TCTimer::Params::Dir | TCTimer::Params::TimerType;
        params.duration = 1.0f;
        params.direction = TCTimer::Forward;
        params.type = TCTimer::Usual;
        timer->SetParams(params);
        TCTimerControl start;
        start.kind = TCTimerControl::Point | TCTimerControl::HasFunction;
        start.function = Mark;
        start.active = true;
        timer->AddControl(start);
        effect.AddMessage("start", timer, TCEffect::Start);
        effect.AddMessage("stop", timer, TCEffect::Stop);
        effect.AddMessage("pause", timer, TCEffect::Pause);
        effect.AddMessage("resume", timer, TCEffect::Resume);
    }

    TCEffect effect{"glow"};
    TCTimer* timer = nullptr;
};

TEST_F(Effect, StartRestartsAFinishedTimerAndFiresItsStartAtOnce)
{
    EXPECT_TRUE(effect.RunEvent("start"));
    effect.UpdateTimers(2.0f);
    ASSERT_TRUE(timer->IsFinished());
    gLog.clear();
    EXPECT_TRUE(effect.RunEvent("start"));
    EXPECT_FALSE(timer->IsFinished());
    EXPECT_EQ(gLog, std::vector<std::string>{"point 0.000000"});
}

TEST_F(Effect, PauseKeepsThePlaceAndStopGoesBackToTheStart)
{
    effect.RunEvent("start");
    effect.UpdateTimers(0.25f);
    effect.RunEvent("pause");
    effect.UpdateTimers(0.25f);
    effect.RunEvent("resume");
    EXPECT_EQ(timer->GetPosition(), 0.25);
    effect.UpdateTimers(0.25f);
    EXPECT_EQ(timer->GetPosition(), 0.5);

    effect.RunEvent("stop");
    EXPECT_FALSE(timer->IsActive());
    effect.RunEvent("resume");
    effect.UpdateTimers(0.25f);
    EXPECT_EQ(timer->GetPosition(), 0.25);
}

TEST_F(Effect, UnknownEventsChangeNothingAndMessagesRunInOrder)
{
    EXPECT_FALSE(effect.RunEvent("onshow"));
    EXPECT_FALSE(timer->IsActive());
    EXPECT_TRUE(gLog.empty());

    effect.AddMessage("onshow", nullptr, TCEffect::Call, First);
    effect.AddMessage("onshow", nullptr, TCEffect::Start); // a timer name the file did not give
    effect.AddMessage("onshow", nullptr, TCEffect::Call, Second);
    EXPECT_TRUE(effect.RunEvent("onshow"));
    EXPECT_EQ(gLog, (std::vector<std::string>{"first glow", "second"}));

    effect.SetEventEnabled("onshow", false);
    EXPECT_FALSE(effect.IsEventEnabled("onshow"));
    EXPECT_TRUE(effect.HasEvent("onshow"));
    EXPECT_TRUE(effect.RunEvent("onshow")) << "known, though nothing runs";
    EXPECT_EQ(gLog.size(), 2u);
}

TEST_F(Effect, DisabledEffectsStandStill)
{
    effect.SetEnabled(false);
    effect.RunEvent("start");
    effect.UpdateTimers(0.5f);
    EXPECT_TRUE(gLog.empty());
    EXPECT_EQ(timer->GetPosition(), 0.0);
}

TEST_F(Effect, TimerIdsAndBindings)
{
    EXPECT_EQ(effect.AddTimer(0), nullptr);
    EXPECT_EQ(effect.GetTimer(0), timer);
    EXPECT_EQ(effect.GetTimer(1), nullptr);

    int value = 0;
    effect.SetBinding(kBindWidget, &value);
    EXPECT_EQ(effect.GetBinding(kBindWidget), &value);
    effect.RemoveBinding(kBindWidget);
    EXPECT_EQ(effect.GetBinding(kBindWidget), nullptr);
}

} // namespace
