#pragma once
#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/TCIEffect.h"
#include "engine/ui/TCAnimController.h"
#include "game/sim/BoardObjects.h"

class TCEffect;
class TCItem;

namespace Nubra {
class Font;
}

// One drawable piece of a game object: the clip named by part name + skin + orientation +
// animation, an optional text, its own effect, and the floor line that places it in depth.
class TCItemPart : public TCIEffect, public TCBoardPart, private TCAnimOwner {
public:
    using FloorLine = std::array<Nubra::Point, 3>;

    // Enters itself into the owner's binding table.
    explicit TCItemPart(TCItem& owner);
    ~TCItemPart() override;
    TCItemPart(const TCItemPart&) = delete;
    TCItemPart& operator=(const TCItemPart&) = delete;

    void SetAlpha(float alpha) override { alpha_ = alpha; }
    void SetScale(float scale) override { scale_ = scale; }
    void SetEffectVisible(bool visible) override { visible_ = visible; }
    void SetScalePointX(int x) override { scalePoint_.x = x; }
    void SetScalePointY(int y) override { scalePoint_.y = y; }
    void SetOffsetX(int x) override { effectOffset_.x = x; }
    void SetOffsetY(int y) override { effectOffset_.y = y; }
    const std::string& GetName() const override { return name_; }

    bool IsOwnerVisible() const override;
    bool IsDrawable() const override { return visible_; }
    void Draw(Nubra::Graphics& graphics) override;
    Nubra::Rect GetOutline() const override;

    // The scene's "part" element; the part's animation file is read last.
    void LoadFromXml(pugi::xml_node node);
    // Through the exchange table.
    void SetSkin(const std::string& skin);
    // A leading "m" mirrors; with replay the playing clip is asked for again.
    void SetOrient(const std::string& orient, bool replay);
    // False without animations or for a clip the file lacks.
    bool PlayAnimation(const std::string& name, bool keepPosition);
    void PlayLooped(const std::string& name);
    // The clip name for an animation: name + skin + orientation (not for a check mark) + it.
    std::string ClipName(const std::string& animation) const;
    void SetText(const std::wstring& text, uint32_t colour, uint32_t shadowColour);
    // In the colours the effect gave it.
    void SetText(const std::wstring& text) { text_ = text; }
    // Through the effect's "onshow"/"onhide" when it has them.
    void SetVisible(bool visible);
    bool IsShown() const;
    void Update();
    float GetClipDuration() const;
    // Runs an event on the part's own effect; false when it has none of that name.
    bool RunEvent(const char* name);
    // Lets go of the clips' images; they come back on the next clip request.
    void ReleaseClipImages();
    // A ghost of the current frame where it is drawn now; it fades as its life runs down.
    static constexpr float kTrailLife = 70.0f;
    void AddTrailEntry();
    // Ghosts whose life runs out are gone.
    void AgeTrail(float amount);
    size_t GetTrailSize() const { return trail_.size(); }

    TCItem& GetOwner() const { return owner_; }
    TCAnimController* GetAnimation() const { return animation_.get(); }
    const std::string& GetSkin() const { return skin_; }
    const std::string& GetOrient() const { return orient_; }
    const std::string& GetCurrentClip() const { return clip_; }
    const std::string& GetZParentName() const { return zParent_; }
    bool IsMirrored() const { return mirror_; }
    bool IsZOver() const { return zOver_; }
    bool IsCheckmark() const { return checkmark_; }
    const FloorLine& GetFloorLine() const { return floor_; }
    // Walkers keep their feet on the floor line as they move.
    void SetFloorLine(const FloorLine& line) { floor_ = line; }
    float GetAlpha() const { return alpha_; }
    float GetScale() const { return scale_; }
    Nubra::Point GetEffectOffset() const { return effectOffset_; }
    Nubra::Point GetScalePoint() const { return scalePoint_; }
    Nubra::Point GetOffset() const { return offset_; }
    // Where the part is drawn from its owner's place.
    void SetOffset(Nubra::Point offset) { offset_ = offset; }
    const std::wstring& GetText() const { return text_; }

private:
    void OnAnimationStopped() override;
    void LoadEffect(const std::string& name);
    void LoadAnimation();
    // Where the current frame lands on the screen, before scaling.
    Nubra::Rect FrameRect() const;
    void DrawText(Nubra::Graphics& graphics) const;
    void DrawTrail(Nubra::Graphics& graphics) const;

    TCItem& owner_;
    std::unique_ptr<TCAnimController> animation_;
    std::string skin_;
    std::string orient_;
    bool checkmark_ = false;
    std::map<std::string, std::string> exchange_;
    bool visible_ = false;
    bool zOver_ = false;
    float scale_ = 1.0f;
    float alpha_ = 1.0f;
    Nubra::Point scalePoint_{0, 0};
    std::unique_ptr<TCEffect> effect_;
    EffectTargetBlock ownBlock_; // what the part's own effect drives: this part alone
    Nubra::Point effectOffset_{0, 0};
    std::wstring text_;
    uint32_t textColour_ = 0xFFFFFFFF; // RRGGBBAA
    uint32_t shadowColour_ = 0; // RRGGBBAA; none while its alpha is 0
    Nubra::Font* font_ = nullptr;
    Nubra::Font* subFont_ = nullptr;
    std::string name_;
    std::string clip_;
    std::string zParent_;
    Nubra::Point offset_{0, 0};
    FloorLine floor_{};
    bool mirror_ = false;
    // Bound for the worker's smoke, which rises from the part's top and mirrors with it.
    Nubra::Point origin_{0, 0};
    int clipWidth_ = 0;
    struct TrailEntry {
        Nubra::MemoryImage* sheet;
        Nubra::Rect source;
        Nubra::Rect at;
        bool mirror;
        float life;
    };
    std::vector<TrailEntry> trail_;
};
