#include "game/shell/TCSetAchDescTask.h"

#include "game/shell/TCBoard_Debriefing.h"

void TCSetAchDescTask::Run()
{
    if (debriefing_)
        debriefing_->SetAwardDescription(title_, description_);
}
