#pragma once
#include "engine/ui/TCDialog.h"

// The first screen until the menus exist: the cafe's money and two buttons, one serving a
// coffee for money and one ending the game.
class WelcomeDialog : public TCDialog {
public:
    static constexpr int kCoffeePrice = 25;

    // Built from the element "welcome" of the UI document's root.
    WelcomeDialog(TCEngine* app, pugi::xml_node uiRoot);

    void OnButtonClick(intptr_t id) override;

private:
    int money_ = 0;
};
