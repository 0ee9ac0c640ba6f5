#include "game/sim/TCBoardHost.h"

#include "engine/core/TCEngine.h"

void TCHeadlessBoardHost::RunLevelLoad(std::function<void()> load)
{
    load();
    if (gCurrentBoard)
        gCurrentBoard->OnLevelLoaded();
}
