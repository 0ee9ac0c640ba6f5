#pragma once
#include <pugixml.hpp>

#include "engine/ui/TCDialog.h"

class TCBoard_Game3;
class TCEngine;

// The level's picture and intro text in a briefing or debriefing: career levels by level number
// ("briefing_%02d", "breif_text_l%02d"), survival ones by cafe ("ebriefing_%02d",
// "ebreif_text_l%02d"); a level without a picture of its own shows "briefing_00".
void FillLevelIntro(const TCCandyWidget& dialog, TCEngine& app, int level, bool survival, const char* textControl);

// Introduces a level over the paused board: its picture, intro and goals. Closing it lets the
// day begin.
class TCBoard_Briefing : public TCDialog {
public:
    // Built from the element "briefing_dialog"; the board's widget holds it.
    TCBoard_Briefing(TCEngine* app, TCCandyWidget* boardWidget, pugi::xml_node uiRoot, TCBoard_Game3& board);

    void OnShow() override;
    void OnHide() override;
    void OnButtonClick(intptr_t id) override;

private:
    void FillTexts();

    TCBoard_Game3& board_;
    TCCandyWidget* start_ = nullptr;
    TCCandyWidget *goalText_ = nullptr, *expertText_ = nullptr, *readyText_ = nullptr;
    // Whether this briefing holds one of the board's pauses.
    bool pausing_ = false;
};
