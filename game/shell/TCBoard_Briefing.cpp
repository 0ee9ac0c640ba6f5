#include "game/shell/TCBoard_Briefing.h"

#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "framework/util/StringUtils.h"
#include "game/shell/ShellControls.h"
#include "game/sim/TCBoard_Game3.h"

void FillLevelIntro(const TCCandyWidget& dialog, TCEngine& app, int level, bool survival, const char* textControl)
{
    const char* picture = survival ? "ebriefing_%02d" : "briefing_%02d";
    const char* intro = survival ? "ebreif_text_l%02d" : "breif_text_l%02d";
    SetPicture(FindBelow(&dialog, "picture"), FirstKnownTexture({Nubra::StrFormat(picture, level), "briefing_00"}));
    SetControlLabel(FindBelow(&dialog, textControl),
                    TextOr(app.GetLocalization(), Nubra::StrFormat(intro, level), Nubra::StrFormat(intro, 0)));
}

TCBoard_Briefing::TCBoard_Briefing(TCEngine* app, TCCandyWidget* boardWidget, pugi::xml_node uiRoot,
                                   TCBoard_Game3& board)
    : TCDialog(boardWidget, app), board_(board)
{
    if (!FindDialogNode(uiRoot, "briefing_dialog"))
        WriteLog("WARNING: The UI document has no briefing");
    if (boardWidget)
        boardWidget->AddChild("briefing_dialog", this);
    start_ = FindBelow(this, "start");
    goalText_ = FindBelow(this, "goal_text");
    expertText_ = FindBelow(this, "expert_text");
    readyText_ = FindBelow(this, "settings_text");
}

void TCBoard_Briefing::FillTexts()
{
    TCEngine& app = *GetApp();
    const bool survival = board_.IsSurvival();
    const int level = board_.GetLevel();
    app.SetTextVar("currentcafe", board_.GetCafe());
    app.SetTextVar("cafe", board_.GetCafe());
    app.SetTextVar("currentday", board_.GetDay());
    app.SetTextVar("day", board_.GetDay());
    FillLevelIntro(*this, app, level, survival, "level_intro_text");
    const TCLocalization& texts = app.GetLocalization();
    SetControlLabel(goalText_, texts.GetText(survival ? "mn04_endless_goal" : "mn04_goal"));
    SetControlLabel(expertText_, texts.GetText(survival ? "mn04_endless_expert" : "mn04_expert"));
    SetControlLabel(readyText_, texts.GetText(survival ? "mn04_endless_ready" : "mn04_ready"));
}

void TCBoard_Briefing::OnShow()
{
    FillTexts();
    if (pausing_)
        return;
    pausing_ = true;
    board_.Pause();
}

void TCBoard_Briefing::OnHide()
{
    if (!pausing_)
        return;
    pausing_ = false;
    board_.Resume();
}

void TCBoard_Briefing::OnButtonClick(intptr_t id)
{
    if (Is(id, start_))
        Hide();
}
