#include "game/shell/TCBoard_Options.h"

#include "ShippedGame.h"
#include "engine/core/TCMusicChannel.h"
#include "engine/core/TCSound.h"
#include "engine/ui/TCCheckBox.h"
#include "engine/ui/TCSlider.h"

namespace {

using Options = fixtures::ShippedContent;

// The game, whose screen-mode switches are counted instead of opening a display.
class Game : public fixtures::Game {
public:
    void SwitchScreenMode(bool toWindowed, bool, bool) override
    {
        switches.push_back(toWindowed);
        windowed = toWindowed;
        TheProfileStore().Header().windowed = toWindowed ? 1 : 0;
    }
    std::vector<bool> switches;
};

// The options shown over the main menu with the stored settings heard.
TCBoard_Options& OpenOptions(Game& game)
{
    const TCPrefHeader& settings = TheProfileStore().Header();
    SetSoundVolume(settings.soundVolume);
    SetMusicVolume(settings.musicVolume);
    TCBoard_Options& options = *game.GetOptions();
    options.Show();
    game.widgetManager->UpdateFrame();
    return options;
}

TEST_F(Options, OpensWithTheStoredSettingsAndPreviewsChangesAtOnce)
{
    Game game;
    game.windowed = true;
    TCBoard_Options& options = OpenOptions(game);
    EXPECT_EQ(game.widgetManager->children.back(), &options);
    EXPECT_FALSE(options.GetFullScreenBox()->IsChecked());
    EXPECT_FALSE(options.GetMuteBox()->IsChecked());
    EXPECT_EQ(options.GetSoundSlider()->GetValue(), 60);
    EXPECT_EQ(options.GetMusicSlider()->GetValue(), 30);
    EXPECT_EQ(options.GetSoundSlider()->GetMax(), 100);

    // Muted, a new sound volume is kept but not heard until the silence ends.
    options.GetMuteBox()->SetChecked(true);
    game.widgetManager->UpdateFrame();
    EXPECT_EQ(GetSoundVolume(), 0);
    EXPECT_EQ(GetMusicVolume(), 0);
    options.GetSoundSlider()->SetValue(20);
    game.widgetManager->UpdateFrame();
    EXPECT_EQ(TheProfileStore().Header().soundVolume, 20);
    EXPECT_EQ(GetSoundVolume(), 0);
    options.GetMuteBox()->SetChecked(false);
    game.widgetManager->UpdateFrame();
    EXPECT_EQ(GetSoundVolume(), 20);
    EXPECT_EQ(GetMusicVolume(), 30);
    options.GetMusicSlider()->SetValue(75);
    game.widgetManager->UpdateFrame();
    EXPECT_EQ(GetMusicVolume(), 75);
    EXPECT_FALSE(PrefWritten()) << "nothing is written before apply";
}

TEST_F(Options, CancelBringsBackWhatTheDialogOpenedWith)
{
    Game game;
    game.windowed = true;
    TCBoard_Options& options = OpenOptions(game);
    options.GetSoundSlider()->SetValue(90);
    options.GetMusicSlider()->SetValue(10);
    options.GetMuteBox()->SetChecked(true);
    options.GetFullScreenBox()->SetChecked(true);
    game.widgetManager->UpdateFrame();
    game.ClickOn(options.FindChild("cancel"));

    const TCPrefHeader& settings = TheProfileStore().Header();
    EXPECT_EQ(settings.soundVolume, 60);
    EXPECT_EQ(settings.musicVolume, 30);
    EXPECT_EQ(settings.muted, 0);
    EXPECT_EQ(GetSoundVolume(), 60);
    EXPECT_EQ(GetMusicVolume(), 30);
    EXPECT_FALSE(options.GetFullScreenBox()->IsChecked());
    EXPECT_TRUE(game.switches.empty());
    EXPECT_FALSE(options.visible);
    EXPECT_FALSE(PrefWritten());
}

TEST_F(Options, ApplyKeepsTheSettingsSwitchesTheModeOnlyWhenItChangedAndWritesThem)
{
    Game game;
    game.windowed = true;
    TCBoard_Options& options = OpenOptions(game);
    options.GetFullScreenBox()->SetChecked(true);
    game.ClickOn(options.FindChild("apply"));
    EXPECT_EQ(game.switches, std::vector<bool>{false}) << "one switch, to full screen";
    EXPECT_EQ(TheProfileStore().Header().windowed, 0);
    EXPECT_EQ(GetSoundVolume(), 60);
    EXPECT_EQ(GetMusicVolume(), 30);
    EXPECT_FALSE(options.visible);
    ASSERT_TRUE(PrefWritten());

    OpenOptions(game);
    EXPECT_TRUE(options.GetFullScreenBox()->IsChecked());
    options.GetSoundSlider()->SetValue(40);
    options.GetMuteBox()->SetChecked(true);
    game.ClickOn(options.FindChild("apply"));
    EXPECT_EQ(game.switches.size(), 1u) << "the mode did not change";
    TheProfileStore().Load();
    EXPECT_EQ(TheProfileStore().Header().soundVolume, 40) << "read back from the file";
    EXPECT_EQ(TheProfileStore().Header().muted, 1);
    EXPECT_EQ(TheProfileStore().Header().windowed, 0);
}

TEST_F(Options, AnotherButtonClosesWithThePreviewAsItStands)
{
    Game game;
    TCBoard_Options& options = OpenOptions(game);
    options.GetSoundSlider()->SetValue(35);
    game.widgetManager->UpdateFrame();
    options.OnButtonClick(reinterpret_cast<intptr_t>(&game));
    EXPECT_FALSE(options.visible);
    EXPECT_EQ(TheProfileStore().Header().soundVolume, 35);
    EXPECT_EQ(GetSoundVolume(), 35);
    EXPECT_FALSE(PrefWritten());
}

TEST_F(Options, ADesktopTooSmallForTheWindowLeavesNoChoiceOfMode)
{
    Game game;
    game.fullScreenForced = true;
    TCBoard_Options& options = OpenOptions(game);
    EXPECT_TRUE(options.GetFullScreenBox()->IsChecked());
    EXPECT_TRUE(options.GetFullScreenBox()->disabled);
}

} // namespace
