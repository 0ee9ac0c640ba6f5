#pragma once
#include "engine/core/TCEffectCallbacks.h"

// The callbacks that move, turn and blink the widget an effect belongs to. p is the record's
// progress, w and h the widget's size; offsets are whole pixels, truncated toward zero. "Accel"
// slides follow p^2: one toward an edge runs offset = p^2 x distance, one in from an edge
// offset = (1 - p^2) x distance, so both start slowly and arrive at full speed.

int DlgSetCenterScalePoint(const TCCallbackRecord* record); // scale point (w / 2, h / 2)
int Rotate360(const TCCallbackRecord* record);              // rotation = 360 p degrees
// Offset somewhere on the 1024 x 768 screen where the whole widget fits (0 on an axis where it
// cannot), and the scale point at its middle.
int SparklingStar(const TCCallbackRecord* record);
// Rotation uniform in the parameters "from" and "to", 0 each when absent.
int DlgSetRandomRotation(const TCCallbackRecord* record);

int DlgSlideDownAccel(const TCCallbackRecord* record);    // y = p^2 h
int DlgSlideDownAccel485(const TCCallbackRecord* record); // y = p^2 x 485
int DlgSlideRightAccel(const TCCallbackRecord* record);   // x = p^2 w
int DlgSlideLeftAccel(const TCCallbackRecord* record);    // x = -(p^2 w)
int DlgSlideFromRightAccel(const TCCallbackRecord* record);     // x = (1 - p^2) w
int DlgSlideFromLeftAccel(const TCCallbackRecord* record);      // x = -((1 - p^2) w)
int DlgSlideFromBottomAccel(const TCCallbackRecord* record);    // y = (1 - p^2) h
int DlgSlideFromBottomAccel485(const TCCallbackRecord* record); // y = (1 - p^2) x 485
int DlgSlideUp20(const TCCallbackRecord* record);   // y = -20 p
int DlgSlideDown20(const TCCallbackRecord* record); // y = -20 (1 - p)
// As the right slides, measured on the child "girl_front" (nothing without it).
int DlgSlideRightAccelGirl(const TCCallbackRecord* record);
int DlgSlideFromRightAccelGirl(const TCCallbackRecord* record);
// The distance is the parameter "dlgslideoffset" (400 when absent); the plain forms slide to and
// from the left, the "M" forms mirror them to the right.
int DlgSlideFromLeftAccel400(const TCCallbackRecord* record);
int DlgSlideLeftAccel400(const TCCallbackRecord* record);
int DlgSlideFromLeftAccel400M(const TCCallbackRecord* record);
int DlgSlideLeftAccel400M(const TCCallbackRecord* record);

int DlgShiftDown(const TCCallbackRecord* record); // y = p h
// x = start + (end - start) p, from the parameters "startvalue" and "endvalue" (0 when absent).
int DlgShiftToRight(const TCCallbackRecord* record);
// y = p^2 h f, f the parameter "maxdistfactor" (1 when absent).
int DlgShiftDownAccel(const TCCallbackRecord* record);

// Shows the first p of the text control's characters.
int DlgTypeIn(const TCCallbackRecord* record);
// Two blinks: the alpha dips to 0.5 and back within p 0-0.2 and again within 0.3-0.5, else 1.
int DlgUpgradeBtnBlink(const TCCallbackRecord* record);
