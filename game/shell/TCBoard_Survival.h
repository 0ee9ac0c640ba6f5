#pragma once
#include <pugixml.hpp>

#include <array>

#include "engine/ui/TCDialog.h"

class TCEngine3;

// The main menu's page on which the player chooses a cafe for survival and starts it. Cafes
// open with the career: the second once it has gone past day 15, the third past day 35.
class TCBoard_Survival : public TCDialog {
public:
    static constexpr int kCafes = 3;

    // Built from the element "survival_menu" of the UI document's root.
    TCBoard_Survival(TCEngine3* app, pugi::xml_node uiRoot);

    // 1..3.
    int GetChosenCafe() const { return chosen_; }
    void ChooseCafe(int cafe);
    // The cafes the current player may choose are enabled, a closed choice falls back to the
    // first cafe, and only the chosen cafe's photo, heading and description show.
    void Refresh();

    void OnShow() override;
    void OnButtonClick(intptr_t id) override;

private:
    struct Cafe {
        TCCandyWidget *button = nullptr, *text = nullptr, *smallPhoto = nullptr;
        TCCandyWidget *photo = nullptr, *head = nullptr, *desc = nullptr;
    };

    TCEngine3* game_;
    int chosen_ = 1;
    std::array<Cafe, kCafes> cafes_{};
    TCCandyWidget *cancel_ = nullptr, *play_ = nullptr;
};
