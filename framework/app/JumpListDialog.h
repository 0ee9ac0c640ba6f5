#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/app/DemoFile.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogListener.h"

namespace Nubra {

class NubraAppBase;

// A row of the marker list: "<name> (hh:mm:ss)", the time from the jump point to the end of
// the recording, and the update it jumps to.
struct JumpListItem {
    std::string text;
    uint32_t update;
};

// The jump points that still lie ahead of the update, in their order.
std::vector<JumpListItem> JumpListItems(const std::vector<DemoJumpPoint>& points, uint32_t updateCount,
                                        uint32_t demoLength, int32_t updatePeriod);

// The "Marker List" of a playing demo: one row per jump point ahead. A click selects a row, a
// double click jumps to the selected point and closes the list; "Close" closes it. Playback
// waits while the list is open, and the player's input goes to the list.
class JumpListDialog : public Dialog, public DialogListener {
public:
    static constexpr int kDialogId = 0x4D4C; // "ML"

    explicit JumpListDialog(NubraAppBase* app);
    ~JumpListDialog() override;

    void Draw(Graphics* g) override;
    using Dialog::MouseDown;
    void MouseDown(int mouseX, int mouseY, int button, int clickCount) override;
    // The selected row's jump, when its point still lies ahead: false (the list stays) without one.
    bool JumpToSelected();

    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;

    std::vector<JumpListItem> items;
    int selected = -1; // none

private:
    int RowAt(int localY) const; // -1 when no row is there
    int ListTop() const;

    NubraAppBase* app_;
    bool wasPaused_;
};

// Shows the marker list while a demo plays; 0.
int DoJumpListDialog();

} // namespace Nubra
