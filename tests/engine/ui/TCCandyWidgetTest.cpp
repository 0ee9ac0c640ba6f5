#include "engine/ui/TCCandyWidget.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/EffectFile.h"
#include "engine/core/FakeImages.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCTexture.h"
#include "framework/graphics/Graphics.h"

namespace fs = std::filesystem;

namespace {

const char* const kEffects = R"(<?xml version="1.0" encoding="utf-8"?>
<effects>
  <effect name="fade">
    <timers>
      <timer name="show" type="usual" ftime="0.5" direction="forward">
        <control id="1" type="point" starttime="0" function="DlgShow" active="1"/>
        <control id="2" type="range" starttime="0" endtime="0.5" function="DlgFadeIn" active="1"/>
      </timer>
      <timer name="hide" type="usual" ftime="0.5" direction="backward">
        <control id="3" type="range" starttime="0" endtime="0.5" function="DlgFadeIn" active="1"/>
        <control id="4" type="point" starttime="0" function="DlgHide" active="1"/>
      </timer>
    </timers>
    <messages>
      <message name="onshow" timer_id="hide" command="stop"/>
      <message name="onshow" timer_id="show" command="start"/>
      <message name="onhide" timer_id="show" command="stop"/>
      <message name="onhide" timer_id="hide" command="start"/>
    </messages>
  </effect>
  <effect name="late">
    <timers>
      <timer name="show" type="usual" ftime="0.3" direction="forward">
        <control id="1" type="point" starttime="0.3" function="DlgShow" active="1"/>
      </timer>
      <timer name="hide" type="usual" ftime="0.3" direction="forward">
        <control id="2" type="point" starttime="0.3" function="DlgHide" active="1"/>
      </timer>
    </timers>
    <messages>
      <message name="onshow" timer_id="show" command="start"/>
      <message name="onhide" timer_id="show" command="stop"/>
      <message name="onhide" timer_id="hide" command="start"/>
    </messages>
  </effect>
  <effect name="plain">
    <messages>
      <message name="oncreate" timer_id="DlgReset" command="call"/>
    </messages>
  </effect>
</effects>
)";

// A widget that notes its hooks in a shared journal.
class Probe : public TCCandyWidget {
public:
    Probe(TCCandyWidget* parent, std::vector<std::string>& journal, std::string label)
        : TCCandyWidget(parent), journal_(journal), label_(std::move(label))
    {
    }
    void OnShow() override { journal_.push_back(label_ + " show"); }
    void OnShown() override
    {
        TCCandyWidget::OnShown();
        journal_.push_back(label_ + " shown");
    }
    void OnHidden() override
    {
        TCCandyWidget::OnHidden();
        journal_.push_back(label_ + " hidden");
    }

private:
    std::vector<std::string>& journal_;
    std::string label_;
};

// The effect file in a scratch working folder, and the fake images as the texture table.
class CandyWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = fs::current_path();
        folder_ = home_ / ("candy_widget_" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "cfg");
        fs::current_path(folder_);
        std::ofstream("cfg/effect.xml", std::ios::binary) << kEffects;
        ASSERT_TRUE(LoadEffects());
        LoadCallbackParamTable();
        fake_.table.Add("pic", "pic.png");
    }
    void TearDown() override
    {
        ReleaseEffects();
        fs::current_path(home_);
        fs::remove_all(folder_);
    }

    void Load(TCCandyWidget& widget, const std::string& attributes)
    {
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(("<w " + attributes + "/>").c_str()));
        widget.LoadFromXml(document.first_child());
    }
    static void Step(TCCandyWidget& widget, int steps)
    {
        for (int i = 0; i < steps; ++i)
            widget.Update();
    }
    TCTexture* Picture()
    {
        auto* texture = new TCTexture();
        texture->SetImage(FindTexture("pic"), Nubra::Rect(0, 0, 8, 8));
        return texture;
    }

    fixtures::FakeImages images_;
    fixtures::FakeTextureTable fake_{images_};
    std::vector<std::string> journal_;
    fs::path home_, folder_;
};

TEST_F(CandyWidget, TheElementGivesPlaceLookAndEffect)
{
    TCCandyWidget hidden(nullptr);
    Load(hidden, "x='5' y='6' width='70' height='80' has_alpha='0' scale='1.5' scalepointx='3'");
    EXPECT_FALSE(hidden.visible) << "no visible attribute";
    EXPECT_EQ(hidden.GetRect(), Nubra::Rect(5, 6, 70, 80));
    EXPECT_EQ(hidden.GetLayoutRect(), Nubra::Rect(5, 6, 70, 80));
    EXPECT_FALSE(hidden.hasAlpha);
    EXPECT_TRUE(hidden.mouseVisible);
    EXPECT_EQ(hidden.GetScale(), 1.5f);
    EXPECT_EQ(hidden.GetScalePoint(), Nubra::Point(3, 0));
    EXPECT_EQ(hidden.GetName(), "undefined");
    EXPECT_EQ(hidden.GetEffect(), nullptr);

    TCCandyWidget shown(nullptr);
    Load(shown, "visible='1' mousevisible='0' effect='fade'");
    EXPECT_TRUE(shown.visible);
    EXPECT_FALSE(shown.mouseVisible);
    ASSERT_NE(shown.GetEffect(), nullptr);
    EXPECT_EQ(shown.GetEffect()->GetTarget(), &shown);
    EXPECT_EQ(shown.GetEffect()->GetBinding(kBindWidget), &shown);
    EXPECT_EQ(shown.GetEffect()->GetBinding(kBindWidgetOffset), &shown.GetOffset());
    EXPECT_EQ(shown.GetEffect()->GetBinding(kBindChildRecords), &shown.GetChildRecords());

    TCCandyWidget unknown(nullptr);
    Load(unknown, "effect='no_such_effect'");
    EXPECT_EQ(unknown.GetEffect(), nullptr);
}

TEST_F(CandyWidget, ShowAndHideGoThroughTheEffectWhenItHasTheEvent)
{
    // Without an "onshow" message the widget shows at once.
    Probe plain(nullptr, journal_, "plain");
    Load(plain, "effect='plain'");
    plain.Show();
    EXPECT_TRUE(plain.visible);
    EXPECT_FALSE(plain.IsShowing());

    // A show point later on the timeline: hidden until the effect shows it; Show is ignored meanwhile.
    Probe late(nullptr, journal_, "late");
    Load(late, "effect='late'");
    late.Show();
    late.Show();
    EXPECT_FALSE(late.visible);
    EXPECT_TRUE(late.IsShowing());
    Step(late, 31);
    EXPECT_TRUE(late.visible);
    EXPECT_FALSE(late.IsShowing()) << "the real change clears the flag";

    // Hiding while the show runs swaps the flags.
    Probe swapped(nullptr, journal_, "swapped");
    Load(swapped, "effect='late'");
    swapped.Show();
    swapped.Hide();
    EXPECT_FALSE(swapped.IsShowing());
    EXPECT_TRUE(swapped.IsHiding());
    Step(swapped, 40);
    EXPECT_FALSE(swapped.visible);

    // A show point at 0 shows inside the event, before the flag is set: the flag then stays and
    // holds off further shows until the next real change.
    Probe quick(nullptr, journal_, "quick");
    Load(quick, "effect='fade'");
    quick.Show();
    EXPECT_TRUE(quick.visible);
    EXPECT_TRUE(quick.IsShowing());
    quick.Show();

    EXPECT_EQ(journal_, (std::vector<std::string>{"plain show", "plain shown", "late show", "late shown", "swapped show",
                                                   "quick show", "quick shown"}));
}

TEST_F(CandyWidget, AFadeInAppearsOverItsTimeAndHidingFreesTheImage)
{
    TCCandyWidget widget(nullptr);
    Load(widget, "width='8' height='8' effect='fade'");
    widget.AddTexture(0, Picture());
    EXPECT_EQ(images_.loads["pic.png"], 0) << "nothing is loaded while hidden";

    widget.Show();
    EXPECT_EQ(widget.GetAlpha(), 0.0f);
    EXPECT_EQ(images_.Holders("pic.png"), 1);
    Step(widget, 25);
    EXPECT_NEAR(widget.GetAlpha(), 0.5f, 1e-3f);
    Step(widget, 30);
    EXPECT_EQ(widget.GetAlpha(), 1.0f);

    widget.Hide();
    EXPECT_TRUE(widget.visible);
    Step(widget, 60);
    EXPECT_FALSE(widget.visible);
    EXPECT_EQ(widget.GetAlpha(), 0.0f);
    EXPECT_EQ(images_.Holders("pic.png"), 0);
}

TEST_F(CandyWidget, TheShownWalkReachesExactlyTheWidgetsThatBecomeVisible)
{
    Probe* parent = new Probe(nullptr, journal_, "parent");
    Probe* child = new Probe(parent, journal_, "child");
    Probe* grandchild = new Probe(child, journal_, "grandchild");
    Probe* hidden = new Probe(parent, journal_, "hidden");
    Probe* underHidden = new Probe(hidden, journal_, "under hidden");
    Probe* twin = new Probe(parent, journal_, "twin");
    parent->AddChild("a", child);
    child->AddChild("g", grandchild);
    parent->AddChild("b", hidden);
    hidden->AddChild("u", underHidden);
    parent->AddChild("a", twin); // a name already taken: still a child, still walked
    child->SetVisible(true);
    grandchild->SetVisible(true);
    underHidden->SetVisible(true);
    twin->SetVisible(true);
    EXPECT_EQ(parent->FindChild("a"), child);
    EXPECT_TRUE(journal_.empty()) << "nothing is on screen while the parent is hidden";

    parent->SetVisible(true);
    parent->SetVisible(true);
    EXPECT_EQ(journal_, (std::vector<std::string>{"parent shown", "child shown", "grandchild shown", "twin shown"}));
    journal_.clear();
    parent->SetVisible(false);
    EXPECT_EQ(journal_, (std::vector<std::string>{"parent hidden", "child hidden", "grandchild hidden", "twin hidden"}));
    delete parent;
}

TEST_F(CandyWidget, BoundsFollowScaleAndRotationWithinParentAndScreen)
{
    struct Case {
        const char* name;
        Nubra::Rect parentRect;
        Nubra::Rect rect;
        float scale;
        float rotation;
        Nubra::Rect bounds;
    };
    const Case cases[] = {
        {"plain", {0, 0, 1024, 768}, {100, 100, 100, 50}, 1.0f, 0.0f, {100, 100, 100, 50}},
        {"scale 2 about the centre", {0, 0, 1024, 768}, {100, 100, 100, 50}, 2.0f, 0.0f, {50, 75, 200, 100}},
        // The rotated left edge lands a hair under 125, and bounds truncate.
        {"rotated 90 about the centre", {0, 0, 1024, 768}, {100, 100, 100, 50}, 1.0f, 90.0f, {124, 75, 50, 100}},
        {"within the parent", {10, 20, 200, 100}, {100, 50, 300, 300}, 1.0f, 0.0f, {110, 70, 100, 50}},
        {"within the screen", {0, 0, 2000, 2000}, {1000, 700, 100, 100}, 1.0f, 0.0f, {1000, 700, 24, 68}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* parent = new TCCandyWidget(nullptr);
        auto* widget = new TCCandyWidget(parent);
        parent->Resize(c.parentRect.x, c.parentRect.y, c.parentRect.width, c.parentRect.height);
        parent->AddChild("w", widget);
        widget->Resize(c.rect.x, c.rect.y, c.rect.width, c.rect.height);
        // The pivot is in the parent's frame, as the position is.
        widget->SetScalePointX(c.rect.x + c.rect.width / 2);
        widget->SetScalePointY(c.rect.y + c.rect.height / 2);
        widget->SetScale(c.scale);
        widget->SetRotation(c.rotation);
        widget->InvalidateTransform();
        EXPECT_EQ(widget->GetScreenClipRect(), c.bounds);
        delete parent;
    }
}

TEST_F(CandyWidget, TexturesDrawThroughTheTransformAndOffset)
{
    auto* root = new TCCandyWidget(nullptr);
    auto* widget = new TCCandyWidget(root);
    root->Resize(0, 0, 32, 32);
    root->AddChild("w", widget);
    widget->Resize(4, 2, 8, 8);
    widget->AddTexture(1, Picture());
    widget->SetOffsetX(6); // as an effect would
    root->SetVisible(true);
    widget->SetVisible(true);
    widget->Update();

    Nubra::MemoryImage screen;
    screen.Create(32, 32);
    Nubra::Graphics g(&screen);
    widget->Draw(&g);
    auto covered = [&screen](int px, int py) { return (screen.GetBits()[py * 32 + px] >> 24) != 0; };
    // The transformed blit leaves out the first column and the last column and row.
    EXPECT_TRUE(covered(11, 2));
    EXPECT_TRUE(covered(16, 8));
    EXPECT_FALSE(covered(9, 4));
    EXPECT_FALSE(covered(19, 4));
    EXPECT_FALSE(covered(12, 11));

    EXPECT_EQ(widget->GetTexture(1, 1), nullptr);
    EXPECT_EQ(widget->GetTexture(2, 0), nullptr);
    widget->AddTexture(1, Picture());
    widget->AddTexture(0, nullptr);
    EXPECT_NE(widget->GetTexture(1, 1), nullptr);
    EXPECT_NE(widget->GetTexture(1, 0), widget->GetTexture(1, 1));
    EXPECT_EQ(widget->GetTexture(0, 0), nullptr);
    delete root;
}

} // namespace
