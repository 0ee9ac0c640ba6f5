#pragma once
#include "engine/core/TCEffectCallbacks.h"

// The callbacks that show, hide and fade an effect's target or the parts of its target block.
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
