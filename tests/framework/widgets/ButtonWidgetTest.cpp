// Push buttons: clicks, ticks and hovering reported to the listener, the highlight's fades, and
// the plain box's and the images' looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ButtonTestSupport.h"
#include "WidgetTestSupport.h"
#include "framework/text/SysFont.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/DialogButton.h"

namespace {

using Nubra::ButtonWidget;
using Nubra::Color;
using Nubra::Rect;
using Calls = std::vector<std::string>;
using widgettest::Blit;
using widgettest::Fill;

// A button at (100, 100), 80 x 24, in a manager over an 800 x 600 screen.
struct Button : ::testing::Test {
    Button()
    {
        button.Resize(100, 100, 80, 24);
        f.manager.AddWidget(&button);
        f.Settle();
    }
    Calls Take() { return std::exchange(listener.calls, {}); }

    widgettest::ManagerFixture f;
    widgettest::RecordingButtonListener listener;
    ButtonWidget button{5, &listener};
    NubraTest::SpyImage highlight{80, 24};
};

TEST_F(Button, APressAndAReleaseOverItAreAClick)
{
    f.manager.MouseDown(110, 104, 1);
    EXPECT_EQ(Take(), (Calls{"enter 5", "move 5 10,4", "press 5 x1"}));
    EXPECT_TRUE(button.IsButtonDown());
    f.manager.MouseUp(112, 104, 1);
    EXPECT_EQ(Take(), (Calls{"depress 5", "move 5 12,4"}));

    f.manager.MouseDown(110, 104, -2); // a right double click presses too
    EXPECT_EQ(Take(), (Calls{"move 5 10,4", "press 5 x2"}));
}

TEST_F(Button, AReleaseAfterLeavingOrWithoutFocusIsNoClick)
{
    f.manager.MouseDown(110, 104, 1);
    f.manager.MouseMove(300, 300);
    EXPECT_FALSE(button.IsButtonDown());
    Take();
    f.manager.MouseUp(300, 300, 1);
    EXPECT_EQ(Take(), Calls{});

    f.manager.MouseDown(110, 104, 1);
    f.manager.LostFocus();
    Take();
    f.manager.MouseUp(110, 104, 1);
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(Button, HeldOverItTicksEveryUpdate)
{
    f.manager.MouseDown(110, 104, 1);
    Take();
    f.manager.UpdateFrame();
    f.manager.UpdateFrame();
    EXPECT_EQ(Take(), (Calls{"tick 5", "tick 5"}));
    f.manager.MouseMove(300, 300); // held, but not over it
    Take();
    f.manager.UpdateFrame();
    EXPECT_EQ(Take(), Calls{});
}

TEST_F(Button, TheHighlightFadesInAndOutByItsSpeeds)
{
    button.overImage = &highlight;
    button.overAlphaFadeInSpeed = 0.25;
    button.overAlphaSpeed = 0.5;
    f.manager.MouseMove(110, 104);
    std::vector<double> alphas;
    for (int i = 0; i < 5; ++i) {
        f.manager.UpdateFrame();
        alphas.push_back(button.overAlpha);
    }
    EXPECT_EQ(alphas, (std::vector<double>{0.25, 0.5, 0.75, 1.0, 1.0}));

    f.manager.MouseMove(300, 300);
    EXPECT_EQ(button.overAlpha, 1.0);
    alphas.clear();
    for (int i = 0; i < 3; ++i) {
        f.manager.UpdateFrame();
        alphas.push_back(button.overAlpha);
    }
    EXPECT_EQ(alphas, (std::vector<double>{0.5, 0.0, 0.0}));

    // Leaving before any fade-in starts the fade-out from full; without fade speeds the
    // highlight goes at once.
    f.manager.MouseMove(110, 104);
    f.manager.MouseMove(300, 300);
    EXPECT_EQ(button.overAlpha, 1.0);
    button.overAlphaSpeed = 0.0;
    f.manager.UpdateFrame();
    EXPECT_EQ(button.overAlpha, 0.0);
}

struct HoverCase {
    const char* name;
    bool overImage;
    Color overLabel;
    bool redrawn;
};

TEST_F(Button, HoverRedrawsOnlyWhenTheLookChanges)
{
    const HoverCase cases[] = {
        {"one label colour, no highlight", false, Color(0, 0, 0), false},
        {"a highlight image", true, Color(0, 0, 0), true},
        {"another label colour", false, Color(255, 0, 0), true},
    };
    for (const HoverCase& c : cases) {
        button.overImage = c.overImage ? &highlight : nullptr;
        button.SetColor(ButtonWidget::kLabelOver, c.overLabel);
        f.Settle();
        f.manager.MouseMove(110, 104);
        EXPECT_EQ(button.dirty, c.redrawn) << c.name << " entering";
        f.Settle();
        f.manager.MouseMove(300, 300);
        EXPECT_EQ(button.dirty, c.redrawn) << c.name << " leaving";
    }
}

// Looks drawn straight through Draw, with a font that logs its text.
struct ButtonLook : ::testing::Test {
    ButtonLook()
    {
        button.Resize(0, 0, 40, 20);
        button.label = L"Go";
        button.SetFont(&font);
    }

    widgettest::DrawingTarget target;
    widgettest::RecordingButtonListener listener;
    NubraTest::FixedWidthFont font{5};
    ButtonWidget button{1, &listener};
};

TEST_F(ButtonLook, APlainBoxIsBevelledOutOrIn)
{
    const Color dark(0, 0, 0), light(255, 255, 255), middle(132, 132, 132), background(212, 212, 212);
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), (Calls{Fill(Rect(0, 0, 40, 20), background), Fill(Rect(0, 0, 39, 1), light),
                                    Fill(Rect(0, 0, 1, 19), light), Fill(Rect(0, 19, 40, 1), dark),
                                    Fill(Rect(39, 0, 1, 20), dark), Fill(Rect(1, 18, 38, 1), middle),
                                    Fill(Rect(38, 1, 1, 18), middle)}));
    // Label: (40 - 10) / 2 across, ascent 8 + (20 - 12) / 2 down.
    ASSERT_EQ(font.draws.size(), 1u);
    EXPECT_EQ(font.draws[0].x, 15);
    EXPECT_EQ(font.draws[0].y, 12);

    button.isDown = button.isOver = true;
    button.SetColor(ButtonWidget::kLabelOver, Color(9, 9, 9));
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), (Calls{Fill(Rect(0, 0, 40, 20), background), Fill(Rect(0, 0, 39, 1), dark),
                                    Fill(Rect(0, 0, 1, 19), dark), Fill(Rect(0, 19, 40, 1), light),
                                    Fill(Rect(39, 0, 1, 20), light), Fill(Rect(1, 1, 37, 1), middle),
                                    Fill(Rect(1, 1, 1, 17), middle)}));
    EXPECT_EQ(font.draws[1].x, 16); // pressed in by a pixel
    EXPECT_EQ(font.draws[1].y, 13);
    EXPECT_EQ(font.draws[1].color, Color(9, 9, 9).ToInt());

    button.frameDrawOff = true;
    button.inverted = true; // down, yet drawn up
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), Calls{});
    EXPECT_EQ(font.draws[2].x, 15);
}

TEST_F(ButtonLook, ImagesFollowTheStateAndTheHighlightFades)
{
    NubraTest::SpyImage up(40, 20), over(40, 20), down(40, 20);
    const Color white(255, 255, 255);
    button.buttonImage = &up;
    button.overImage = &over;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), Calls{Blit(&up, 0, 0, Rect(0, 0, 40, 20), white)});

    button.isOver = true;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), Calls{Blit(&over, 0, 0, Rect(0, 0, 40, 20), white)});

    button.isDown = true; // pressed without a down image: the highlight at (0, 0)
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), Calls{Blit(&over, 0, 0, Rect(0, 0, 40, 20), white)});
    button.downImage = &down;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), Calls{Blit(&down, 0, 0, Rect(0, 0, 40, 20), white)});

    button.isDown = button.isOver = false;
    button.overAlpha = 0.5;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), (Calls{Blit(&up, 0, 0, Rect(0, 0, 40, 20), white),
                                    Blit(&over, 0, 0, Rect(0, 0, 40, 20), Color(255, 255, 255, 127))}));

    // Source rectangles pick states out of the button image.
    button.overImage = button.downImage = nullptr;
    button.overAlpha = 0.0;
    button.normalRect = Rect(0, 0, 20, 10);
    button.overRect = Rect(20, 0, 20, 10);
    button.isOver = true;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take(), Calls{Blit(&up, 0, 0, Rect(20, 0, 20, 10), white)});
}

TEST_F(ButtonLook, AFontSetLaterReplacesTheButtonsOwnAndStaysTheCallers)
{
    ButtonWidget own(2, &listener);
    own.Resize(0, 0, 40, 20);
    own.label = L"Own";
    own.Draw(&target.g);
    ASSERT_NE(own.font, nullptr);
    EXPECT_NE(dynamic_cast<Nubra::SysFont*>(own.font), nullptr);

    own.SetFont(&font);
    own.Draw(&target.g);
    EXPECT_EQ(own.font, &font);
    EXPECT_EQ(font.draws.size(), 1u);
    // The caller's font outlives the button untouched; the button's own is freed with it.
}

TEST(DialogButtonLook, AFrameImageIsStretchedOrCutIntoStates)
{
    widgettest::DrawingTarget target;
    widgettest::RecordingButtonListener listener;
    NubraTest::FixedWidthFont font{5};
    NubraTest::SpyImage frame(90, 30);
    Nubra::DialogButton button(&frame, 1000, &listener);
    button.Resize(0, 0, 60, 30);
    button.label = L"OK";
    button.SetFont(&font);
    const Color white(255, 255, 255);

    // The whole frame as a nine-part box, pushed in by the pressed shift.
    button.isDown = button.isOver = true;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take().front(), Blit(&frame, 1, 1, Rect(0, 0, 30, 10), white));
    // Label: (60 - 10) / 2 across; (8 + 30 - 8 / 6 - 0 - 1) / 2 down; then the shift.
    ASSERT_EQ(font.draws.size(), 1u);
    EXPECT_EQ(font.draws[0].x, 26);
    EXPECT_EQ(font.draws[0].y, 19);
    EXPECT_EQ(font.draws[0].color, Color(255, 255, 255).ToInt());

    button.normalRect = Rect(0, 0, 30, 30);
    button.overRect = Rect(30, 0, 30, 30);
    button.downRect = Rect(60, 0, 30, 30);
    button.Draw(&target.g);
    EXPECT_EQ(target.Take().front(), Blit(&frame, 0, 0, Rect(60, 0, 10, 10), white));
    button.isDown = false;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take().front(), Blit(&frame, 0, 0, Rect(30, 0, 10, 10), white));
    button.isOver = false;
    button.Draw(&target.g);
    EXPECT_EQ(target.Take().front(), Blit(&frame, 0, 0, Rect(0, 0, 10, 10), white));
    EXPECT_EQ(font.draws.back().x, 25);
}

} // namespace
