#pragma once
#include <string>
#include <vector>

#include "engine/core/TCBlockPool.h"
#include "engine/core/TCTextureTable.h"
#include "framework/graphics/Color.h"

namespace Nubra {
class Graphics;
}
class TCEffect;
class TCParticleRegistry;

struct TCParticleColourKey {
    float age = 0.0f; // fraction of the particle's life, 0 to 1
    Nubra::Color colour = Nubra::Color::White;
};

// What a particle system emits; the creator fills it and the system keeps a copy.
struct TCParticleDesc {
    enum Shape { Box = 1, Circle = 2 };
    enum Flags { RandomSpeed = 1, RandomLife = 4, RandomRate = 8 };

    std::string texture; // an id of the texture table
    std::vector<TCParticleColourKey> keys;
    float emissionDuration = 1.0f; // seconds
    float life = 1.0f;             // seconds
    float speed = 0.0f;            // pixels per second
    float rate = 10.0f;            // particles per second
    int shape = Box;
    // Box: the width and height around the emitter; circle: the radii.
    float shapeWidth = 0.0f;
    float shapeHeight = 0.0f;
    float direction = 0.0f; // degrees, counter-clockwise from the right, y up
    float spread = 0.0f;    // degrees
    // The speed falls linearly to 0 over this time; 0 means the particle only drifts.
    float decayTime = 1.0f;
    float randomness = 0.0f; // a randomised value lies within v x (1 +- randomness)
    unsigned flags = 0;
    double driftX = 0.0; // pixels per second, added every step
    double driftY = 0.0;
};

// A 2-D emitter: particles from a fixed pool, moving, ageing through the colour keys and drawn as
// the tinted texture. It stays in the registry it was given until it is destroyed.
class TCParticleSystem {
public:
    static constexpr int kMaxParticles = 1024;

    // Null registry: the system is driven by hand only.
    TCParticleSystem(const TCParticleDesc& desc, const TCEffect* owner, TCParticleRegistry* registry);
    ~TCParticleSystem();
    TCParticleSystem(const TCParticleSystem&) = delete;
    TCParticleSystem& operator=(const TCParticleSystem&) = delete;

    void Update(float dt);
    void Draw(Nubra::Graphics& g);
    // No particles, and quiet until started again.
    void Reset();
    // No particles, no pool, no texture: what is left when the engine goes.
    void Clear();

    void SetPosition(double x, double y);
    void SetDrift(double x, double y);
    // Emits again from the start of its emission.
    void Start();
    void Stop() { emitting_ = false; }
    bool IsEmitting() const { return emitting_; }

    // False when the colour keys failed their check: the particles are then white.
    bool HasValidKeys() const { return keysValid_; }
    int GetMaxCount() const { return maxCount_; }
    int GetCount() const { return int(particles_.size()); }
    const TCBlockPool& GetPool() const { return pool_; }
    const TCParticleDesc& GetDesc() const { return desc_; }
    const TCEffect* GetOwner() const { return owner_; }

    struct Particle {
        double x, y;
        float age, life;
        Nubra::Color colour;
        int key;
        float speed;
        float dirX, dirY;
        float countdown; // what is left of the speed decay
        float scale;
    };
    const std::vector<Particle*>& GetParticles() const { return particles_; }

    // The registry lets go of the system before it goes itself.
    void DetachFromRegistry() { registry_ = nullptr; }

private:
    bool CheckKeys() const;
    int MaxCountFor(const TCParticleDesc& desc) const;
    float Randomised(float value, unsigned flag) const;
    void Emit(float dt);
    void EmitOne();
    void Age(Particle& particle, float dt) const;
    void ReturnAll();

    TCParticleDesc desc_;
    const TCEffect* owner_;
    TCParticleRegistry* registry_;
    bool keysValid_;
    int maxCount_;
    std::vector<Particle*> particles_;
    TCBlockPool pool_;
    TCImageRef texture_;
    float accumulator_ = 0.0f;
    int emitted_ = 0;
    bool emitting_ = true;
    double x_ = 0.0, y_ = 0.0;
};
