#pragma once
#include <string>
#include <utility>

#include "engine/ui/TCCandyWidget.h"

class TCBoard_Debriefing;

// Writes an award's title and description into the debriefing when the mouse enters the award;
// the task with empty ids clears them as it leaves.
class TCSetAchDescTask : public TCTask {
public:
    TCSetAchDescTask() = default;
    TCSetAchDescTask(std::string title, std::string description, TCBoard_Debriefing* debriefing)
        : title_(std::move(title)), description_(std::move(description)), debriefing_(debriefing)
    {
    }
    void Run() override;

private:
    std::string title_, description_;
    TCBoard_Debriefing* debriefing_ = nullptr;
};
