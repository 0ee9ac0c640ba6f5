#pragma once
#include <list>

#include "engine/core/TCTexture.h"
#include "engine/ui/TCCandyWidget.h"

// The "tcanim" element: a widget that flips through its textures at a fixed rate, looped or
// once, while it is shown.
class TCAnim : public TCCandyWidget {
public:
    explicit TCAnim(TCCandyWidget* parent) : TCCandyWidget(parent) {}

    // The common attributes, "fps", "oneshot" and the "texture" children in order.
    void LoadFromXml(pugi::xml_node node);

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void OnShown() override;
    void OnHidden() override;

    // The index of the texture shown; -1 without textures.
    int GetFrameIndex() const;
    bool IsStopped() const { return stopped_; }

private:
    void Rewind();

    float clock_ = 0.0f;
    int fps_ = 0;
    bool oneShot_ = false;
    bool stopped_ = true;
    std::list<TCTexture> frames_;
    std::list<TCTexture>::iterator current_ = frames_.end();
};
