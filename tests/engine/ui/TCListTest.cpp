#include "engine/ui/TCList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "UiFixture.h"
#include "engine/ui/TCBar.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/TCCheckBox.h"
#include "engine/ui/TCDialog.h"
#include "engine/ui/TCSlider.h"
#include "engine/ui/TCScrollBar.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

class Lists : public fixtures::UiTest {
protected:
    // A list at (100, 100), 200 wide, shown, with `items` rows and a 20-pixel scroll bar whose
    // buttons are 20 (up, down) and 10 (slider) high.
    TCList* List(int items, int height = 100, const std::string& rowHeight = "line_spacing='20'")
    {
        auto* list = OnScreen(new TCList(nullptr));
        list->LoadFromXml(
            Xml("<element x='100' y='100' width='200' height='" + std::to_string(height) + "' visible='1' " +
                rowHeight +
                " left='4' sel_color='FF00FF00'><texture id='check' texture='pic'/>"
                "<element name='scroll' width='20' height='10' visible='1' distx1='7' disty1='7'>"
                "<element name='up' x='5' y='5' width='20' height='20' visible='1'/>"
                "<element name='down' width='20' height='20' visible='1'/>"
                "<element name='slider' width='20' height='10' visible='1'/></element></element>"),
            &engine_);
        for (int i = 0; i < items; ++i)
            list->AddItem(L"row " + std::to_wstring(i));
        return list;
    }
    void Press(int x, int y)
    {
        Manager().MouseMove(x, y);
        Manager().MouseDown(x, y, 1);
        Manager().MouseUp(x, y, 1);
    }
};

TEST_F(Lists, RowsAndScrollRangeFollowItemsAndHeights)
{
    struct Case {
        int items, height;
        std::string rowHeight;
        int rows, maximum;
    };
    for (const Case& c : {
             Case{10, 100, "line_spacing='20'", 6, 5},
             Case{6, 100, "line_spacing='20'", 6, 1}, // the sixth row is cut by the bottom edge
             Case{5, 100, "line_spacing='20'", 6, 0},
             Case{0, 100, "line_spacing='20'", 6, 0},
             Case{10, 100, "line_spacing='25'", 5, 6},
             Case{10, 90, "line_spacing='20'", 5, 6},
             Case{10, 100, "line_spacing='0'", 101, 0}, // no font either: rows 1 high
             Case{10, 100, "", 101, 0},
         }) {
        TCList* list = List(c.items, c.height, c.rowHeight);
        TCScrollBar* scroll = list->GetScrollBar();
        ASSERT_NE(scroll, nullptr);
        EXPECT_EQ(list->GetVisibleRows(), c.rows) << c.items << " " << c.height << " " << c.rowHeight;
        EXPECT_EQ(scroll->GetMax(), c.maximum) << c.items << " " << c.height << " " << c.rowHeight;
        EXPECT_EQ(scroll->disabled, c.maximum == 0);
        EXPECT_EQ(scroll->GetButton(TCScrollBar::kSlider)->visible, c.maximum != 0);
    }
}

TEST_F(Lists, TheScrollBarIsLaidAlongTheRightEdge)
{
    TCList* list = List(10);
    TCScrollBar* scroll = list->GetScrollBar();
    EXPECT_EQ(Nubra::Rect(scroll->x, scroll->y, scroll->width, scroll->height), Nubra::Rect(180, 0, 20, 100));
    EXPECT_EQ(list->GetTextWidth(), 200 - 20 - 4);
    TCButton* up = scroll->GetButton(TCScrollBar::kUp);
    TCButton* down = scroll->GetButton(TCScrollBar::kDown);
    EXPECT_EQ(Nubra::Point(up->x, up->y), Nubra::Point(0, 0));
    EXPECT_EQ(Nubra::Point(down->x, down->y), Nubra::Point(0, 80));
}

TEST_F(Lists, TheDownAndUpButtonsScrollTheRowsWithinTheRange)
{
    TCList* list = List(10);
    TCScrollBar* scroll = list->GetScrollBar();
    TCButton* slider = scroll->GetButton(TCScrollBar::kSlider);
    Press(290, 110); // up at 0
    Step();
    EXPECT_EQ(scroll->GetPosition(), 0);
    EXPECT_EQ(Nubra::Point(slider->x, slider->y), Nubra::Point(0, 20));
    for (int press = 0; press < 7; ++press)
        Press(290, 190);
    Step();
    EXPECT_EQ(scroll->GetPosition(), 5) << "down stops at the maximum";
    EXPECT_EQ(list->GetTopRow(), 5);
    EXPECT_EQ(slider->y, 70);
    Press(290, 110);
    Press(290, 110);
    Step();
    EXPECT_EQ(list->GetTopRow(), 3);
    EXPECT_EQ(slider->y, 20 + 50 * 3 / 5);
}

TEST_F(Lists, ALoneScrollBarPlacesItsSliderByThePosition)
{
    auto* scroll = OnScreen(new TCScrollBar(nullptr));
    scroll->LoadFromXml(Xml("<element width='20' height='200' visible='1' distx1='0' distx2='0' disty1='20' "
                            "disty2='180'><element name='slider' width='20' height='10' visible='1'/></element>"),
                        &engine_);
    scroll->SetMax(4);
    scroll->SetPosition(2);
    Step();
    TCButton* slider = scroll->GetButton(TCScrollBar::kSlider);
    EXPECT_EQ(Nubra::Point(slider->x, slider->y), Nubra::Point(0, 100));
    EXPECT_EQ(scroll->GetButton(TCScrollBar::kUp), nullptr);
    scroll->ButtonPress(TCScrollBar::kUp, 1); // pressed by code: no button, no harm
    scroll->SetMax(0);
    Step();
    EXPECT_EQ(scroll->GetPosition(), 0);
    EXPECT_FALSE(slider->visible);
}

TEST_F(Lists, APressSelectsAnExistingRowAndScrollsWhenItIsCut)
{
    TCList* list = List(10, 90);
    Press(150, 100 + 30);
    EXPECT_EQ(list->GetSelected(), 1);
    EXPECT_EQ(list->GetTopRow(), 0);
    Press(150, 100 + 85); // row 4 reaches below the 90-pixel edge
    EXPECT_EQ(list->GetSelected(), 4);
    EXPECT_EQ(list->GetTopRow(), 1);
    EXPECT_EQ(list->GetScrollBar()->GetPosition(), 1);

    TCList* few = List(3, 90);
    few->Move(400, 100);
    Press(450, 100 + 70); // below the last item
    EXPECT_EQ(few->GetSelected(), 0);

    TCList* unset = List(10, 90, "");
    unset->Move(400, 300);
    Press(450, 300 + 5); // rows 1 high without line_spacing or font
    EXPECT_EQ(unset->GetSelected(), 5);
}

TEST_F(Lists, TheSelectionAndTheCheckMarkAreDrawnOnTheirRows)
{
    TCList* list = List(4);
    list->SetSelected(2);
    list->SetCheckRow(1);
    Nubra::MemoryImage screen;
    screen.Create(1024, 768);
    Nubra::Graphics g(&screen);
    auto pixel = [&](int x, int y) {
        list->Draw(&g);
        return list->GetImage()->GetBits()[y * 200 + x];
    };
    EXPECT_EQ(pixel(150, 50), 0xFF00FF00u) << "selected row 2";
    EXPECT_EQ(pixel(150, 10) >> 24, 0u);
    EXPECT_EQ(pixel(3, 30) & 0xFFF0F0F0u, 0xFFF0F0F0u) << "the white check on row 1";
    list->SetCheckRow(-1);
    EXPECT_EQ(pixel(3, 30) >> 24, 0u);
    EXPECT_EQ(pixel(190, 50) >> 24, 0u) << "the selection ends where the scroll bar starts";
}

TEST_F(Lists, EveryControlIsBuiltFromItsElementType)
{
    auto* panel = OnScreen(new TCDialog(nullptr, &engine_));
    panel->BuildFromXml(Xml("<element width='300' height='300'>"
                            "<element name='c' type='tccheckbox'/><element name='b' type='tcbar'/>"
                            "<element name='s' type='tcslider'/><element name='l' type='tclist'/>"
                            "<element name='r' type='tcscroll'/></element>"));
    EXPECT_NE(dynamic_cast<TCCheckBox*>(panel->FindChild("c")), nullptr);
    EXPECT_NE(dynamic_cast<TCBar*>(panel->FindChild("b")), nullptr);
    EXPECT_NE(dynamic_cast<TCSlider*>(panel->FindChild("s")), nullptr);
    EXPECT_NE(dynamic_cast<TCList*>(panel->FindChild("l")), nullptr);
    EXPECT_NE(dynamic_cast<TCScrollBar*>(panel->FindChild("r")), nullptr);
}

TEST_F(Lists, TheShippedPanelHoldsOneOfEachWithDeclaredPictures)
{
    const std::filesystem::path data = std::filesystem::path(std::getenv("NUBRA_TEST_DATA")) / ".." / "data";
    pugi::xml_document ui;
    ASSERT_TRUE(ui.load_file((data / "cfg" / "ui.xml").c_str()));
    const pugi::xml_node root = ui.child("root");
    auto* panel = OnScreen(new TCDialog(nullptr, &engine_));
    ASSERT_TRUE(panel->FindDialogNode(root, "options_controls"));
    EXPECT_NE(dynamic_cast<TCCheckBox*>(panel->FindChild("sound_on")), nullptr);
    EXPECT_NE(dynamic_cast<TCBar*>(panel->FindChild("progress")), nullptr);
    auto* slider = dynamic_cast<TCSlider*>(panel->FindChild("volume"));
    ASSERT_NE(slider, nullptr);
    EXPECT_NE(slider->GetThumb(), nullptr);
    auto* list = dynamic_cast<TCList*>(panel->FindChild("profiles"));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->GetScrollBar(), nullptr);
    for (int id : {TCScrollBar::kUp, TCScrollBar::kDown, TCScrollBar::kSlider})
        EXPECT_NE(list->GetScrollBar()->GetButton(id), nullptr) << id;

    // Pictures drawn at build time are not in the source folder; the panel's own are.
    std::map<std::string, std::string> declared;
    for (pugi::xml_node texture : root.children("texture")) {
        std::string file = texture.attribute("file").value();
        std::replace(file.begin(), file.end(), '\\', '/');
        declared.emplace(texture.attribute("id").value(), file);
    }
    for (pugi::xpath_node used : root.select_nodes("element[@name='options_controls']//texture")) {
        const auto found = declared.find(used.node().attribute("texture").value());
        ASSERT_NE(found, declared.end()) << used.node().attribute("texture").value();
        EXPECT_TRUE(std::filesystem::exists(data / found->second)) << found->second;
    }
}

} // namespace
