#pragma once
#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/TCIEffect.h"
#include "game/sim/BoardObjects.h"

class TCEffect;
class TCItemPart;
class TCZOrderSolver;

// What a bought upgrade does to an object: it gets the upgrade's skin.
class TCIUpgrade {
public:
    virtual ~TCIUpgrade() = default;
    virtual void ApplyUpgrade(const std::string& skin) = 0;
};

// Every object on the cafe floor: named drawable parts with a position, a skin, an orientation,
// the animation last played, an optional effect and a scheduler that replays an animation
// after a random pause. Objects are made by the item factory from the level's scene.
class TCItem : public TCBoardItem, public TCIEffect, public TCIUpgrade {
public:
    // Notice codes.
    static constexpr int kNotifyArrived = 3;
    static constexpr int kNotifyWalkEnded = 4;
    // The effect drives only this many parts; the rest are drawn and animated all the same.
    static constexpr int kMaxDrivenParts = 15;

    TCItem();
    ~TCItem() override;
    TCItem(const TCItem&) = delete;
    TCItem& operator=(const TCItem&) = delete;

    // What effects animate.
    void SetAlpha(float) override {}
    void SetScale(float) override {}
    void SetEffectVisible(bool visible) override;
    void SetScalePointX(int) override {}
    void SetScalePointY(int) override {}
    void SetOffsetX(int x) override { offset_.x = x; }
    void SetOffsetY(int y) override { offset_.y = y; }
    const std::string& GetName() const override { return name_; }

    // What the board asks.
    bool IsActive() const override { return active_; }
    // The flag alone, without coming into play or leaving it.
    void SetActiveFlag(bool active) { active_ = active; }
    bool IsVisible() const override { return visible_; }
    // Coming into play shows the object.
    void SetActive(bool active) override;
    void Update() override;
    void RunEvent(const char* name) override { SendEffectEvent(name); }
    void SetMouseOver(Nubra::Point point, bool over) override;

    virtual bool IsMovable() const { return false; }
    virtual void Notify(int code) { (void)code; }
    // A part's clip reached its cue: replays the named animation after its pause, if it has one.
    virtual void ScheduleAnimation(TCItemPart* part, const std::string& name);
    virtual bool IsMoving() const { return false; }
    virtual bool IsBusy() const { return false; }
    virtual bool IsMouseOver() const { return mouseOver_; }
    // The object's look for a level: "skin", "anim" and "stop".
    virtual void LoadSkin(pugi::xml_node node);
    // Every part lets go of its clips' images.
    virtual void ResetAnimation();
    // The scene's "object" element.
    virtual void LoadFromXml(pugi::xml_node node);
    // Destroys the parts and the effect.
    virtual void ClearParts();
    // A walker's use of this object, first as a test, then for real; a place forwards it to
    // its owner.
    virtual bool OnUse(TCItem* other, bool testOnly);
    virtual void PlayLoopedAnimation(const std::string& name);

    void ApplyUpgrade(const std::string& skin) override;

    void SetSkin(const std::string& skin, bool applyToParts);
    // Every part is asked to play it (re-oriented first when asked); true when any part has it.
    bool SetAnimation(const std::string& name, bool reorient);
    // Every part takes the skin and orientation again and is asked to play the animation.
    // longest receives the longest clip among the parts (-1 when none).
    bool ReapplyAnimation(const std::string& name, float* longest = nullptr);
    void AddAnimationTiming(const std::string& name, int cueFrame, float minPause, float maxPause);
    void RemoveAnimationTiming(const std::string& name);
    // As ScheduleAnimation, and the record's cue goes onto every part's clip.
    void ArmAnimation(const std::string& name);
    // On the object's effect and every part's.
    void SendEffectEvent(const char* name);
    // Through the effect's "onshow"/"onhide" when it has them, else at once; then every part.
    void SetVisible(bool visible);
    // The index-th part of that name, counting from 0.
    TCItemPart* FindPart(const std::string& name, int index = 0) const;
    bool HasName(const std::string& name) const { return name_ == name; }
    Nubra::Point GetScreenPoint(Nubra::Point point) const;
    void SetPosition(Nubra::Point position) { position_ = position; }
    Nubra::Point GetPosition() const { return position_; }
    Nubra::Point GetOffset() const { return offset_; }
    // Notify(code) once delay seconds of frame time have passed.
    void SetDelayedNotify(float delay, int code);
    bool IsNotifyPending() const { return notifyDelay_ != 0.0f; }
    // Every part takes its place in depth, except the held items a walker places itself.
    virtual void RegisterZOrder(TCZOrderSolver& solver);

    const std::string& GetSkin() const { return skin_; }
    const std::string& GetOrient() const { return orient_; }
    void SetOrient(const std::string& orient) { orient_ = orient; }
    const std::string& GetCurrentAnimation() const { return animation_; }
    const std::string& GetThing() const { return thing_; }
    const std::vector<std::unique_ptr<TCItemPart>>& GetParts() const { return parts_; }
    TCEffect* GetEffect() const { return effect_.get(); }
    bool IsSchedulerArmed() const { return scheduled_.armed; }
    float GetSchedulerCountdown() const { return scheduled_.countdown; }
    const std::string& GetScheduledAnimation() const { return scheduled_.name; }

    // A part entering itself: the effect drives it when there is room.
    void BindPart(const EffectPartSlot& slot);
    const EffectTargetBlock& GetTargetBlock() const { return block_; }

protected:
    std::string thing_;
    std::string name_;
    bool visible_ = false;
    bool active_ = false;
    bool mouseOver_ = false;
    std::string skin_;
    std::string orient_;
    std::string animation_;
    std::vector<std::unique_ptr<TCItemPart>> parts_;

private:
    struct Timing {
        std::string name;
        int cueFrame = -1;
        float minPause = 0.0f, maxPause = 0.0f;
    };
    struct Scheduler {
        std::string name;
        bool armed = false;
        float countdown = 0.0f;
    };

    Timing* FindTiming(const std::string& name);
    void Arm(const Timing& timing);
    // The part accepted an animation: it becomes the current one and its replay is armed anew.
    void AcceptAnimation(const std::string& name);
    void RunScheduler();
    void RunDelayedNotify();

    std::vector<Timing> timings_;
    Scheduler scheduled_;
    std::unique_ptr<TCEffect> effect_;
    EffectTargetBlock block_;
    Nubra::Point position_{0, 0};
    Nubra::Point offset_{0, 0};
    float notifyDelay_ = 0.0f;
    int notifyCode_ = 0;
};
