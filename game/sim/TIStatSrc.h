#pragma once
#include <string>

class TCStatus_Bubble;

// The mood bands of a status value: above `green` the owner is well, above `yellow` it warns,
// at or below it it is in trouble.
struct TCStatusLevels {
    float green = 0.0f;
    float yellow = 0.0f;
    float red = 0.0f;
};

// What a client or a worker shows above itself; its bubble and bar read it every step.
class TIStatSrc {
public:
    virtual ~TIStatSrc() = default;
    virtual bool HasStatus() const = 0;
    virtual bool IsBusy() const = 0;
    // Patience or tidiness, 0..100; false while the owner has none.
    virtual bool GetStatusValue(float& value) const = 0;
    // The bubble's clip: a product, "ready", "think", "working", "broken" or "scandal"; false
    // when there is nothing to show.
    virtual bool GetBubbleText(std::string& text) const = 0;
    virtual std::string GetBubbleKind() const = 0;
    virtual bool GetProductType(std::string& type) const = 0;

    // Read by the bars and the bubble besides: the work still to do (0..1, -1 while not working),
    // the owner's bands, an ice freeze, a VIP guest, and the bubble the owner keeps as its own.
    virtual float GetWorkProgress() const { return -1.0f; }
    virtual TCStatusLevels GetStatusLevels() const { return {}; }
    virtual bool IsStatusFrozen() const { return false; }
    virtual bool IsVip() const { return false; }
    virtual void SetStatusBubble(TCStatus_Bubble* bubble) { (void)bubble; }
};
