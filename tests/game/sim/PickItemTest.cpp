#include <gtest/gtest.h>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/PolygonRegion.h"
#include "game/sim/TCGraph.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCPickItem.h"

namespace {

using namespace simtest;
using Points = std::vector<Nubra::Point>;

TEST(PolygonRegion, NonZeroWindingWithLeftAndTopEdgesInside)
{
    const Points square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    // A U opening upwards: the notch between x 4 and 6 above y 5 is outside.
    const Points notch{{0, 0}, {4, 0}, {4, 5}, {6, 5}, {6, 0}, {10, 0}, {10, 10}, {0, 10}};
    // A five-pointed star drawn in one stroke: its centre is wound twice.
    const Points star{{50, 0}, {79, 90}, {2, 34}, {97, 34}, {20, 90}};
    struct Row {
        const char* name;
        const Points* polygon;
        Nubra::Point pixel;
        bool inside;
    };
    const Points line{{0, 0}, {10, 10}};
    const Row rows[] = {
        {"square inside", &square, {5, 5}, true},
        {"square left edge", &square, {0, 5}, true},
        {"square top edge", &square, {5, 0}, true},
        {"square right edge", &square, {10, 5}, false},
        {"square bottom edge", &square, {5, 10}, false},
        {"square last column", &square, {9, 9}, true},
        {"square outside", &square, {-1, 5}, false},
        {"notch", &notch, {5, 2}, false},
        {"beside the notch", &notch, {2, 2}, true},
        {"below the notch", &notch, {5, 7}, true},
        {"star centre", &star, {50, 45}, true},
        {"star point", &star, {50, 10}, true},
        {"between star points", &star, {10, 60}, false},
        {"two points", &line, {5, 5}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PolygonContains(*row.polygon, row.pixel), row.inside) << row.name;
    // The same square wound the other way round.
    EXPECT_TRUE(PolygonContains({{0, 0}, {0, 10}, {10, 10}, {10, 0}}, {5, 5}));
}

TEST(PolygonRegion, PointListsAreReadWhole)
{
    struct Row {
        const char* text;
        Points points;
        bool stopped;
    };
    std::string longList;
    for (int i = 0; i < 400; ++i)
        longList += "1234 5678 ";
    const Row rows[] = {
        {"  1 2\t3   4\n", {{1, 2}, {3, 4}}, false},
        {"1 2 3", {{1, 2}}, false},
        {"-5 -6 7 -8", {{-5, -6}, {7, -8}}, false},
        {"", {}, false},
        {"1 2 x 4", {{1, 2}}, true},
        {"1 2 3x 4", {{1, 2}}, true},
    };
    for (const Row& row : rows) {
        bool stopped = false;
        EXPECT_EQ(ParsePointList(row.text, &stopped), row.points) << row.text;
        EXPECT_EQ(stopped, row.stopped) << row.text;
    }
    // Longer than any fixed buffer: no number is cut in half.
    const Points points = ParsePointList(longList);
    ASSERT_EQ(points.size(), 400u);
    EXPECT_EQ(points.back(), Nubra::Point(1234, 5678));
}

class PickItemTest : public ItemWorld {
protected:
    static TCPickItem& Pick(const std::string& name)
    {
        TCPickItem* item = FindPickItemByName(name);
        EXPECT_NE(item, nullptr) << name;
        return *item;
    }
    static void Activate(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            Pick(name).SetActive(true);
    }
};

TEST_F(PickItemTest, ANestedObjectInPlayTakesItsPointsFromTheOuterOne)
{
    CreateScene("<object class='pickable' name='counter' rgn='0 0 100 0 100 100 0 100'><picks pick='tray'/>"
                "<picks pick='nothing'/></object>"
                "<object class='pickable' name='tray' rgn='10 10 30 10 30 30 10 30'><picks pick='cup'/></object>"
                "<object class='pickable' name='cup' rgn='15 15 20 15 20 20 15 20'/>");
    ApplyLevel("<object name='counter'/><object name='tray'/><object name='cup'/>");
    Activate({"counter", "tray", "cup"});
    TCPickItem &counter = Pick("counter"), &tray = Pick("tray"), &cup = Pick("cup");
    ASSERT_EQ(counter.GetNestedPicks().size(), 1u);

    EXPECT_TRUE(counter.HitTest({50, 50}));
    EXPECT_FALSE(counter.HitTest({12, 12}));
    EXPECT_TRUE(tray.HitTest({12, 12}));
    // The cup inside the tray inside the counter: the innermost takes it.
    EXPECT_FALSE(counter.HitTest({16, 16}));
    EXPECT_FALSE(tray.HitTest({16, 16}));
    EXPECT_TRUE(cup.HitTest({16, 16}));
    cup.SetActive(false);
    EXPECT_TRUE(tray.HitTest({16, 16}));
    EXPECT_FALSE(counter.HitTest({16, 16}));
    tray.SetEffectVisible(false);
    EXPECT_TRUE(counter.HitTest({16, 16})) << "a hidden nested object gives its points back";
    EXPECT_FALSE(counter.HitTest({150, 50}));
}

TEST_F(PickItemTest, NestingInACircleIsLeftOutAndSaid)
{
    CreateScene("<object class='pickable' name='a' rgn='0 0 10 0 10 10 0 10'><picks pick='b'/><picks pick='a'/></object>"
                "<object class='pickable' name='b' rgn='0 0 10 0 10 10 0 10'><picks pick='a'/></object>");
    ApplyLevel("<object name='a'/><object name='b'/>");
    Activate({"a", "b"});
    EXPECT_EQ(Pick("a").GetNestedPicks().size(), 1u);
    EXPECT_TRUE(Pick("b").GetNestedPicks().empty());
    EXPECT_NE(log_.Text().find("WARNING: Object 'b': nesting 'a' in it would make a circle"), std::string::npos);
    EXPECT_TRUE(Pick("b").HitTest({5, 5}));
    EXPECT_FALSE(Pick("a").HitTest({5, 5}));
}

TEST_F(PickItemTest, CheckMarksShowTwoClicksAndTheLastShownGoesFirst)
{
    CreateScene("<object class='pickable' name='oven'><part name='checkmark'/><part name='body'/>"
                "<part name='checkmark'/></object>");
    ApplyLevel("<object name='oven'/>");
    TCPickItem& oven = Pick("oven");
    oven.SetActive(true);
    TCItemPart* first = oven.FindPart("checkmark", 0);
    TCItemPart* second = oven.FindPart("checkmark", 1);
    EXPECT_FALSE(first->IsShown());
    EXPECT_FALSE(second->IsShown());

    oven.ShowCheckmark();
    oven.ShowCheckmark();
    EXPECT_TRUE(first->IsShown());
    EXPECT_TRUE(second->IsShown());
    oven.ShowCheckmark();
    EXPECT_NE(log_.Text().find("Warning: object <oven> is over clicked... oh... slowly, please!"), std::string::npos);

    oven.HideCheckmark();
    EXPECT_TRUE(first->IsShown());
    EXPECT_FALSE(second->IsShown());
    oven.HideCheckmark();
    oven.HideCheckmark();
    EXPECT_FALSE(first->IsShown());
    // Coming into play again starts with no checks.
    oven.ShowCheckmark();
    oven.SetActive(true);
    EXPECT_FALSE(first->IsShown());
    EXPECT_FALSE(oven.IsCheckmarkShown(0));
}

TEST_F(PickItemTest, HoveringAPlaceLightsItsOwnerAndItsPairs)
{
    CreateScene("<object class='pickable' name='table01' rgn='0 0 10 0 10 10 0 10'>"
                "<select_block pair_item='plate01'/><select_block pair_item='worker01'/>"
                "<select_block pair_item='table01'/><select_block pair_item='ghost'/></object>"
                "<object class='item' name='worker01'/><object class='item' name='plate01'/>"
                "<object class='item' name='worker02'/>");
    ApplyLevel("<object name='table01'/><object name='worker01'/><object name='plate01'/><object name='worker02'/>");
    TCPickItem& table = Pick("table01");
    EXPECT_EQ(table.GetPairItems().size(), 3u);
    table.SetMouseOver({5, 5}, true);
    EXPECT_TRUE(table.IsMouseOver());
    EXPECT_TRUE(FindItemByName("worker01")->IsMouseOver());
    EXPECT_TRUE(FindItemByName("plate01")->IsMouseOver());
    EXPECT_FALSE(FindItemByName("worker02")->IsMouseOver());
    table.SetMouseOver({50, 5}, false);
    EXPECT_FALSE(FindItemByName("worker01")->IsMouseOver());
    EXPECT_FALSE(FindItemByName("plate01")->IsMouseOver());
}

TEST_F(PickItemTest, StandPointsReachTheWalkersGraphAndTheMapForgetsDestroyedItems)
{
    CreateScene("<object class='pickable' name='sink' rgn='0 0 10 0 10 10'>"
                "<point owner='client' offs_x='1' offs_y='2'/><point owner='boss' direction='tl' offs_x='300' offs_y='400'/>"
                "<point owner='boss' offs_x='9' offs_y='9'/></object>");
    const TCStandPoint* stand = Pick("sink").FindStandPoint("boss");
    ASSERT_NE(stand, nullptr);
    EXPECT_EQ(Nubra::Point(stand->x, stand->y), Nubra::Point(300, 400));
    EXPECT_EQ(stand->direction, "tl");
    EXPECT_EQ(Pick("sink").FindStandPoint("worker01"), nullptr);

    TCGraph graph("boss");
    pugi::xml_document level;
    level.load_string("<level/>");
    graph.CollectObjectPoints(GetItemList());
    graph.LoadLevelGraphs(level.child("level"));
    int x = 0, y = 0;
    EXPECT_TRUE(graph.GetPointPos("sink", x, y));
    EXPECT_EQ(Nubra::Point(x, y), Nubra::Point(300, 400));

    GetItemList().DestroyAll();
    EXPECT_EQ(FindPickItemByName("sink"), nullptr);
}

TEST_F(PickItemTest, ClicksOnTheBoardReachTheInnermostObjectsInClickOrder)
{
    WriteText("cfg/scene.xml",
              "<root><objects><object class='pickable' name='counter' rgn='0 0 100 0 100 100 0 100'>"
              "<picks pick='tray'/></object>"
              "<object class='pickable' name='tray' rgn='10 10 30 10 30 30 10 30'><picks pick='cup'/></object>"
              "<object class='pickable' name='cup' rgn='15 15 20 15 20 20 15 20'/></objects></root>");
    WriteText("cfg/l001.xml", "<level doc='cfg\\scene.xml'><objects><object name='counter'/><object name='tray'/>"
                              "<object name='cup'/></objects></level>");
    Trace trace;
    RecordingHost host(trace);
    RecordingBoard board(host, trace);
    board.SetScene(&GetItemList());
    board.StartLevelLoad(1, false);
    board.SetShown(true);
    for (Nubra::Point click : {Nubra::Point{16, 16}, Nubra::Point{50, 50}, Nubra::Point{25, 25}, Nubra::Point{150, 50}}) {
        board.UpdateHover(click.x, click.y);
        board.MouseDown(click.x, click.y, 0);
    }
    trace.clear();
    board.Update();
    Trace actions;
    for (const std::string& line : trace)
        if (line.starts_with("action "))
            actions.push_back(line);
    EXPECT_EQ(actions, (Trace{"action cup", "action counter", "action tray"}));
    EXPECT_EQ(Pick("cup").GetClickCount(), 1);
}

} // namespace
