#include "game/sim/TCEngineBoardHost.h"

#include "engine/core/TCEngine.h"

bool TCEngineBoardHost::IsAppActive() const { return engine_.active; }

bool TCEngineBoardHost::IsInputLocked() const { return engine_.inputLocked; }

int TCEngineBoardHost::GetUpdatePeriodMs() const { return engine_.updatePeriod; }

void TCEngineBoardHost::SetTextVar(const std::string& name, int value) { engine_.SetTextVar(name, value); }

void TCEngineBoardHost::RunLevelLoad(std::function<void()> load) { engine_.StartLevelLoading(std::move(load)); }
