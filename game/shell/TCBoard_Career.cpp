#include "game/shell/TCBoard_Career.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "engine/core/TCLocalization.h"
#include "framework/data/PakFile.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/CareerProgress.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCProfileStore.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCLevelGoals.h"

namespace {

constexpr const char* kAwardIcons[TCBoard_Career::kAwards] = {"achiev_flash_active", "achiev_clean_active",
                                                              "achiev_expert_active", "achiev_match_active",
                                                              "achiev_mega_active"};

bool LevelFileExists(int level)
{
    Nubra::PFILE* file = Nubra::PakFileOpen(Nubra::StrFormat("cfg\\l%03d.xml", level).c_str(), "rb");
    if (file)
        Nubra::PakFileClose(file);
    return file != nullptr;
}

TCPlayerProfile& Profile() { return TheProfileStore().CurrentProfile(); }

} // namespace

TCBoard_Career::TCBoard_Career(TCEngine3* app, pugi::xml_node uiRoot)
    : TCDialog(nullptr, app), game_(app), levelExists_(LevelFileExists)
{
    SetVisible(false);
    if (!FindDialogNode(uiRoot, "career_menu"))
        WriteLog("WARNING: The UI document has no career map");
    rightPage_ = Bind("right_page");
    back_ = Bind("back_button");
    photoCafe_ = Bind("photo_cafe");
    dayMark_ = Bind("day_mark");
    play_ = Bind("play_button");
    photoBriefing_ = Bind("photo_briefing");
    reset_ = Bind("reset_button");
    currentDay_ = Bind("current_day");
    BindDays();
    for (int cafe = 1; cafe <= 3; ++cafe) {
        cafeButtons_[size_t(cafe - 1)] = Bind(Nubra::StrFormat("cafe%d_button", cafe));
        cafeTexts_[size_t(cafe - 1)] = Bind(Nubra::StrFormat("cafe%d_text_big", cafe));
    }
    for (int k = 0; k < kAwards; ++k)
        awards_[size_t(k)] = Bind(kAwardIcons[k]);
}

void TCBoard_Career::BindDays()
{
    for (int i = 0; i < kMaxDays; ++i) {
        DayControls& day = days_[size_t(i)];
        day.button = Bind(Nubra::StrFormat("day_button_%02d", i + 1));
        day.goal = Bind(Nubra::StrFormat("goal_%02d", i + 1));
        day.expert = Bind(Nubra::StrFormat("expert_%02d", i + 1));
        day.text = Bind(Nubra::StrFormat("day_text_%02d", i + 1));
        SetControlLabel(day.text, std::to_wstring(i + 1));
    }
}

TCCandyWidget* TCBoard_Career::Bind(const std::string& name) const
{
    TCCandyWidget* control = FindBelow(this, name);
    if (!control)
        WriteLog("WARNING: Can not find element '%s' in career map", name.c_str());
    return control;
}

Nubra::Point TCBoard_Career::DayMarkPosition(const Nubra::Rect& button, int markWidth, int markHeight)
{
    return {button.x - markWidth / 2 + button.width / 2 - 2, button.y - markHeight / 2 + button.height / 2 - 4};
}

int TCBoard_Career::GetSelectedLevel() const { return selectedDay_ < 1 ? 0 : CafeLevelOffset(cafe_) + selectedDay_; }

int TCBoard_Career::NextPlayableLevel(int level) const
{
    for (int next = NextCareerLevel(level); next != 0; next = NextCareerLevel(next))
        if (LevelExists(next))
            return next;
    return 0;
}

void TCBoard_Career::SelectLevel(int level)
{
    const TCCafeDay at = CafeDayOfLevel(level);
    cafe_ = at.cafe;
    selectedDay_ = at.day;
}

void TCBoard_Career::StartCareerLevel(int level)
{
    level = std::min(level, pref::kLevels);
    SelectLevel(level);
    // The book is back on its main page whenever the player returns to it.
    if (TCBoard_MainMenu* menu = game_->GetMainMenu())
        menu->TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    Hide();
    game_->widgetManager->BringToFront(game_->GetBoardWidget());
    game_->StartLevel(level, false);
}

void TCBoard_Career::SetLevelResult(int money, int result, int level)
{
    if (level < 1 || level > pref::kLevels) {
        WriteLog("WARNING: Career result for level %d ignored", level);
        return;
    }
    cafe_ = CafeDayOfLevel(level).cafe;
    std::array<bool, pref::kAchievements> held{};
    for (int k = 0; k < pref::kAchievements; ++k)
        held[size_t(k)] = LevelGoals().IsGoalMet(k);
    const auto code = TCLevelResult(result);
    ApplyCareerResult(TheProfileStore(), money, code, level, held);
    if (code == TCLevelResult::Expert || code == TCLevelResult::Goal)
        PassMissingLevels(Profile(), levelExists_);
    RefreshCafe(false);
    FillPage(false, true);
    game_->SetTextVar("debrief_money", money);
}

void TCBoard_Career::SelectNewestLevel()
{
    SelectLevel(CurrentCareerLevel(Profile()));
    RefreshCafe(false);
    FillPage(false, false);
}

void TCBoard_Career::SelectNextDay()
{
    const int level = GetSelectedLevel();
    if (level >= pref::kLevels || level < 1)
        selectedDay_ = -1;
    else
        SelectLevel(level + 1);
    RefreshCafe(false);
    FillPage(false, false);
}

void TCBoard_Career::RefreshCafe(bool reset)
{
    const TCPlayerProfile& profile = Profile();
    for (int cafe = 1; cafe <= 3; ++cafe) {
        SetControlEnabled(cafeButtons_[size_t(cafe - 1)], IsCafeOpen(profile, cafe));
        SetControlShown(cafeTexts_[size_t(cafe - 1)], cafe == cafe_);
    }
    const int days = CafeDayCount(cafe_);
    const int reached = profile.highestLevel - CafeLevelOffset(cafe_);
    newestDay_ = std::clamp(reached, 0, days);
    if (reset)
        selectedDay_ = reached >= 1 && reached <= days ? reached : days;
    if (const std::string picture = FirstKnownTexture({Nubra::StrFormat("cafe_%d", cafe_)}); !picture.empty())
        SetPicture(photoCafe_, picture);
}

void TCBoard_Career::FillPage(bool animate, bool levelDone)
{
    MoveDayMark();
    for (int day = 1; day <= kMaxDays; ++day)
        FillDay(day, animate, levelDone);
    const int level = GetSelectedLevel();
    SetControlEnabled(play_, level != 0 && LevelExists(level));
    FillBriefingPage(level);
}

void TCBoard_Career::MoveDayMark()
{
    TCCandyWidget* button = selectedDay_ >= 1 ? days_[size_t(selectedDay_ - 1)].button : nullptr;
    if (!dayMark_ || !button) {
        SetControlShown(dayMark_, false);
        return;
    }
    const Nubra::Point at = DayMarkPosition({button->x, button->y, button->width, button->height}, dayMark_->width,
                                            dayMark_->height);
    dayMark_->Move(at.x, at.y);
    dayMark_->SetVisible(true);
}

void TCBoard_Career::FillDay(int day, bool animate, bool levelDone)
{
    const DayControls& controls = days_[size_t(day - 1)];
    const bool inCafe = day <= CafeDayCount(cafe_);
    const int level = CafeLevelOffset(cafe_) + day;
    SetControlShown(controls.button, inCafe);
    SetControlShown(controls.text, inCafe);
    const bool playable = inCafe && day <= newestDay_ && LevelExists(level);
    SetControlEnabled(controls.button, playable);
    const TCPlayerProfile& profile = Profile();
    const bool won = playable && profile.bestScore[size_t(level)] > 0;
    const bool expert = won && profile.expert[size_t(level)] != 0;
    SetControlShown(controls.expert, expert);
    SetControlShown(controls.goal, won && !expert);
    TCCandyWidget* badge = expert ? controls.expert : controls.goal;
    if (won && animate && badge)
        badge->RunEffect("onshow");
    if (levelDone && day == newestDay_ && badge)
        badge->RunEffect("onleveldone");
}

void TCBoard_Career::FillBriefingPage(int level)
{
    const TCPlayerProfile& profile = Profile();
    const bool newest = level == profile.highestLevel;
    game_->SetTextVar("day", selectedDay_);
    const TCLocalization& texts = game_->GetLocalization();
    game_->SetTextVar("brief_debrief", newest ? texts.GetText("breif_qq")
                                              : TextOr(texts, Nubra::StrFormat("breif_l%d", level), "breif_l0"));
    game_->SetTextVar("level_score", level >= 1 ? profile.bestScore[size_t(level)] : 0);
    SetPicture(photoBriefing_, FirstKnownTexture({newest ? "briefing_qq" : Nubra::StrFormat("briefing_%02d", level),
                                                  "briefing_00"}));
    if (photoBriefing_)
        photoBriefing_->RunEffect("onshow");
    for (int k = 0; k < kAwards; ++k)
        SetControlShown(awards_[size_t(k)], level >= 1 && profile.achievements[size_t(level)][size_t(k)] != 0);
}

void TCBoard_Career::SwitchCafe(int cafe)
{
    if (!IsCafeOpen(Profile(), cafe))
        return;
    cafe_ = cafe;
    RefreshCafe(true);
    FillPage(true, false);
}

void TCBoard_Career::ResetCareer()
{
    if (ShowMessageBox2("delcareer") != kMessageBoxYes)
        return;
    TheProfileStore().ResetCareer();
    SelectNewestLevel();
    RefreshCafe(true);
    FillPage(true, false);
}

void TCBoard_Career::OnShow()
{
    if (selectedDay_ < 1)
        SelectLevel(CurrentCareerLevel(Profile()));
    RefreshCafe(false);
    FillPage(true, false);
    SetControlShown(rightPage_, true);
}

void TCBoard_Career::OnButtonClick(intptr_t id)
{
    if (Is(id, back_)) {
        game_->GetMainMenu()->TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    } else if (Is(id, play_)) {
        if (const int level = GetSelectedLevel(); level != 0 && LevelExists(level))
            StartCareerLevel(level);
    } else if (Is(id, reset_)) {
        ResetCareer();
    } else if (Is(id, currentDay_)) {
        SelectNewestLevel();
    } else {
        for (int cafe = 1; cafe <= 3; ++cafe)
            if (Is(id, cafeButtons_[size_t(cafe - 1)]))
                SwitchCafe(cafe);
        for (int day = 1; day <= kMaxDays; ++day)
            if (Is(id, days_[size_t(day - 1)].button)) {
                selectedDay_ = day;
                FillPage(false, false);
            }
    }
}
