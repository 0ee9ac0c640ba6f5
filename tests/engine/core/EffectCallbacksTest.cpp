#include "engine/core/EffectPartCallbacks.h"
#include "engine/core/EffectVisibilityCallbacks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "FakeEffectTarget.h"
#include "engine/core/Log.h"
#include "engine/core/TCEffect.h"

namespace {

class EffectCallbacks : public ::testing::Test {
protected:
    EffectCallbacks() { effect.SetTarget(&target); }
    void Call(TCControlCallback fn, float p, TCCallBackParams* params = nullptr)
    {
        TCCallbackRecord record;
        record.kind = TCTimerControl::Range;
        record.effect = &effect;
        record.progress = p;
        record.params = params;
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
        {"DlgSmallScaleUpAccel", DlgSmallScaleUpAccel, 0.5f, 1.075f, -1.0f},
        {"DlgSmallScaleDownAccel", DlgSmallScaleDownAccel, 1.0f, 0.9f, -1.0f},
        {"DlgBigScaleDownAccel", DlgBigScaleDownAccel, 0.0f, 4.0f, -1.0f},
        {"DlgBigScaleDownAccel", DlgBigScaleDownAccel, 0.5f, 3.25f, -1.0f},
        {"DlgBigScaleDownAccel", DlgBigScaleDownAccel, 1.0f, 1.0f, -1.0f},
        {"DlgStampSplash", DlgStampSplash, 0.0f, 3.0f, 0.0f},
        {"DlgStampSplash", DlgStampSplash, 0.25f, 2.5f, 0.5f},
        {"DlgStampSplash", DlgStampSplash, 0.5f, 1.0f, 1.0f},
        {"DlgStampSplash", DlgStampSplash, 0.75f, 0.9f, 1.0f},
        {"DlgStampSplash", DlgStampSplash, 1.0f, 1.0f, 1.0f},
        {"DlgSetRandomScale", DlgSetRandomScale, 0.5f, 1.0f, -1.0f},
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

TEST_F(EffectCallbacks, RandomScaleLiesBetweenItsParameters)
{
    TCCallBackParams params;
    params.SetFloat("from", 2.0f);
    params.SetFloat("to", 3.0f);
    for (int i = 0; i < 50; ++i) {
        Call(DlgSetRandomScale, 0.0f, &params);
        EXPECT_GE(target.scale, 2.0f);
        EXPECT_LE(target.scale, 3.0f);
    }
}

TEST_F(EffectCallbacks, PartScaleAndAlphaCurves)
{
    struct Case {
        const char* name;
        float p;
        float scale;
        float alpha;
    };
    const Case cases[] = {
        {"EffectScaleZero", 0.5f, 0.0f, 9.0f},
        {"EffectScaleUpRecoil", 0.0f, 0.0f, 9.0f},
        {"EffectScaleUpRecoil", 0.5f, 1.0555555f, 9.0f},
        {"EffectScaleUpRecoil", 0.9f, 1.1f, 9.0f},
        {"EffectScaleUpRecoil", 1.0f, 1.0f, 9.0f},
        {"EffectScaleDownToOne", 0.0f, 2.5f, 9.0f},
        {"EffectScaleDownToOne", 0.5f, 1.75f, 9.0f},
        {"EffectScaleDownToOne", 1.0f, 1.0f, 9.0f},
        {"EffectScaleDown", 0.25f, 0.75f, 9.0f},
        {"EffectScalePulse", 0.0f, 1.0f, 9.0f},
        {"EffectScalePulse", 0.5f, 1.2f, 9.0f},
        {"EffectScalePulse", 1.0f, 1.0f, 9.0f},
        {"EffectFadeOne", 0.5f, 9.0f, 1.0f},
        {"EffectBlinkHPOff", 0.5f, 9.0f, 1.0f},
        {"EffectFadeZero", 0.5f, 9.0f, 0.0f},
        {"UpgradeEffectBlink", 0.05f, 9.0f, 1.0f},
        {"UpgradeEffectBlink", 0.15f, 9.0f, 0.3f},
        {"UpgradeEffectBlink", 1.0f, 9.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.p);
        FakeParts parts(2);
        std::fill(std::begin(parts.scale), std::end(parts.scale), 9.0f);
        std::fill(std::begin(parts.alpha), std::end(parts.alpha), 9.0f);
        effect.SetBinding(kBindTargetBlock, &parts.block);
        Call(FindControlCallback(c.name), c.p);
        for (int i : {0, 1}) {
            EXPECT_NEAR(parts.scale[i], c.scale, 1e-5f);
            EXPECT_NEAR(parts.alpha[i], c.alpha, 1e-6f);
        }
        EXPECT_EQ(parts.scale[2], 9.0f);
        EXPECT_EQ(parts.alpha[2], 9.0f);
    }
}

TEST_F(EffectCallbacks, PartOffsetsAreTruncatedTowardZero)
{
    TCCallBackParams high;
    high.SetFloat("jumpheight", 30.0f);
    struct Case {
        const char* name;
        float p;
        TCCallBackParams* params;
        int y;
    };
    const Case cases[] = {
        {"EffectSlideUpAccel", 0.5f, nullptr, -10},
        {"EffectSlideUpAccel", 0.3f, nullptr, -3},
        {"EffectSlideFromBottomDecel", 0.0f, nullptr, 20},
        {"EffectSlideFromBottomDecel", 0.5f, nullptr, 5},
        {"EffectSlideFromBottomDecel", 1.0f, nullptr, 0},
        {"EffectJumpUp", 0.5f, nullptr, -20},
        {"EffectJumpUp", 0.5f, &high, -30},
        {"EffectJumpUp", 1.0f, &high, 0},
        {"EffectSetCashPenaltyOffset", 0.0f, nullptr, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.p);
        FakeParts parts(2);
        effect.SetBinding(kBindTargetBlock, &parts.block);
        Call(FindControlCallback(c.name), c.p, c.params);
        EXPECT_EQ(parts.offset[0], Nubra::Point(0, c.y));
        EXPECT_EQ(parts.offset[1], Nubra::Point(0, c.y));
        EXPECT_EQ(parts.offset[2], Nubra::Point());
    }

    FakeParts parts(1);
    effect.SetBinding(kBindTargetBlock, &parts.block);
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        Call(EffectShake, 0.5f);
        for (int v : {parts.offset[0].x, parts.offset[0].y}) {
            EXPECT_GE(v, -2);
            EXPECT_LE(v, 2);
            seen.insert(v);
        }
    }
    EXPECT_GE(seen.size(), 3u) << "a shake moves both ways";
}

TEST_F(EffectCallbacks, FirstPartCallbacksLeaveTheOthersAlone)
{
    struct Case {
        const char* name;
        uint32_t colour1, colour2;
    };
    const Case colours[] = {
        {"EffectSetCashBonusColor", 0x5AFF00FF, 0x000000FF},
        {"EffectSetCashPenaltyColor", 0xFF0000FF, 0xFFFFFFFF},
        {"EffectSetChainColor", 0xFFF7C2FF, 0x4C1900FF},
    };
    for (const Case& c : colours) {
        SCOPED_TRACE(c.name);
        FakeParts parts(2);
        effect.SetBinding(kBindTargetBlock, &parts.block);
        Call(FindControlCallback(c.name), 0.0f);
        EXPECT_EQ(parts.colour1[0], c.colour1);
        EXPECT_EQ(parts.colour2[0], c.colour2);
        EXPECT_EQ(parts.alpha[0], 1.0f);
        EXPECT_EQ(parts.colour1[1], 0u);
        EXPECT_EQ(parts.alpha[1], 0.0f);
    }

    FakeParts parts(2);
    effect.SetBinding(kBindTargetBlock, &parts.block);
    Call(EffectSetCheckmarkScalepoint, 0.0f);
    EXPECT_EQ(parts.scalePoint[0], Nubra::Point(13, 15));
    EXPECT_EQ(parts.scalePoint[1], Nubra::Point());

    Call(EffectBlinkHP, 0.5f);
    EXPECT_NEAR(parts.alpha[1], 1.0f, 1e-6f) << "the blink drives the second part";
    EXPECT_EQ(parts.alpha[0], 0.0f);
    Call(EffectBlinkHP, 0.0f);
    EXPECT_NEAR(parts.alpha[1], 0.5f, 1e-6f);

    FakeParts single(1);
    effect.SetBinding(kBindTargetBlock, &single.block);
    Call(EffectBlinkHP, 0.5f);
    EXPECT_EQ(single.alpha[1], 0.0f) << "a block of one part has no second part";
}

TEST_F(EffectCallbacks, AnEmptyBlockIsLeftAloneByEveryPartCallback)
{
    const char* const names[] = {"EffectScaleZero", "EffectScaleUpRecoil", "EffectScaleDownToOne", "EffectScaleDown",
                                 "EffectFadeIn", "EffectFadeOut", "EffectFadeOne", "EffectFadeZero",
                                 "EffectSlideUpAccel", "EffectShake", "EffectSetCheckmarkScalepoint",
                                 "EffectSetCashBonusColor", "EffectSetCashPenaltyColor", "EffectSetCashPenaltyOffset",
                                 "EffectSetChainColor", "WindowFadeOut", "EffectBlinkHP", "EffectScalePulse",
                                 "UpgradeEffectBlink", "EffectSlideFromBottomDecel", "EffectJumpUp"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        FakeParts parts(0);
        effect.SetBinding(kBindTargetBlock, &parts.block);
        Call(FindControlCallback(name), 1.0f);
        for (int i = 0; i < EffectTargetBlock::kMaxSlots; ++i) {
            EXPECT_EQ(parts.offset[i], Nubra::Point());
            EXPECT_EQ(parts.scalePoint[i], Nubra::Point());
            EXPECT_EQ(parts.scale[i], 0.0f);
            EXPECT_EQ(parts.alpha[i], 0.0f);
            EXPECT_EQ(parts.colour1[i] | parts.colour2[i], 0u);
        }
    }
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


// The effect file names these; a missing or misspelt row would silently call nothing.
TEST(EffectCallbackTable, EveryExportedControlNameIsListed)
{
    const char* const names[] = {
        "EffectScaleZero", "EffectScaleUpRecoil", "EffectScaleDownToOne", "EffectScaleDown", "EffectFadeIn",
        "EffectFadeOut", "EffectFadeOne", "EffectBlinkHPOff", "EffectFadeZero", "EffectSlideUpAccel", "EffectShake",
        "EffectSetCheckmarkScalepoint", "DlgSetCenterScalePoint", "DlgShiftDown", "SparklingStar", "Rotate360",
        "DlgSlideDownAccel", "DlgSlideRightAccel", "DlgSlideLeftAccel", "DlgSlideUp20", "DlgSlideDown20",
        "EffectSetCashBonusColor", "EffectSetCashPenaltyColor", "EffectSetCashPenaltyOffset", "EffectSetChainColor",
        "WidgetsLock", "WidgetsUnlock", "WindowFadeOut", "WindowReset", "DlgShow", "EffectItemShow", "EffectBlinkHP",
        "EffectScalePulse", "DlgHide", "EffectItemHide", "DlgReset", "DlgScaleUpRecoil", "DlgScaleUpEaseOut",
        "DlgSmallScaleUpAccel", "DlgSmallScaleDownAccel", "DlgBigScaleDownAccel", "DlgStampSplash", "DlgFadeIn",
        "DlgTypeIn", "DlgFadeOut", "DlgSetAlpha0", "DlgSetAlpha1", "DlgSlideFromRightAccel", "UpgradeEffectBlink",
        "DlgUpgradeBtnBlink", "EffectSlideFromBottomDecel", "DlgSlideDownAccel485", "DlgSlideFromBottomAccel",
        "DlgSlideFromBottomAccel485", "DlgSlideFromLeftAccel", "DlgSlideRightAccelGirl",
        "DlgSlideFromRightAccelGirl", "EffectJumpUp", "DlgShiftToRight", "DlgShiftDownAccel",
        "DlgSlideFromLeftAccel400", "DlgSlideLeftAccel400", "DlgSlideFromLeftAccel400M", "DlgSlideLeftAccel400M",
        "DlgSetRandomScale", "DlgSetRandomRotation"};
    for (const char* name : names)
        EXPECT_NE(FindControlCallback(name), nullptr) << name;
}

} // namespace
