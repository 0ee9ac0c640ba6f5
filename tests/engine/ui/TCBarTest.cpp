#include "engine/ui/TCBar.h"

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

TEST(BarSegments, TheFilledShareFollowsValueOverMaximum)
{
    struct Case {
        int width, segment, value, maximum;
        TCBarSegments expected;
    };
    for (const Case& c : {
             Case{100, 10, 5, 10, {10, 5}},
             Case{40, 10, 1, 3, {4, 2}}, // segment i fills while i/count < value/maximum: 1/4 < 1/3
             Case{100, 10, 3, 10, {10, 3}},
             Case{100, 10, 0, 10, {10, 0}},
             Case{100, 10, 10, 10, {10, 10}},
             Case{100, 10, 25, 10, {10, 10}},
             Case{100, 10, -2, 10, {10, 0}},
             Case{9, 10, 5, 10, {0, 0}}, // narrower than a segment
             Case{100, 0, 5, 10, {0, 0}}, // no segment width
             Case{100, -5, 5, 10, {0, 0}},
             Case{100, 10, 0, 0, {0, 0}}, // no maximum yet
             Case{100, 10, 5, 0, {0, 0}},
         }) {
        EXPECT_EQ(SplitBar(c.width, c.segment, c.value, c.maximum), c.expected)
            << c.width << " " << c.segment << " " << c.value << "/" << c.maximum;
    }
}

class Bars : public fixtures::UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        images_.width = 10;
        images_.height = 10;
        images_.argb = 0xFFFF0000;
        fake_.table.Add("red", "red.png");
        FindTexture("red").GetImage(); // pictures take the colour current when first loaded
        images_.argb = 0xFF0000FF;
        fake_.table.Add("blue", "blue.png");
        FindTexture("blue").GetImage();
    }
    // The colour of each 10-pixel segment's middle after drawing a 100 x 10 bar at that scale.
    std::string Drawn(const std::string& attributes, float scale = 1.0f)
    {
        auto* bar = OnScreen(new TCBar(nullptr));
        bar->LoadFromXml(Xml("<element width='100' height='10' visible='1' " + attributes +
                             "><texture id='fill' texture='red'/><texture id='empty' texture='blue'/></element>"),
                         &engine_);
        bar->SetScale(scale);
        bar->SetMax(10);
        bar->SetValue(5);
        Nubra::MemoryImage screen;
        screen.Create(100, 10);
        Nubra::Graphics g(&screen);
        bar->Draw(&g);
        std::string colours;
        for (int x = 5; x < 100; x += 10) {
            const uint32_t pixel = screen.GetBits()[5 * 100 + x];
            colours += (pixel >> 24) == 0 ? '.' : (pixel & 0xFF0000) > (pixel & 0xFF) << 16 ? 'f' : 'e';
        }
        return colours;
    }
};

TEST_F(Bars, SegmentsAreDrawnFillThenEmptyAtTheirScaledWidth)
{
    EXPECT_EQ(Drawn("seg_width='10'"), "fffffeeeee");
    EXPECT_EQ(Drawn("seg_width='10'", 0.5f), "ffeee.....") << "ten 5-pixel segments";
    EXPECT_EQ(Drawn("seg_width='0'"), "..........");
    EXPECT_EQ(Drawn(""), "..........");
}

} // namespace
