#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"

namespace {

using Nubra::Rect;
using widgettest::Log;
using widgettest::Probe;
using widgettest::Take;
using Names = std::vector<std::string>;

// A panel at (100, 100) holding a button at (10, 10) within it, beside a lone widget.
struct Input : ::testing::Test {
    Input()
    {
        panel.AddWidget(&button);
        f.manager.AddWidget(&panel);
        f.manager.AddWidget(&lone);
        f.log.clear();
    }
    Nubra::WidgetManager& manager() { return f.manager; }

    widgettest::ManagerFixture f;
    Probe panel{"panel", &f.log, Rect(100, 100, 200, 200)};
    Probe button{"button", &f.log, Rect(10, 10, 50, 50)};
    Probe lone{"lone", &f.log, Rect(400, 100, 50, 50)};
};

TEST_F(Input, HoverEntersMovesAndLeavesInLocalCoordinates)
{
    manager().MouseMove(115, 120);
    EXPECT_EQ(Take(f.log), (Names{"button:enter", "button:move 5,10"}));
    manager().MouseMove(115, 120);
    EXPECT_EQ(Take(f.log), Names{});
    manager().MouseMove(116, 120);
    EXPECT_EQ(Take(f.log), Names{"button:move 6,10"});
    manager().MouseMove(105, 105);
    EXPECT_EQ(Take(f.log), (Names{"button:leave", "panel:enter", "panel:move 5,5"}));
    EXPECT_TRUE(panel.isOver);
    EXPECT_FALSE(button.isOver);
    manager().MouseExit(0, 0);
    EXPECT_EQ(Take(f.log), Names{"panel:leave"});
    EXPECT_FALSE(manager().mouseIn);
}

TEST_F(Input, APressDragsAndReleasesWithTheWidgetsOwnCoordinates)
{
    manager().MouseDown(115, 120, 1);
    EXPECT_EQ(Take(f.log), (Names{"button:enter", "button:move 5,10", "button:down 5,10 b0 c1"}));
    EXPECT_TRUE(button.isDown);
    manager().MouseMove(420, 110); // over the lone widget: still the button's drag
    EXPECT_EQ(Take(f.log), (Names{"button:drag 310,0", "button:leave"}));
    manager().MouseMove(130, 130);
    EXPECT_EQ(Take(f.log), (Names{"button:drag 20,20", "button:enter"}));
    manager().MouseUp(420, 110, 1);
    // The nested button hears its release relative to itself, not to the panel.
    EXPECT_EQ(Take(f.log), (Names{"button:release 310,0", "button:up 310,0 b0 c1", "button:leave", "lone:enter",
                                  "lone:move 20,10"}));
    EXPECT_FALSE(button.isDown);
    EXPECT_EQ(manager().pressedWidget, nullptr);
}

TEST_F(Input, ASecondButtonGoesToTheFirstPressedWidgetUntilBothAreUp)
{
    manager().MouseDown(115, 120, 1);
    Take(f.log);
    manager().MouseDown(420, 110, -1);
    manager().MouseUp(420, 110, -1);
    // The hover follows the pointer; the press stays with the button, in its own coordinates.
    EXPECT_EQ(Take(f.log), (Names{"button:leave", "lone:enter", "lone:move 20,10", "button:down 310,0 b1 c1",
                                  "button:release 310,0", "button:up 310,0 b1 c1"}));
    EXPECT_EQ(manager().pressedWidget, &button);
    EXPECT_TRUE(button.isDown);
    manager().MouseUp(420, 110, 1);
    EXPECT_EQ(Take(f.log), (Names{"button:release 310,0", "button:up 310,0 b0 c1"}));
    EXPECT_EQ(manager().pressedWidget, nullptr);
    EXPECT_FALSE(button.isDown);
    EXPECT_EQ(manager().heldButtonMask, 0u);
    EXPECT_EQ(manager().lastDownButton, -1);
}

TEST_F(Input, APressOnNothingDoesNotHoldUpHoverTracking)
{
    manager().MouseDown(10, 10, 1);
    manager().MouseMove(410, 110);
    EXPECT_EQ(Take(f.log), (Names{"lone:enter", "lone:move 10,10"}));
    manager().MouseUp(410, 110, 1);
    EXPECT_EQ(manager().heldButtonMask, 0u);
}

TEST_F(Input, APressOutsideThePopupRemovesItFirst)
{
    Probe popup("popup", &f.log, Rect(380, 90, 100, 100)); // over the lone widget
    manager().AddWidget(&popup);
    manager().popupWidget = &popup;
    manager().MouseDown(250, 250, 1);
    EXPECT_FALSE(manager().HasWidget(&popup));
    EXPECT_EQ(manager().popupWidget, nullptr);
    EXPECT_EQ(manager().pressedWidget, &panel);
    manager().MouseUp(250, 250, 1);

    manager().AddWidget(&popup);
    manager().popupWidget = &popup;
    manager().MouseDown(420, 110, 1); // inside: the popup stays and takes the press
    EXPECT_EQ(manager().pressedWidget, &popup);
    EXPECT_EQ(manager().popupWidget, &popup);
    manager().MouseUp(420, 110, 1);
}

TEST_F(Input, APressGivesTheFocusOnlyToWidgetsThatWantIt)
{
    manager().MouseDown(150, 150, 1);
    manager().MouseUp(150, 150, 1);
    EXPECT_EQ(manager().focusWidget, nullptr);
    lone.wantsFocus = true;
    manager().MouseDown(410, 110, 1);
    EXPECT_EQ(manager().focusWidget, &lone);
    EXPECT_TRUE(lone.hasFocus);
}

TEST_F(Input, KeysGoToTheFocusAndOnlyLowCodesAreTracked)
{
    manager().KeyDown(65);
    EXPECT_TRUE(manager().IsKeyDown(65));
    manager().SetFocus(&lone);
    Take(f.log);
    manager().KeyDown(300);
    manager().KeyUp(300);
    manager().KeyChar(u'x');
    manager().MouseWheel(-2);
    EXPECT_EQ(Take(f.log), (Names{"lone:keydown 300", "lone:keyup 300", "lone:char 120", "lone:wheel -2"}));
    EXPECT_FALSE(manager().IsKeyDown(300));
    EXPECT_FALSE(manager().IsKeyDown(-1));
}

TEST_F(Input, LosingTheApplicationFocusReleasesHeldKeys)
{
    manager().SetFocus(&lone);
    manager().KeyDown(16);
    manager().KeyDown(65);
    manager().MouseDown(500, 500, 1);
    Take(f.log);
    manager().LostFocus();
    EXPECT_EQ(Take(f.log), (Names{"lone:keyup 16", "lone:keyup 65", "lone:blur"}));
    EXPECT_FALSE(manager().IsKeyDown(65));
    EXPECT_EQ(manager().heldButtonMask, 0u);
    manager().LostFocus();
    EXPECT_EQ(Take(f.log), Names{});
    manager().GotFocus();
    EXPECT_EQ(Take(f.log), Names{"lone:focus"});
}

TEST_F(Input, WithoutTheApplicationFocusWidgetsGetTheLostFocusFlags)
{
    manager().lostFocusMod.removeFlags = Nubra::kWidgetAllowMouse;
    manager().LostFocus();
    EXPECT_EQ(manager().GetWidgetFlags(), 61u & ~uint32_t(Nubra::kWidgetAllowMouse));
    EXPECT_EQ(manager().GetWidgetAt(410, 110), nullptr);
    manager().GotFocus();
    EXPECT_EQ(manager().GetWidgetFlags(), 61u);
    EXPECT_EQ(manager().GetWidgetAt(410, 110), &lone);
}

TEST_F(Input, CtrlTabGoesToTheDefaultTabWidgetAndItsReleaseIsSwallowed)
{
    manager().SetFocus(&lone);
    manager().defaultTabWidget = &panel;
    Take(f.log);
    manager().KeyDown(17);
    manager().KeyChar(9);
    manager().KeyUp(9);
    manager().KeyUp(17);
    manager().KeyChar(9);
    EXPECT_EQ(Take(f.log), (Names{"lone:keydown 17", "panel:char 9", "lone:keyup 17", "lone:char 9"}));
}

TEST_F(Input, FocusStaysWithinTheManagersTree)
{
    Nubra::WidgetManager other(nullptr);
    Probe foreign("foreign", &f.log), loose("loose", &f.log);
    other.AddWidget(&foreign);
    manager().SetFocus(&lone);
    manager().SetFocus(&foreign);
    EXPECT_EQ(manager().focusWidget, nullptr);
    EXPECT_FALSE(lone.hasFocus);
    manager().SetFocus(&lone);
    manager().SetFocus(&loose);
    EXPECT_EQ(manager().focusWidget, nullptr);
    EXPECT_FALSE(foreign.hasFocus || loose.hasFocus);
}

TEST_F(Input, DisablingDropsHoverPressAndFocusAndEnablingEntersAtOnce)
{
    lone.wantsFocus = true;
    manager().MouseDown(410, 110, 1);
    Take(f.log);
    lone.SetDisabled(true);
    EXPECT_EQ(Take(f.log), (Names{"lone:leave", "lone:release 10,10", "lone:up 10,10 b0 c1", "lone:blur"}));
    EXPECT_EQ(manager().hoveredWidget, nullptr);
    EXPECT_EQ(manager().pressedWidget, nullptr);
    EXPECT_EQ(manager().focusWidget, nullptr);
    EXPECT_TRUE(lone.dirty);
    manager().MouseUp(410, 110, 1);
    manager().MouseMove(411, 110);
    EXPECT_EQ(Take(f.log), Names{});
    lone.SetDisabled(false);
    EXPECT_EQ(Take(f.log), (Names{"lone:enter", "lone:move 11,10"}));
}

TEST_F(Input, ReleasingAllButtonsUsesTheLastPosition)
{
    manager().MouseDown(115, 120, 1);
    manager().MouseDown(115, 120, 3);
    manager().MouseDrag(130, 125);
    Take(f.log);
    manager().ReleaseAllButtons();
    EXPECT_EQ(Take(f.log), (Names{"button:release 20,15", "button:up 20,15 b0 c1", "button:release 20,15",
                                  "button:up 20,15 b2 c1"}));
    EXPECT_EQ(manager().pressedWidget, nullptr);
    EXPECT_FALSE(button.isDown);
}

TEST_F(Input, ShowingHidingAndMovingReEvaluateTheHover)
{
    manager().MouseMove(410, 110);
    Take(f.log);
    lone.SetVisible(false);
    EXPECT_EQ(Take(f.log), Names{"lone:leave"});
    lone.SetVisible(true);
    EXPECT_EQ(Take(f.log), (Names{"lone:enter", "lone:move 10,10"}));
    lone.Move(500, 100);
    EXPECT_EQ(Take(f.log), Names{"lone:leave"});
}

TEST(WidgetManager, MousePositionsMapFromTheWindowToTheScreen)
{
    Nubra::WidgetManager manager(nullptr);
    int x = 123, y = 45;
    manager.MapMousePosition(x, y); // no rectangles yet
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    manager.SetScreenRects(Rect(16, 8, 800, 600), Rect(0, 0, 1600, 1200));
    EXPECT_EQ(manager.width, 832);
    EXPECT_EQ(manager.height, 616);
    x = 801;
    y = -3;
    manager.MapMousePosition(x, y);
    EXPECT_EQ(x, 400 + 16);
    EXPECT_EQ(y, -1 + 8); // truncated toward zero
}

// The hit test over: low (0,0)-(200,200), then a box over it with "under" (0,0)-(50,50) and, above
// that, a "ghost" (0,0)-(100,100) that lets the mouse through.
struct HitTest : ::testing::Test {
    HitTest()
    {
        ghost.pointVisible = false;
        box.AddWidget(&under);
        box.AddWidget(&ghost);
        f.manager.AddWidget(&low);
        f.manager.AddWidget(&box);
    }
    std::string At(int x, int y)
    {
        int localX = -1, localY = -1;
        const auto* hit = static_cast<const Probe*>(f.manager.GetWidgetAt(x, y, &localX, &localY));
        return hit ? Nubra::StrFormat("%s %d,%d", hit->name.c_str(), localX, localY) : "none";
    }

    widgettest::ManagerFixture f;
    Probe low{"low", &f.log, Rect(0, 0, 200, 200)};
    Probe box{"box", &f.log, Rect(0, 0, 200, 200)};
    Probe under{"under", &f.log, Rect(0, 0, 50, 50)};
    Probe ghost{"ghost", &f.log, Rect(0, 0, 100, 100)};
};

TEST_F(HitTest, AWidgetThatLetsThePointThroughLeavesOnlyItsLowerSiblings)
{
    EXPECT_EQ(At(10, 20), "under 10,20");
    EXPECT_EQ(At(60, 60), "none"); // neither the box above nor low beneath
    EXPECT_EQ(At(150, 150), "box 150,150");
    EXPECT_EQ(At(250, 250), "none");
}

TEST_F(HitTest, DisabledHiddenAndMouselessWidgets)
{
    under.SetDisabled(true);
    EXPECT_EQ(At(10, 20), "none");
    under.SetDisabled(false);

    box.mouseVisible = false; // skipped itself, its children still searched
    EXPECT_EQ(At(10, 20), "under 10,20");
    EXPECT_EQ(At(150, 150), "low 150,150");

    box.widgetFlagsMod.removeFlags = Nubra::kWidgetAllowMouse; // the whole subtree
    EXPECT_EQ(At(10, 20), "low 10,20");
    box.widgetFlagsMod = {};
    box.SetVisible(false);
    EXPECT_EQ(At(10, 20), "low 10,20");
}

TEST_F(HitTest, InsetsShrinkTheTarget)
{
    box.mouseVisible = true;
    box.insets = {0, 0, 20, 20};
    EXPECT_EQ(At(185, 185), "low 185,185");
    EXPECT_EQ(At(175, 175), "box 175,175");
}

// A widget deleted while the manager still points at it in every way it can.
TEST(WidgetManager, DeletingAWidgetInUseLeavesNoDanglingPointer)
{
    widgettest::ManagerFixture f;
    Probe modal("modal", &f.log, Rect(0, 0, 800, 600));
    auto doomed = std::make_unique<Probe>("doomed", &f.log, Rect(10, 10, 50, 50));
    Probe child("child", &f.log, Rect(0, 0, 10, 10));
    doomed->AddWidget(&child);
    doomed->wantsFocus = true;
    f.manager.AddWidget(&modal);
    f.manager.AddWidget(doomed.get());
    f.manager.AddBaseModal(&modal);
    f.manager.AddBaseModal(doomed.get());
    f.manager.MouseDown(30, 30, 1);
    f.manager.AddBaseModal(&child, Nubra::FlagsMod{}); // saves doomed as base-modal and focus
    f.manager.defaultTabWidget = doomed.get();
    f.manager.popupWidget = doomed.get();
    f.manager.DeferOverlay(doomed.get(), 5);
    ASSERT_EQ(f.manager.hoveredWidget, doomed.get());
    ASSERT_EQ(f.manager.pressedWidget, doomed.get());
    ASSERT_EQ(f.manager.focusWidget, doomed.get());
    ASSERT_EQ(f.manager.baseModalStack.size(), 3u);

    doomed.reset();
    EXPECT_EQ(f.manager.hoveredWidget, nullptr);
    EXPECT_EQ(f.manager.pressedWidget, nullptr);
    EXPECT_EQ(f.manager.focusWidget, nullptr);
    EXPECT_EQ(f.manager.popupWidget, nullptr);
    EXPECT_EQ(f.manager.defaultTabWidget, nullptr);
    EXPECT_EQ(f.manager.deferredOverlays[0].first, nullptr);
    EXPECT_EQ(child.manager, nullptr);
    // The layers of the deleted widget and its child ended; the oldest one is back.
    ASSERT_EQ(f.manager.baseModalStack.size(), 1u);
    EXPECT_EQ(f.manager.baseModalStack.front().widget, &modal);
    EXPECT_EQ(f.manager.baseModalWidget, &modal);

    // Input after the deletion touches nothing freed.
    f.manager.RemoveBaseModal(&modal);
    f.manager.MouseMove(20, 20);
    f.manager.MouseUp(20, 20, 1);
    f.manager.KeyDown(17);
    f.manager.KeyChar(9);
    f.manager.DrawScreen();
}

} // namespace
