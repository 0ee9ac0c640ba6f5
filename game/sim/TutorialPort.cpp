#include "game/sim/TutorialPort.h"

namespace {
TCTutorialPort* gTutorialPort = nullptr;
}

void SetTutorialPort(TCTutorialPort* port) { gTutorialPort = port; }

void ApplyTutorialRule(int event)
{
    if (gTutorialPort)
        gTutorialPort->ApplyRule(event);
}

bool TutorialAllowsObject(const std::string& name) { return !gTutorialPort || gTutorialPort->IsObjectAllowed(name); }
