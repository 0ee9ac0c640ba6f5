// Framework dialogs: their buttons, answers through scripted input reaching the listeners,
// waiting for a result, dragging within the screen, layout and looks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ButtonTestSupport.h"
#include "WidgetTestSupport.h"
#include "framework/app/NubraAppBase.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"

namespace {

using Nubra::Color;
using Nubra::Dialog;
using Nubra::Rect;
using Calls = std::vector<std::string>;
using widgettest::Fill;

// A dialog at (100, 100), 400 x 200, in a manager over an 800 x 600 screen.
struct DialogInManager : ::testing::Test {
    explicit DialogInManager(int mode = Dialog::kYesNo) : dialog(nullptr, nullptr, 7, true, L"", L"", L"", mode)
    {
        dialog.dialogListener = &listener;
        dialog.Resize(100, 100, 400, 200);
        f.manager.AddWidget(&dialog);
        f.Settle();
    }

    widgettest::ManagerFixture f;
    widgettest::RecordingDialogListener listener;
    Dialog dialog;
};

TEST_F(DialogInManager, YesAndNoSitSideBySideAboveTheDialog)
{
    ASSERT_TRUE(dialog.yesButton && dialog.noButton);
    EXPECT_EQ(dialog.yesButton->id, Dialog::kYesButton);
    EXPECT_EQ(dialog.yesButton->label, L"YES");
    EXPECT_EQ(dialog.noButton->id, Dialog::kNoButton);
    EXPECT_EQ(dialog.noButton->label, L"NO");
    // Each (400 - 24 - 24 - 8) / 2 wide, the row 24 + 24 above the bottom.
    EXPECT_EQ(dialog.yesButton->GetRect(), Rect(124, 252, 172, 24));
    EXPECT_EQ(dialog.noButton->GetRect(), Rect(304, 252, 172, 24));
    const std::list<Nubra::Widget*> order{&dialog, dialog.yesButton.get(), dialog.noButton.get()};
    EXPECT_EQ(f.manager.children, order);

    // Moving the dialog takes the buttons along; bringing it forward keeps them in front.
    widgettest::Probe other("other", &f.log, Rect(0, 0, 10, 10));
    f.manager.AddWidget(&other);
    f.manager.BringToFront(&dialog);
    EXPECT_EQ(f.manager.children.back(), dialog.yesButton.get());
    EXPECT_EQ(f.manager.children.front(), &other);
    dialog.Move(0, 0);
    EXPECT_EQ(dialog.noButton->GetRect(), Rect(204, 152, 172, 24));

    f.manager.RemoveWidget(&dialog);
    EXPECT_TRUE(f.manager.children == std::list<Nubra::Widget*>{&other});
}

TEST_F(DialogInManager, AClickOnAButtonIsItsResultAndReachesTheListener)
{
    EXPECT_EQ(dialog.GetResult(), Dialog::kNoResult);
    f.manager.MouseDown(310, 260, 1);
    EXPECT_EQ(dialog.GetResult(), Dialog::kNoResult); // pressed, not yet released
    f.manager.MouseUp(310, 260, 1);
    EXPECT_EQ(dialog.GetResult(), Dialog::kNoButton);
    EXPECT_EQ(listener.calls, (Calls{"press 7 1001", "depress 7 1001"}));
}

TEST_F(DialogInManager, DraggingStaysWithinEightPixelsOfTheScreen)
{
    f.manager.MouseDown(110, 110, 1);
    EXPECT_TRUE(dialog.dragging);
    f.manager.MouseMove(150, 130);
    EXPECT_EQ(dialog.GetRect(), Rect(140, 120, 400, 200));
    f.manager.MouseMove(-500, -500);
    EXPECT_EQ(dialog.GetRect(), Rect(-8, -8, 400, 200));
    f.manager.MouseMove(2000, 2000);
    EXPECT_EQ(dialog.GetRect(), Rect(408, 408, 400, 200)); // 800 + 8 - 400, 600 + 8 - 200
    EXPECT_EQ(dialog.yesButton->GetRect().y, 408 + 152);
    f.manager.MouseUp(2000, 2000, 1);
    EXPECT_FALSE(dialog.dragging);
    f.manager.MouseMove(2100, 2100);
    EXPECT_EQ(dialog.GetRect().x, 408);

    // A double click does not start a drag.
    f.manager.MouseDown(450, 450, 2);
    EXPECT_FALSE(dialog.dragging);
}

struct ModeCase {
    int mode;
    std::vector<std::wstring> labels;
};

TEST(DialogButtons, EachModeMakesItsButtons)
{
    const ModeCase cases[] = {
        {Dialog::kNoButtons, {}},
        {Dialog::kYesNo, {L"YES", L"NO"}},
        {Dialog::kOkCancel, {L"OK", L"CANCEL"}},
        {Dialog::kFooterButton, {L"Continue"}},
    };
    for (const ModeCase& c : cases) {
        Dialog dialog(nullptr, nullptr, 1, false, L"", L"", L"Continue", c.mode);
        dialog.Resize(0, 0, 300, 100);
        std::vector<std::wstring> labels;
        for (auto* button : {dialog.yesButton.get(), dialog.noButton.get()})
            if (button)
                labels.push_back(button->label);
        EXPECT_EQ(labels, c.labels) << "mode " << c.mode;
        if (c.mode == Dialog::kFooterButton) { // one button across the row
            EXPECT_EQ(dialog.yesButton->GetRect(), Rect(24, 52, 252, 24));
        }
    }
}

TEST(DialogButtons, ButtonLabelColoursAndFontsGoToBothButtons)
{
    Dialog dialog(nullptr, nullptr, 1, false, L"", L"", L"", Dialog::kYesNo);
    dialog.SetColor(Dialog::kButtonLabel, Color(1, 2, 3));
    dialog.SetColor(Dialog::kButtonLabelOver, Color(4, 5, 6));
    NubraTest::FixedWidthFont font;
    dialog.SetButtonFont(&font);
    for (auto* button : {dialog.yesButton.get(), dialog.noButton.get()}) {
        EXPECT_EQ(button->GetColor(Nubra::ButtonWidget::kLabel), Color(1, 2, 3));
        EXPECT_EQ(button->GetColor(Nubra::ButtonWidget::kLabelOver), Color(4, 5, 6));
        EXPECT_EQ(button->font, &font);
    }
    // Header and lines fonts are copies the dialog keeps.
    dialog.SetHeaderFont(&font);
    dialog.SetHeaderFont(&font);
    EXPECT_NE(dialog.headerFont.get(), &font);
    EXPECT_EQ(dialog.headerFont->GetHeight(), font.GetHeight());
}

// The application behind dialogs, whose update steps run a script instead of the main loop.
class ScriptedApp : public Nubra::NubraAppBase {
public:
    ScriptedApp()
    {
        widgetManager->width = 800;
        widgetManager->height = 600;
    }

    bool UpdateAppStep(bool& updated) override
    {
        updated = true;
        if (steps >= script.size() + 3) // the application has ended
            return false;
        if (steps < script.size())
            script[steps]();
        ++steps;
        UpdateFrames();
        ProcessSafeDeleteWidgets();
        return true;
    }
    void ButtonPress(int id) override { presses.push_back(id); }
    void ButtonDepress(int id) override
    {
        depresses.push_back(id);
        if (onDepress)
            onDepress();
    }

    // A dialog with buttons at (100, 100), 400 x 200: yes at x 124-295, no at 304-475, y 252-275.
    Dialog* Show(int id)
    {
        Dialog* dialog = DoDialog(id, true, L"Sure?", L"", L"", Dialog::kYesNo);
        dialog->Resize(100, 100, 400, 200);
        return dialog;
    }
    void Click(int x, int y)
    {
        script.push_back([this, x, y] { widgetManager->MouseDown(x, y, 1); });
        script.push_back([this, x, y] { widgetManager->MouseUp(x, y, 1); });
    }

    std::vector<std::function<void()>> script;
    size_t steps = 0;
    std::vector<int> presses, depresses;
    std::function<void()> onDepress;
};

TEST(DialogWait, AnAnswerReachesTheApplicationAsItsButtonAndEndsTheWait)
{
    ScriptedApp app;
    Dialog* dialog = app.Show(7);
    app.Click(200, 260);
    EXPECT_EQ(dialog->WaitForResult(true), Dialog::kYesButton);
    EXPECT_EQ(app.presses, std::vector<int>{2007});
    EXPECT_EQ(app.depresses, std::vector<int>{2007});
    EXPECT_EQ(app.steps, 2u);
    EXPECT_EQ(app.GetDialog(7), nullptr); // killed after
    EXPECT_TRUE(app.widgetManager->children.empty());

    Dialog* second = app.Show(8);
    app.Click(400, 260);
    EXPECT_EQ(second->WaitForResult(false), Dialog::kNoButton);
    EXPECT_EQ(app.depresses.back(), 3008);
    EXPECT_EQ(app.GetDialog(8), second);
}

TEST(DialogWait, ADialogRemovedWithoutAnAnswerGivesNoResult)
{
    ScriptedApp app;
    Dialog* dialog = app.Show(7);
    // Killed and deleted during the wait.
    app.script.push_back([&app] { app.KillDialog(7); });
    EXPECT_EQ(dialog->WaitForResult(true), Dialog::kNoResult);
    EXPECT_EQ(app.GetDialogCount(), 0);
}

TEST(DialogWait, AnAnswerSurvivesTheDialogBeingDeletedByTheListener)
{
    ScriptedApp app;
    Dialog* dialog = app.Show(7);
    // Killed in the answer's handler, deleted at the end of that update step.
    app.onDepress = [&app] { app.KillDialog(7); };
    app.Click(400, 260);
    EXPECT_EQ(dialog->WaitForResult(true), Dialog::kNoButton);
    EXPECT_EQ(app.GetDialogCount(), 0);
}

TEST(DialogWait, AModalDialogShutsInputOffBeneathItButNotItsButtons)
{
    ScriptedApp app;
    widgettest::Log log;
    widgettest::Probe below("below", &log, Rect(0, 0, 800, 600));
    app.widgetManager->AddWidget(&below);
    Dialog* dialog = app.Show(7);
    app.widgetManager->MouseDown(10, 10, 1);
    app.widgetManager->MouseUp(10, 10, 1);
    EXPECT_EQ(log, widgettest::Log{});
    app.Click(200, 260);
    EXPECT_EQ(dialog->WaitForResult(true), Dialog::kYesButton);

    app.widgetManager->MouseDown(10, 10, 1);
    EXPECT_FALSE(log.empty()); // the layer went with the dialog
}

TEST(DialogDrag, ShowsTheDraggingCursorWhileHeld)
{
    ScriptedApp app;
    app.Show(7);
    app.widgetManager->MouseDown(110, 110, 1);
    EXPECT_EQ(app.cursorNumber, 2);
    app.widgetManager->MouseUp(110, 110, 1);
    EXPECT_EQ(app.cursorNumber, 0);
}

// Looks and sizes with fonts that log their text: ascent 8, height 12, lines 14 apart.
struct DialogLook : ::testing::Test {
    DialogLook()
    {
        dialog.Resize(0, 0, 300, 200);
        dialog.SetHeaderFont(&font);
        dialog.SetLinesFont(&font);
    }
    NubraTest::FixedWidthFont& Drawn(std::unique_ptr<Nubra::Font>& copy)
    {
        return static_cast<NubraTest::FixedWidthFont&>(*copy);
    }

    NubraTest::FixedWidthFont font{10};
    widgettest::DrawingTarget target;
    Dialog dialog{nullptr, nullptr, 3, false, L"Head", L"Body", L"Foot", Dialog::kOkCancel};
};

TEST_F(DialogLook, WithoutAFrameImageItDrawsItsBoxAndShadow)
{
    dialog.Draw(&target.g);
    EXPECT_EQ(target.Take(), (Calls{"DrawRect 12,12,275,175 ffffffff 0", Fill(Rect(13, 13, 274, 174), Color(80, 80, 80)),
                                    Fill(Rect(288, 24, 12, 164), Color(0, 0, 0, 128)),
                                    Fill(Rect(24, 188, 276, 12), Color(0, 0, 0, 128))}));
    // The header centred on its baseline 24 + 8 down; the footer with the header's font.
    const auto& header = Drawn(dialog.headerFont).draws;
    ASSERT_EQ(header.size(), 2u);
    EXPECT_EQ(header[0].text, L"Head");
    EXPECT_EQ(header[0].x, 130);
    EXPECT_EQ(header[0].y, 32);
    EXPECT_EQ(header[0].color, Color(255, 255, 255).ToInt());
    EXPECT_EQ(header[1].text, L"Foot");
    EXPECT_EQ(header[1].color, Color(255, 255, 255).ToInt());
    const auto& lines = Drawn(dialog.linesFont).draws;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, 130); // centred in the box 26 + 248 wide
    EXPECT_EQ(lines[0].color, Color(255, 255, 0).ToInt());
    // The first line's baseline: the header's bottom (32 - 8 + 12) and 10 more. The footer:
    // the lines' height (one line's descent, 4), 8, and the header font's line spacing, 14.
    EXPECT_EQ(lines[0].y, 46);
    EXPECT_EQ(header[1].y, 46 + 4 + 8 + 14);
}

TEST_F(DialogLook, AFrameImageReplacesTheBoxAndItsShadow)
{
    NubraTest::SpyImage frame(30, 30);
    dialog.frameImage = &frame;
    dialog.contentInsets = {5, 6, 7, 8};
    dialog.Draw(&target.g);
    const Calls calls = target.Take();
    EXPECT_EQ(calls.front(), widgettest::Blit(&frame, 5, 6, Rect(0, 0, 10, 10), Color(255, 255, 255)));
    for (const std::string& call : calls)
        EXPECT_EQ(call.find("FillRect"), std::string::npos) << call;
}

TEST_F(DialogLook, ThePreferredHeightAddsUpWhatIsShown)
{
    struct HeightCase {
        const wchar_t *header, *lines, *footer;
        int mode;
        int height;
    };
    const HeightCase cases[] = {
        {L"", L"", L"", Dialog::kNoButtons, 48},                 // the insets only
        {L"", L"", L"", Dialog::kYesNo, 48 + 8 + 24},            // buttons alone: no gap before them
        {L"Head", L"", L"", Dialog::kNoButtons, 48 + 12},        // the header's height
        {L"Head", L"", L"Foot", Dialog::kYesNo, 48 + 12 + 8 + 14 + 8 + 8 + 24},
        {L"", L"", L"Foot", Dialog::kFooterButton, 48 + 8 + 24}, // the footer is the button
    };
    for (const HeightCase& c : cases) {
        Dialog sized(nullptr, nullptr, 1, false, c.header, c.lines, c.footer, c.mode);
        sized.SetHeaderFont(&font);
        sized.SetLinesFont(&font);
        EXPECT_EQ(sized.GetPreferredHeight(300), c.height) << "mode " << c.mode;
    }

    // Lines add the space after the header and grow by the line spacing.
    Dialog oneLine(nullptr, nullptr, 1, false, L"Head", L"word", L"", Dialog::kNoButtons);
    Dialog twoLines(nullptr, nullptr, 1, false, L"Head", L"word word", L"", Dialog::kNoButtons);
    for (Dialog* d : {&oneLine, &twoLines}) {
        d->SetHeaderFont(&font);
        d->SetLinesFont(&font);
    }
    // Room for one word only: 24 + 24 + 4 + 2 + 40 wide.
    EXPECT_EQ(twoLines.GetPreferredHeight(94) - oneLine.GetPreferredHeight(94), 14);
    EXPECT_GT(oneLine.GetPreferredHeight(94), 48 + 12 + 10);
}

} // namespace
