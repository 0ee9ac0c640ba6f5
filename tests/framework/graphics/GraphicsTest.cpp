#include "TestDoubles.h"

#include <gtest/gtest.h>

using namespace NubraTest;

namespace {

struct GraphicsTest : ::testing::Test {
    SpyImage screen{100, 50};
    SpyImage picture{30, 30};
    Graphics g{&screen};
    FixedWidthFont font; // 10 pixels a character, lines 14 apart, descent 4

    std::string Blt(int x, int y, const Rect& src, uint32_t color = 0xFFFFFFFF) const
    {
        return StrFormat("Blt %p %d,%d %s %08x 0", (void*)&picture, x, y, Str(src).c_str(), color);
    }

    // The drawn text as "text@x,y" items, with the colour when it is not opaque black.
    std::vector<std::string> Drawn() const
    {
        std::vector<std::string> out;
        for (const auto& draw : font.draws) {
            std::string item = StrFormat("%s@%d,%d", NubraStringToString(draw.text).c_str(), draw.x, draw.y);
            if (draw.color != 0xFF000000)
                item += StrFormat(" %08x", draw.color);
            out.push_back(item);
        }
        return out;
    }
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(GraphicsTest, FillsAreTranslatedByTruncationAndClipped)
{
    g.TranslateF(10.7f, 0.0f);
    g.SetColor(Color(255, 0, 0, 128));
    g.FillRect(0, 0, 5, 5);
    g.FillRect(85, 45, 10, 10); // cut at the image's edge
    g.FillRect(95, 0, 10, 10); // wholly outside
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.FillRect(Rect(-20, 0, 12, 1)); // -9.3 truncates toward zero
    g.SetColor(Color(255, 0, 0, 0));
    g.FillRect(0, 0, 5, 5); // invisible colour
    EXPECT_EQ(screen.calls, (Calls{"FillRect 10,0,5,5 80ff0000 0", "FillRect 95,45,5,5 80ff0000 0",
                                   "FillRect 0,0,3,1 80ff0000 1"}));
}

TEST_F(GraphicsTest, ClipRectangleIsTranslatedKeptInTheImageAndOnlyShrinks)
{
    g.Translate(5, 5);
    g.SetClipRect(-10, -10, 50, 50);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 45, 45));
    g.ClipRect(10, 10, 100, 100);
    EXPECT_EQ(g.GetClipRect(), Rect(15, 15, 30, 30));
    g.ClipRect(-100, -100, 1000, 1000);
    EXPECT_EQ(g.GetClipRect(), Rect(15, 15, 30, 30));
    g.SetClipRect(Rect(0, 0, 1000, 1000));
    EXPECT_EQ(g.GetClipRect(), Rect(5, 5, 95, 45));
}

TEST_F(GraphicsTest, PoppingRestoresThePushedStateAndAnEmptyStackChangesNothing)
{
    g.SetColor(Color(1, 2, 3));
    g.PushState();
    g.Translate(4, 5);
    g.SetColor(Color(9, 9, 9));
    g.ClipRect(0, 0, 10, 10);
    g.SetFont(&font);
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.PushState();
    g.SetColor(Color(7, 7, 7));
    g.PopState();
    EXPECT_EQ(g.GetColor(), Color(9, 9, 9));
    g.PopState();
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3));
    EXPECT_EQ(g.transX, 0.0f);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 100, 50));
    EXPECT_EQ(g.GetFont(), nullptr);
    EXPECT_EQ(g.GetDrawMode(), DRAWMODE_NORMAL);
    g.PopState();
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3));
}

TEST_F(GraphicsTest, ACopyTakesTheStateButNotTheSavedStatesNorTheMask)
{
    g.Translate(3, 0);
    g.mask.image = &picture;
    g.PushState();
    g.SetColor(Color(5, 5, 5));
    std::unique_ptr<Graphics> copy(g.Create());
    EXPECT_EQ(copy->GetColor(), Color(5, 5, 5));
    EXPECT_EQ(copy->transX, 3.0f);
    EXPECT_EQ(copy->mask.image, nullptr);
    copy->PopState();
    EXPECT_EQ(copy->GetColor(), Color(5, 5, 5));
}

TEST_F(GraphicsTest, WithoutADestinationNothingIsDrawnAnywhere)
{
    Graphics nowhere(nullptr);
    EXPECT_EQ(nowhere.GetClipRect(), Rect(0, 0, 0, 0));
    EXPECT_FALSE(nowhere.is3D);
    nowhere.FillRect(0, 0, 10, 10);
    nowhere.DrawImage(&picture, 0, 0);
    nowhere.DrawString(L"no font", 0, 0);
    EXPECT_EQ(nowhere.WriteString(L"no font", 0, 0), 0);
    EXPECT_EQ(nowhere.WriteWordWrapped(Rect(0, 0, 100, 0), L"no font"), 0);
}

TEST_F(GraphicsTest, AnOutlineInsideTheClipIsOneCallElseClippedFills)
{
    g.DrawRect(0, 0, 99, 49); // 100 x 50 pixels: exactly the clip
    g.DrawRect(Rect(0, 0, 100, 49)); // one column too wide
    g.SetColor(Color(0, 0, 0, 0));
    g.DrawRect(10, 10, 5, 5);
    EXPECT_EQ(screen.calls, (Calls{"DrawRect 0,0,99,49 ff000000 0", "FillRect 0,0,100,1 ff000000 0",
                                   "FillRect 0,49,100,1 ff000000 0", "FillRect 0,1,1,48 ff000000 0"}));
}

TEST_F(GraphicsTest, ClipLineCutsAtTheLastVisibleColumnAndRowOrRejects)
{
    g.SetClipRect(10, 10, 20, 20);
    struct Row {
        double x1, y1, x2, y2;
        bool visible;
        double cx1, cy1, cx2, cy2;
    } rows[] = {
        {0, 15, 40, 15, true, 10, 15, 29, 15}, // across left and right
        {15, 0, 15, 40, true, 15, 10, 15, 29}, // across top and bottom
        {40, 40, 0, 0, true, 10, 10, 29, 29}, // the direction is not kept
        {10, 12, 30, 12, true, 10, 12, 29, 12},
        {12, 12, 20, 20, true, 12, 12, 20, 20}, // inside
        {0, 0, 5, 40, false, 0, 0, 0, 0}, // left of the clip
        {35, 12, 40, 12, false, 0, 0, 0, 0}, // right
        {12, 0, 14, 5, false, 0, 0, 0, 0}, // above
        {15, 30, 15, 40, false, 0, 0, 0, 0}, // below
    };
    for (const Row& row : rows) {
        double x1 = row.x1, y1 = row.y1, x2 = row.x2, y2 = row.y2;
        SCOPED_TRACE(StrFormat("%g,%g %g,%g", x1, y1, x2, y2));
        ASSERT_EQ(g.ClipLine(x1, y1, x2, y2), row.visible);
        if (row.visible) {
            EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{row.cx1, row.cy1, row.cx2, row.cy2}));
        }
    }

    g.TranslateF(0.5f, 0.0f);
    g.DrawLine(-10, 15, 12, 15);
    g.DrawLine(0, 0, 5, 5);
    EXPECT_EQ(screen.calls, (Calls{"DrawLine 10,15 12.5,15 ff000000 0"}));
}

TEST_F(GraphicsTest, ImageWithASourceIsCutByTheClipOrStretchedWhenScaled)
{
    g.DrawImage(&picture, 5, 6, Rect(10, 10, 20, 20));
    g.DrawImage(&picture, 5, 6, Rect(10, 10, 21, 20)); // past the image's right edge
    g.DrawImage(&picture, 5, 6, Rect(-1, 0, 5, 5)); // before its left edge
    g.DrawImage(&picture, 200, 0, Rect(0, 0, 5, 5)); // outside the clip

    g.SetClipRect(10, 10, 50, 30);
    g.DrawImage(&picture, 0, 5); // the source is cut as much as the destination
    g.SetColorizeImages(true);
    g.SetColor(Color(1, 2, 3, 4));
    g.DrawImage(&picture, 10, 10, Rect(0, 0, 1, 1));
    EXPECT_EQ(screen.calls, (Calls{Blt(5, 6, Rect(10, 10, 20, 20)), Blt(10, 10, Rect(10, 5, 20, 25)),
                                   Blt(10, 10, Rect(0, 0, 1, 1), 0x04010203)}));

    screen.calls.clear();
    g.SetScale(2.0f, 0.5f, 10.0f, 10.0f);
    g.SetFastStretch(true);
    g.DrawImage(&picture, 15, 21, Rect(0, 0, 3, 3));
    EXPECT_EQ(screen.calls, (Calls{StrFormat("StretchBlt %p 20,15,6,2 0,0,3,3 10,10,50,30 04010203 0 1",
                                             (void*)&picture)}));
}

TEST_F(GraphicsTest, StretchedAndMirroredFormsPassTheClipForTheImageToCut)
{
    g.Translate(2, 3);
    g.DrawImage(&picture, 1, 2, 40, 50);
    g.DrawImage(&picture, Rect(0, 0, 10, 10), Rect(5, 5, 5, 5));
    g.DrawImageMirror(&picture, Rect(0, 0, 10, 10), Rect(5, 5, 5, 5), true);
    g.DrawImageMirror(&picture, Rect(0, 0, 10, 10), Rect(5, 5, 5, 5), false);
    const void* p = &picture;
    EXPECT_EQ(screen.calls, (Calls{StrFormat("StretchBlt %p 3,5,40,50 0,0,30,30 0,0,100,50 ffffffff 0 0", p),
                                   StrFormat("StretchBlt %p 2,3,10,10 5,5,5,5 0,0,100,50 ffffffff 0 0", p),
                                   StrFormat("StretchBltMirror %p 2,3,10,10 5,5,5,5 0,0,100,50 ffffffff 0 0", p),
                                   StrFormat("StretchBlt %p 2,3,10,10 5,5,5,5 0,0,100,50 ffffffff 0 0", p)}));
}

TEST_F(GraphicsTest, MatrixDrawsInDestinationPixelsAndLeaveTheTranslationAlone)
{
    SpyImage maskImage(8, 8);
    g.TranslateF(3.5f, 0.0f);
    g.SetLinearBlend(true);
    g.mask.image = &maskImage;
    Matrix3 m;
    m.Translate(7, 0);
    g.DrawImageMatrix(&picture, m, Rect(0, 0, 30, 30), 1.5f, 2.5f);
    g.mask.image = nullptr;
    g.DrawImageF(&picture, m, Rect(0, 0, 30, 30), 1.5f, 2.5f);
    EXPECT_EQ(g.transX, 3.5f);
    const void* p = &picture;
    EXPECT_EQ(screen.calls,
              (Calls{StrFormat("BltMatrix %p 1.5,2.5 m02=7 0,0,100,50 ffffffff 0 0,0,30,30 1 mask=%p", p,
                               (void*)&maskImage),
                     StrFormat("BltMatrix %p 1.5,2.5 m02=7 0,0,100,50 ffffffff 0 0,0,30,30 1 mask=%p", p,
                               (void*)nullptr)}));
}

TEST_F(GraphicsTest, ImageBoxKeepsTheCornersAndTilesTheMiddleCutByTheClip)
{
    // A 30 x 30 source has 10-pixel corners and a 10-pixel middle; 95 x 50 leaves 75 x 30 to tile.
    g.DrawImageBox(Rect(0, 0, 95, 50), &picture);

    Calls expected = {Blt(0, 0, Rect(0, 0, 10, 10)), Blt(85, 0, Rect(20, 0, 10, 10)),
                      Blt(0, 40, Rect(0, 20, 10, 10)), Blt(85, 40, Rect(20, 20, 10, 10))};
    auto width = [](int i) { return i == 7 ? 5 : 10; }; // the eighth tile ends at the clip
    for (int i = 0; i < 8; ++i) {
        expected.push_back(Blt(10 + 10 * i, 0, Rect(10, 0, width(i), 10)));
        expected.push_back(Blt(10 + 10 * i, 40, Rect(10, 20, width(i), 10)));
    }
    for (int j = 0; j < 3; ++j) {
        expected.push_back(Blt(0, 10 + 10 * j, Rect(0, 10, 10, 10)));
        expected.push_back(Blt(85, 10 + 10 * j, Rect(20, 10, 10, 10)));
    }
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 3; ++j)
            expected.push_back(Blt(10 + 10 * i, 10 + 10 * j, Rect(10, 10, width(i), 10)));
    EXPECT_EQ(screen.calls, expected);

    screen.calls.clear();
    g.DrawImageBox(Rect(0, 0, 0, 5), Rect(0, 0, 50, 50), &picture); // an empty source
    EXPECT_TRUE(screen.calls.empty());
}

TEST_F(GraphicsTest, StringsGoToTheFontUntranslatedWithTheColourAndClip)
{
    g.Translate(5, 5);
    g.DrawString(L"hi", 1, 2);
    g.SetFont(&font);
    g.SetColor(Color(10, 20, 30));
    g.DrawString(L"hi", 1, 2);
    EXPECT_EQ(Drawn(), (Calls{"hi@1,2 ff0a141e"}));
}

TEST_F(GraphicsTest, WriteStringReadsColourEscapes)
{
    struct Row {
        const wchar_t* text;
        bool escapes;
        Calls drawn;
        int width;
        uint32_t colorAfter;
    } rows[] = {
        {L"^^", true, {"^@0,0 80000000"}, 10, 0x80000000},
        {L"^FF0000^red", true, {"red@0,0 80ff0000"}, 30, 0x80FF0000},
        {L"ab^00fF00^cd", true, {"ab@0,0 80000000", "cd@20,0 8000ff00"}, 40, 0x8000FF00},
        {L"x^12ab", true, {"x@0,0 80000000"}, 10, 0x80000000}, // a cut-off escape ends the text
        {L"^zz0000^q", true, {"q@0,0 80000000"}, 10, 0x80000000}, // not hex: 0
        {L"^oldclr^o", true, {"o@0,0 80123456"}, 10, 0x80123456},
        {L"^oops!!^o", true, {"o@0,0 80000000"}, 10, 0x80000000},
        {L"^FF0000^red", false, {"^FF0000^red@0,0 80000000"}, 110, 0x80000000},
    };
    g.SetFont(&font);
    for (const Row& row : rows) {
        SCOPED_TRACE(NubraStringToString(row.text));
        font.draws.clear();
        g.SetColor(Color(0, 0, 0, 128));
        g.SetWriteColoredString(row.escapes);
        EXPECT_EQ(g.WriteString(row.text, 0, 0, -1, -1, true, 0, -1, 0x00123456), row.width);
        EXPECT_EQ(Drawn(), row.drawn);
        EXPECT_EQ(g.GetColor().ToInt(), row.colorAfter);
    }
}

TEST_F(GraphicsTest, WriteStringJustifiesWithinTheWidthAndWritesAPart)
{
    g.SetFont(&font);
    EXPECT_EQ(g.WriteString(L"abc", 0, 0, 100, 1), 30);
    g.WriteString(L"abc", 0, 0, 101, 0);
    g.WriteString(L"abc", 0, 0, 101, 2);
    EXPECT_EQ(g.WriteString(L"hello world", 5, 7, -1, -1, true, 6, 3), 30);
    EXPECT_EQ(g.WriteString(L"^ff0000^abc", 0, 0, 100, 1, false), 30); // measuring draws nothing
    EXPECT_EQ(Drawn(), (Calls{"abc@70,0", "abc@35,0", "abc@0,0", "wor@5,7"}));
    EXPECT_EQ(g.GetColor(), Color::Black);
}

TEST_F(GraphicsTest, WordWrapBreaksAtSpacesAndGivesLongWordsTheirOwnLines)
{
    g.SetFont(&font);
    int widest = 0;
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 20, 55, 0), L"aa bb    cc", -1, -1, &widest), 18);
    EXPECT_EQ(widest, 50);
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 35, 0), L"abcdefgh ij"), 3 * 14 + 4);
    EXPECT_EQ(g.WriteWordWrapped(Rect(60, 0, 5, 0), L"ab"), 14 + 4); // narrower than one character
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 50, 0), L"^ff0000^aaaaa"), 4); // escapes take no room
    EXPECT_EQ(Drawn(), (Calls{"aa bb@0,20", "cc@0,34", "abc@0,0", "def@0,14", "gh@0,28", "ij@0,42", "a@60,0",
                              "b@60,14", "aaaaa@0,0 ffff0000"}));
    EXPECT_EQ(g.GetColor(), Color::Black); // restored
}

TEST_F(GraphicsTest, WordWrapStartsNewLinesAtLineFeedsAndCarriesTheIndent)
{
    g.SetFont(&font);
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 1000, 0), L"ab\ncd"), 14 + 4);
    int last = 5; // the first line's indent
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 1000, 0), L"ab\n", -1, -1, nullptr, -1, &last), 14 + 4);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 1000, 0), L"a\n\nb"), 28 + 4);
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 1000, 0), L""), 4); // one empty line
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 45, 0), L"aaaa "), 4); // no blank line after the wrap
    last = 30;
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 10, 55, 0), L"ab cd", 20, -1, nullptr, 4, &last), 20 + 4);
    EXPECT_EQ(last, 10);
    EXPECT_EQ(Drawn(), (Calls{"ab@0,0", "cd@0,14", "ab@5,0", "a@0,0", "b@0,28", "aaaa@0,0", "ab@30,10", "c@0,30"}));
}

TEST_F(GraphicsTest, WordWrapDrawsLinesNearTheClipButMeasuresThemAll)
{
    g.SetFont(&font);
    g.TranslateF(0.0f, 8.0f);
    int widest = 0;
    // Baselines 8, 22 ... 92 on the screen; the clip ends at 50 and lines up to one spacing
    // below it are written.
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 15, 0), L"a b c d e f g", -1, -1, &widest), 84 + 4);
    EXPECT_EQ(widest, 10);
    EXPECT_EQ(Drawn(), (Calls{"a@0,0", "b@0,14", "c@0,28", "d@0,42"}));

    font.draws.clear();
    g.SetColor(Color::White);
    g.WriteWordWrapped(Rect(0, 0, 1000, 0), L"^ff0000^r^oldclr^w");
    EXPECT_EQ(Drawn(), (Calls{"r@0,0 ffff0000", "w@10,0 ffffffff"}));

    int measuredWidest = 0; // the widest line breaks at a space and lies outside any clip
    EXPECT_EQ(g.GetWordWrappedHeight(55, L"abcd e f", -1, &measuredWidest), 14 + 4);
    EXPECT_EQ(measuredWidest, 40);
    EXPECT_EQ(font.draws.size(), 2u);
}

TEST_F(GraphicsTest, TheSecondWordWrapFormTakesTheTopOfTheText)
{
    g.SetFont(&font);
    font.ascentPadding = 3;
    g.WriteWordWrapped(L"ab", 5, 20, 100);
    EXPECT_EQ(Drawn(), (Calls{"ab@5,25"})); // baseline at top + ascent - padding
}
