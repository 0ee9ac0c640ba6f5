#pragma once
#include "engine/ui/TCButtonListener.h"
#include "engine/ui/TCCandyWidget.h"

class TCButton;
class TCEngine;

// A position between 0 and a maximum, moved by one with its "up" and "down" buttons, with the
// "slider" button placed along a line by it. Any of the buttons may be missing.
class TCScrollBar : public TCCandyWidget, public TCButtonListener {
public:
    static constexpr int kUp = 1;
    static constexpr int kDown = 2;
    static constexpr int kSlider = 3;

    explicit TCScrollBar(TCCandyWidget* parent);

    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    // Disabled while there is nothing to scroll.
    void SetMax(int maximum);
    void SetPosition(int position) { position_ = position; }
    // The slider button's place at position 0 and at the maximum.
    void SetSliderPath(int x1, int y1, int x2, int y2);

    void SetDisabled(bool isDisabled) override;
    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void ButtonPress(intptr_t id, int clickCount) override;

    int GetMax() const { return max_; }
    int GetPosition() const { return position_; }
    TCButton* GetButton(int id) const;

private:
    TCButton* up_ = nullptr;
    TCButton* down_ = nullptr;
    TCButton* slider_ = nullptr;
    int max_ = 0;
    int position_ = 0;
    int distX1_ = 0, distX2_ = 0, distY1_ = 0, distY2_ = 0;
};
