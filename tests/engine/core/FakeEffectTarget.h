#pragma once
#include <string>
#include <vector>

#include "engine/core/TCIEffect.h"

// An effect target that keeps what it was told, and the order of the show and hide calls.
class FakeEffectTarget : public TCIEffect {
public:
    void SetAlpha(float value) override { alpha = value; }
    void SetScale(float value) override { scale = value; }
    void SetEffectVisible(bool value) override
    {
        visible = value;
        visibility.push_back(value);
    }
    void SetScalePointX(int x) override { scalePoint.x = x; }
    void SetScalePointY(int y) override { scalePoint.y = y; }
    void SetOffsetX(int x) override { offset.x = x; }
    void SetOffsetY(int y) override { offset.y = y; }
    const std::string& GetName() const override { return name; }

    std::string name = "fake";
    float alpha = -1.0f;
    float scale = -1.0f;
    bool visible = false;
    std::vector<bool> visibility;
    Nubra::Point scalePoint{-1, -1};
    Nubra::Point offset{-1, -1};
};

// Values of item parts laid out in a target block, as a game object would bind them.
struct FakeParts {
    explicit FakeParts(int used)
    {
        block.count = used;
        for (int i = 0; i < EffectTargetBlock::kMaxSlots; ++i) {
            EffectPartSlot& slot = block.slot[i];
            slot.offset = &offset[i];
            slot.scale = &scale[i];
            slot.scalePoint = &scalePoint[i];
            slot.alpha = &alpha[i];
            slot.visible = &visible[i];
            slot.checkmark = &checkmark[i];
            slot.colour1 = &colour1[i];
            slot.colour2 = &colour2[i];
        }
    }

    EffectTargetBlock block;
    Nubra::Point offset[16], scalePoint[16];
    float scale[16] = {}, alpha[16] = {};
    bool visible[16] = {}, checkmark[16] = {};
    uint32_t colour1[16] = {}, colour2[16] = {};
};
