#pragma once
#include <list>
#include <map>
#include <optional>
#include <string>

#include "game/sim/TCItem.h"

class TCGraph;
class TCPickItem;

// A walker's speed and what each of its orientations means to the objects that draw it.
struct TCPersonRecord {
    struct Orientation {
        std::string actual;
        int x = 0;
        int y = 0;
    };
    std::string name;
    float moveSpeed = 0.0f;
    std::map<std::string, Orientation> orientations;
};

// The configuration's "perses/pers" records, replacing any read before. Each orientation is an
// "orientations" child with "orientation", "actual_orientation", "ofs_x" and "ofs_y".
void LoadPersons(pugi::xml_node config);
// Writable: a level may override a walker's speed while it is loaded.
TCPersonRecord* FindPerson(const std::string& name);

// The orientation ("t", "tr", ... "tl") of a walk along the step vector, in screen axes; a zero
// vector keeps the current one.
std::string OrientationFor(Nubra::Point step, const std::string& current);

// An object that walks the floor by the board's graph of its name: placed at a named point, it
// walks to the objects clicked for it in turn and trades with each on arrival.
class TCMoveItem : public TCItem {
public:
    ~TCMoveItem() override;

    void LoadFromXml(pugi::xml_node node) override;
    void LoadSkin(pugi::xml_node node) override;
    void ResetAnimation() override;
    void SetActive(bool active) override;
    bool IsMovable() const override { return true; }
    bool IsMoving() const override { return moving_; }
    bool IsBusy() const override { return moving_ || IsNotifyPending(); }
    void Update() override;

    // Takes the person record of the object's name; without one it cannot walk.
    virtual void BindPerson();
    // Queues a clicked object and shows one of its check marks.
    virtual void AddTarget(TCPickItem* target);
    // The previous carried object's clicks are forgotten.
    virtual void SetCarried(TCPickItem* item);
    virtual void PlaceAt(const std::string& point);
    // Once a step, after the walk: subclasses draw what they hold.
    virtual void OnStep() {}
    virtual float GetMoveSpeed() const { return person_ ? person_->moveSpeed : 0.0f; }

    // Only while in play and to another point; false when no route leads there.
    bool WalkTo(const std::string& point, float speed);
    bool WalkTo(const std::string& point) { return WalkTo(point, GetMoveSpeed()); }
    void ClearTargets();
    // While on, every part leaves a ghost each period; ghosts fade by rate x step time.
    void SetTrail(bool on, float rate, float period);
    bool IsTrailOn() const { return trail_.on; }

    const std::string& GetCurrentPoint() const { return current_; }
    const std::string& GetStartPoint() const { return start_; }
    const std::string& GetOrientation() const { return orientation_; }
    const std::list<TCPickItem*>& GetTargets() const { return targets_; }
    TCPickItem* GetCarried() const { return carried_; }
    TCGraph* GetWalker() const { return walker_; }
    const TCPersonRecord* GetPerson() const { return person_ ? &*person_ : nullptr; }

protected:
    bool returnHome_ = false;
    bool hideWhenIdle_ = false;

private:
    void Walk(float step);
    void TurnTo(Nubra::Point step);
    void SetFloorLines();
    void ServeFirstTarget();
    void Unregister();
    void RunTrail(float step);

    struct Trail {
        bool on = false;
        float rate = 0.0f;
        float period = 0.0f;
        float elapsed = 0.0f;
    };

    std::string current_;
    std::string start_;
    std::string orientation_;
    bool moving_ = false;
    // A copy, so a configuration read again cannot pull it away.
    std::optional<TCPersonRecord> person_;
    TCGraph* walker_ = nullptr;
    std::list<TCPickItem*> targets_;
    TCPickItem* carried_ = nullptr;
    Trail trail_;
};

// The walker of that name while it has its look for the level, or null.
TCMoveItem* FindMoveItemByName(const std::string& name);
