#pragma once
#include <pugixml.hpp>

#include <array>
#include <vector>

#include "engine/ui/TCDialog.h"

class TCBoard_Game3;
struct TCUpgrade;

// The shop between days: it shows up to six upgrades the cafe board offers, keeps exactly one of
// them applied (the chosen one) and hands the level back to the board when it closes.
class TCBoard_Upgrade : public TCDialog {
public:
    static constexpr int kSlots = 6;

    // Built from the element "upgrade_menu" of the UI document's root, over the board's widget.
    TCBoard_Upgrade(TCCandyWidget* boardWidget, TCEngine* app, pugi::xml_node uiRoot, TCBoard_Game3& board);

    // -1 while nothing is chosen.
    int GetSelected() const { return selected_; }
    int GetOfferedCount() const { return int(offered_.size()); }
    TCCandyWidget* GetSlotButton(int slot) const { return slots_[size_t(slot)].button; }
    TCCandyWidget* GetCloseButton() const { return close_; }
    bool IsOpen() const { return open_; }

    void OnShow() override;
    void OnHide() override;
    void OnButtonClick(intptr_t id) override;

private:
    struct Slot {
        TCCandyWidget *button = nullptr, *tray = nullptr, *select = nullptr;
    };

    // The slot's button and tray show the offered upgrade of that place, or go; nothing is chosen.
    void FillSlot(int index);
    void Select(int slot);
    void Withdraw();

    TCBoard_Game3& board_;
    std::vector<TCUpgrade*> offered_;
    int selected_ = -1;
    std::array<Slot, kSlots> slots_{};
    TCCandyWidget *upgrade_ = nullptr, *description_ = nullptr, *close_ = nullptr;
    // Between its show and its hide; it holds one pause of the board meanwhile.
    bool open_ = false;
};
