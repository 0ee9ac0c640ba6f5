#include "engine/core/TCParticleRegistry.h"

#include "engine/core/TCParticleSystem.h"

TCParticleRegistry* gParticleRegistry = nullptr;

TCParticleRegistry::~TCParticleRegistry()
{
    for (auto& [owner, system] : systems_) {
        system->Clear();
        system->DetachFromRegistry();
    }
}

void TCParticleRegistry::Add(const TCEffect* owner, TCParticleSystem* system) { systems_.emplace(owner, system); }

void TCParticleRegistry::Remove(TCParticleSystem* system)
{
    auto [first, last] = systems_.equal_range(system->GetOwner());
    for (auto it = first; it != last; ++it)
        if (it->second == system) {
            systems_.erase(it);
            return;
        }
}

void TCParticleRegistry::Update(const TCEffect* owner, float dt)
{
    auto [first, last] = systems_.equal_range(owner);
    for (auto it = first; it != last; ++it)
        it->second->Update(dt);
}

void TCParticleRegistry::UpdateAll(float dt)
{
    for (auto& [owner, system] : systems_)
        system->Update(dt);
}

void TCParticleRegistry::DrawAll(Nubra::Graphics& g)
{
    for (auto& [owner, system] : systems_)
        system->Draw(g);
}

void TCParticleRegistry::ResetAll()
{
    for (auto& [owner, system] : systems_)
        system->Reset();
}

void UpdateParticlesOf(const TCEffect* owner, float dt)
{
    if (gParticleRegistry)
        gParticleRegistry->Update(owner, dt);
}
