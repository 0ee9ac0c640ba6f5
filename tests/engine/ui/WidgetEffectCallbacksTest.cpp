#include "engine/ui/WidgetEffectCallbacks.h"

#include <gtest/gtest.h>

#include <memory>

#include "UiFixture.h"
#include "engine/core/TCCallBackParams.h"
#include "engine/core/TCEffect.h"
#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCText.h"

namespace {

// A 200 x 100 widget with an effect bound to it, as a dialog from ui.xml has.
class WidgetCallbacks : public ::testing::Test {
protected:
    WidgetCallbacks()
    {
        widget.Resize(10, 20, 200, 100);
        widget.SetEffect(std::make_unique<TCEffect>("test"));
    }
    void Call(const char* name, float p, TCCallBackParams* params = nullptr)
    {
        TCControlCallback fn = FindControlCallback(name);
        ASSERT_NE(fn, nullptr) << name;
        TCCallbackRecord record;
        record.effect = widget.GetEffect();
        record.progress = p;
        record.params = params;
        EXPECT_EQ(fn(&record), 1);
    }

    TCCandyWidget widget{nullptr};
};

TEST_F(WidgetCallbacks, SlidesAndShifts)
{
    TCCallBackParams half;
    half.SetFloat("dlgslideoffset", 200.0f);
    TCCallBackParams shift;
    shift.SetFloat("startvalue", 10.0f);
    shift.SetFloat("endvalue", 30.0f);
    shift.SetFloat("maxdistfactor", 2.0f);
    struct Case {
        const char* name;
        float p;
        TCCallBackParams* params;
        Nubra::Point offset;
    };
    const Case cases[] = {
        {"DlgSlideDownAccel", 0.5f, nullptr, {0, 25}},
        {"DlgSlideDownAccel485", 0.5f, nullptr, {0, 121}},
        {"DlgSlideRightAccel", 0.5f, nullptr, {50, 0}},
        {"DlgSlideLeftAccel", 0.5f, nullptr, {-50, 0}},
        {"DlgSlideLeftAccel", 1.0f, nullptr, {-200, 0}},
        {"DlgSlideFromRightAccel", 0.0f, nullptr, {200, 0}},
        {"DlgSlideFromRightAccel", 0.5f, nullptr, {150, 0}},
        {"DlgSlideFromRightAccel", 1.0f, nullptr, {0, 0}},
        {"DlgSlideFromLeftAccel", 0.5f, nullptr, {-150, 0}},
        {"DlgSlideFromBottomAccel", 0.5f, nullptr, {0, 75}},
        {"DlgSlideFromBottomAccel485", 0.5f, nullptr, {0, 363}},
        {"DlgSlideUp20", 0.5f, nullptr, {0, -10}},
        {"DlgSlideDown20", 0.25f, nullptr, {0, -15}},
        {"DlgSlideDown20", 1.0f, nullptr, {0, 0}},
        {"DlgSlideLeftAccel400", 1.0f, nullptr, {-400, 0}},
        {"DlgSlideLeftAccel400", 0.5f, &half, {-50, 0}},
        {"DlgSlideFromLeftAccel400", 0.5f, &half, {-150, 0}},
        {"DlgSlideLeftAccel400M", 0.5f, &half, {50, 0}},
        {"DlgSlideFromLeftAccel400M", 0.5f, &half, {150, 0}},
        {"DlgShiftDown", 0.5f, nullptr, {0, 50}},
        {"DlgShiftToRight", 0.5f, &shift, {20, 0}},
        {"DlgShiftToRight", 0.5f, nullptr, {0, 0}},
        {"DlgShiftDownAccel", 0.5f, &shift, {0, 50}},
        {"DlgShiftDownAccel", 0.5f, nullptr, {0, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.p);
        widget.SetOffsetX(0);
        widget.SetOffsetY(0);
        Call(c.name, c.p, c.params);
        EXPECT_EQ(widget.GetOffset(), c.offset);
    }
}

TEST_F(WidgetCallbacks, GirlSlidesAreMeasuredOnTheGirl)
{
    Call("DlgSlideRightAccelGirl", 0.5f);
    EXPECT_EQ(widget.GetOffset(), Nubra::Point()) << "nothing to measure";

    auto* girl = new TCCandyWidget(&widget);
    girl->Resize(0, 0, 80, 40);
    widget.AddChild("girl_front", girl);
    Call("DlgSlideRightAccelGirl", 0.5f);
    EXPECT_EQ(widget.GetOffset(), Nubra::Point(20, 0));
    Call("DlgSlideFromRightAccelGirl", 0.5f);
    EXPECT_EQ(widget.GetOffset(), Nubra::Point(60, 0));
}

TEST_F(WidgetCallbacks, ScalePointRotationAndBlink)
{
    Call("DlgSetCenterScalePoint", 0.0f);
    EXPECT_EQ(widget.GetScalePoint(), Nubra::Point(100, 50));
    Call("Rotate360", 0.25f);
    EXPECT_FLOAT_EQ(widget.GetRotation(), 90.0f);

    TCCallBackParams range;
    range.SetFloat("from", 10.0f);
    range.SetFloat("to", 20.0f);
    Call("DlgSetRandomRotation", 0.0f, &range);
    EXPECT_GE(widget.GetRotation(), 10.0f);
    EXPECT_LE(widget.GetRotation(), 20.0f);

    struct Blink {
        float p, alpha;
    };
    for (const Blink& b : {Blink{0.0f, 1.0f}, Blink{0.1f, 0.5f}, Blink{0.25f, 1.0f}, Blink{0.4f, 0.5f}, Blink{0.7f, 1.0f}}) {
        Call("DlgUpgradeBtnBlink", b.p);
        EXPECT_NEAR(widget.GetAlpha(), b.alpha, 1e-5f) << b.p;
    }
}

TEST_F(WidgetCallbacks, ASparklingStarStaysOnScreen)
{
    for (int i = 0; i < 50; ++i) {
        Call("SparklingStar", 0.0f);
        const Nubra::Point at = widget.GetOffset();
        EXPECT_GE(at.x, 0);
        EXPECT_LT(at.x, 1024 - 200);
        EXPECT_GE(at.y, 0);
        EXPECT_LT(at.y, 768 - 100);
        EXPECT_EQ(widget.GetScalePoint(), Nubra::Point(at.x + 100, at.y + 50));
    }
    widget.Resize(0, 0, 1100, 900); // wider and taller than the screen
    Call("SparklingStar", 0.0f);
    EXPECT_EQ(widget.GetOffset(), Nubra::Point());
}

class TypeIn : public fixtures::UiTest {};

TEST_F(TypeIn, RevealsTheShareOfTheText)
{
    auto* text = OnScreen(new TCText(nullptr, &engine_));
    text->LoadFromXml(Xml("<element width='120' height='40' visible='1' effect='blank'/>"), &engine_);
    text->SetLabel(L"Hello world");
    Step();
    TCCallbackRecord record;
    record.effect = text->GetEffect();
    record.progress = 0.5f;
    DlgTypeIn(&record);
    EXPECT_EQ(text->GetVisibleChars(), 5);
}

} // namespace
