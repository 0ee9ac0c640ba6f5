#include "engine/core/EffectVisibilityCallbacks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FakeEffectTarget.h"
#include "engine/core/Log.h"
#include "engine/core/TCEffect.h"

namespace {

class EffectCallbacks : public ::testing::Test {
protected:
    EffectCallbacks() { effect.SetTarget(&target); }
    void Call(TCControlCallback fn, float p)
    {
        TCCallbackRecord record;
        record.kind = TCTimerControl::Range;
        record.effect = &effect;
        record.progress = p;
        EXPECT_EQ(fn(&record), 1);
    }

    TCEffect effect{"test"};
    FakeEffectTarget target;
};

TEST_F(EffectCallbacks, TargetCurves)
{
    struct Case {
        const char* name;
        TCControlCallback fn;
        float p;
        float scale;
        float alpha;
    };
    const Case cases[] = {
        {"DlgScaleUpRecoil", DlgScaleUpRecoil, 0.0f, 0.0f, -1.0f},
        {"DlgScaleUpRecoil", DlgScaleUpRecoil, 0.5f, 0.8921568f, -1.0f},
        {"DlgScaleUpRecoil", DlgScaleUpRecoil, 0.85f, 1.05f, -1.0f},
        {"DlgScaleUpRecoil", DlgScaleUpRecoil, 1.0f, 1.0f, -1.0f},
        {"DlgScaleUpEaseOut", DlgScaleUpEaseOut, 0.0f, 1.0f, -1.0f},
        {"DlgScaleUpEaseOut", DlgScaleUpEaseOut, 0.5f, 1.8f, -1.0f},
        {"DlgScaleUpEaseOut", DlgScaleUpEaseOut, 1.0f, 2.0f, -1.0f},
        {"DlgFadeIn", DlgFadeIn, 0.25f, -1.0f, 0.25f},
        {"DlgFadeOut", DlgFadeOut, 0.25f, -1.0f, 0.75f},
        {"DlgSetAlpha0", DlgSetAlpha0, 0.5f, -1.0f, 0.0f},
        {"DlgSetAlpha1", DlgSetAlpha1, 0.5f, -1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.p);
        target = FakeEffectTarget();
        Call(c.fn, c.p);
        EXPECT_NEAR(target.scale, c.scale, 1e-5f);
        EXPECT_NEAR(target.alpha, c.alpha, 1e-6f);
    }
}

TEST_F(EffectCallbacks, ShowHideAndResetReachTheTarget)
{
    Call(DlgShow, 0.0f);
    Call(DlgHide, 1.0f);
    EXPECT_EQ(target.visibility, (std::vector<bool>{true, false}));
    Call(DlgReset, 0.3f);
    EXPECT_EQ(target.alpha, 1.0f);
    EXPECT_EQ(target.scale, 1.0f);
    EXPECT_EQ(target.offset, Nubra::Point(0, 0));

    effect.SetTarget(nullptr);
    Call(DlgShow, 0.0f); // an effect not yet bound to its object
    EXPECT_EQ(target.visibility.size(), 2u);
}

TEST_F(EffectCallbacks, PartCallbacksTouchOnlyTheUsedSlots)
{
    FakeParts parts(2);
    parts.block.slot[1].alpha = nullptr; // a part without its own alpha
    for (bool& v : parts.visible)
        v = true;
    effect.SetBinding(kBindTargetBlock, &parts.block);

    Call(EffectFadeIn, 0.25f);
    EXPECT_EQ(parts.alpha[0], 0.25f);
    EXPECT_EQ(parts.alpha[2], 0.0f);
    Call(EffectFadeOut, 0.25f);
    EXPECT_EQ(parts.alpha[0], 0.75f);

    Call(WindowFadeOut, 0.999f);
    EXPECT_TRUE(parts.visible[0]) << "hidden only when the fade is complete";
    Call(WindowFadeOut, 1.0f);
    EXPECT_EQ(parts.alpha[0], 0.0f);
    EXPECT_FALSE(parts.visible[0]);
    EXPECT_FALSE(parts.visible[1]);
    EXPECT_TRUE(parts.visible[2]);

    bool objectVisible = false;
    effect.SetBinding(kBindVisibleFlag, &objectVisible);
    Call(WindowReset, 0.0f);
    EXPECT_TRUE(objectVisible);
    EXPECT_TRUE(parts.visible[0] && parts.visible[1]);
    EXPECT_EQ(parts.alpha[0], 1.0f);
}

TEST_F(EffectCallbacks, EmptyOrOverfullBlocksAreSafe)
{
    for (int count : {0, -3}) {
        FakeParts parts(count);
        effect.SetBinding(kBindTargetBlock, &parts.block);
        for (TCControlCallback fn : {EffectFadeIn, EffectFadeOut, WindowFadeOut, WindowReset})
            Call(fn, 1.0f);
        for (float alpha : parts.alpha)
            EXPECT_EQ(alpha, 0.0f);
    }
    FakeParts parts(1000);
    effect.SetBinding(kBindTargetBlock, &parts.block);
    Call(EffectFadeIn, 0.5f);
    EXPECT_EQ(parts.alpha[15], 0.5f);
}

TEST(EffectCallbackTable, ANameServesOnlyItsOwnRole)
{
    const auto log = std::filesystem::temp_directory_path() / ("callbacks_" + std::to_string(::getpid()) + ".log");
    SetLogFile(log.string());
    SetDeveloperMode(true);

    EXPECT_EQ(FindControlCallback("DlgShow"), &DlgShow);
    EXPECT_EQ(FindControlCallback("EffectItemShow"), &DlgShow);
    EXPECT_EQ(FindMessageCallback("DlgShow"), nullptr);
    EXPECT_EQ(FindControlCallback("NoSuchFunction"), nullptr);
    EXPECT_EQ(FindMessageCallback("NoSuchFunction"), nullptr);

    SetDeveloperMode(false);
    SetLogFile("tarrow.log");
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove(log);
    EXPECT_EQ(text.str(), "WARNING: effect function DlgShow cannot be used as a call message\n");
}

} // namespace
