#include "engine/ui/TCButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiFixture.h"
#include "engine/core/RecordingAudio.h"
#include "engine/core/TCCursorSet.h"
#include "engine/core/TCSound.h"
#include "engine/core/TCTexture.h"
#include "engine/ui/TCButtonListener.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/SysFont.h"

namespace {

TEST(ButtonLook, TheShownTexturesFollowTheStateAndTheOverTexture)
{
    using S = TCButtonState;
    const TCOverTexture none{false, false}, plain{true, false}, additive{true, true};
    struct Case {
        S state;
        TCOverTexture over;
        bool downUsable;
        TCButtonLook look; // normal, over, down, disabled
    };
    for (const Case& c : {
             Case{S::Idle, none, true, {true, false, false, false}},
             Case{S::Idle, plain, true, {true, false, false, false}},
             Case{S::Idle, additive, true, {true, false, false, false}},
             Case{S::Hovered, none, true, {true, false, false, false}},
             Case{S::Hovered, plain, true, {false, true, false, false}},
             Case{S::Hovered, additive, true, {true, true, false, false}},
             Case{S::Pressed, plain, true, {false, false, true, false}},
             Case{S::Pressed, plain, false, {false, true, false, false}},
             Case{S::Pressed, additive, false, {true, false, false, false}},
             Case{S::Pressed, none, false, {true, false, false, false}},
             Case{S::Disabled, plain, true, {false, false, false, true}},
         }) {
        EXPECT_EQ(ChooseButtonLook(c.state, c.downUsable, c.over), c.look)
            << int(c.state) << " over " << c.over.usable << c.over.additive << " down " << c.downUsable;
    }
}

struct Recorder : TCButtonListener {
    void ButtonPress(intptr_t, int clicks) override { calls.push_back("press x" + std::to_string(clicks)); }
    void ButtonDepress(intptr_t id) override { calls.push_back(id == 42 ? "depress 42" : "depress ?"); }
    void ButtonDownTick(intptr_t) override { calls.push_back("tick"); }
    void ButtonMouseEnter(intptr_t) override { calls.push_back("enter"); }
    void ButtonMouseLeave(intptr_t) override { calls.push_back("leave"); }
    std::vector<std::string> calls;
};

class Buttons : public fixtures::UiTest, protected fixtures::AudioFixture {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        SoundFile("hover.wav");
        SoundFile("click.wav");
        LoadSounds(Config("<root><sounds><sound name='hover' path='%Dhover.wav'/>"
                          "<sound name='click' path='%Dclick.wav'/></sounds></root>"));
        engine_.GetCursorSet().Load(Xml("<root><cursors mode='normal' image='pic'/>"
                                        "<cursors mode='active' image='pic'/></root>"));
        // A 60 x 20 button at (100, 100), shown.
        button_ = OnScreen(new TCButton(nullptr, 42, &recorder_));
        button_->LoadFromXml(Xml("<element x='100' y='100' width='60' height='20' visible='1' "
                                 "snd_hover='hover' snd_click='click'><texture id='normal' texture='pic'/>"
                                 "<texture id='down' texture='pic'/></element>"),
                             &engine_);
        Audio().log.clear();
    }
    void TearDown() override
    {
        FreeSounds();
        engine_.GetCursorSet().Clear();
        UiTest::TearDown();
    }
    size_t Plays()
    {
        size_t plays = 0;
        for (const std::string& line : Audio().log)
            plays += line.rfind("PlaySample", 0) == 0;
        return plays;
    }

    Recorder recorder_;
    TCButton* button_ = nullptr;
};

TEST_F(Buttons, HoverAndAClickReachTheListenerWithSoundAndCursor)
{
    Manager().MouseMove(110, 110);
    EXPECT_EQ(engine_.GetCursorSet().GetMode(), "active");
    EXPECT_EQ(Plays(), 1u) << "hover";
    Manager().MouseDown(110, 110, 1);
    EXPECT_EQ(Plays(), 2u) << "click";
    Step(2);
    EXPECT_TRUE(button_->GetTexture(TCButton::kDownTexture)->IsVisible());
    EXPECT_FALSE(button_->GetTexture(TCButton::kNormalTexture)->IsVisible());
    Manager().MouseUp(110, 110, 1);
    Manager().MouseMove(300, 300);
    EXPECT_EQ(engine_.GetCursorSet().GetMode(), "normal");
    EXPECT_EQ(recorder_.calls, (std::vector<std::string>{"enter", "press x1", "tick", "tick", "depress 42", "leave"}));
}

TEST_F(Buttons, NoClickWithoutReleaseOverItAndNoTicksAfterLeaving)
{
    Manager().MouseMove(110, 110);
    Manager().MouseDown(110, 110, 1);
    Step();
    Manager().MouseMove(300, 300);
    Step(3);
    Manager().MouseUp(300, 300, 1);
    EXPECT_EQ(recorder_.calls, (std::vector<std::string>{"enter", "press x1", "tick", "leave"}));
}

TEST_F(Buttons, ADisabledButtonNeitherReportsNorPlaysAPress)
{
    button_->SetDisabled(true);
    button_->MouseDown(5, 5, 0, 1);
    EXPECT_EQ(recorder_.calls, std::vector<std::string>{});
    EXPECT_EQ(Plays(), 0u);
    Step();
    EXPECT_FALSE(button_->GetTexture(TCButton::kNormalTexture)->IsVisible());
}

TEST_F(Buttons, TheLabelSitsOnTheBottomAndFollowsAResize)
{
    Nubra::SysFont font("Arial", 12);
    auto* label = OnScreen(new TCButton(nullptr, 0, nullptr));
    label->LoadFromXml(Xml("<element width='80' height='40' visible='1' valign='1' hoffset='-3'/>"), &engine_);
    label->SetTextStyle(kStyleNormal, &font, Nubra::Color::White, Nubra::Color::White, Nubra::Color::White);
    label->SetLabel(L"Go");
    Nubra::MemoryImage screen;
    screen.Create(1024, 768);
    Nubra::Graphics g(&screen);
    label->Draw(&g);
    Nubra::MemoryImage* image = label->GetLabelImage().GetImage();
    ASSERT_NE(image, nullptr);
    int bottom = -1;
    for (int y = 0; y < image->GetHeight(); ++y)
        for (int x = 0; x < image->GetWidth(); ++x)
            if (image->GetBits()[y * image->GetWidth() + x] >> 24)
                bottom = y;
    EXPECT_LE(bottom, 40 - 3 - 1);
    EXPECT_GE(bottom, 40 - 3 - 1 - font.GetDescent());

    label->Resize(0, 0, 120, 50);
    label->Draw(&g);
    EXPECT_EQ(label->GetLabelImage().GetImage()->GetWidth(), 120);
    EXPECT_EQ(label->GetLabelImage().GetImage()->GetHeight(), 50);
}

} // namespace
