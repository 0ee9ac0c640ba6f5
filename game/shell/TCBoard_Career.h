#pragma once
#include <pugixml.hpp>

#include <array>
#include <functional>
#include <string>

#include "engine/ui/TCDialog.h"
#include "framework/graphics/Rect.h"

class TCEngine3;

// The career map: a book of one cafe's days on the left page and the chosen day's picture, text,
// best score and awards on the right. It starts career levels, takes every career result into
// the player's progress and feeds the career hi-scores.
class TCBoard_Career : public TCDialog {
public:
    static constexpr int kMaxDays = 24;
    static constexpr int kAwards = 5;

    // Built from the element "career_menu" of the UI document's root. The levels of the content
    // are those whose level file exists.
    TCBoard_Career(TCEngine3* app, pugi::xml_node uiRoot);

    // Levels above the last start the last.
    void StartCareerLevel(int level);
    // 0 expert, 1 goal, 2 goal missed, 3 VIP lost; only a won level moves the career on. Levels
    // outside the career are refused.
    void SetLevelResult(int money, int result, int level);
    void SelectNewestLevel();
    // Chooses the level's cafe and day, as starting it from the map would; the page follows when
    // it is next shown.
    void SelectLevel(int level);
    // The day after the selected one; none after the career's last level.
    void SelectNextDay();
    // 0 while no day is selected.
    int GetSelectedLevel() const;
    // The first level of the content after this one; 0 when none is left.
    int NextPlayableLevel(int level) const;
    bool LevelExists(int level) const { return levelExists_(level); }
    // Tests give the career a content of their own.
    void SetLevelSource(std::function<bool(int)> exists) { levelExists_ = std::move(exists); }
    int GetShownCafe() const { return cafe_; }
    int GetNewestDay() const { return newestDay_; }

    // Where the day mark sits over a day button.
    static Nubra::Point DayMarkPosition(const Nubra::Rect& button, int markWidth, int markHeight);

    void OnShow() override;
    void OnButtonClick(intptr_t id) override;

private:
    TCCandyWidget* Bind(const std::string& name) const;
    // Each day's button, badges and numbered text.
    void BindDays();
    void SwitchCafe(int cafe);
    // The cafe buttons and picture; with reset, the selection goes to the cafe's newest day.
    void RefreshCafe(bool reset);
    void FillPage(bool animate, bool levelDone);
    void FillDay(int day, bool animate, bool levelDone);
    void FillBriefingPage(int level);
    void MoveDayMark();
    void ResetCareer();

    TCEngine3* game_;
    std::function<bool(int)> levelExists_;
    int cafe_ = 1;
    int selectedDay_ = -1;
    int newestDay_ = 1;

    struct DayControls {
        TCCandyWidget *button = nullptr, *goal = nullptr, *expert = nullptr, *text = nullptr;
    };
    std::array<DayControls, kMaxDays> days_{};
    std::array<TCCandyWidget*, 3> cafeButtons_{};
    std::array<TCCandyWidget*, 3> cafeTexts_{};
    std::array<TCCandyWidget*, kAwards> awards_{};
    TCCandyWidget *rightPage_ = nullptr, *back_ = nullptr, *photoCafe_ = nullptr, *dayMark_ = nullptr;
    TCCandyWidget *play_ = nullptr, *photoBriefing_ = nullptr, *reset_ = nullptr, *currentDay_ = nullptr;
};
