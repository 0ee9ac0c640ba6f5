#pragma once
#include <cstdint>
#include <string>

#include "framework/graphics/Rect.h"

// What an effect animates: widgets, game objects and item parts implement it.
class TCIEffect {
public:
    virtual ~TCIEffect() = default;
    virtual void SetAlpha(float alpha) = 0;
    virtual void SetScale(float scale) = 0;
    // Shows or hides the object; a widget runs its whole show or hide path.
    virtual void SetEffectVisible(bool visible) = 0;
    virtual void SetScalePointX(int x) = 0;
    virtual void SetScalePointY(int y) = 0;
    virtual void SetOffsetX(int x) = 0;
    virtual void SetOffsetY(int y) = 0;
    virtual const std::string& GetName() const = 0;
};

// One item part's animated values, as its owner lays them out for the per-part callbacks. Any
// pointer may be null when the part has no such value.
struct EffectPartSlot {
    Nubra::Point* offset = nullptr;
    float* scale = nullptr;
    Nubra::Point* scalePoint = nullptr;
    float* alpha = nullptr;
    bool* visible = nullptr;
    bool* checkmark = nullptr;
    uint32_t* colour1 = nullptr;
    uint32_t* colour2 = nullptr;
};

// What a game object binds as its effect target block: its parts' values, at most 16.
struct EffectTargetBlock {
    static constexpr int kMaxSlots = 16;
    int count = 0;
    bool* active = nullptr;
    EffectPartSlot slot[kMaxSlots];
};
