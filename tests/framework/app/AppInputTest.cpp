// The window procedure and its queue: what is queued, what is merged, and how the replay
// hands input, focus and the pointer to the widgets.
#include <gtest/gtest.h>

#include "framework/app/WindowTestApp.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/VirtualKeys.h"

namespace {

using plat::Message;
using plat::MessageKind;
using widgettest::Log;
using widgettest::Take;

Message Msg(MessageKind kind, int32_t first = 0, int32_t second = 0) { return {kind, first, second}; }

TEST(AppInput, TheQueueMergesWhatIsNewsOnlyOnceAndTakesNothingAfterAClose)
{
    struct Case {
        const char* what;
        std::vector<MessageKind> sent;
        size_t queued;
    };
    const Case cases[] = {
        {"two ticks in a row", {MessageKind::Timer, MessageKind::Timer}, 1},
        {"ticks apart", {MessageKind::Timer, MessageKind::KeyDown, MessageKind::Timer}, 3},
        {"a display change while a colour change waits",
         {MessageKind::SysColorChange, MessageKind::Timer, MessageKind::DisplayChange}, 2},
        {"two display changes", {MessageKind::DisplayChange, MessageKind::MouseMove, MessageKind::DisplayChange}, 2},
        {"after a close", {MessageKind::Close, MessageKind::KeyDown, MessageKind::Timer, MessageKind::Close}, 1},
    };
    for (const Case& c : cases) {
        apptest::WindowApp app("QueueMerge");
        for (MessageKind kind : c.sent)
            app.WindowProc(Msg(kind));
        EXPECT_EQ(app.QueuedMessageCount(), c.queued) << c.what;
        app.shutDown = true; // the queued close must not end anything here
    }
}

TEST(AppInput, AKeyAClickAndTheWheelReachTheWidgetOnlyWhenReplayed)
{
    apptest::WindowApp app("KeyAndClick");
    app.WindowProc(Msg(MessageKind::LButtonDown, 30, 40));
    app.WindowProc(Msg(MessageKind::KeyDown, 'A'));
    app.WindowProc(Msg(MessageKind::Char, 'a'));
    EXPECT_TRUE(app.log.empty()) << "nothing reaches a widget from the window procedure";

    app.ProcessDeferredMessages(false);
    EXPECT_EQ(Take(app.log), (Log{"probe:enter", "probe:move 30,40", "probe:focus", "probe:down 30,40 b0 c1",
                                  "probe:keydown 65", "probe:char 97"}));

    app.Send({Msg(MessageKind::LButtonUp, 30, 40), Msg(MessageKind::KeyUp, 'A'), Msg(MessageKind::MouseWheel, -240),
              Msg(MessageKind::LButtonDouble, 31, 40), Msg(MessageKind::LButtonUp, 31, 40),
              Msg(MessageKind::RButtonDown, 31, 40), Msg(MessageKind::RButtonUp, 31, 40),
              Msg(MessageKind::MButtonDown, 31, 40), Msg(MessageKind::MButtonUp, 31, 40)});
    // Every button message moves the mouse first: while a button is held that is a drag.
    EXPECT_EQ(Take(app.log),
              (Log{"probe:drag 30,40", "probe:release 30,40", "probe:up 30,40 b0 c1", "app:keyhook 65",
                   "probe:keyup 65", "probe:wheel -2", "probe:move 31,40", "probe:down 31,40 b0 c2",
                   "probe:drag 31,40", "probe:release 31,40", "probe:up 31,40 b0 c1", "probe:down 31,40 b1 c1",
                   "probe:drag 31,40", "probe:release 31,40", "probe:up 31,40 b1 c1", "probe:down 31,40 b2 c1",
                   "probe:drag 31,40", "probe:release 31,40", "probe:up 31,40 b2 c1"}));
}

TEST(AppInput, TheMouseStaysCapturedWhileAnyButtonIsHeld)
{
    apptest::WindowApp app("Capture");
    app.Send({Msg(MessageKind::LButtonDown, 5, 5)});
    EXPECT_TRUE(app.window.IsMouseCaptured());
    app.Send({Msg(MessageKind::RButtonDown, 5, 5), Msg(MessageKind::LButtonUp, 5, 5)});
    EXPECT_TRUE(app.window.IsMouseCaptured()) << "the right button is still down";
    app.Send({Msg(MessageKind::RButtonUp, 5, 5)});
    EXPECT_FALSE(app.window.IsMouseCaptured());
}

TEST(AppInput, LosingFocusMutesReleasesKeysAndButtonsAndGainingItUndoesExactlyThat)
{
    apptest::WindowApp app("Focus");
    app.Mute(false); // the player's own mute
    app.Send({Msg(MessageKind::ActivateApp, 1)});
    EXPECT_TRUE(app.hasFocus);
    EXPECT_EQ(app.muteCount, 1) << "the first activation keeps the player's mute";

    app.Send({Msg(MessageKind::KeyDown, plat::kVkShift), Msg(MessageKind::LButtonDown, 5, 5)});
    Take(app.log);
    app.Send({Msg(MessageKind::ActivateApp, 0)});
    EXPECT_FALSE(app.hasFocus);
    EXPECT_EQ(app.muteCount, 2);
    EXPECT_EQ(app.autoMuteCount, 1);
    EXPECT_FALSE(app.window.IsMouseCaptured());
    EXPECT_EQ(Take(app.log),
              (Log{"probe:keyup 16", "probe:blur", "app:lostfocus", "probe:release 5,5", "probe:up 5,5 b0 c1"}));

    app.Send({Msg(MessageKind::ActivateApp, 1)});
    EXPECT_EQ(Take(app.log), (Log{"probe:focus", "app:gotfocus"}));
    EXPECT_EQ(app.muteCount, 1);
    EXPECT_EQ(app.autoMuteCount, 0);

    // Minimised and back: the same balance.
    app.Send({Msg(MessageKind::Size, plat::kSizeMinimized)});
    EXPECT_TRUE(app.minimized);
    EXPECT_FALSE(app.hasFocus);
    app.Send({Msg(MessageKind::Size, plat::kSizeRestored)});
    EXPECT_TRUE(app.hasFocus);
    EXPECT_EQ(app.muteCount, 1);
    EXPECT_EQ(app.autoMuteCount, 0);
    EXPECT_TRUE(app.IsMutedByUser());
}

TEST(AppInput, ControlShiftDTurnsDebugKeysOnOnlyWhereTheDeveloperSettingAllows)
{
    apptest::WindowApp app("DebugKeys");
    const std::vector<Message> chord = {Msg(MessageKind::KeyDown, plat::kVkControl),
                                        Msg(MessageKind::KeyDown, plat::kVkShift), Msg(MessageKind::KeyDown, 'D'),
                                        Msg(MessageKind::KeyUp, 'D'), Msg(MessageKind::KeyUp, plat::kVkShift),
                                        Msg(MessageKind::KeyUp, plat::kVkControl)};
    app.Send(chord);
    EXPECT_FALSE(app.debugKeysEnabled);
    app.debugKeysAllowed = true;
    app.Send(chord);
    EXPECT_TRUE(app.debugKeysEnabled);

    // Debug keys take F8, F10 and F11 from the widgets and leave the others to them.
    app.widgetManager->SetFocus(app.probe.get());
    Take(app.log);
    app.Send({Msg(MessageKind::KeyDown, plat::kVkF1 + 9), Msg(MessageKind::KeyDown, plat::kVkF1 + 2)});
    EXPECT_EQ(Take(app.log), (Log{"probe:keydown 114"}));
    EXPECT_TRUE(app.overlayOn);
}

TEST(AppInput, LeavingTheWindowEndsTheHoverAndTheMapsPositionsThroughTheManager)
{
    apptest::WindowApp app("Leave");
    // A window twice the game's size: positions are halved.
    app.widgetManager->SetScreenRects(Nubra::Rect(0, 0, 640, 480), Nubra::Rect(0, 0, 1280, 960));
    app.Send({Msg(MessageKind::MouseEnter), Msg(MessageKind::MouseMove, 100, 60)});
    EXPECT_TRUE(app.mouseInWindow);
    EXPECT_EQ(Take(app.log), (Log{"probe:enter", "probe:move 50,30"}));
    app.Send({Msg(MessageKind::MouseLeave)});
    EXPECT_FALSE(app.mouseInWindow);
    EXPECT_EQ(Take(app.log), (Log{"probe:leave"}));
}

TEST(AppInput, AfterAMessageBoxNoKeyOrButtonCountsAsHeld)
{
    apptest::WindowApp app("Popup");
    plat::FakeMessageBox box;
    plat::SetMessageBoxService(&box);
    app.Send({Msg(MessageKind::KeyDown, plat::kVkControl), Msg(MessageKind::LButtonDown, 5, 5)});
    EXPECT_TRUE(app.controlDown);
    Take(app.log);
    app.Popup("Something went wrong");
    plat::SetMessageBoxService(nullptr);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "FATAL ERROR");
    EXPECT_FALSE(app.controlDown);
    EXPECT_FALSE(app.widgetManager->IsKeyDown(plat::kVkControl));
    EXPECT_FALSE(app.window.IsMouseCaptured());
    EXPECT_EQ(Take(app.log), (Log{"probe:release 5,5", "probe:up 5,5 b0 c1"})) << "the press ends";
}

class InitialisedInput : public testing::Test {
protected:
    void SetUp() override
    {
        app_.Init();
        ASSERT_TRUE(app_.physicallyWindowed);
    }
    apptest::WindowApp app_{"InputInit"};
};

TEST_F(InitialisedInput, AltEnterSwitchesTheModeBothWaysAndForgetsTheHeldKeys)
{
    app_.Send({Msg(MessageKind::SysKeyDown, plat::kVkMenu), Msg(MessageKind::SysKeyDown, plat::kVkReturn)});
    EXPECT_FALSE(app_.windowed);
    EXPECT_FALSE(app_.physicallyWindowed);
    EXPECT_TRUE(app_.window.IsFullScreen());
    EXPECT_FALSE(app_.altDown);
    EXPECT_FALSE(app_.widgetManager->IsKeyDown(plat::kVkMenu));

    app_.Send({Msg(MessageKind::SysKeyDown, plat::kVkMenu), Msg(MessageKind::SysKeyDown, plat::kVkReturn)});
    EXPECT_TRUE(app_.windowed);
    EXPECT_FALSE(app_.window.IsFullScreen());
    EXPECT_EQ(app_.displayStarts.size(), 3u) << "the display starts again for each mode";
}

TEST_F(InitialisedInput, ClicksLandOnTheFramesPixelsWhereverTheDisplayScalesIt)
{
    app_.Send({Msg(MessageKind::LButtonDown, 100, 60), Msg(MessageKind::LButtonUp, 100, 60)});
    app_.SwitchScreenMode(false);
    ASSERT_EQ(app_.window.ClientRect(), (plat::WindowRect{0, 0, 1024, 768})) << "the headless desktop";
    Take(app_.log);
    // The 640 x 480 frame fills the 1024 x 768 desktop: 1.6 window pixels to a frame pixel.
    app_.Send({Msg(MessageKind::LButtonDown, 160, 96), Msg(MessageKind::LButtonUp, 1023, 767)});
    EXPECT_EQ(Take(app_.log), (Log{"probe:down 100,60 b0 c1", "probe:drag 639,479", "probe:release 639,479",
                                   "probe:up 639,479 b0 c1"}));
}

TEST_F(InitialisedInput, AltEnterDoesNothingWhenTheDesktopHasNoRoomForAWindow)
{
    app_.fullScreenForced = true;
    app_.widgetManager->SetFocus(app_.probe.get());
    Take(app_.log);
    app_.Send({Msg(MessageKind::SysKeyDown, plat::kVkReturn)});
    EXPECT_TRUE(app_.windowed);
    EXPECT_EQ(app_.displayStarts.size(), 1u);
    EXPECT_EQ(Take(app_.log), (Log{"probe:keydown 13"})) << "an ordinary Enter then";
}

TEST_F(InitialisedInput, ThePointerFollowsTheCursorNumberAndItsPictures)
{
    using plat::SystemCursor;
    Nubra::MemoryImage picture;
    picture.Create(8, 8);
    auto shownPicture = [this] { return app_.ddInterface->cursorImage; };

    app_.SetCursor(3);
    EXPECT_EQ(app_.ShownSystemCursor(), SystemCursor::Arrow) << "the mouse is elsewhere";
    app_.Send({Msg(MessageKind::MouseEnter)});
    EXPECT_EQ(app_.ShownSystemCursor(), SystemCursor::IBeam);

    app_.SetCursorImage(2, &picture);
    app_.SetCursor(2);
    EXPECT_EQ(app_.ShownSystemCursor(), SystemCursor::Drag) << "custom cursors are off";
    EXPECT_EQ(shownPicture(), nullptr);
    app_.EnableCustomCursors(true);
    EXPECT_EQ(shownPicture(), &picture);
    app_.EnableCustomCursors(false);
    EXPECT_EQ(shownPicture(), nullptr);
    app_.SetCursorImage(12, &picture);
    app_.SetCursor(12);
    EXPECT_EQ(shownPicture(), &picture) << "12 always shows its picture";
    app_.SetCursorImage(12, nullptr);
    EXPECT_EQ(shownPicture(), nullptr);
    EXPECT_EQ(app_.ShownSystemCursor(), SystemCursor::Hidden);
    app_.SetCursor(99);
    EXPECT_EQ(app_.ShownSystemCursor(), SystemCursor::Arrow);
    app_.SetCursorImage(2, nullptr);
}

TEST_F(InitialisedInput, TheClipboardCarriesAnyText)
{
    app_.CopyToClipboard(L"Caf\u00e9 \u2615 \U0001F600");
    EXPECT_EQ(app_.GetClipboard(), L"Caf\u00e9 \u2615 \U0001F600");
}

} // namespace
