#include "game/shell/TCBoard_Options.h"

#include "engine/core/TCMusicChannel.h"
#include "engine/core/TCSound.h"
#include "engine/ui/TCCheckBox.h"
#include "engine/ui/TCSlider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCProfileStore.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

void SetHeardVolumes(const TCPrefHeader& settings)
{
    const bool muted = settings.muted != 0;
    SetSoundVolume(muted ? 0 : settings.soundVolume);
    SetMusicVolume(muted ? 0 : settings.musicVolume);
}

} // namespace

TCBoard_Options::TCBoard_Options(TCEngine3* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app), game_(app)
{
    SetVisible(false);
    FindDialogNode(uiRoot, "options");
    for (TCSlider* slider : {soundVolume_, musicVolume_})
        if (slider)
            slider->SetMax(kMaxVolume);
}

void TCBoard_Options::AddChild(const std::string& name, TCCandyWidget* child)
{
    if (name == "mute_checkbox")
        mute_ = dynamic_cast<TCCheckBox*>(child);
    else if (name == "fullscreen_checkbox")
        fullScreen_ = dynamic_cast<TCCheckBox*>(child);
    else if (name == "cancel")
        cancel_ = child;
    else if (name == "apply")
        apply_ = child;
    else if (name == "sndvol_slider")
        soundVolume_ = dynamic_cast<TCSlider*>(child);
    else if (name == "musvol_slider")
        musicVolume_ = dynamic_cast<TCSlider*>(child);
    TCDialog::AddChild(name, child);
}

void TCBoard_Options::OnShow()
{
    game_->widgetManager->BringToFront(this);
    const TCPrefHeader& settings = TheProfileStore().Header();
    if (fullScreen_) {
        fullScreen_->SetChecked(!game_->windowed);
        // A desktop too small for the window leaves nothing to choose.
        fullScreen_->SetDisabled(game_->fullScreenForced);
    }
    if (mute_)
        mute_->SetChecked(settings.muted != 0);
    if (soundVolume_)
        soundVolume_->SetValue(settings.soundVolume);
    if (musicVolume_)
        musicVolume_->SetValue(settings.musicVolume);
    SaveOpeningValues();
    PlaySound("window_open");
}

void TCBoard_Options::OnShown()
{
    TCDialog::OnShown();
    SaveOpeningValues();
}

void TCBoard_Options::SaveOpeningValues()
{
    const TCPrefHeader& settings = TheProfileStore().Header();
    savedSoundVolume_ = settings.soundVolume;
    savedMusicVolume_ = settings.musicVolume;
    savedFullScreen_ = !game_->windowed;
    savedMute_ = settings.muted != 0;
}

void TCBoard_Options::Update()
{
    TCDialog::Update();
    if (visible)
        Preview();
}

void TCBoard_Options::Preview()
{
    TCPrefHeader& settings = TheProfileStore().Header();
    const bool muted = settings.muted != 0;
    if (mute_ && mute_->IsChecked() != muted) {
        settings.muted = mute_->IsChecked() ? 1 : 0;
        SetHeardVolumes(settings);
    }
    if (soundVolume_ && soundVolume_->GetValue() != settings.soundVolume) {
        settings.soundVolume = soundVolume_->GetValue();
        if (!settings.muted)
            SetSoundVolume(settings.soundVolume);
    }
    if (musicVolume_ && musicVolume_->GetValue() != settings.musicVolume) {
        settings.musicVolume = musicVolume_->GetValue();
        if (!settings.muted)
            SetMusicVolume(settings.musicVolume);
    }
}

void TCBoard_Options::OnButtonClick(intptr_t id)
{
    if (Is(id, cancel_))
        Cancel();
    else if (Is(id, apply_))
        Apply();
    // Any other button closes the dialog and leaves the preview as it stands.
    Hide();
}

void TCBoard_Options::Cancel()
{
    if (soundVolume_)
        soundVolume_->SetValue(savedSoundVolume_);
    if (musicVolume_)
        musicVolume_->SetValue(savedMusicVolume_);
    if (mute_)
        mute_->SetChecked(savedMute_);
    if (fullScreen_)
        fullScreen_->SetChecked(savedFullScreen_);
    Preview();
}

void TCBoard_Options::Apply()
{
    TCPrefHeader& settings = TheProfileStore().Header();
    if (soundVolume_)
        savedSoundVolume_ = settings.soundVolume = soundVolume_->GetValue();
    if (musicVolume_)
        savedMusicVolume_ = settings.musicVolume = musicVolume_->GetValue();
    if (mute_)
        savedMute_ = mute_->IsChecked();
    settings.muted = savedMute_ ? 1 : 0;
    SetHeardVolumes(settings);
    if (fullScreen_ && fullScreen_->IsChecked() != !game_->windowed) {
        savedFullScreen_ = fullScreen_->IsChecked();
        // The game's own switch keeps the stored mode in step with the display.
        game_->SwitchScreenMode(!savedFullScreen_, game_->Is3DAccelerated(), false);
    }
    TheProfileStore().SaveTables();
}

void TCBoard_Options::OnHide()
{
    TCBoard_Game3* board = game_->GetGameBoard();
    if (board && board->IsRunning())
        game_->widgetManager->SetFocus(game_->GetBoardWidget());
}
