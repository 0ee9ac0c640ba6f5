#include "engine/ui/TCDialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "UiFixture.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/TCText.h"

namespace {

// A screen that notes the clicks that reach it.
class Screen : public TCDialog {
public:
    using TCDialog::TCDialog;
    void OnButtonClick(intptr_t id) override { clicks.push_back(id); }
    std::vector<intptr_t> clicks;
};

class Dialogs : public fixtures::UiTest {
protected:
    // The screen from its element, shown on the screen.
    Screen* BuildScreen(const std::string& children, const std::string& attributes = "")
    {
        auto* screen = OnScreen(new Screen(nullptr, &engine_));
        screen->BuildFromXml(Xml("<element name='screen' type='tcdialog' width='400' height='300' " + attributes +
                                 ">" + children + "</element>"));
        return screen;
    }
    void Click(int x, int y)
    {
        Manager().MouseMove(x, y);
        Manager().MouseDown(x, y, 1);
        Manager().MouseUp(x, y, 1);
    }
};

TEST_F(Dialogs, OnlyNamedElementsOfKnownTypesBecomeChildren)
{
    Screen* screen = BuildScreen(R"(
        <texture id="normal" texture="pic"/>
        <element name="b" type="tcbutton" width="50" height="20"/>
        <element name="odd" type="tcwhatever"/>
        <element type="tctext"/>
        <element name="caps" type="TCText"/>
        <group><element name="deep" type="tcbutton"/></group>)",
                                 "modal='1'");
    ASSERT_EQ(screen->children.size(), 1u);
    auto* button = dynamic_cast<TCButton*>(screen->FindChild("b"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetId(), reinterpret_cast<intptr_t>(button));
    EXPECT_EQ(button->GetName(), "b");
    for (const char* name : {"odd", "caps", "deep"})
        EXPECT_EQ(screen->FindChild(name), nullptr) << name;
    EXPECT_NE(screen->GetBackground(), nullptr);
    EXPECT_TRUE(screen->IsModal());
    EXPECT_FALSE(screen->IsInModalLayer()) << "the flag alone does not enter the layer";
}

TEST_F(Dialogs, ANestedButtonsClickReachesTheScreenWithItsId)
{
    Screen* screen = BuildScreen(R"(
        <element name="panel" type="tcdialog" x="100" y="100" width="200" height="100" visible="1">
          <element name="ok" type="tcbutton" x="10" y="10" width="50" height="20" visible="1"/>
        </element>)");
    screen->SetVisible(true);
    auto* panel = screen->FindChild("panel")->AsDialog();
    ASSERT_NE(panel, nullptr);
    TCCandyWidget* ok = panel->FindChild("ok");
    ASSERT_NE(ok, nullptr);

    Manager().MouseMove(120, 115);
    Manager().MouseDown(120, 115, 1);
    EXPECT_TRUE(screen->clicks.empty()) << "presses are not routed";
    Manager().MouseUp(120, 115, 1);
    EXPECT_EQ(screen->clicks, std::vector<intptr_t>{reinterpret_cast<intptr_t>(ok)});

    Manager().MouseDown(120, 115, 1);
    Manager().MouseMove(250, 250);
    Manager().MouseUp(250, 250, 1);
    EXPECT_EQ(screen->clicks.size(), 1u) << "released away from the button";
}

TEST_F(Dialogs, AModalDialogHoldsTheLayerExactlyWhileItIsOnScreen)
{
    Screen* screen = BuildScreen(R"(
        <element name="box" type="tcdialog" width="100" height="100" modal="1" visible="1" effect="slowhide"/>)");
    auto* box = screen->FindChild("box")->AsDialog();
    EXPECT_TRUE(box->visible);
    EXPECT_FALSE(box->IsInModalLayer()) << "its parent is still hidden";

    screen->SetVisible(true);
    EXPECT_TRUE(box->IsInModalLayer());
    EXPECT_EQ(Manager().baseModalWidget, box);

    box->Hide();
    Step(10);
    EXPECT_TRUE(box->IsHiding());
    EXPECT_TRUE(box->IsInModalLayer()) << "the hiding effect still runs";
    Step(30);
    EXPECT_FALSE(box->visible);
    EXPECT_FALSE(box->IsInModalLayer());
    EXPECT_EQ(Manager().baseModalWidget, nullptr);

    box->SetModal(false);
    box->Show();
    EXPECT_FALSE(box->IsInModalLayer());
    box->SetModal(true);
    EXPECT_TRUE(box->IsInModalLayer()) << "acts at once";
    screen->SetVisible(false);
    EXPECT_FALSE(box->IsInModalLayer());
}

TEST_F(Dialogs, OnCreateRunsOnTheNewControl)
{
    Screen* screen = BuildScreen(R"(
        <element name="gone" type="tctext" width="10" height="10" visible="1" effect="vanish"/>
        <element name="kept" type="tctext" width="10" height="10" visible="1" effect="blank"/>)");
    EXPECT_FALSE(screen->FindChild("gone")->visible);
    EXPECT_TRUE(screen->FindChild("kept")->visible);
}

TEST_F(Dialogs, ATutorialDialogHidesOnAClickAndReportsItsButtonAsClosed)
{
    Screen* screen = BuildScreen(R"(
        <element name="tip" type="tctutorial" x="100" y="100" width="200" height="100" visible="1" clickhide="1">
          <element name="next" type="tcbutton" x="10" y="10" width="50" height="20" visible="1"/>
        </element>)");
    screen->SetVisible(true);
    auto* tip = dynamic_cast<TCTutorialDialog*>(screen->FindChild("tip"));
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->HidesOnClick());
    int closed = 0;
    TCTutorialDialog::onClosed = [&closed] { ++closed; };

    Click(120, 115);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(screen->clicks.empty());
    EXPECT_TRUE(tip->visible);

    Click(250, 180);
    EXPECT_FALSE(tip->visible);
    TCTutorialDialog::onClosed = nullptr;
}

TEST_F(Dialogs, FindDialogNodeTakesAnyNameLiterally)
{
    const pugi::xml_node root = Xml(R"(<root>
        <element name="a&quot;b'c" type="tcdialog" width="7" height="8"/>
        <element name="plain" type="tctext" width="9" height="9"/>
        </root>)");
    TCDialog quoted(nullptr, &engine_);
    EXPECT_TRUE(quoted.FindDialogNode(root, "a\"b'c"));
    EXPECT_EQ(quoted.width, 7);
    TCDialog wrongType(nullptr, &engine_);
    EXPECT_FALSE(wrongType.FindDialogNode(root, "plain"));
    EXPECT_EQ(wrongType.width, 0);
}

} // namespace
