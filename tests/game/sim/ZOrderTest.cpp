#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ItemFixtures.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCZOrderSolver.h"

namespace simtest {
namespace {

// A part element with a floor line through three points.
std::string Part(const std::string& name, int x0, int y0, int x1, int y1, int x2, int y2,
                 const std::string& extra = "")
{
    std::ostringstream text;
    text << "<part name='" << name << "' order0_x='" << x0 << "' order0_y='" << y0 << "' order1_x='" << x1
         << "' order1_y='" << y1 << "' order2_x='" << x2 << "' order2_y='" << y2 << "' " << extra << "/>";
    return text.str();
}

// A straight line from x0 to x1 on row y.
std::string Flat(const std::string& name, int x0, int x1, int y, const std::string& extra = "")
{
    return Part(name, x0, y, (x0 + x1) / 2, y, x1, y, extra);
}

std::string Object(const std::string& name, const std::string& parts)
{
    return "<object class='item' name='" + name + "'>" + parts + "</object>";
}

class ZOrder : public ItemWorld {
protected:
    // The order as "item:part" names.
    std::vector<std::string> Order()
    {
        solver.Rebuild();
        std::vector<std::string> names;
        for (const TCItemPart* part : solver.GetPartOrder())
            names.push_back(part->GetOwner().GetName() + ":" + part->GetName());
        return names;
    }
    // Puts a walker's feet at (x, y), as moving objects do.
    static void Walk(const std::string& item, int x, int y)
    {
        FindItemByName(item)->GetParts()[0]->SetFloorLine({{{x - 20, y}, {x, y}, {x + 20, y}}});
    }

    TCZOrderSolver solver{GetItemList()};
};

using Names = std::vector<std::string>;

TEST_F(ZOrder, ALowerFloorLineDrawsOverTheLinesAboveIt)
{
    CreateScene(Object("chair", Flat("seat", 400, 500, 450)) + Object("table", Flat("top", 300, 700, 400)) +
                Object("shelf", Flat("board", 800, 900, 100)));
    EXPECT_EQ(Order(), (Names{"shelf:board", "table:top", "chair:seat"}))
        << "the shelf shares no column with either and stands highest";
}

TEST_F(ZOrder, AWalkerChangesSideWhenItsFeetCrossALine)
{
    CreateScene(Object("boss", Flat("body", 0, 0, 0)) + Object("table", Flat("top", 300, 700, 400)));
    Walk("boss", 500, 350);
    EXPECT_EQ(Order(), (Names{"boss:body", "table:top"}));
    Walk("boss", 500, 500);
    EXPECT_EQ(Order(), (Names{"table:top", "boss:body"}));
    Walk("boss", 5, 760);
    EXPECT_EQ(Order(), (Names{"table:top", "boss:body"})) << "a walker at the screen's edge keeps its place";
    Walk("boss", 1020, 800);
    EXPECT_EQ(Order(), (Names{"table:top", "boss:body"}));
}

TEST_F(ZOrder, ChildrenFollowTheirParentAndOverPartsComeLast)
{
    CreateScene(Object("sign", "<part name='glow' zover='1'/>" + Flat("post", 100, 200, 600)) +
                Object("table", Flat("top", 300, 700, 400) + "<part name='cup' parent_z='top'/>" +
                                    "<part name='steam' parent_z='cup'/>" + "<part name='held_items'/>") +
                Object("chair", Flat("seat", 400, 500, 450)));
    EXPECT_EQ(Order(), (Names{"table:top", "table:cup", "table:steam", "chair:seat", "sign:post", "sign:glow"}));
}

TEST_F(ZOrder, PartsOverNoOtherLineAreRootsInAFixedOrder)
{
    CreateScene(Object("b", Flat("p", 100, 200, 300)) + Object("a", Flat("p", 100, 200, 300)) +
                Object("floor", "<part name='tiles'/>") + Object("lamp", Flat("p", 600, 700, 200)));
    const Names expected{"floor:tiles", "lamp:p", "b:p", "a:p"};
    EXPECT_EQ(Order(), expected) << "highest first, then as registered";
    EXPECT_EQ(Order(), expected);
}

TEST_F(ZOrder, CrossingLinesFillTheDepthMapAndStillDrawOnce)
{
    CreateScene(Object("a", Part("p", 100, 100, 150, 150, 200, 200)) +
                Object("b", Part("p", 100, 200, 150, 150, 200, 100)));
    const Names order = Order();
    EXPECT_EQ(order, (Names{"a:p", "b:p"})) << "a cycle is broken by height, then registration";

    TCItemPart* a = FindItemByName("a")->GetParts()[0].get();
    TCItemPart* b = FindItemByName("b")->GetParts()[0].get();
    struct Sample {
        int x, y, depth;
        TCItemPart* owner;
    };
    const Sample samples[] = {
        {120, 130, 11, a}, // a crosses column 120 at row 120, b at 180
        {120, 190, 11, b}, {180, 190, 11, a}, {180, 130, 11, b},
        {150, 150, 1, a}, // both cross here; the first registered holds the cell
        {120, 100, 0, nullptr}, {120, 767, 588, b}, {200, 300, 0, nullptr}, // a line's end column is open
    };
    for (const Sample& s : samples) {
        const TCZOrderSolver::Cell cell = solver.GetCell(s.x, s.y);
        EXPECT_EQ(cell.depth, s.depth) << s.x << "," << s.y;
        EXPECT_EQ(cell.owner, s.owner) << s.x << "," << s.y;
    }
}

TEST_F(ZOrder, TheDumpListsThePartsInDrawingOrder)
{
    CreateScene(Object("chair", Flat("seat", 400, 500, 450)) + Object("table", Flat("top", 300, 700, 400)));
    Order();
    ASSERT_TRUE(solver.DumpZOrder("."));
    std::ifstream in("debug_z.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "============================================\n ZOrder\n"
                          "Object: <table:top>\nObject: <chair:seat>\n");
    EXPECT_FALSE(solver.DumpZOrder("no/such/folder"));
}

// Solid sheets drawn through the application's shared images.
class ZOrderDrawing : public ZOrder {
protected:
    static void WriteSheet(const std::string& file, uint32_t argb)
    {
        ImageLib::Image sheet(10, 20);
        std::fill(sheet.GetBits(), sheet.GetBits() + sheet.PixelCount(), argb);
        ASSERT_TRUE(ImageLib::WritePNGImage(file, sheet));
    }

    Nubra::NubraAppBase app_;
};

TEST_F(ZOrderDrawing, AStaticSceneDrawsInDepthOrder)
{
    WriteSheet("gfx/red.png", 0xFFFF0000);
    WriteSheet("gfx/blue.png", 0xFF0000FF);
    WriteAnimation("chair", {MakeClip("chairidle", 1, AnmClip::Looped, "gfx\\red.png")});
    WriteAnimation("table", {MakeClip("tableidle", 1, AnmClip::Looped, "gfx\\blue.png")});
    // Both at the same place; the chair stands lower and comes first in the scene.
    CreateScene("<object class='item' name='front' pos_x='50' pos_y='40'>" + Flat("chair", 0, 100, 300) +
                "</object><object class='item' name='back' pos_x='45' pos_y='30'>" + Flat("table", 0, 100, 200) +
                "</object>");
    ApplyLevel("<object name='front' anim='idle'/><object name='back' anim='idle'/>");
    for (const auto& item : GetItemList().GetItems())
        item->SetActive(true);

    Nubra::MemoryImage screen;
    screen.Create(100, 100);
    Nubra::Graphics graphics(&screen);
    solver.Rebuild();
    for (TCBoardPart* part : solver.GetOrder())
        if (part->IsOwnerVisible() && part->IsDrawable())
            part->Draw(graphics);

    // The tint by white may take a step off a full channel.
    auto colour = [&screen](int x, int y) {
        const uint32_t pixel = screen.GetBits()[y * 100 + x];
        return (pixel >> 16 & 0xFF) > 250 ? "red" : (pixel & 0xFF) > 250 ? "blue" : pixel & 0xFFFFFF ? "?" : "none";
    };
    EXPECT_STREQ(colour(52, 45), "red") << "the chair covers the table";
    EXPECT_STREQ(colour(46, 31), "blue") << "the table shows where the chair is not";
    EXPECT_STREQ(colour(20, 20), "none");
}

} // namespace
} // namespace simtest
