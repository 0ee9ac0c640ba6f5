#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"

namespace {

using Nubra::Rect;
using widgettest::Probe;
using widgettest::Take;
using Names = std::vector<std::string>;

// A screen with a focusable field, and two dialogs above it that can go modal.
struct BaseModal : ::testing::Test {
    BaseModal()
    {
        field.wantsFocus = true;
        back.AddWidget(&field);
        dialog.AddWidget(&ok);
        for (Probe* probe : {&back, &dialog, &alert})
            f.manager.AddWidget(probe);
        f.log.clear();
    }
    Nubra::WidgetManager& manager() { return f.manager; }
    // Hovers, presses and releases the field; true when it heard the press.
    bool FieldTakesAClick()
    {
        Take(f.log);
        manager().MouseDown(110, 110, 1);
        manager().MouseUp(110, 110, 1);
        const auto seen = Take(f.log);
        return std::find(seen.begin(), seen.end(), "field:down 10,10 b0 c1") != seen.end();
    }

    widgettest::ManagerFixture f;
    Probe back{"back", &f.log, Rect(0, 0, 800, 600)};
    Probe field{"field", &f.log, Rect(100, 100, 50, 50)};
    Probe dialog{"dialog", &f.log, Rect(200, 200, 200, 200)};
    Probe ok{"ok", &f.log, Rect(10, 10, 50, 20)};
    Probe alert{"alert", &f.log, Rect(500, 400, 100, 100)};
};

TEST_F(BaseModal, BeneathALayerNothingTakesInputButEverythingUpdatesAndDraws)
{
    manager().MouseDown(110, 110, 1);
    Take(f.log);
    manager().PushBaseModal(&dialog);
    EXPECT_EQ(Take(f.log), (Names{"field:leave", "field:release 10,10", "field:up 10,10 b0 c1", "field:blur"}));
    EXPECT_EQ(manager().focusWidget, nullptr);
    manager().MouseUp(110, 110, 1);
    EXPECT_EQ(Take(f.log), Names{});

    EXPECT_FALSE(FieldTakesAClick());
    manager().MouseDown(215, 215, 1);
    EXPECT_EQ(Take(f.log), (Names{"ok:enter", "ok:move 5,5", "ok:down 5,5 b0 c1"}));
    manager().MouseUp(215, 215, 1);

    f.log.clear();
    manager().UpdateFrame();
    EXPECT_EQ(Take(f.log), (Names{"back:update", "field:update", "dialog:update", "ok:update", "alert:update"}));
    manager().MarkAllDirty();
    manager().DrawScreen();
    EXPECT_EQ(Take(f.log).size(), 5u);
}

TEST_F(BaseModal, ALayersBitsReachOnlyWhatLiesBeneathIt)
{
    manager().PushBaseModal(&dialog, Nubra::FlagsMod{0, Nubra::kWidgetUpdate | Nubra::kWidgetDraw});
    manager().UpdateFrame();
    EXPECT_EQ(Take(f.log), (Names{"dialog:update", "ok:update", "alert:update"}));
    manager().MarkAllDirty();
    manager().DrawScreen();
    EXPECT_EQ(Take(f.log), (Names{"dialog:draw @200,200", "ok:draw @210,210", "alert:draw @500,400"}));
}

TEST_F(BaseModal, EndingTheLayerGivesBackInputAndTheSavedFocus)
{
    manager().SetFocus(&field);
    manager().PushBaseModal(&dialog);
    Take(f.log);
    manager().RemoveBaseModal(&alert); // no layer of its own
    manager().RemoveBaseModal(&dialog);
    EXPECT_EQ(Take(f.log), Names{"field:focus"});
    EXPECT_EQ(manager().baseModalWidget, nullptr);
    EXPECT_TRUE(FieldTakesAClick());
}

TEST_F(BaseModal, LayersOfWidgetsThatLeftTheTreeUnwind)
{
    manager().PushBaseModal(&dialog);
    manager().PushBaseModal(&alert);
    manager().RemoveWidget(&alert);
    EXPECT_EQ(manager().baseModalWidget, &dialog);
    manager().RemoveBaseModal(&dialog);
    EXPECT_TRUE(manager().baseModalStack.empty());
    EXPECT_TRUE(FieldTakesAClick());

    // The older one gone first: ending the newer layer ends the dead one beneath it too.
    manager().AddWidget(&alert);
    manager().PushBaseModal(&dialog);
    manager().PushBaseModal(&alert);
    manager().RemoveWidget(&dialog);
    EXPECT_EQ(manager().baseModalWidget, &alert);
    manager().RemoveBaseModal(&alert);
    EXPECT_TRUE(manager().baseModalStack.empty());
    EXPECT_EQ(manager().baseModalWidget, nullptr);
    EXPECT_TRUE(FieldTakesAClick());
}

TEST_F(BaseModal, HidingAnOlderModalFirstDoesNotLeaveInputBlocked)
{
    manager().SetFocus(&field);
    manager().PushBaseModal(&dialog);
    manager().PushBaseModal(&alert);
    manager().RemoveBaseModal(&dialog); // the older dialog hides first
    EXPECT_EQ(manager().baseModalWidget, &alert);
    EXPECT_FALSE(FieldTakesAClick());
    manager().RemoveBaseModal(&alert);
    EXPECT_EQ(manager().baseModalWidget, nullptr);
    EXPECT_TRUE(manager().baseModalStack.empty());
    EXPECT_EQ(manager().focusWidget, &field);
    EXPECT_TRUE(FieldTakesAClick());
}

} // namespace
