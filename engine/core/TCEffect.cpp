#include "engine/core/TCEffect.h"

#include "engine/core/TCParticleSystem.h"
#include "engine/core/XmlHelpers.h"

TCEffect::TCEffect(std::string name) : name_(std::move(name)) {}

TCEffect::~TCEffect() = default;

void TCEffect::LoadFromXml(const pugi::xml_node& node)
{
    std::map<std::string, TCTimer*> byName; // a later timer of the same name shadows an earlier one
    int nextId = 0;
    for (pugi::xml_node element : node.child("timers").children("timer")) {
        while (GetTimer(nextId))
            ++nextId;
        TCTimer* timer = AddTimer(nextId);
        std::string name;
        XmlGetString(element, "name", name);
        timer->LoadFromXml(element);
        byName[name] = timer;
    }
    static const std::pair<const char*, Command> kCommands[] = {
        {"start", Start}, {"stop", Stop}, {"pause", Pause}, {"resume", Resume}, {"call", Call}};
    for (pugi::xml_node element : node.child("messages").children("message")) {
        std::string event, target, word;
        XmlGetString(element, "name", event);
        XmlGetString(element, "timer_id", target);
        XmlGetString(element, "command", word);
        Command command = None;
        for (const auto& [name, code] : kCommands)
            if (word == name)
                command = code;
        const auto timer = byName.find(target);
        AddMessage(event, timer == byName.end() ? nullptr : timer->second, command,
                   command == Call ? FindMessageCallback(target) : nullptr);
    }
}

void TCEffect::UpdateTimers(float dt)
{
    if (!enabled_)
        return;
    // A callback may add timers; map iterators survive that.
    for (auto& [id, timer] : timers_)
        if (timer->IsActive() && !timer->IsFinished())
            timer->Update(dt);
}

bool TCEffect::IsRunning() const
{
    for (const auto& [id, timer] : timers_)
        if (timer->IsActive() && !timer->IsFinished())
            return true;
    return false;
}

void TCEffect::StopTimers()
{
    for (auto& [id, timer] : timers_) {
        timer->SetActive(false);
        timer->Restart();
    }
}

bool TCEffect::RunEvent(const char* name)
{
    const auto [first, last] = messages_.equal_range(name);
    if (first == last)
        return false;
    for (auto it = first; it != last; ++it)
        if (it->second.enabled)
            CarryOut(it->second);
    if (enabled_)
        UpdateTimers(0.0f);
    return true;
}

void TCEffect::CarryOut(const Message& message)
{
    if (message.command == Call) {
        if (message.function)
            message.function(this);
        return;
    }
    TCTimer* timer = message.timer;
    if (!timer)
        return;
    switch (message.command) {
    case Stop:
        timer->SetActive(false);
        timer->Restart();
        break;
    case Start:
        timer->Restart();
        timer->SetActive(true);
        break;
    case Resume:
        timer->SetActive(true);
        break;
    case Pause:
        timer->SetActive(false);
        break;
    default:
        break;
    }
}

bool TCEffect::HasEvent(const char* name) const { return messages_.count(name) > 0; }

void TCEffect::SetEventEnabled(const char* name, bool enabled)
{
    const auto [first, last] = messages_.equal_range(name);
    for (auto it = first; it != last; ++it)
        it->second.enabled = enabled;
}

bool TCEffect::IsEventEnabled(const char* name) const
{
    const auto [first, last] = messages_.equal_range(name);
    if (first == last)
        return false;
    for (auto it = first; it != last; ++it)
        if (!it->second.enabled)
            return false;
    return true;
}

TCTimer* TCEffect::GetTimer(int id) const
{
    const auto found = timers_.find(id);
    return found == timers_.end() ? nullptr : found->second.get();
}

TCTimer* TCEffect::AddTimer(int id)
{
    auto [it, added] = timers_.try_emplace(id);
    if (!added)
        return nullptr;
    it->second = std::make_unique<TCTimer>(this);
    return it->second.get();
}

void* TCEffect::GetBinding(int id) const
{
    const auto found = bindings_.find(id);
    return found == bindings_.end() ? nullptr : found->second;
}

void TCEffect::AddMessage(const std::string& event, TCTimer* timer, Command command, TCMessageCallback function)
{
    messages_.emplace(event, Message{timer, command, true, command == Call ? function : nullptr});
}

TCParticleSystem* TCEffect::AdoptParticleSystem(int id, std::unique_ptr<TCParticleSystem> system)
{
    if (id < kBindFirstParticleSystem || id > kBindLastParticleSystem)
        return nullptr;
    std::unique_ptr<TCParticleSystem>& slot = particles_[id - kBindFirstParticleSystem];
    slot = std::move(system);
    if (slot)
        SetBinding(id, slot.get());
    else
        RemoveBinding(id);
    return slot.get();
}

TCParticleSystem* TCEffect::GetParticleSystem(int id) const
{
    if (id < kBindFirstParticleSystem || id > kBindLastParticleSystem)
        return nullptr;
    return particles_[id - kBindFirstParticleSystem].get();
}
