#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "../graphics/TestDoubles.h"
#include "WidgetTestSupport.h"
#include "framework/app/NubraAppBase.h"

namespace {

using Nubra::Color;
using Nubra::Rect;
using widgettest::Log;
using widgettest::Probe;
using Names = std::vector<std::string>;

TEST(Widget, ClickCountsMapOntoButtons)
{
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "0 c1"}, {2, "0 c2"}, {3, "2 c1"}, {-1, "1 c1"}, {-2, "1 c2"},
    };
    for (const auto& [clicks, expected] : cases) {
        Log log;
        Probe probe("p", &log);
        probe.MouseDown(4, 5, clicks);
        probe.MouseUp(4, 5, clicks);
        EXPECT_EQ(log, (Names{"p:down 4,5 b" + expected, "p:release 4,5", "p:up 4,5 b" + expected})) << clicks;
    }
}

TEST(Widget, ColoursBeyondTheTableReadAsOpaqueBlack)
{
    Log log;
    Probe probe("p", &log);
    EXPECT_EQ(probe.GetColor(0), Color(0, 0, 0, 255));
    EXPECT_EQ(probe.GetColor(-1, Color(1, 2, 3, 4)), Color(1, 2, 3, 4));
    probe.SetColor(2, Color(10, 20, 30, 40));
    EXPECT_EQ(probe.colors.size(), 3u);
    EXPECT_EQ(probe.GetColor(1), Color(0, 0, 0, 255));
    EXPECT_EQ(probe.GetColor(2), Color(10, 20, 30, 40));
    EXPECT_EQ(probe.GetColor(3, Color(9, 9, 9)), Color(9, 9, 9));

    const int opaque[][3] = {{1, 2, 3}};
    probe.SetColors(opaque, 1);
    EXPECT_EQ(probe.colors, std::vector<Color>{Color(1, 2, 3, 255)});
    const int translucent[][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    probe.SetColors(translucent, 2);
    EXPECT_EQ(probe.colors, (std::vector<Color>{Color(1, 2, 3, 4), Color(5, 6, 7, 8)}));
}

TEST(Widget, TabFollowsTheChainAndShiftTabGoesBack)
{
    widgettest::ManagerFixture f;
    Probe first("first", &f.log), second("second", &f.log), third("third", &f.log);
    for (Probe* probe : {&first, &second, &third})
        f.manager.AddWidget(probe);
    first.tabNext = &second;
    second.tabPrev = &first;
    second.tabNext = &third;
    f.manager.SetFocus(&first);
    f.manager.KeyDown(9);
    EXPECT_EQ(f.manager.focusWidget, &second);
    f.manager.KeyUp(9);
    f.manager.KeyDown(16);
    f.manager.KeyDown(9);
    EXPECT_EQ(f.manager.focusWidget, &first);
    // No previous link: the focus stays.
    f.manager.KeyDown(9);
    EXPECT_EQ(f.manager.focusWidget, &first);
}

struct TextHelpers : ::testing::Test {
    TextHelpers()
    {
        g.SetFont(&font);
        widget.width = 100;
    }
    NubraTest::SpyImage screen{200, 100};
    NubraTest::FixedWidthFont font{10};
    Nubra::Graphics g{&screen};
    Log log;
    Probe widget{"w", &log};
};

TEST_F(TextHelpers, ACentredLineWithAShadowCoversBoth)
{
    const Rect written = widget.WriteCenteredLine(&g, 20, L"abcd", Color(255, 255, 255), Color(0, 0, 0, 128),
                                                  Nubra::Point(2, -3));
    ASSERT_EQ(font.draws.size(), 2u);
    EXPECT_EQ(font.draws[0].x, 32);
    EXPECT_EQ(font.draws[0].y, 17);
    EXPECT_EQ(font.draws[0].color, Color(0, 0, 0, 128).ToInt());
    EXPECT_EQ(font.draws[1].x, 30);
    EXPECT_EQ(font.draws[1].y, 20);
    EXPECT_EQ(font.draws[1].color, Color(255, 255, 255).ToInt());
    EXPECT_EQ(written, Rect(30, 20 - 3 - 8, 42, 15));
    EXPECT_EQ(widget.WriteCenteredLine(&g, 20, L"abcdef"), Rect(20, 12, 60, 12));
}

TEST_F(TextHelpers, WrittenTextFollowsTheHelpersColourEscapeSetting)
{
    Nubra::Widget::writeColoredString = false;
    const int width = widget.WriteString(&g, L"^FF0000^ab", 0, 10);
    Nubra::Widget::writeColoredString = true;
    EXPECT_EQ(width, 100); // the escape is written as text
    EXPECT_TRUE(g.writeColoredString);
    EXPECT_EQ(widget.WriteString(&g, L"^FF0000^ab", 0, 10), 20);
    EXPECT_EQ(widget.DrawStringWordWrapped(&g, 100, L"one two three"), g.GetWordWrappedHeight(100, L"one two three"));
}

TEST_F(TextHelpers, DigitCounts)
{
    const std::vector<std::pair<int, int>> cases = {{0, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {INT_MAX, 10}, {-5, 1}};
    for (const auto& [number, digits] : cases)
        EXPECT_EQ(widget.GetNumDigits(number), digits) << number;
}

TEST_F(TextHelpers, NumbersFromAStripShowOneCellPerDigit)
{
    NubraTest::SpyImage strip(100, 20); // digits 10 pixels wide
    const auto cellsOf = [&](int number) {
        screen.calls.clear();
        widget.WriteNumberFromStrip(&g, number, 50, 5, &strip, 2);
        return screen.calls;
    };
    const std::string image = Nubra::StrFormat("%p", (void*)&strip);
    const auto cell = [&](int x, int digit) {
        return Nubra::StrFormat("Blt %s %d,5 %d,0,10,20 ffffffff 0", image.c_str(), x, digit * 10);
    };
    EXPECT_EQ(cellsOf(0), Names{cell(50, 0)});
    EXPECT_EQ(cellsOf(100), (Names{cell(50, 1), cell(62, 0), cell(74, 0)}));
    // The strip has no minus: a negative number shows its digits, never a cell left of 0.
    EXPECT_EQ(cellsOf(-27), (Names{cell(50, 2), cell(62, 7)}));
    EXPECT_EQ(cellsOf(INT_MIN).size(), 10u);
}

struct OverlayApp : Nubra::NubraAppBase {
    void DrawOverlay(Nubra::Graphics* g) override { overlays.push_back(Nubra::StrFormat("@%g,%g", g->transX, g->transY)); }
    Names overlays;
};

TEST(WidgetWithApplication, TheHandCursorShowsWhileTheMouseIsOver)
{
    OverlayApp app;
    Log log;
    Probe link("link", &log, Rect(10, 10, 50, 50)), plain("plain", &log, Rect(100, 10, 50, 50));
    link.handCursor = true;
    app.widgetManager->AddWidget(&link);
    app.widgetManager->AddWidget(&plain);
    app.widgetManager->MouseMove(20, 20);
    EXPECT_EQ(app.cursorNumber, 1);
    app.widgetManager->MouseMove(110, 20);
    EXPECT_EQ(app.cursorNumber, 0);
    app.cursorNumber = 7;
    app.widgetManager->MouseMove(120, 20);
    EXPECT_EQ(app.cursorNumber, 7);
}

TEST(WidgetWithApplication, TheApplicationsOverlayIsDrawnOverChangedScreens)
{
    OverlayApp app;
    Log log;
    Probe probe("p", &log, Rect(0, 0, 10, 10));
    app.widgetManager->SetScreenRects(Rect(16, 8, 800, 600), Rect(0, 0, 832, 616));
    app.widgetManager->AddWidget(&probe);
    EXPECT_TRUE(app.widgetManager->DrawScreen(&app));
    EXPECT_EQ(app.overlays, Names{"@-16,-8"});
    EXPECT_FALSE(app.widgetManager->DrawScreen(&app));
    EXPECT_EQ(app.overlays.size(), 1u);
}

} // namespace
