#pragma once
#include <array>

#include "engine/ui/TCCandyWidget.h"

class TCEngine;

// Which of a check box's looks is shown; null when the state has no texture for it.
TCTexture* ChooseCheckBoxTexture(TCTexture* normal, TCTexture* over, TCTexture* disabledLook, bool isDisabled,
                                 bool isOver);

// A two-state box that flips on a click. It tells no one: screens read IsChecked.
class TCCheckBox : public TCCandyWidget {
public:
    explicit TCCheckBox(TCCandyWidget* parent);

    virtual void SetChecked(bool checked);
    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    virtual bool IsChecked() const { return checked_; }

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    using Nubra::Widget::MouseUp;
    void MouseUp(int x, int y, int button, int clickCount) override;

private:
    enum Slot { kCheckNormal, kCheckOver, kCheckDisabled, kNormal, kOver, kDisabled, kSlots };

    bool checked_ = false;
    std::array<TCTexture*, kSlots> textures_{}; // owned by the widget's texture map
};
