#pragma once
#include <array>
#include <string>
#include <vector>

#include "game/sim/TCItem.h"

// An object the player clicks: a polygon hit region, the points where walkers stand to use it,
// paired objects that light up with it, nested objects that take clicks before it, and up to
// two check marks that show the clicks still queued for it.
class TCPickItem : public TCItem {
public:
    ~TCPickItem() override;

    void LoadFromXml(pugi::xml_node node) override;
    // Resolves the pair and nested names for the level.
    void LoadSkin(pugi::xml_node node) override;
    void ResetAnimation() override;
    void ClearParts() override;
    // Coming into play hides both check marks.
    void SetActive(bool active) override;
    // In the region and in no nested object in play, nor in one nested in that.
    bool HitTest(Nubra::Point point) const override;
    bool IsPickable(bool hit) const override { return active_ && visible_ && hit; }
    // Also lights the place's owner and the paired objects.
    void SetMouseOver(Nubra::Point point, bool over) override;
    void IncClickCount() override { ++clicks_; }
    virtual void ResetClickCount() { clicks_ = 0; }
    const TCStandPoint* FindStandPoint(const std::string& walker) const override;

    void ShowCheckmark();
    // The check shown last goes first.
    void HideCheckmark();

    int GetClickCount() const { return clicks_; }
    const std::vector<Nubra::Point>& GetRegion() const { return region_; }
    const std::vector<TCPickItem*>& GetNestedPicks() const { return nested_; }
    const std::vector<TCItem*>& GetPairItems() const { return pairs_; }
    bool IsCheckmarkShown(int index) const { return checks_[index].shown; }

private:
    struct Check {
        TCItemPart* part = nullptr;
        bool shown = false;
    };
    bool Reaches(const TCPickItem* other) const;
    // Whether an object nested in this one, in play, at any depth, holds the point.
    bool NestedClaims(Nubra::Point point) const;
    void Unregister();

    std::array<Check, 2> checks_;
    std::vector<std::string> pairNames_;
    std::vector<TCItem*> pairs_;
    std::vector<std::string> nestedNames_;
    std::vector<TCPickItem*> nested_;
    int clicks_ = 0;
    std::vector<TCStandPoint> standPoints_;
    std::vector<Nubra::Point> region_;
};

// The run's pickable object of that name, or null.
TCPickItem* FindPickItemByName(const std::string& name);
