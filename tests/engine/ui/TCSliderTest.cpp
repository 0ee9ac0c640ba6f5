#include "engine/ui/TCSlider.h"

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "engine/ui/TCBar.h"

namespace {

TEST(SliderThumb, TheThumbCentresOnTheValueWithinTheTrack)
{
    struct Case {
        int track, thumb, value, maximum, offset;
    };
    for (const Case& c : {
             Case{180, 20, 50, 100, 80},
             Case{180, 20, 0, 100, 0}, // would start left of the track
             Case{180, 20, 100, 100, 160}, // would end right of it
             Case{180, 21, 50, 100, 80}, // integer halving of the thumb
             Case{10, 20, 5, 10, 0}, // a track narrower than the thumb
         }) {
        EXPECT_EQ(SliderThumbOffset(c.track, c.thumb, c.value, c.maximum), c.offset)
            << c.track << " " << c.thumb << " " << c.value << "/" << c.maximum;
    }
}

class Sliders : public fixtures::UiTest {
protected:
    // A 200 x 20 slider at (100, 100), shown, its zone the whole of it with dead zones of 20, the
    // thumb 20 wide at x 10.
    TCSlider* Slider(const std::string& zone = "mz_x='0' mz_y='0' mz_width='200' mz_height='20'",
                     const std::string& children = "")
    {
        auto* slider = OnScreen(new TCSlider(nullptr));
        slider->LoadFromXml(Xml("<element x='100' y='100' width='200' height='20' visible='1' " + zone +
                                " mz_dz1='20' mz_dz2='20'>" + children + "</element>"),
                            &engine_);
        slider->SetMax(100);
        return slider;
    }
    static constexpr const char* kChildren =
        "<element name='back' width='200' height='20' visible='1'/>"
        "<element name='bar' width='180' height='20' seg_width='10' visible='1'/>"
        "<element name='thumb' x='10' width='20' height='20' visible='1'/>";
};

TEST_F(Sliders, APressInTheZoneSetsTheValueAndADragDoesNot)
{
    TCSlider* slider = Slider("mz_x='0' mz_y='0' mz_width='200' mz_height='20'", kChildren);
    struct Case {
        int x, y, value;
    };
    for (const Case& c : {
             Case{100, 10, 50}, Case{0, 10, 0}, Case{15, 10, 0}, // the low dead zone
             Case{60, 10, 30}, Case{185, 10, 100}, // the high dead zone
             Case{60, 10, 30}, Case{199, 10, 100}, Case{60, 25, 100}, // below the zone: unchanged
         }) {
        Manager().MouseMove(100 + c.x, 100 + c.y);
        Manager().MouseDown(100 + c.x, 100 + c.y, 1);
        Manager().MouseUp(100 + c.x, 100 + c.y, 1);
        EXPECT_EQ(slider->GetValue(), c.value) << c.x << ", " << c.y;
    }
    Manager().MouseMove(150, 110);
    Manager().MouseDown(150, 110, 1);
    Manager().MouseDrag(250, 110);
    Manager().MouseUp(250, 110, 1);
    EXPECT_EQ(slider->GetValue(), 25);
    auto* bar = dynamic_cast<TCBar*>(slider->FindChild("bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetValue(), 25);
    EXPECT_EQ(bar->GetMax(), 100);
}

TEST_F(Sliders, TheThumbFollowsTheClampedValueWhileShown)
{
    TCSlider* slider = Slider("", kChildren);
    slider->SetValue(150);
    Step();
    EXPECT_EQ(slider->GetValue(), 100);
    // Track 200 - 2 x 10, the thumb's right edge at its end.
    EXPECT_EQ(slider->GetThumb()->x, 10 + 160);
    slider->SetValue(50);
    Step();
    EXPECT_EQ(slider->GetThumb()->x, 10 + 80);

    slider->SetMax(0);
    slider->SetValue(0);
    Step();
    EXPECT_EQ(slider->GetThumb()->x, 10 + 80) << "no maximum: the thumb stays";

    slider->SetMax(100);
    slider->SetValue(150);
    slider->SetVisible(false);
    Step();
    EXPECT_EQ(slider->GetValue(), 150) << "clamped only while shown";
}

TEST_F(Sliders, WithoutZoneWidthOrChildrenNothingBreaks)
{
    TCSlider* slider = Slider("mz_x='100' mz_y='0' mz_width='0' mz_height='20'");
    slider->SetValue(40);
    slider->MouseDown(100, 10, 1, 1);
    EXPECT_EQ(slider->GetValue(), 40) << "a zone without width reads no value";
    Step();
    EXPECT_EQ(slider->GetThumb(), nullptr);
}

} // namespace
