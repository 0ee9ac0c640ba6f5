#pragma once
#include <cstddef>
#include <map>

namespace Nubra {
class Graphics;
}
class TCEffect;
class TCParticleSystem;

// Every live particle system under the effect that owns it, so that a widget or item part can
// advance the systems of its effect and a new level can silence them all. Owns none of them.
class TCParticleRegistry {
public:
    TCParticleRegistry() = default;
    // What is still registered is cleared and let go.
    ~TCParticleRegistry();
    TCParticleRegistry(const TCParticleRegistry&) = delete;
    TCParticleRegistry& operator=(const TCParticleRegistry&) = delete;

    void Add(const TCEffect* owner, TCParticleSystem* system);
    void Remove(TCParticleSystem* system);
    void Update(const TCEffect* owner, float dt);
    void UpdateAll(float dt);
    void DrawAll(Nubra::Graphics& g);
    void ResetAll();
    size_t Count(const TCEffect* owner) const { return systems_.count(owner); }
    size_t Count() const { return systems_.size(); }

private:
    std::multimap<const TCEffect*, TCParticleSystem*> systems_;
};

// The engine's registry while it exists.
extern TCParticleRegistry* gParticleRegistry;

// Advances the systems of the effect in the engine's registry, when there is one.
void UpdateParticlesOf(const TCEffect* owner, float dt);
