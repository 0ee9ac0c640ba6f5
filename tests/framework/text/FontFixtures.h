#pragma once
// Image fonts for the tests: a glyph sheet written as a PNG and a description beside it.
#include "Utf16File.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/TestDoubles.h"
#include "framework/text/FontData.h"
#include "framework/text/ImageFont.h"
#include "framework/text/StandaloneFontHost.h"
#include "framework/util/StringUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace fixtures {

using namespace Nubra;

// Records the pop-ups.
struct FakeFontHost : StandaloneFontHost {
    void PopupW(const std::wstring& text) override { popups.push_back(text); }

    std::vector<std::wstring> popups;
};

// Glyph cells of 5, 7 and 3 pixels by 16 side by side, each a colour of its own.
constexpr uint32_t kCellColors[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
constexpr int kCellWidths[] = {5, 7, 3};
constexpr int kCellHeight = 16;

inline void WriteGlyphSheet(const std::string& path)
{
    ImageLib::Image sheet(15, kCellHeight);
    for (int y = 0; y < kCellHeight; ++y)
        for (int x = 0, cell = 0, end = kCellWidths[0]; x < 15; ++x) {
            if (x == end)
                end += kCellWidths[++cell];
            sheet.Row(y)[x] = kCellColors[cell];
        }
    ASSERT_TRUE(ImageLib::WritePNGImage(path, sheet));
}

// A font of the glyphs A, B and V on one layer "Main" drawn at point size 10: advances 6, 8
// and 4, spacing 1, B set 1 right and 2 up, the pair AV kerned by -2, ascent 12.
inline const wchar_t* kMainFont = LR"(# The test font
SetDefaultPointSize 10;
CreateHorzSpanRectList Cells (0, 0, 0, 16) (5, 7, 3);
CreateLayer Main;
LayerSetImage Main 'sheet.png';
LayerSetPointSize Main 10;
LayerSetImageMap Main ('A', 'B', 'V') Cells;
LayerSetCharWidths Main ('A', 'B', 'V') (6, 8, 4);
LayerSetCharOffsets Main ('B') ((1, -2));
LayerSetAscent Main 12;
LayerSetSpacing Main 1;
LayerSetKerningPairs Main ('AV') (-2);
)";

struct ImageFontFixture : ::testing::Test {
    TempFolder folder{"nubra_imagefont_test"};
    FakeFontHost host;

    ImageFontFixture() { WriteGlyphSheet(folder.File("sheet.png")); }

    // An image font from the description text.
    std::unique_ptr<ImageFont> Font(const std::wstring& description, const std::string& name = "font.txt")
    {
        return std::make_unique<ImageFont>(&host, WriteUtf16File(folder.File(name), description));
    }

    // The names of the active layers, in drawing order.
    static std::string ActiveLayers(ImageFont& font)
    {
        font.Prepare();
        std::string names;
        for (const auto& active : font.activeLayers)
            for (const auto& [name, layer] : font.fontData->fontLayerMap)
                if (layer == active.baseFontLayer)
                    names += (names.empty() ? "" : " ") + name;
        return names;
    }
};

} // namespace fixtures
