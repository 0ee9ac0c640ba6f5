#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"

namespace {

using Nubra::Rect;
using widgettest::Log;
using widgettest::Order;
using widgettest::Probe;
using Names = std::vector<std::string>;

struct ZOrderCase {
    const char* what;
    std::function<void(Nubra::WidgetContainer&, Probe& a, Probe& b, Probe& c, Probe& d)> reorder;
    Names expected;
};

TEST(WidgetTree, ReorderingKeepsZOrderAndMovesOnlyAmongEquals)
{
    using C = Nubra::WidgetContainer;
    const std::vector<ZOrderCase> cases = {
        {"later equals go above, higher z above all", [](C&, Probe&, Probe&, Probe&, Probe&) {}, {"a", "b", "d", "c"}},
        {"to the back, below its equals", [](C& p, Probe&, Probe&, Probe&, Probe& d) { p.BringToBack(&d); },
         {"d", "a", "b", "c"}},
        {"to the back, never below a lower z", [](C& p, Probe&, Probe&, Probe& c, Probe&) { p.BringToBack(&c); },
         {"a", "b", "d", "c"}},
        {"to the front, above its equals", [](C& p, Probe& a, Probe&, Probe&, Probe&) { p.BringToFront(&a); },
         {"b", "d", "a", "c"}},
        {"behind an equal", [](C& p, Probe& a, Probe&, Probe&, Probe& d) { p.PutBehind(&d, &a); },
         {"d", "a", "b", "c"}},
        {"in front of an equal", [](C& p, Probe& a, Probe& b, Probe&, Probe&) { p.PutInFront(&a, &b); },
         {"b", "a", "d", "c"}},
        {"in front of a higher z stays in its run", [](C& p, Probe& a, Probe&, Probe& c, Probe&) { p.PutInFront(&a, &c); },
         {"b", "d", "a", "c"}},
        {"behind a lower z stays in its run", [](C& p, Probe& a, Probe&, Probe& c, Probe&) { p.PutBehind(&c, &a); },
         {"a", "b", "d", "c"}},
    };
    for (const ZOrderCase& test : cases) {
        SCOPED_TRACE(test.what);
        Log log;
        Probe parent("parent", &log), a("a", &log), b("b", &log), c("c", &log), d("d", &log);
        c.zOrder = 1;
        for (Probe* child : {&a, &b, &c, &d})
            parent.AddWidget(child);
        test.reorder(parent, a, b, c, d);
        EXPECT_EQ(Order(parent), test.expected);
    }
}

TEST(WidgetTree, AReorderedWidgetIsToldAndAStrangerIsLeftAlone)
{
    Log log;
    Probe parent("parent", &log), a("a", &log), b("b", &log), stranger("stranger", &log);
    parent.AddWidget(&a);
    parent.AddWidget(&b);
    parent.BringToBack(&b);
    EXPECT_EQ(log, Names{"b:order"});
    parent.BringToFront(&stranger);
    parent.PutInFront(&a, &stranger);
    EXPECT_EQ(Order(parent), (Names{"b", "a"}));
    EXPECT_EQ(log, Names{"b:order"});
}

TEST(WidgetTree, AddingTwiceLeavesOneEntryAndMarksNothingTwice)
{
    widgettest::ManagerFixture f;
    Probe a("a", &f.log, Rect(0, 0, 10, 10));
    f.manager.AddWidget(&a);
    EXPECT_TRUE(a.dirty);
    f.Settle();
    f.manager.AddWidget(&a);
    EXPECT_EQ(f.manager.children.size(), 1u);
    EXPECT_FALSE(a.dirty);
    EXPECT_FALSE(f.manager.dirty);
}

TEST(WidgetTree, AWidgetAddedElsewhereLeavesItsFormerParent)
{
    Log log;
    Probe first("first", &log), second("second", &log), child("child", &log);
    first.AddWidget(&child);
    second.AddWidget(&child);
    EXPECT_TRUE(first.children.empty());
    EXPECT_EQ(child.parent, &second);
}

struct UpdateWalk : ::testing::Test {
    UpdateWalk()
    {
        for (Probe* probe : {&a, &b, &c})
            f.manager.AddWidget(probe);
        f.log.clear();
    }
    widgettest::ManagerFixture f;
    Probe a{"a", &f.log}, b{"b", &f.log}, c{"c", &f.log};
};

TEST_F(UpdateWalk, RemovingTheNextSiblingNeitherSkipsNorRepeats)
{
    a.onUpdate = [&] { f.manager.RemoveWidget(&b); };
    f.manager.UpdateFrame();
    EXPECT_EQ(f.log, (Names{"a:update", "c:update"}));
}

TEST_F(UpdateWalk, BringingTheNextSiblingToTheFrontVisitsItOnce)
{
    a.onUpdate = [&] { f.manager.BringToFront(&b); };
    f.manager.UpdateFrame();
    EXPECT_EQ(f.log, (Names{"a:update", "b:order", "c:update", "b:update"}));
}

TEST_F(UpdateWalk, AWidgetThatLeavesAndComesBackUpdatesOncePerStep)
{
    a.onUpdate = [&] {
        f.manager.RemoveWidget(&a);
        f.manager.AddWidget(&a);
    };
    f.manager.UpdateFrame();
    EXPECT_EQ(f.log, (Names{"a:update", "b:update", "c:update"}));
}

TEST_F(UpdateWalk, AFractionalStepNeverAdvancesTheUpdateCount)
{
    f.manager.UpdateFrame();
    f.manager.UpdateFrameF(0.5f);
    f.manager.UpdateFrame();
    EXPECT_EQ(f.manager.updateCount, 2u);
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "a:update"), 2);
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "a:updateF"), 1);
}

TEST(WidgetTree, IntersectingNeedsSharedArea)
{
    Log log;
    Probe base("base", &log, Rect(0, 0, 10, 10));
    const std::vector<std::pair<Rect, bool>> cases = {
        {Rect(10, 0, 10, 10), false}, // touching on the right
        {Rect(0, 10, 10, 10), false}, // touching below
        {Rect(9, 9, 5, 5), true},     // one pixel shared
        {Rect(-5, -5, 30, 30), true}, // around it
        {Rect(5, 5, 0, 3), false},    // empty
    };
    for (const auto& [rect, expected] : cases) {
        Probe other("other", &log, rect);
        EXPECT_EQ(base.Intersects(&other), expected) << rect.x << "," << rect.y << "," << rect.width << "," << rect.height;
    }
}

// A stack of widgets over a full-screen floor, for following dirty marks.
struct DirtyMarking : ::testing::Test {
    DirtyMarking()
    {
        partial.hasTransparencies = true;
        for (Probe* probe : {&floor, &cover, &apart, &partial, &hidden, &above, &far})
            f.manager.AddWidget(probe);
        f.Settle();
    }
    std::vector<std::string> DirtyNow() { return widgettest::Dirty({&floor, &cover, &apart, &partial, &hidden, &above, &far}); }

    widgettest::ManagerFixture f;
    Probe floor{"floor", &f.log, Rect(0, 0, 800, 600)};
    Probe cover{"cover", &f.log, Rect(100, 100, 300, 300)};
    Probe apart{"apart", &f.log, Rect(600, 0, 50, 50)};
    Probe partial{"partial", &f.log, Rect(140, 140, 30, 30)};
    Probe hidden{"hidden", &f.log, Rect(150, 150, 100, 100)};
    Probe above{"above", &f.log, Rect(240, 240, 50, 50)};
    Probe far{"far", &f.log, Rect(700, 500, 10, 10)};
};

TEST_F(DirtyMarking, HidingMarksBeneathDownToTheFirstOpaqueCoverAndWhatLiesAbove)
{
    hidden.SetVisible(false);
    EXPECT_EQ(DirtyNow(), (Names{"cover", "partial", "hidden", "above"}));
    EXPECT_TRUE(f.manager.dirty);
}

TEST_F(DirtyMarking, MarkingAWidgetMarksOnlyWhatLiesAboveIt)
{
    hidden.MarkDirty();
    EXPECT_EQ(DirtyNow(), (Names{"hidden", "above"}));
}

TEST_F(DirtyMarking, AWidgetWithAlphaMarksWhatShowsThroughIt)
{
    above.hasAlpha = true;
    above.MarkDirty();
    // Redrawing the cover beneath paints over everything on it.
    EXPECT_EQ(DirtyNow(), (Names{"cover", "partial", "hidden", "above"}));
}

TEST_F(DirtyMarking, ResizingToTheSameValuesMarksNothing)
{
    far.Resize(700, 500, 10, 10);
    far.Move(700, 500);
    EXPECT_EQ(DirtyNow(), Names{});
    EXPECT_FALSE(f.manager.dirty);
}

TEST(WidgetTree, MovingUnderAnotherWidgetMarksIt)
{
    widgettest::ManagerFixture f;
    Probe mover("mover", &f.log, Rect(0, 0, 10, 10)), roof("roof", &f.log, Rect(100, 100, 20, 20));
    f.manager.AddWidget(&mover);
    f.manager.AddWidget(&roof);
    f.Settle();
    mover.Move(105, 105);
    EXPECT_TRUE(mover.dirty);
    EXPECT_TRUE(roof.dirty);
}

TEST(WidgetTree, ANestedWidgetShownAgainRedrawsItsParent)
{
    widgettest::ManagerFixture f;
    Probe parent("parent", &f.log, Rect(0, 0, 100, 100)), child("child", &f.log, Rect(10, 10, 20, 20));
    parent.AddWidget(&child);
    f.manager.AddWidget(&parent);
    f.Settle();
    child.SetVisible(false);
    f.Settle();
    child.SetVisible(true);
    EXPECT_TRUE(parent.dirty);
    f.manager.DrawScreen();
    EXPECT_EQ(f.log, (Names{"parent:draw @0,0", "child:draw @10,10"}));
}

TEST(WidgetTree, MarkAllDirtyReachesNestedWidgets)
{
    widgettest::ManagerFixture f;
    Probe parent("parent", &f.log), child("child", &f.log), grandchild("grandchild", &f.log);
    child.AddWidget(&grandchild);
    parent.AddWidget(&child);
    f.manager.AddWidget(&parent);
    f.Settle();
    child.dirty = grandchild.dirty = false;
    f.manager.MarkAllDirty();
    EXPECT_TRUE(parent.dirty && child.dirty && grandchild.dirty && f.manager.dirty);
}

TEST(WidgetTree, BelowMeansMetFirstInADepthFirstWalk)
{
    Log log;
    Nubra::WidgetContainer root;
    Probe parent("parent", &log), child("child", &log), sibling("sibling", &log), stranger("stranger", &log);
    parent.AddWidget(&child);
    root.AddWidget(&parent);
    root.AddWidget(&sibling);
    EXPECT_TRUE(root.IsBelow(&parent, &child));
    EXPECT_FALSE(root.IsBelow(&child, &parent));
    EXPECT_TRUE(root.IsBelow(&child, &sibling));
    EXPECT_FALSE(root.IsBelow(&sibling, &child));
    EXPECT_TRUE(root.IsBelow(&child, &stranger));
    EXPECT_FALSE(root.IsBelow(&stranger, &child));
    EXPECT_FALSE(root.IsBelow(&child, &child));
}

TEST(WidgetTree, PositionsAddUpToTheRoot)
{
    Log log;
    Nubra::WidgetManager manager(nullptr);
    Probe parent("parent", &log, Rect(100, 50, 200, 200)), child("child", &log, Rect(7, 9, 10, 10));
    parent.AddWidget(&child);
    manager.AddWidget(&parent);
    EXPECT_EQ(child.GetAbsPos(), Nubra::Point(107, 59));
    EXPECT_EQ(child.GetRect(), Rect(7, 9, 10, 10));
    child.insets = {1, 2, 3, 4};
    EXPECT_EQ(child.GetInsetRect(), Rect(8, 11, 6, 4));
    EXPECT_TRUE(child.Contains(7, 18));
    EXPECT_FALSE(child.Contains(17, 9));
}

TEST(WidgetTree, ADestroyedWidgetLeavesItsParentWithItsSubtree)
{
    widgettest::ManagerFixture f;
    Probe parent("parent", &f.log);
    f.manager.AddWidget(&parent);
    Probe grandchild("grandchild", &f.log);
    {
        Probe child("child", &f.log);
        child.AddWidget(&grandchild);
        parent.AddWidget(&child);
        EXPECT_EQ(grandchild.manager, &f.manager);
    }
    EXPECT_TRUE(parent.children.empty());
    EXPECT_EQ(grandchild.manager, nullptr);
    EXPECT_EQ(grandchild.parent, nullptr);
    f.log.clear();
    f.manager.UpdateFrame();
    EXPECT_EQ(f.log, Names{"parent:update"});
}

TEST(WidgetTree, RemovingAllWidgetsCanDeleteTheWholeSubtree)
{
    const int before = Nubra::Widget::liveWidgets;
    Log log;
    Nubra::WidgetManager manager(nullptr);
    auto* parent = new Probe("parent", &log);
    parent->AddWidget(new Probe("child", &log));
    manager.AddWidget(parent);
    manager.AddWidget(new Probe("other", &log));
    EXPECT_EQ(Nubra::Widget::liveWidgets, before + 3);
    manager.RemoveAllWidgets(true, true);
    EXPECT_TRUE(manager.children.empty());
    EXPECT_EQ(Nubra::Widget::liveWidgets, before);
}

TEST(WidgetTree, TheManagerLetsGoOfWidgetsThatOutliveIt)
{
    Log log;
    Probe survivor("survivor", &log);
    {
        Nubra::WidgetManager manager(nullptr);
        manager.AddWidget(&survivor);
    }
    EXPECT_EQ(survivor.parent, nullptr);
    EXPECT_EQ(survivor.manager, nullptr);
    survivor.SetVisible(false); // touches no manager
}

TEST(WidgetTree, NotifyReachesEverySubtree)
{
    struct Counting : Nubra::Widget {
        void Notify() override { ++*count; }
        int* count;
        explicit Counting(int* c) : count(c) {}
    };
    int notified = 0;
    Counting parent(&notified), child(&notified), leaf(&notified);
    child.AddWidget(&leaf);
    parent.AddWidget(&child);
    const uint32_t before = Nubra::WidgetContainer::notifyAllCount;
    parent.NotifyAll();
    EXPECT_EQ(notified, 3);
    EXPECT_EQ(Nubra::WidgetContainer::notifyAllCount - before, 2u);
}

} // namespace
