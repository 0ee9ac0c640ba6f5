#pragma once
#include "engine/core/TCEffectCallbacks.h"

// The callbacks that show, hide, fade and scale an effect's target, or fade the parts of its
// target block.
// p is the record's progress.

int DlgShow(const TCCallbackRecord* record); // also EffectItemShow
int DlgHide(const TCCallbackRecord* record); // also EffectItemHide
int DlgFadeIn(const TCCallbackRecord* record);  // alpha = p
int DlgFadeOut(const TCCallbackRecord* record); // alpha = 1 - p
int DlgSetAlpha0(const TCCallbackRecord* record);
int DlgSetAlpha1(const TCCallbackRecord* record);
int DlgReset(const TCCallbackRecord* record); // alpha 1, scale 1, no offset
// Parabolas through (0, 0), (0.85, 1.05), (1, 1) and through (0, 1), (0.5, 1.8), (1, 2).
int DlgScaleUpRecoil(const TCCallbackRecord* record);
int DlgScaleUpEaseOut(const TCCallbackRecord* record);

int EffectFadeIn(const TCCallbackRecord* record);  // each part: alpha = p
int EffectFadeOut(const TCCallbackRecord* record); // each part: alpha = 1 - p
// Each part fades out and is hidden when the fade is complete (a range's exit event).
int WindowFadeOut(const TCCallbackRecord* record);
// The object's visible flag and every part shown at full alpha.
int WindowReset(const TCCallbackRecord* record);

int DlgSmallScaleUpAccel(const TCCallbackRecord* record);   // scale = 1.1 - 0.1 p^2
int DlgSmallScaleDownAccel(const TCCallbackRecord* record); // scale = 1.0 - 0.1 p^2
int DlgBigScaleDownAccel(const TCCallbackRecord* record);   // scale = (1 - p^2) x 3 + 1
// A stamp landing: over the first half it falls from scale 3 to 1 (accelerating) while it fades
// in; over the second half it squashes once, down to 0.9 at p = 0.75, and settles at 1.
int DlgStampSplash(const TCCallbackRecord* record);
// Scale uniform in the parameters "from" and "to", 1.0 each when absent.
int DlgSetRandomScale(const TCCallbackRecord* record);
