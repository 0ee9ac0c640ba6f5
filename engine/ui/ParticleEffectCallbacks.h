#pragma once
#include "engine/core/TCEffectCallbacks.h"

// The callbacks that run an effect's particle systems (bindings 258-261). The systems are made on
// first use and belong to the effect.

// "call" messages: draw every system into the drawing context of the current draw (binding 262),
// or silence them all.
int RenderPSFunc(TCEffect* effect);
int StopPSFunc(TCEffect* effect);

// Stars bursting from the middle of the widget: small ones (system 258, "fx_goal_star_small")
// and big ones (259, "fx_goal_star_big"). The entry of its range, or a point, sets them off.
int FuncOnGoalExpertPSEffect(const TCCallbackRecord* record);
// Smoke rising over a working part (system 258, "fx_work_smoke") from the middle of its top
// edge: the part's origin (binding 264), clip width (265) and mirroring (266) place it, and it
// drifts away behind the part. It keeps coming until the range ends (p = 1).
int FuncOnWorkerWorkingPSEffect(const TCCallbackRecord* record);

// What the callbacks emit, for the content that shows them.
struct TCParticleDesc;
TCParticleDesc GoalStarDesc(bool big);
TCParticleDesc WorkSmokeDesc();
