#pragma once
#include <string>

#include "engine/core/TCTexture.h"
#include "engine/ui/TCCandyWidget.h"

class TCEngine;

// How a bar of that width splits into segments and how many of them are filled.
struct TCBarSegments {
    int count = 0;
    int filled = 0;
    bool operator==(const TCBarSegments&) const = default;
};
// No segments when the segment width or the maximum is not positive.
TCBarSegments SplitBar(int width, int segmentWidth, int value, int maximum);

// A row of equal segments, each a "fill" or an "empty" image, so that the filled share is
// value / maximum.
class TCBar : public TCCandyWidget {
public:
    explicit TCBar(TCCandyWidget* parent);

    virtual void SetMax(int maximum) { max_ = maximum; }
    virtual void SetValue(int value) { value_ = value; }
    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    // The declared image of that id for both segment looks.
    virtual void SetImage(const std::string& imageId);

    void Draw(Nubra::Graphics* g) override;
    void OnShown() override;
    void OnHidden() override;

    int GetMax() const { return max_; }
    int GetValue() const { return value_; }
    TCBarSegments Segments() const { return SplitBar(width, segmentWidth_, value_, max_); }

private:
    // The scale on screen: the own one times every ancestor's.
    float EffectiveScale() const;
    void SetSegmentImage(TCTexture& texture, const std::string& imageId, const Nubra::Rect& source);

    int max_ = 0;
    int value_ = 0;
    int segmentWidth_ = 0;
    TCTexture fill_, empty_;
};
