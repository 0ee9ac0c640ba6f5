#include <gtest/gtest.h>

#include <regex>

#include "BoardFixtures.h"
#include "game/sim/TCGraph.h"

namespace {

using namespace simtest;

pugi::xml_node Parse(pugi::xml_document& document, const char* text)
{
    EXPECT_TRUE(document.load_string(text));
    return document.document_element();
}

// A pickable object that gives a stand point for one graph.
class StandingItem : public FakeItem {
public:
    StandingItem(Trace& trace, std::string name, TCStandPoint stand) : FakeItem(trace, std::move(name)), stand_(stand) {}
    const TCStandPoint* FindStandPoint(const std::string& graph) const override
    {
        return graph == stand_.owner ? &stand_ : nullptr;
    }

private:
    TCStandPoint stand_;
};

// A graph loaded from a level element only, with no scene and no objects.
class GraphTest : public ::testing::Test {
protected:
    void Load(const char* level)
    {
        graph_.LoadLevelGraphs(Parse(document_, level));
    }
    bool Route(const std::string& from, const std::string& to, float speed)
    {
        return graph_.SetStart(from) && graph_.FindRoute(to, speed);
    }

    pugi::xml_document document_;
    TCGraph graph_{"boss"};
};

// A 30-40 right angle: A (0,0) -> B (30,0) -> C (30,40), C faces left.
constexpr const char* kThreePoints = R"(<level><graphs><graph name="boss">
  <points><point name="A" x="0" y="0"/><point name="B" x="30" y="0" direction="b"/>
    <point name="C" x="30" y="40" direction="l"/></points>
  <edges><edge p1="A" p2="B"/><edge p1="C" p2="B"/></edges>
</graph></graphs></level>)";

TEST_F(GraphTest, TheMergedMapPrefersTheSceneThenTheLevelThenTheObjects)
{
    pugi::xml_document scene, level;
    Parse(scene, R"(<root><graphs>
      <graph name="boss"><points><point name="gone" x="1" y="1"/></points></graph>
      <graph name="boss"><points><point name="p" x="1" y="2"/><point name="a" x="5" y="5"/>
        <point name="b" x="9" y="9"/><point name="p" x="7" y="7"/></points>
        <edges><edge p1="a" p2="b"/></edges></graph>
      <graph name="client"><points><point name="other" x="3" y="3"/></points></graph>
    </graphs></root>)");
    Parse(level, R"(<level><graphs><graph name="boss">
      <points><point name="p" x="100" y="100"/><point name="bare"/><point name="oven" x="50" y="50"/></points>
      <edges><edge p1="b" p2="a"/><edge p1="p" p2="a"/><edge p1="a" p2="oven"/></edges>
    </graph></graphs></level>)");
    Trace trace;
    FakeScene objects(trace);
    objects.items.push_back(std::make_unique<StandingItem>(trace, "oven", TCStandPoint{"boss", "t", 60, 70}));
    objects.items.push_back(std::make_unique<StandingItem>(trace, "sink", TCStandPoint{"boss", "r", 80, 90}));
    objects.items.push_back(std::make_unique<StandingItem>(trace, "stool", TCStandPoint{"client", "", 1, 1}));

    graph_.LoadSceneGraphs(scene.document_element());
    graph_.CollectObjectPoints(objects);
    graph_.LoadLevelGraphs(level.document_element());

    const TCGraphData& merged = graph_.GetMerged();
    std::vector<std::string> names;
    for (const auto& [name, point] : merged.GetPoints())
        names.push_back(name);
    // The second scene element replaced the first; other graphs' points stay out.
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "bare", "oven", "p", "sink"}));
    int x = -1, y = -1;
    EXPECT_TRUE(graph_.GetPointPos("p", x, y));
    EXPECT_EQ(Nubra::Point(x, y), Nubra::Point(1, 2)) << "first definition in the scene wins";
    EXPECT_TRUE(graph_.GetPointPos("bare", x, y));
    EXPECT_EQ(Nubra::Point(x, y), Nubra::Point(0, 0));
    EXPECT_TRUE(graph_.GetPointPos("oven", x, y));
    EXPECT_EQ(Nubra::Point(x, y), Nubra::Point(50, 50)) << "the level's point wins over the object's";
    EXPECT_TRUE(graph_.GetPointPos("sink", x, y));
    EXPECT_EQ(Nubra::Point(x, y), Nubra::Point(80, 90)) << "an object's stand point is taken as it stands";
    ASSERT_EQ(merged.GetEdges().size(), 3u) << "b-a is a-b the other way round";
    EXPECT_EQ(merged.GetEdges()[1].p1, "p");
}

TEST_F(GraphTest, AWalkerFollowsTheRouteAndFacesTheLastPointAtTheEnd)
{
    Load(kThreePoints);
    struct Row {
        float time;
        Nubra::Point position, step;
        bool onRoute;
    };
    const Row rows[] = {
        {0.0f, {0, 0}, {30, 0}, true},
        {2.9f, {29, 0}, {30, 0}, true},
        {3.0f, {30, 0}, {30, 0}, true},
        {5.0f, {30, 20}, {0, 40}, true},
        {7.0f, {30, 40}, {0, 40}, true},
        {7.01f, {30, 40}, {-1, 0}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.time);
        ASSERT_TRUE(Route("A", "C", 10.0f));
        Nubra::Point position{-1, -1}, step{-9, -9};
        EXPECT_EQ(graph_.Advance(row.time, position, step), row.onRoute);
        EXPECT_EQ(position, row.position);
        EXPECT_EQ(step, row.step);
    }
    // Walking in update steps arrives in the expected time.
    ASSERT_TRUE(Route("C", "A", 10.0f));
    Nubra::Point position, step;
    int steps = 0;
    while (graph_.Advance(0.01f, position, step))
        ++steps;
    EXPECT_NEAR(steps, 700, 1);
    EXPECT_EQ(position, Nubra::Point(0, 0));
}

TEST_F(GraphTest, OfEqualWaysTheOneRelaxedLastIsTaken)
{
    // S to T over a or b, both 100 long; edges list b first, but a's frontier name sorts first.
    Load(R"(<level><graphs><graph name="boss">
      <points><point name="S" x="0" y="0"/><point name="a" x="30" y="40"/><point name="b" x="-30" y="40"/>
        <point name="T" x="0" y="80"/></points>
      <edges><edge p1="S" p2="b"/><edge p1="b" p2="T"/><edge p1="S" p2="a"/><edge p1="a" p2="T"/></edges>
    </graph></graphs></level>)");
    ASSERT_TRUE(Route("S", "T", 10.0f));
    const auto& segments = graph_.GetMerged().GetSegments();
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(Nubra::Point(segments[0].x1, segments[0].y1), Nubra::Point(-30, 40));
    EXPECT_FLOAT_EQ(segments[0].length, 50.0f);
}

TEST_F(GraphTest, ChangingTheSpeedKeepsThePlaceAndStretchesTheRest)
{
    Load(R"(<level><graphs><graph name="boss"><points><point name="a"/><point name="b" x="200"/></points>
      <edges><edge p1="a" p2="b"/></edges></graph></graphs></level>)");
    ASSERT_TRUE(Route("a", "b", 100.0f));
    Nubra::Point position, step;
    graph_.Advance(1.0f, position, step);
    EXPECT_EQ(position, Nubra::Point(100, 0));
    EXPECT_FALSE(graph_.SetSpeed(0.0f));
    EXPECT_FALSE(graph_.SetSpeed(-50.0f));
    EXPECT_TRUE(graph_.SetSpeed(50.0f));
    EXPECT_FLOAT_EQ(graph_.GetTime(), 2.0f);
    EXPECT_TRUE(graph_.Advance(0.0f, position, step));
    EXPECT_EQ(position, Nubra::Point(100, 0));
    EXPECT_TRUE(graph_.Advance(1.99f, position, step));
    EXPECT_FALSE(graph_.Advance(0.02f, position, step));
}

TEST_F(GraphTest, FailuresChangeNothing)
{
    struct Row {
        const char* name;
        const char* level;
        const char* from;
        const char* to;
        float speed;
        const char* log;
    };
    const Row rows[] = {
        {"undefined ends", R"(<level><graphs><graph name="boss"><points><point name="a"/><point name="b" x="5"/></points>
           <edges><edge p1="a" p2="b"/><edge p1="x" p2="y"/></edges></graph></graphs></level>)",
         "a", "b", 10.0f,
         "ERROR: Edge refer to undefined point. FromPointStr='x'\n"
         "ERROR: Edge refer to undefined point. ToPointStr='y'\n"},
        {"unreachable", R"(<level><graphs><graph name="boss"><points><point name="a"/><point name="b" x="5"/>
           <point name="c" x="9"/></points><edges><edge p1="a" p2="b"/></edges></graph></graphs></level>)",
         "a", "c", 10.0f, ""},
        {"target is start", kThreePoints, "A", "A", 10.0f, ""},
        {"unknown start", kThreePoints, "Z", "C", 10.0f, ""},
        {"unknown target", kThreePoints, "A", "Z", 10.0f, ""},
        {"still", kThreePoints, "A", "C", 0.0f, "WARNING: "},
        {"backwards", kThreePoints, "A", "C", -5.0f, "WARNING: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TCGraph graph("boss");
        pugi::xml_document document;
        graph.LoadLevelGraphs(Parse(document, row.level));
        // A walk already planned stays planned.
        const bool planned = graph.SetStart("a") && graph.FindRoute("b", 20.0f);
        Nubra::Point position, step;
        graph.Advance(0.1f, position, step);
        const auto segments = graph.GetMerged().GetSegments().size();
        const std::string start = graph.GetStart();

        LogCapture log;
        EXPECT_FALSE(graph.SetStart(row.from) && graph.FindRoute(row.to, row.speed));
        const std::string text = log.Text();
        EXPECT_EQ(*row.log ? text.substr(0, std::string(row.log).size()) : text, row.log);
        if (std::string(row.from) != "Z")
            EXPECT_EQ(graph.GetStart(), row.from);
        else
            EXPECT_EQ(graph.GetStart(), start);
        EXPECT_EQ(graph.GetMerged().GetSegments().size(), segments);
        EXPECT_FLOAT_EQ(graph.GetSpeed(), planned ? 20.0f : 0.0f);
        EXPECT_FLOAT_EQ(graph.GetTime(), 0.1f);
    }
}

TEST_F(GraphTest, LoadingSaysWhatNoSearchCouldUse)
{
    LogCapture log;
    // A self-loop and two points in one place: neither could ever settle a search.
    Load(R"(<level><graphs><graph name="boss">
      <points><point name="a"/><point name="b" x="10"/><point name="c" x="10"/><point name="d" x="20"/></points>
      <edges><edge p1="a" p2="a"/><edge p1="a" p2="b"/><edge p1="b" p2="c"/><edge p1="b" p2="d"/>
        <edge p1="c" p2="d"/><edge p1="d" p2="ghost"/></edges>
    </graph></graphs></level>)");
    const std::string text = log.Text();
    EXPECT_NE(text.find("WARNING: Graph 'boss': edge 'a'-'a' has no length"), std::string::npos);
    EXPECT_NE(text.find("WARNING: Graph 'boss': edge 'b'-'c' has no length"), std::string::npos);
    EXPECT_NE(text.find("names no point 'ghost'"), std::string::npos);
    EXPECT_EQ(graph_.GetMerged().GetEdges().size(), 4u);
    // The bad edge still fails every search, as content relies on.
    EXPECT_FALSE(Route("a", "d", 10.0f));
}

TEST(BoardGraphs, TheBossGraphIsFilledAtLoadAndEmptiedAtUnload)
{
    ClockGuard clock;
    LevelFolder levels;
    Trace trace;
    RecordingHost host(trace);
    FakeScene scene(trace);
    RecordingBoard board(host, trace);
    board.SetScene(&scene);
    EXPECT_EQ(board.GetGraph("client"), nullptr);
    TCGraph* boss = board.GetGraph("boss");
    ASSERT_NE(boss, nullptr);

    // The scene's graph and the level's extra point make one map.
    levels.Write("scene.xml", std::regex_replace(kThreePoints, std::regex("level>"), "root>"));
    levels.Write("l001.xml", R"(<level doc="cfg\scene.xml"><graphs><graph name="boss">
      <points><point name="D" x="90" y="40"/></points><edges><edge p1="C" p2="D"/></edges>
    </graph></graphs></level>)");
    board.StartLevelLoad(1, false);
    EXPECT_EQ(boss->GetMerged().GetPoints().size(), 4u);
    ASSERT_TRUE(boss->SetStart("A"));
    EXPECT_TRUE(boss->FindRoute("D", 10.0f));

    levels.Write("l002.xml", "<level/>");
    board.StartLevelLoad(2, false);
    EXPECT_TRUE(boss->GetMerged().GetPoints().empty());
    EXPECT_EQ(boss->GetStart(), "");
}

} // namespace
