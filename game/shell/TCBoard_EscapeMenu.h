#pragma once
#include <pugixml.hpp>

#include <functional>

#include "engine/ui/TCDialog.h"

class TCEngine3;

// The pause menu of a running level: the board stays paused while it is shown, and it offers
// restart, resume, the options, the help and leaving for the main menu.
class TCBoard_EscapeMenu : public TCDialog {
public:
    // Built from the element "escape_menu" of the UI document's root.
    TCBoard_EscapeMenu(TCEngine3* app, pugi::xml_node uiRoot);

    // Hides the upgrade shop when it is up; the level it would finish is being left.
    std::function<void()> hideShop;

    void AddChild(const std::string& name, TCCandyWidget* child) override;
    void OnShow() override;
    void OnShown() override;
    void OnHide() override;
    void KeyUp(int key) override;
    void OnButtonClick(intptr_t id) override;

    // The help screen turns back to it.
    TCCandyWidget* GetInnerDialog() const { return inner_; }
    // Whether the board's pause is held by the menu now.
    bool HoldsPause() const { return holdsPause_; }

private:
    // Asks; on yes the level is abandoned, so that the shop no longer finishes it, and the menu
    // goes.
    bool ConfirmLeaving(const char* question);
    void HideShop();
    void Restart();
    void Quit();

    TCEngine3* game_;
    TCCandyWidget *restart_ = nullptr, *resume_ = nullptr, *settings_ = nullptr, *help_ = nullptr, *quit_ = nullptr;
    TCCandyWidget* inner_ = nullptr;
    // Redundant shows and hides must not add pauses nor take away someone else's.
    bool holdsPause_ = false;
};
