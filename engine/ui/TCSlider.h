#pragma once
#include "engine/ui/TCCandyWidget.h"

class TCBar;
class TCEngine;

// Where the thumb's left edge sits along the track for the value; at 0 when the track is narrower
// than the thumb. The maximum must not be 0.
int SliderThumbOffset(int track, int thumbWidth, int value, int maximum);

// A value picked by a press in the mouse zone, shown by a bar and a thumb that follows it. It
// tells no one: screens read GetValue.
class TCSlider : public TCCandyWidget {
public:
    explicit TCSlider(TCCandyWidget* parent);

    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    virtual void SetMax(int maximum);
    virtual void SetValue(int value);
    virtual int GetValue() const { return value_; }

    // The slider takes the mouse for all of its children.
    void AddChild(const std::string& name, TCCandyWidget* child) override;
    using Nubra::Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void Update() override;

    int GetMax() const { return max_; }
    TCCandyWidget* GetThumb() const { return thumb_; }

private:
    bool InMouseZone(int x, int y) const;

    int max_ = 0;
    int value_ = 0;
    TCBar* bar_ = nullptr;
    TCCandyWidget* thumb_ = nullptr;
    TCCandyWidget* back_ = nullptr;
    int zoneX_ = 0, zoneY_ = 0, zoneWidth_ = 0, zoneHeight_ = 0;
    int lowDeadZone_ = 0, highDeadZone_ = 0;
    int margin_ = 0;
};
