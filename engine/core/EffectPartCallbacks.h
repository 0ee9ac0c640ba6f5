#pragma once
#include "engine/core/TCEffectCallbacks.h"

// The callbacks that animate the parts laid out in the effect's target block (game objects and
// item parts). "Each part" means each used slot; p is the record's progress. Offsets are whole
// pixels, truncated toward zero.

int EffectScaleZero(const TCCallbackRecord* record);
// Parabola through (0, 0), (0.9, 1.1), (1, 1).
int EffectScaleUpRecoil(const TCCallbackRecord* record);
int EffectScaleDownToOne(const TCCallbackRecord* record); // scale = (1 - p) x 1.5 + 1
int EffectScaleDown(const TCCallbackRecord* record);      // scale = 1 - p
int EffectScalePulse(const TCCallbackRecord* record);     // scale = sin(p pi) x 0.2 + 1
int EffectFadeOne(const TCCallbackRecord* record);        // also EffectBlinkHPOff
int EffectFadeZero(const TCCallbackRecord* record);
// The second part's alpha = sin(p pi) x 0.5 + 0.5.
int EffectBlinkHP(const TCCallbackRecord* record);
// Blinks in ten beats: alpha 1 on even beats of p x 10, 0.3 on odd ones, 1 again at the end.
int UpgradeEffectBlink(const TCCallbackRecord* record);

// Offset y = -(p^2 x 40): rises 40 pixels, gathering speed.
int EffectSlideUpAccel(const TCCallbackRecord* record);
// Offset y = 20 x (1 - p)^2: comes up from 20 pixels below and slows into place.
int EffectSlideFromBottomDecel(const TCCallbackRecord* record);
// Offset y = -(4 h p (1 - p)): one hop that peaks at the parameter "jumpheight" (h, 20 when
// absent) halfway through.
int EffectJumpUp(const TCCallbackRecord* record);
int EffectShake(const TCCallbackRecord* record);               // offsets each in -2..2
int EffectSetCashPenaltyOffset(const TCCallbackRecord* record); // offset y = 50
int EffectSetCheckmarkScalepoint(const TCCallbackRecord* record); // first part: (13, 15)

// The first part's two colours (RRGGBBAA) and its alpha 1.
int EffectSetCashBonusColor(const TCCallbackRecord* record);
int EffectSetCashPenaltyColor(const TCCallbackRecord* record);
int EffectSetChainColor(const TCCallbackRecord* record);
