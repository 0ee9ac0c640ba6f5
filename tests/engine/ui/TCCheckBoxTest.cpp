#include "engine/ui/TCCheckBox.h"

#include <gtest/gtest.h>

#include <string>

#include "UiFixture.h"
#include "engine/core/TCTexture.h"

namespace {

class CheckBoxes : public fixtures::UiTest {
protected:
    // A 20 x 20 box at (100, 100), shown, with the textures of those ids in that order.
    TCCheckBox* Box(std::initializer_list<const char*> ids)
    {
        std::string textures;
        for (const char* id : ids)
            textures += std::string("<texture id='") + id + "' texture='pic'/>";
        auto* box = OnScreen(new TCCheckBox(nullptr));
        box->LoadFromXml(Xml("<element x='100' y='100' width='20' height='20' visible='1'>" + textures +
                             "</element>"),
                         &engine_);
        return box;
    }
    // The index, in load order, of the one texture shown; -1 for none, -2 for more than one.
    static int Shown(const TCCheckBox& box, int textures)
    {
        int shown = -1;
        for (int i = 0; i < textures; ++i)
            if (box.GetTexture(0, i)->IsVisible())
                shown = shown == -1 ? i : -2;
        return shown;
    }
};

TEST_F(CheckBoxes, OneTextureOfTheCurrentStateShows)
{
    // Load order: normal, over, disabled, check_normal, check_over, check_disabled.
    TCCheckBox* box = Box({"normal", "over", "disabled", "check_normal", "check_over", "check_disabled"});
    struct Case {
        bool checked, disabled, over;
        int shown;
    };
    for (const Case& c : {Case{false, false, false, 0}, Case{false, false, true, 1}, Case{false, true, false, 2},
                          Case{false, true, true, 2}, Case{true, false, false, 3}, Case{true, false, true, 4},
                          Case{true, true, false, 5}, Case{true, true, true, 5}}) {
        box->SetChecked(c.checked);
        box->SetDisabled(c.disabled);
        box->isOver = c.over;
        Step();
        EXPECT_EQ(Shown(*box, 6), c.shown) << c.checked << c.disabled << c.over;
        EXPECT_EQ(box->IsChecked(), c.checked);
    }
}

TEST_F(CheckBoxes, AMissingLookShowsNothingAndAMissingHoverKeepsTheNormalOne)
{
    TCCheckBox* box = Box({"normal", "check_normal"});
    box->isOver = true;
    Step();
    EXPECT_EQ(Shown(*box, 2), 0) << "no over texture: the normal one stays while hovered";
    box->SetChecked(true);
    box->SetDisabled(true);
    Step();
    EXPECT_EQ(Shown(*box, 2), -1) << "no checked disabled texture";
}

TEST_F(CheckBoxes, AClickTogglesOnlyWhenReleasedOverTheBox)
{
    TCCheckBox* box = Box({"normal", "check_normal"});
    for (int button : {1, 3}) {
        const bool before = box->IsChecked();
        Manager().MouseMove(110, 110);
        Manager().MouseDown(110, 110, button);
        Manager().MouseUp(110, 110, button);
        EXPECT_NE(box->IsChecked(), before) << "button " << button;
    }
    Manager().MouseDown(110, 110, 1);
    Manager().MouseMove(300, 300);
    Manager().MouseUp(300, 300, 1);
    EXPECT_FALSE(box->IsChecked()) << "released outside";
}

} // namespace
