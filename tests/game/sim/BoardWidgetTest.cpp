#include <gtest/gtest.h>

#include "BoardFixtures.h"
#include "framework/widgets/WidgetContainer.h"
#include "game/sim/TCBoard_Game.h"

namespace {

using namespace simtest;

// The board's parent, noting which widget it gives the keyboard to.
class FocusParent : public Nubra::WidgetContainer {
public:
    void SetFocus(Nubra::Widget* widget) override { focus = widget; }
    Nubra::Widget* focus = reinterpret_cast<Nubra::Widget*>(1);
};

class BoardWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core_.SetScene(&scene_);
        levels_.WriteLevel("l001.xml", "<level/>");
        core_.StartLevelLoad(1, false);
        parent_.AddWidget(&widget_);
    }
    void TearDown() override { parent_.RemoveWidget(&widget_); }

    ClockGuard clock_;
    LevelFolder levels_;
    Trace trace_;
    TCHeadlessBoardHost host_;
    FakeScene scene_{trace_};
    RecordingBoard core_{host_, trace_};
    FocusParent parent_;
    TCBoard_Game widget_{nullptr, core_};
};

TEST_F(BoardWidgetTest, TheLevelStepsOnlyWhileTheWidgetIsShown)
{
    widget_.Update();
    EXPECT_EQ(core_.GetLevelTime(), 0.0f) << "a board starts hidden";
    widget_.Show();
    EXPECT_EQ(parent_.focus, &widget_);
    widget_.Update();
    EXPECT_FLOAT_EQ(core_.GetLevelTime(), 0.01f);
    widget_.Hide();
    EXPECT_EQ(parent_.focus, nullptr);
    widget_.Update();
    EXPECT_FLOAT_EQ(core_.GetLevelTime(), 0.01f);
}

TEST_F(BoardWidgetTest, TheMouseReachesTheObjects)
{
    FakeItem& item = scene_.Add("table", {100, 100, 50, 50});
    widget_.Show();
    widget_.MouseMove(120, 120);
    EXPECT_EQ(core_.GetHoveredItem(), &item);
    widget_.MouseDown(120, 120, 0, 1);
    trace_.clear();
    widget_.Update();
    EXPECT_NE(std::find(trace_.begin(), trace_.end(), "action table"), trace_.end());
}

} // namespace
