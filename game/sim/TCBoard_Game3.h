#pragma once
#include <pugixml.hpp>

#include "game/sim/TCBoardCore.h"

// The cafe's board: the rules the cafe game gives the board's hooks, its configuration and the
// level data it reads itself. It owns the level's scene (the run's item list) and its depth order.
class TCBoard_Game3 : public TCBoardCore {
public:
    explicit TCBoard_Game3(TCBoardHost& host);

    void OnLevelStart() override;
    void AfterLevelResult() override;
    void LeaveLevel() override;
    using TCBoardCore::LoadLevel;
    void LoadLevel(pugi::xml_node level, const XmlDocument& document) override;
    void ResetLevelObjects() override;
    void OnItemAction(TCBoardItem* item) override;
    void UpdateLogic() override;
    void LoadConfig(pugi::xml_node root) override;
    void UnloadConfig() override;
    void CheckGoals() override;
    void NextSurvivalDay() override;
    bool SpawnEvent(const TCEvent& event) override;
    void OnPause() override;
    void OnResume() override;

private:
    // Every walker of the level takes its person record, once the level's values are in place.
    void BindMovers();
};
