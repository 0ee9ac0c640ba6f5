#include "FontFixtures.h"

using namespace fixtures;
using NubraTest::SpyImage;

namespace {

struct FontDataTest : ImageFontFixture {};

using Texts = std::vector<std::wstring>;

// The error part of each pop-up: between the header's line break and " on Line".
Texts ErrorsOf(const Texts& popups)
{
    Texts errors;
    for (const auto& popup : popups) {
        size_t start = popup.find(L"\r\n") + 2;
        errors.push_back(popup.substr(start, popup.find(L" on Line") - start));
    }
    return errors;
}

} // namespace

TEST_F(FontDataTest, StatementErrorsStopTheParseAndLeaveAFontThatShowsNothing)
{
    struct Case {
        const wchar_t* statement;
        Texts errors;
    } cases[] = {
        {L"LayerSetDrawMode Main 2", {L"Invalid Paramater Type"}},
        {L"LayerSetCharWidths Main ('A', 'B', 'V') (1, 2)", {L"List Size Mismatch"}},
        {L"Bogus 1", {L"Unknown Command"}},
        {L"LayerSetImageMap Main ('A') ((10, 0, 6, 16))", {L"Image rectangle out of bounds"}},
        {L"LayerSetImageMap Main ('A') ((0, 0, -1, 16))", {L"Image rectangle out of bounds"}},
        {L"LayerSetAscent Nothing 3", {L"Undefined Layer", L"Invalid Paramater Type"}},
        {L"LayerSetAscent Main", {L"Invalid Number of Parameters"}},
        {L"CreateLayer main", {L"Layer Already Exists"}},
        {L"LayerSetImage Main 'missing.png'", {L"Failed to Load Image"}},
        {L"CreateLayer Bare; LayerSetImageMap Bare ('A') ((0, 0, 1, 1))", {L"Layer image not set"}},
        {L"LayerSetCharWidths Main ('AB', 'A') (1, 2)", {L"Invalid Paramater Type"}},
        {L"LayerSetColorMult Main (1, 1, 1)", {L"Invalid Paramater Type"}},
        {L"LayerSetSpacing Main wide", {L"Invalid Paramater Type"}},
        {L"Define 5 (1)", {L"Invalid Paramater Type"}},
        {L"LayerSetCharWidths Main ('A') Missing", {L"Unable to Dereference \"Missing\"", L"Invalid Paramater Type"}},
        {L"Say (1", {L"Unterminated List"}},
    };
    for (const auto& c : cases) {
        host.popups.clear();
        auto font = Font(std::wstring(kMainFont) + c.statement + L";\nLayerSetAscent Main 20;");
        SCOPED_TRACE(NubraStringToString(c.statement));
        EXPECT_EQ(ErrorsOf(host.popups), c.errors);
        EXPECT_FALSE(font->fontData->initialized);
        EXPECT_EQ(font->fontData->fontLayerMap.at("MAIN")->ascent, 12); // nothing after the error ran

        SpyImage screen(100, 50);
        Graphics g(&screen);
        int width = -1;
        font->DrawStringEx(&g, 0, 20, L"ABV", Color::White, Rect(), nullptr, &width);
        EXPECT_TRUE(screen.calls.empty());
        EXPECT_EQ(width, 0);
        EXPECT_EQ(font->StringWidth(L"ABV"), 0);
        EXPECT_EQ(font->GetHeight(), 0);
    }
}

TEST_F(FontDataTest, PopupNamesTheFileTheLineAndTheStatement)
{
    std::string file = WriteUtf16File(folder.File("bad.txt"), L"CreateLayer Main;\n\nLayerSetDrawMode Main\n   2;");
    ImageFont font(&host, file);
    ASSERT_EQ(host.popups.size(), 1u);
    EXPECT_EQ(host.popups[0], L"Font Descriptor Error in " + StringToWString(file) +
                                  L"\r\nInvalid Paramater Type on Line 3:\r\n\r\nLayerSetDrawMode Main\n2");
}

TEST_F(FontDataTest, ErrorsOutsideALoadCarryNoLineAndNeedAHost)
{
    FontData data;
    EXPECT_FALSE(data.Error(L"quiet"));
    EXPECT_EQ(data.error, L"quiet");
    EXPECT_TRUE(data.Load(&host, folder.File("missing.txt")));
    EXPECT_FALSE(data.initialized);
    EXPECT_FALSE(data.Error(L"loud"));
    EXPECT_EQ(host.popups, Texts{L"Font Descriptor Error in " + StringToWString(folder.File("missing.txt")) + L"\r\nloud"});
}

TEST_F(FontDataTest, CommandsFillTheLayers)
{
    auto font = Font(std::wstring(kMainFont) + LR"(
        Define Title 'Velmira';
        Define Pairs ('VA');
        Define Copy Title;
        layersetkerningpairs MAIN Pairs (200);
        CreateLayerFrom Shadow Main;
        LayerSetColorMult Shadow (0, 0.5, 1.0, 2);
        LayerSetColorAdd Shadow 0x80FF0010;
        LayerSetDrawMode Shadow 1;
        LayerSetOffset Shadow (1, 1);
        LayerSetCharOrders Shadow ('A') (-3);
        LayerSetBaseOrder Shadow -1;
        LayerSetCharOffsetsShift Shadow anything (at, all);
    )");
    FontData& data = *font->fontData;
    ASSERT_TRUE(data.initialized) << (host.popups.empty() ? "" : NubraStringToString(host.popups[0]));
    EXPECT_EQ(data.DataElementToString(data.FindDefine(L"cells")), L"((0, 0, 5, 16), (5, 0, 7, 16), (12, 0, 3, 16))");
    EXPECT_EQ(font->GetDefine(L"title"), L"Velmira");
    EXPECT_EQ(font->GetDefine(L"copy"), L"Velmira");
    EXPECT_EQ(font->GetDefine(L"cells"), L"");
    EXPECT_EQ(font->GetDefine(L"nothing"), L"");
    EXPECT_EQ(font->GetDefaultPointSize(), 10);

    const FontLayer& main = *data.fontLayerMap.at("MAIN");
    EXPECT_EQ(main.charData.at(L'A').kerningOffsets.at(L'V'), -2); // the pair AV lives under A
    EXPECT_EQ(main.charData.at(L'V').kerningOffsets.at(L'A'), -56); // 200 kept as a signed byte
    EXPECT_EQ(main.GetCharData(L'B').offset, Point(1, -2));
    EXPECT_EQ(main.GetCharData(L'B').imageRect, Rect(5, 0, 7, 16));
    EXPECT_EQ(main.defaultHeight, 16); // the tallest glyph plus its vertical offset

    const FontLayer& shadow = *data.fontLayerMap.at("SHADOW");
    EXPECT_EQ(shadow.colorMult, Color(0, 127, 255, 510));
    EXPECT_EQ(shadow.colorAdd, Color(0xFF, 0x00, 0x10, 0x80));
    EXPECT_EQ(shadow.drawMode, 1);
    EXPECT_EQ(shadow.offsetX, 1);
    EXPECT_EQ(shadow.GetCharData(L'A').order, -3);
    EXPECT_EQ(shadow.baseOrder, -1);
    EXPECT_EQ(shadow.GetCharData(L'V').width, 4); // copied from Main
    EXPECT_EQ((MemoryImage*)shadow.image, (MemoryImage*)main.image);
    EXPECT_EQ(main.drawMode, -1);
    EXPECT_EQ(main.colorMult, Color(255, 255, 255, 255));
}

TEST_F(FontDataTest, GlyphSheetsAreSharedAndPalettised)
{
    auto first = Font(kMainFont, "one.txt");
    auto second = Font(kMainFont, "two.txt");
    ASSERT_EQ(host.images.size(), 1u);
    MemoryImage* sheet = host.images.begin()->second->image;
    ASSERT_NE(sheet, nullptr);
    EXPECT_NE(sheet->colorTable, nullptr);
    EXPECT_EQ(host.images.begin()->second->refCount, 2);
    EXPECT_EQ(host.images.begin()->first, folder.File("sheet.png") + "|");
}

TEST_F(FontDataTest, LayersAreActiveByPointRangeAndTags)
{
    auto font = Font(LR"(
        CreateLayer Small; LayerPointRange Small 10 20;
        CreateLayer Any; LayerPointRange Any 5 -1;
        CreateLayer Shadow; LayerRequireTags Shadow ('shadow');
        CreateLayer Plain; LayerExcludeTags Plain ('Bold', 'italic');
    )");
    struct Case {
        int pointSize;
        const char* tag;
        const char* active;
    } cases[] = {
        {9, nullptr, "ANY PLAIN"},        {10, nullptr, "SMALL ANY PLAIN"},
        {20, nullptr, "SMALL ANY PLAIN"}, {21, nullptr, "ANY PLAIN"},
        {4, nullptr, "PLAIN"},            {100000, nullptr, "ANY PLAIN"},
        {15, "shadow", "SMALL ANY SHADOW PLAIN"}, {15, "Italic", "SMALL ANY"},
    };
    for (const auto& c : cases) {
        ImageFont copy(*font);
        copy.SetPointSize(c.pointSize);
        if (c.tag)
            copy.AddTag(c.tag);
        EXPECT_EQ(ActiveLayers(copy), c.active) << c.pointSize << " " << (c.tag ? c.tag : "");
    }
}
