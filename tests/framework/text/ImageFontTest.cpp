#include "FontFixtures.h"

#include <thread>

using namespace fixtures;
using NubraTest::SpyImage;
using NubraTest::Str;

namespace {

using Calls = std::vector<std::string>;

struct ImageFontTest : ImageFontFixture {
    SpyImage screen{30000, 50};
    Graphics g{&screen};

    static std::string Blt(Image* sheet, int x, int y, const Rect& src, uint32_t color, int mode = 0)
    {
        return StrFormat("Blt %p %d,%d %s %08x %d", (void*)sheet, x, y, Str(src).c_str(), color, mode);
    }
    static MemoryImage* Sheet(ImageFont& font, int layer = 0)
    {
        font.Prepare();
        return std::next(font.activeLayers.begin(), layer)->scaledImage;
    }
};

} // namespace

TEST_F(ImageFontTest, MeasuresAndDrawsGlyphsFromTheSheet)
{
    auto font = Font(kMainFont);
    EXPECT_EQ(font->StringWidth(L"ABVA"), 6 + (8 + 1) + (4 + 1) + (6 + 1));
    EXPECT_EQ(font->StringWidth(L"AV"), 6 + (4 + 1 - 2)); // kerned
    EXPECT_EQ(font->CharWidth(L'B'), 8);
    EXPECT_EQ(font->CharWidthKern(L'V', L'A'), 3);
    EXPECT_EQ(font->StringWidth(L"A?"), 6 + 1); // a character the font lacks adds only the spacing
    EXPECT_EQ(font->GetAscent(), 12);
    EXPECT_EQ(font->GetHeight(), 16);

    MemoryImage* sheet = Sheet(*font);
    g.SetColor(Color(1, 2, 3, 4)); // restored afterwards
    std::vector<Rect> drawn;
    int width = 0;
    font->DrawStringEx(&g, 10, 20, L"AVB", Color(200, 100, 50), Rect(), &drawn, &width);
    EXPECT_EQ(screen.calls, (Calls{Blt(sheet, 10, 8, Rect(0, 0, 5, 16), 0xFFC86432),
                                   Blt(sheet, 15, 8, Rect(12, 0, 3, 16), 0xFFC86432),
                                   Blt(sheet, 21, 6, Rect(5, 0, 7, 16), 0xFFC86432)}));
    EXPECT_EQ(drawn, (std::vector<Rect>{Rect(10, 8, 5, 16), Rect(15, 8, 3, 16), Rect(21, 6, 7, 16)}));
    EXPECT_EQ(width, font->StringWidth(L"AVB"));
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3, 4));
    EXPECT_FALSE(g.GetColorizeImages());
}

TEST_F(ImageFontTest, DrawingScalesByTheExactRatioThatMeasuringUses)
{
    auto font = Font(kMainFont);
    font->SetPointSize(15); // 1.5 times the size the layer was drawn at
    EXPECT_EQ(font->GetAscent(), 18);
    EXPECT_EQ(font->GetHeight(), 24);

    // The scaled sheet holds A, B and V side by side at 7, 10 and 4 pixels by 24.
    MemoryImage* sheet = Sheet(*font);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->GetWidth(), 21);
    EXPECT_EQ(sheet->GetHeight(), 24);

    int width = 0;
    font->DrawStringEx(&g, 10, 30, L"AVB", Color::White, Rect(), nullptr, &width);
    // A advances 9 + trunc((1 - 2) x 1.5) = 8, V 6 + trunc(1 x 1.5) = 7; B sits trunc(1.5) right
    // and 30 - trunc((12 + 2) x 1.5) = 9 down.
    EXPECT_EQ(screen.calls, (Calls{Blt(sheet, 10, 12, Rect(0, 0, 7, 24), 0xFFFFFFFF),
                                   Blt(sheet, 18, 12, Rect(17, 0, 4, 24), 0xFFFFFFFF),
                                   Blt(sheet, 26, 9, Rect(7, 0, 10, 24), 0xFFFFFFFF)}));
    EXPECT_EQ(width, 8 + 7 + 12);
    EXPECT_EQ(width, font->StringWidth(L"AVB"));

    font->SetPointSize(10);
    font->SetScale(2.0);
    font->DrawStringEx(&g, 0, 30, L"AV", Color::White, Rect(), nullptr, &width);
    EXPECT_EQ(width, font->StringWidth(L"AV"));
    EXPECT_EQ(width, 12 + (8 - 2));
}

TEST_F(ImageFontTest, LayersTintAndOrderTheirGlyphs)
{
    auto font = Font(std::wstring(kMainFont) + LR"(
        LayerSetColorAdd Main 0x00100000;
        LayerSetCharOrders Main ('A', 'B') (500, -200);
        CreateLayerFrom Shadow Main;
        LayerSetColorMult Shadow (0, 0, 0, 0.5);
        LayerSetColorAdd Shadow 0;
        LayerSetOffset Shadow (1, 1);
        LayerSetBaseOrder Shadow -1;
        LayerSetDrawMode Shadow 1;
    )");
    MemoryImage* sheet = Sheet(*font);
    font->DrawString(&g, 0, 20, L"AVB", Color(250, 10, 20), Rect());
    // Buckets: B 0 (-200, both layers), V 127 (shadow) then 128, A 255 (500, both layers);
    // each bucket in the order its glyphs were placed: Main before Shadow.
    EXPECT_EQ(screen.calls, (Calls{Blt(sheet, 11, 6, Rect(5, 0, 7, 16), 0xFFFF0A14),
                                   Blt(sheet, 12, 7, Rect(5, 0, 7, 16), 0x7F000000, 1),
                                   Blt(sheet, 6, 9, Rect(12, 0, 3, 16), 0x7F000000, 1),
                                   Blt(sheet, 5, 8, Rect(12, 0, 3, 16), 0xFFFF0A14),
                                   Blt(sheet, 0, 8, Rect(0, 0, 5, 16), 0xFFFF0A14),
                                   Blt(sheet, 1, 9, Rect(0, 0, 5, 16), 0x7F000000, 1)}));
    EXPECT_EQ(g.GetDrawMode(), 0);
}

TEST_F(ImageFontTest, OneCallDrawsAtMost4096Glyphs)
{
    auto font = Font(kMainFont);
    std::vector<Rect> drawn;
    int width = 0;
    font->DrawStringEx(&g, 0, 20, std::wstring(ImageFont::kMaxDrawCommands + 1, L'A'), Color::White, Rect(), &drawn,
                       &width);
    EXPECT_EQ(screen.calls.size(), size_t(ImageFont::kMaxDrawCommands));
    EXPECT_EQ(drawn.size(), size_t(ImageFont::kMaxDrawCommands));
    EXPECT_EQ(width, ImageFont::kMaxDrawCommands * 7); // the pen stops after the last glyph placed
}

TEST_F(ImageFontTest, TagsAreStoredUpperCaseAndComparedExactly)
{
    auto font = Font(std::wstring(kMainFont) + L"LayerExcludeTags Main ('bold');");
    EXPECT_TRUE(font->AddTag("bold"));
    EXPECT_TRUE(font->HasTag("BOLD"));
    EXPECT_FALSE(font->HasTag("bold"));
    EXPECT_EQ(font->StringWidth(L"A"), 0); // Main is excluded now
    EXPECT_TRUE(font->AddTag("bold")); // "bold" as given is not on the font
    EXPECT_FALSE(font->AddTag("BOLD"));
    EXPECT_EQ(font->tags, (std::vector<std::string>{"BOLD", "BOLD"}));
    EXPECT_TRUE(font->RemoveTag("Bold"));
    EXPECT_TRUE(font->RemoveTag("bold"));
    EXPECT_FALSE(font->RemoveTag("bold"));
    EXPECT_EQ(font->StringWidth(L"A"), 6);
}

TEST_F(ImageFontTest, CopiesShareTheDescriptionAndOutliveTheOriginal)
{
    auto font = Font(kMainFont);
    font->SetPointSize(15);
    font->AddTag("x");
    MemoryImage* scaledSheet = Sheet(*font);
    std::unique_ptr<Nubra::Font> copy(font->Duplicate());
    auto& imageCopy = static_cast<ImageFont&>(*copy);
    EXPECT_EQ(imageCopy.fontData, font->fontData);
    EXPECT_NE(Sheet(imageCopy), scaledSheet); // a scaled sheet is the font's own
    EXPECT_EQ(font->fontData->refCount, 2);
    EXPECT_EQ(imageCopy.GetPointSize(), 15);
    EXPECT_TRUE(imageCopy.HasTag("X"));
    font.reset();

    int width = 0;
    imageCopy.DrawStringEx(&g, 0, 30, L"AV", Color::White, Rect(), nullptr, &width);
    EXPECT_EQ(width, 14);
    EXPECT_EQ(screen.calls.size(), 2u);
}

TEST_F(ImageFontTest, FontsDrawingOnTwoThreadsKeepTheirOwnGlyphs)
{
    // The command pool is shared by all image fonts; the drawing lock keeps calls apart.
    auto fontA = Font(kMainFont, "a.txt"), fontV = Font(kMainFont, "v.txt");
    const std::wstring textA(1000, L'A'), textV(1000, L'V');
    SpyImage onceA(30000, 50), onceV(30000, 50);
    Graphics gA(&onceA), gV(&onceV);
    fontA->DrawString(&gA, 0, 20, textA, Color::White, Rect());
    fontV->DrawString(&gV, 0, 20, textV, Color::White, Rect());

    auto drawMany = [](ImageFont* font, const std::wstring* text, SpyImage* target) {
        Graphics context(target);
        for (int i = 0; i < 20; ++i)
            font->DrawString(&context, 0, 20, *text, Color::White, Rect());
    };
    SpyImage manyA(30000, 50), manyV(30000, 50);
    std::thread other(drawMany, fontA.get(), &textA, &manyA);
    drawMany(fontV.get(), &textV, &manyV);
    other.join();

    Calls expectedA, expectedV;
    for (int i = 0; i < 20; ++i) {
        expectedA.insert(expectedA.end(), onceA.calls.begin(), onceA.calls.end());
        expectedV.insert(expectedV.end(), onceV.calls.begin(), onceV.calls.end());
    }
    EXPECT_EQ(manyA.calls, expectedA);
    EXPECT_EQ(manyV.calls, expectedV);
}
