#pragma once
#include <pugixml.hpp>

#include "engine/ui/TCDialog.h"

class TCCheckBox;
class TCEngine3;
class TCSlider;

// The settings dialog: mute, full screen and the two volumes. Volume and mute changes are heard
// at once; "apply" keeps them, switches the screen mode and writes the settings; "cancel" brings
// back what the dialog opened with.
class TCBoard_Options : public TCDialog {
public:
    static constexpr int kMaxVolume = 100;

    // Built from the element "options" of the UI document's root.
    TCBoard_Options(TCEngine3* app, pugi::xml_node uiRoot);

    void AddChild(const std::string& name, TCCandyWidget* child) override;
    void OnShow() override;
    void OnShown() override;
    void Update() override;
    void OnButtonClick(intptr_t id) override;
    void OnHide() override;

    TCCheckBox* GetMuteBox() const { return mute_; }
    TCCheckBox* GetFullScreenBox() const { return fullScreen_; }
    TCSlider* GetSoundSlider() const { return soundVolume_; }
    TCSlider* GetMusicSlider() const { return musicVolume_; }

private:
    // The controls' changes reach the settings and, unless muted, the ears.
    void Preview();
    void Cancel();
    void Apply();
    // The settings as the dialog opened with them.
    void SaveOpeningValues();

    TCEngine3* game_;
    TCCheckBox *mute_ = nullptr, *fullScreen_ = nullptr;
    TCCandyWidget *cancel_ = nullptr, *apply_ = nullptr;
    TCSlider *soundVolume_ = nullptr, *musicVolume_ = nullptr;
    int savedSoundVolume_ = kMaxVolume, savedMusicVolume_ = kMaxVolume;
    bool savedFullScreen_ = false, savedMute_ = false;
};
