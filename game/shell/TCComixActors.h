#pragma once
#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/NubraVector2.h"

class TCComix;
class TCComixObject;

// Objects an actor moves together, in the order the file lists them.
using TCComixGroup = std::vector<TCComixObject*>;

// A fraction 0-1 of an animation's time to a fraction of its way.
using TCEasingRule = float (*)(float);
// Null for a name no rule has.
TCEasingRule GetEasingRule(const std::string& name);

// One timed change of one property of an object or of every object of a group. Times are
// seconds from the start of the actor's episode.
class TCComixActor {
public:
    virtual ~TCComixActor() = default;
    // Binds the object or group the actor acts on; false (with a warning) when it has none.
    virtual bool Parse(TCComix& comix, pugi::xml_node node);
    virtual float GetEndTime() const { return 0.0f; }
    virtual void Update(float) {}
    // The click that skips the episode: the actor's end state, now.
    virtual void Finish(float) {}
    // Its episode is over.
    virtual void StopLoop() {}

    const TCComixGroup& Targets() const { return *group_; }

protected:
    std::unique_ptr<TCComixGroup> ownGroup_; // the single object named by "object"
    const TCComixGroup* group_ = nullptr;
};

template <typename T>
using TCComixSetter = void (*)(TCComixObject&, T);

// An actor that writes values of one type into its targets through one setter.
template <typename T>
class TCComixValueActor : public TCComixActor {
public:
    explicit TCComixValueActor(TCComixSetter<T> setter) : setter_(setter) {}

protected:
    void Apply(const T& value) const;

private:
    TCComixSetter<T> setter_;
};

// Applies "val" once its time "t" has come.
template <typename T>
class TCComixActorSetValue : public TCComixValueActor<T> {
public:
    using TCComixValueActor<T>::TCComixValueActor;
    bool Parse(TCComix& comix, pugi::xml_node node) override;
    float GetEndTime() const override { return t_; }
    void Update(float time) override;
    void Finish(float time) override;

private:
    void ApplyOnce();

    T value_{};
    float t_ = 0.0f;
    bool done_ = false;
};

// Moves from "val1" at "t1" to "val2" at "t2" along its rule; a looping one starts over every
// t2 - t1 seconds. A local one stops with its episode; others go on through later episodes.
template <typename T>
class TCComixActorChangeValue : public TCComixValueActor<T> {
public:
    using TCComixValueActor<T>::TCComixValueActor;
    bool Parse(TCComix& comix, pugi::xml_node node) override;
    float GetEndTime() const override { return t2_; }
    void Update(float time) override;
    void Finish(float time) override;
    void StopLoop() override;

private:
    T val1_{}, val2_{};
    float t1_ = 0.0f, t2_ = 0.0f;
    bool loop_ = false;
    bool done_ = false;
    bool local_ = true;
    TCEasingRule rule_ = nullptr;
};

// The actor of the node's "action", parsed; null (with a warning) when it cannot be made.
std::unique_ptr<TCComixActor> CreateComixActor(TCComix& comix, pugi::xml_node node);
