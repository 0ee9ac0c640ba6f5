#pragma once
#include <map>
#include <memory>
#include <string>

#include "engine/core/TCEffectCallbacks.h"
#include "engine/core/TCTimer.h"

namespace pugi {
class xml_node;
}

class TCIEffect;
class TCParticleSystem;
struct EffectTargetBlock;

// Ids under which owners hand their values to their effect.
enum TCEffectBinding : int {
    kBindWidgetOffset = 3,
    kBindWidgetScalePoint = 5,
    kBindWidget = 6,
    kBindChildRecords = 7,
    kBindTargetBlock = 256, // an EffectTargetBlock
    kBindVisibleFlag = 257, // a bool
    kBindFirstParticleSystem = 258,
    kBindLastParticleSystem = 261,
    kBindGraphics = 262,
    kBindFirstPartValue = 263,
    kBindLastPartValue = 266,
};

// One object's animation: named timers driven by the owner's events, reaching the object through
// its TCIEffect target and the values the owner binds.
class TCEffect {
public:
    enum Command { None = 0, Stop = 1, Start = 2, Resume = 3, Pause = 4, Call = 5 };

    explicit TCEffect(std::string name);
    virtual ~TCEffect();
    TCEffect(const TCEffect&) = delete;
    TCEffect& operator=(const TCEffect&) = delete;

    void LoadFromXml(const pugi::xml_node& node);

    // Runs the active timers that have not finished, in id order.
    void UpdateTimers(float dt);
    // Carries out every enabled message of that event in file order, then a zero-length step so
    // started timers fire what lies at their start. False when no message has that name.
    bool RunEvent(const char* name);
    bool HasEvent(const char* name) const;
    bool HasEvents() const { return !messages_.empty(); }
    void SetEventEnabled(const char* name, bool enabled);
    bool IsEventEnabled(const char* name) const;
    // Every timer inactive and back at its start, as a "stop" message leaves one.
    void StopTimers();
    // Some timer is still on its way.
    bool IsRunning() const;

    TCTimer* GetTimer(int id) const;
    // Null when the id is taken.
    TCTimer* AddTimer(int id);

    void SetBinding(int id, void* value) { bindings_[id] = value; }
    void* GetBinding(int id) const;
    void RemoveBinding(int id) { bindings_.erase(id); }
    EffectTargetBlock* GetTargetBlock() const { return static_cast<EffectTargetBlock*>(GetBinding(kBindTargetBlock)); }

    // The particle systems under the bindings 258-261 belong to the effect and go with it.
    // Adopting one binds it under its id and replaces any system there; other ids are refused.
    TCParticleSystem* AdoptParticleSystem(int id, std::unique_ptr<TCParticleSystem> system);
    TCParticleSystem* GetParticleSystem(int id) const;

    void SetTarget(TCIEffect* target) { target_ = target; }
    TCIEffect* GetTarget() const { return target_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool IsEnabled() const { return enabled_; }
    const std::string& GetName() const { return name_; }

    // For effects built in code: a message as the file would give it.
    void AddMessage(const std::string& event, TCTimer* timer, Command command, TCMessageCallback function = nullptr);

private:
    struct Message {
        TCTimer* timer = nullptr;
        Command command = None;
        bool enabled = true;
        TCMessageCallback function = nullptr;
    };

    void CarryOut(const Message& message);

    bool enabled_ = true;
    std::map<int, std::unique_ptr<TCTimer>> timers_;
    std::map<int, void*> bindings_;
    TCIEffect* target_ = nullptr;
    std::multimap<std::string, Message> messages_; // file order within one event
    std::string name_;
    std::unique_ptr<TCParticleSystem> particles_[kBindLastParticleSystem - kBindFirstParticleSystem + 1];
};
