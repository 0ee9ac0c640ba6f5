#pragma once
#include <memory>

class TCEffect;

// "cfg\effect.xml": the effect descriptions, the tunable effect constants and the parameter table
// of the effect functions.

// Reads the file and keeps it for the whole run. False (and a warning) when it cannot be read;
// every effect asked for is then missing.
bool LoadEffects();
// Reads the constants from the file anew (the developer key reloads them while tuning).
void LoadEffectConstants();
// Which attributes each effect function's controls carry, from the kept file.
void LoadCallbackParamTable();
// At shutdown: the kept file and the parameter table go.
void ReleaseEffects();

// A new effect built from the description of that name; null, with a warning, when there is none.
std::unique_ptr<TCEffect> CreateEffect(const char* name);

// The tunable constants.
extern float gDebriefingFirstAchievementDelay;
extern float gDebriefingNextAchievementDelay;
extern float gMatch3EffectFlyTime;
extern float gMatch3PosX;
