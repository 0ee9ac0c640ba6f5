#include "game/shell/TCBoard_Upgrade.h"

#include <string>

#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "engine/ui/TCButton.h"
#include "game/shell/ShellControls.h"
#include "game/sim/CafeConfig.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

// "kind_name" of an upgrade, as its picture and description ids end.
std::string UpgradeKey(const TCUpgrade& record) { return record.object + "_" + record.name; }

} // namespace

TCBoard_Upgrade::TCBoard_Upgrade(TCCandyWidget* boardWidget, TCEngine* app, pugi::xml_node uiRoot,
                                 TCBoard_Game3& board)
    : TCDialog(boardWidget, app), board_(board)
{
    SetVisible(false);
    if (!FindDialogNode(uiRoot, "upgrade_menu"))
        WriteLog("WARNING: The UI document has no upgrade shop");
    upgrade_ = FindBelow(this, "upgrade");
    description_ = FindBelow(this, "upgrade_description");
    close_ = FindBelow(this, "close_button");
    for (int i = 0; i < kSlots; ++i) {
        TCCandyWidget* slot = FindBelow(this, "slot_" + std::to_string(i + 1));
        if (!slot)
            continue;
        slots_[size_t(i)] = {slot->FindChild("button"), slot->FindChild("tray"), slot->FindChild("select")};
    }
}

void TCBoard_Upgrade::OnShow()
{
    // Showing it again while open would take another offer and keep two upgrades.
    if (open_)
        return;
    SetControlShown(upgrade_, true);
    board_.GetOfferedUpgrades(offered_);
    if (offered_.size() > size_t(kSlots))
        offered_.resize(size_t(kSlots));
    selected_ = -1;
    for (int i = 0; i < kSlots; ++i)
        FillSlot(i);
    // An empty offer leaves nothing chosen.
    if (!offered_.empty())
        Select(0);
    else
        SetControlLabel(description_, L"");
    board_.Pause();
    open_ = true;
    if (parent)
        parent->BringToFront(this);
}

void TCBoard_Upgrade::FillSlot(int index)
{
    const Slot& slot = slots_[size_t(index)];
    const bool offered = index < GetOfferedCount();
    if (offered)
        if (auto* button = dynamic_cast<TCButton*>(slot.button))
            button->SetStateImages("mn09_char_small_" + UpgradeKey(*offered_[size_t(index)]));
    SetControlShown(slot.button, offered);
    SetControlShown(slot.tray, offered);
    SetControlShown(slot.select, false);
}

void TCBoard_Upgrade::Select(int slot)
{
    selected_ = slot;
    TCUpgrade& record = *offered_[size_t(slot)];
    board_.ApplyUpgrade(record, true);
    SetControlLabel(description_, GetApp()->GetLocalization().GetText("mn09_desc_" + UpgradeKey(record)));
    SetControlShown(slots_[size_t(slot)].select, true);
}

void TCBoard_Upgrade::Withdraw()
{
    if (selected_ < 0)
        return;
    board_.ApplyUpgrade(*offered_[size_t(selected_)], false);
    SetControlShown(slots_[size_t(selected_)].select, false);
    selected_ = -1;
}

void TCBoard_Upgrade::OnButtonClick(intptr_t id)
{
    if (Is(id, close_)) {
        Hide();
        return;
    }
    for (int i = 0; i < GetOfferedCount(); ++i) {
        if (Is(id, slots_[size_t(i)].button) && i != selected_) {
            Withdraw();
            Select(i);
        }
    }
}

void TCBoard_Upgrade::OnHide()
{
    if (!open_)
        return;
    open_ = false;
    SetControlShown(upgrade_, false);
    for (const Slot& slot : slots_) {
        SetControlShown(slot.button, false);
        SetControlShown(slot.tray, false);
    }
    // A level left from the escape menu keeps nothing it won.
    if (board_.IsLevelAbandoned())
        Withdraw();
    selected_ = -1;
    offered_.clear();
    board_.Resume();
    board_.CloseUpgradeShop();
}
