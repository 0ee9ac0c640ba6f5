#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../graphics/TestDoubles.h"
#include "WidgetTestSupport.h"

namespace {

using Nubra::Rect;
using widgettest::Probe;
using widgettest::Take;
using Names = std::vector<std::string>;

// Widgets drawing into an 800 x 600 screen that sits at (16, 8) of the manager's area.
struct ScreenDraw : ::testing::Test {
    ScreenDraw()
    {
        f.manager.screenImage = &screen;
        f.manager.SetScreenRects(Rect(16, 8, 800, 600), Rect(0, 0, 832, 616));
    }
    void AddAll(std::initializer_list<Probe*> probes)
    {
        for (Probe* probe : probes)
            f.manager.AddWidget(probe);
        f.Settle();
    }

    NubraTest::SpyImage screen{832, 616};
    widgettest::ManagerFixture f;
};

TEST_F(ScreenDraw, OnlyDirtyTopLevelWidgetsAreDrawnWithTheirChildren)
{
    Probe a("a", &f.log, Rect(10, 20, 100, 100)), child("child", &f.log, Rect(5, 5, 10, 10));
    Probe b("b", &f.log, Rect(300, 300, 50, 50)), hidden("hidden", &f.log, Rect(500, 0, 50, 50));
    a.AddWidget(&child);
    AddAll({&a, &b, &hidden});

    child.MarkDirty();
    EXPECT_TRUE(a.dirty);
    EXPECT_TRUE(f.manager.DrawScreen());
    EXPECT_EQ(Take(f.log), (Names{"a:draw @-6,12", "child:draw @-1,17"}));
    EXPECT_FALSE(a.dirty || child.dirty || f.manager.dirty);

    EXPECT_FALSE(f.manager.DrawScreen());
    hidden.SetVisible(false);
    EXPECT_FALSE(f.manager.DrawScreen());
    EXPECT_EQ(Take(f.log), Names{});
}

TEST_F(ScreenDraw, WidgetsDrawClippedToThemselvesWithSoftwareStretching)
{
    Probe clipped("clipped", &f.log, Rect(30, 20, 30, 40)), loose("loose", &f.log, Rect(100, 100, 10, 10));
    loose.clip = false;
    std::vector<std::string> seen;
    const auto note = [&seen](Nubra::Graphics* g) {
        seen.push_back(NubraTest::Str(g->GetClipRect()) + (g->fastStretch ? " fast" : "") +
                       (g->linearBlend ? " linear" : ""));
    };
    AddAll({&clipped, &loose});
    clipped.onDraw = note;
    loose.onDraw = note;
    f.manager.MarkAllDirty();
    f.manager.DrawScreen();
    EXPECT_EQ(seen, (Names{"14,12,30,40 fast", "0,0,832,616 fast"}));
}

TEST_F(ScreenDraw, DeferredOverlaysLieBeneathWidgetsOfHigherPriority)
{
    Probe low("low", &f.log, Rect(0, 0, 10, 10)), mid("mid", &f.log, Rect(20, 0, 10, 10));
    Probe high("high", &f.log, Rect(40, 0, 10, 10)), marker("marker", &f.log, Rect(3, 4, 1, 1));
    Probe gone("gone", &f.log, Rect(60, 0, 10, 10));
    mid.priority = 5;
    high.priority = 10;
    low.AddWidget(&marker);
    AddAll({&low, &mid, &high, &gone});
    low.onDraw = [&](Nubra::Graphics*) {
        f.manager.DeferOverlay(&marker, 7);
        f.manager.DeferOverlay(&marker, 3);
        f.manager.DeferOverlay(&gone, 4);
        f.manager.DeferOverlay(&marker, 20);
        f.manager.RemoveWidget(&gone); // leaves before its overlay is due
    };
    f.manager.MarkAllDirty();
    f.manager.DrawScreen();
    EXPECT_EQ(Take(f.log), (Names{"low:draw @-16,-8", "marker:draw @-13,-4", "marker:overlay 3 @-13,-4",
                                  "mid:draw @4,-8", "marker:overlay 7 @-13,-4", "high:draw @24,-8",
                                  "marker:overlay 20 @-13,-4"}));
    EXPECT_TRUE(f.manager.deferredOverlays.empty());
    EXPECT_EQ(f.manager.lowestPendingOverlay, Nubra::WidgetManager::kNoPendingOverlay);
    EXPECT_EQ(f.manager.currentGraphics, nullptr);
}

} // namespace
