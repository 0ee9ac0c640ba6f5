#include "game/sim/TCBoard_Game3.h"

#include <memory>

#include "game/sim/TCItemList.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCZOrderSolver.h"

TCBoard_Game3::TCBoard_Game3(TCBoardHost& host) : TCBoardCore(host)
{
    SetScene(&GetItemList());
    SetZOrder(std::make_unique<TCZOrderSolver>(GetItemList()));
}

void TCBoard_Game3::LoadConfig(pugi::xml_node root) { LoadPersons(root); }

void TCBoard_Game3::UnloadConfig() { LoadPersons({}); }

void TCBoard_Game3::LoadLevel(pugi::xml_node level, const XmlDocument& document)
{
    (void)level;
    (void)document;
    BindMovers();
}

void TCBoard_Game3::BindMovers()
{
    for (const auto& item : GetItemList().GetItems())
        if (auto* mover = dynamic_cast<TCMoveItem*>(item.get()))
            mover->BindPerson();
}

void TCBoard_Game3::ResetLevelObjects() {}

void TCBoard_Game3::OnLevelStart() {}

void TCBoard_Game3::AfterLevelResult() {}

void TCBoard_Game3::LeaveLevel() {}

void TCBoard_Game3::OnItemAction(TCBoardItem* item) { (void)item; }

void TCBoard_Game3::UpdateLogic() {}

void TCBoard_Game3::CheckGoals() {}

void TCBoard_Game3::NextSurvivalDay() {}

bool TCBoard_Game3::SpawnEvent(const TCEvent& event)
{
    (void)event;
    return false;
}

void TCBoard_Game3::OnPause() {}

void TCBoard_Game3::OnResume() {}
