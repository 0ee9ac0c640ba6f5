#include "engine/core/TCParticleSystem.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/core/EngineHelpers.h"
#include "engine/core/Log.h"
#include "engine/core/TCParticleRegistry.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

float Random01() { return RandomFloat(0.0f, 1.0f); }

int Mix(int from, int to, float f) { return int(float(from) + float(to - from) * f); }

} // namespace

TCParticleSystem::TCParticleSystem(const TCParticleDesc& desc, const TCEffect* owner, TCParticleRegistry* registry)
    : desc_(desc), owner_(owner), registry_(registry), keysValid_(CheckKeys()), maxCount_(MaxCountFor(desc)),
      pool_(sizeof(Particle), size_t(maxCount_) + 1), texture_(FindTexture(desc.texture))
{
    particles_.reserve(size_t(maxCount_));
    texture_.Lock();
    if (registry_)
        registry_->Add(owner_, this);
}

TCParticleSystem::~TCParticleSystem()
{
    if (registry_)
        registry_->Remove(this);
    ReturnAll();
}

bool TCParticleSystem::CheckKeys() const
{
    const std::vector<TCParticleColourKey>& keys = desc_.keys;
    if (keys.empty())
        return true; // no keys: white, as intended
    if (keys.size() < 2) {
        WriteLog("ERROR: [PS: ] age color count less than 2 !..");
        return false;
    }
    if (keys.front().age != 0.0f) {
        WriteLog("ERROR: [PS: ] first color age must be equal to 0!..");
        return false;
    }
    if (keys.back().age < 1.0f) {
        WriteLog("ERROR: [PS: ] last color age must be greater than 1!..");
        return false;
    }
    return true;
}

int TCParticleSystem::MaxCountFor(const TCParticleDesc& desc) const
{
    const float wanted = std::round(desc.rate * desc.emissionDuration);
    if (!(wanted >= 0.0f) || wanted > float(kMaxParticles)) {
        WriteLog("WARNING: [PS: %s] %g particles asked for (rate %g, duration %g); kept within 0..%d",
                 desc.texture.c_str(), double(wanted), double(desc.rate), double(desc.emissionDuration),
                 kMaxParticles);
        return wanted > 0.0f ? kMaxParticles : 0;
    }
    return int(wanted);
}

float TCParticleSystem::Randomised(float value, unsigned flag) const
{
    if (!(desc_.flags & flag))
        return value;
    return value * (1.0f + desc_.randomness * (2.0f * Random01() - 1.0f));
}

void TCParticleSystem::SetPosition(double x, double y)
{
    x_ = x;
    y_ = y;
}

void TCParticleSystem::SetDrift(double x, double y)
{
    desc_.driftX = x;
    desc_.driftY = y;
}

void TCParticleSystem::Start()
{
    emitting_ = true;
    emitted_ = 0;
    accumulator_ = 0.0f;
}

void TCParticleSystem::Update(float dt)
{
    for (size_t i = 0; i < particles_.size();) {
        Particle* particle = particles_[i];
        particle->age += dt;
        // A particle without a life is gone at once, even in a step of no time.
        if (particle->age > particle->life || particle->life <= 0.0f) {
            particles_[i] = particles_.back();
            particles_.pop_back();
            particle->~Particle();
            pool_.Free(particle);
            continue;
        }
        Age(*particle, dt);
        ++i;
    }
    if (emitting_)
        Emit(dt);
}

void TCParticleSystem::Age(Particle& particle, float dt) const
{
    particle.countdown = std::max(0.0f, particle.countdown - dt);
    const float share = desc_.decayTime > 0.0f ? particle.countdown / desc_.decayTime : 0.0f;
    particle.x += double(share * particle.speed * particle.dirX * dt) + double(dt) * desc_.driftX;
    particle.y += double(share * particle.speed * particle.dirY * dt) + double(dt) * desc_.driftY;

    if (!keysValid_ || desc_.keys.empty())
        return; // stays white
    const std::vector<TCParticleColourKey>& keys = desc_.keys;
    const int last = int(keys.size()) - 1;
    const float at = particle.age / particle.life;
    while (particle.key < last && keys[size_t(particle.key)].age <= at)
        ++particle.key;
    const int next = std::clamp(particle.key, 1, last);
    const TCParticleColourKey& from = keys[size_t(next - 1)];
    const TCParticleColourKey& to = keys[size_t(next)];
    const float span = to.age - from.age;
    const float f = span > 0.0f ? std::clamp((at - from.age) / span, 0.0f, 1.0f) : 1.0f;
    particle.colour = Nubra::Color(Mix(from.colour.red, to.colour.red, f), Mix(from.colour.green, to.colour.green, f),
                                   Mix(from.colour.blue, to.colour.blue, f), Mix(from.colour.alpha, to.colour.alpha, f));
}

// Particles are due at the (possibly randomised) rate; those due while the system is full are
// dropped, so a full system does not burst when room comes back.
void TCParticleSystem::Emit(float dt)
{
    const float rate = Randomised(desc_.rate, TCParticleDesc::RandomRate);
    if (rate <= 0.0f)
        return;
    accumulator_ += dt;
    const int due = int(accumulator_ * rate);
    accumulator_ -= float(due) / rate;
    for (int i = 0; i < due && emitted_ < maxCount_; ++i) {
        if (int(particles_.size()) >= maxCount_)
            break;
        EmitOne();
        ++emitted_;
    }
    if (emitted_ >= maxCount_)
        emitting_ = false;
}

void TCParticleSystem::EmitOne()
{
    auto* particle = new (pool_.Alloc()) Particle{};
    particle->life = Randomised(desc_.life, TCParticleDesc::RandomLife);
    particle->speed = Randomised(desc_.speed, TCParticleDesc::RandomSpeed);
    particle->age = 0.0f;
    particle->key = 0;
    particle->countdown = desc_.decayTime;
    particle->scale = 1.0f;
    // Drawn before its first step: it already wears its first colour.
    particle->colour = keysValid_ && !desc_.keys.empty() ? desc_.keys.front().colour : Nubra::Color::White;
    if (desc_.shape == TCParticleDesc::Circle) {
        const float around = Random01() * 360.0f * kDegreesToRadians;
        particle->x = x_ + double(std::cos(around) * desc_.shapeWidth);
        particle->y = y_ - double(std::sin(around) * desc_.shapeHeight);
    } else {
        particle->x = x_ + double((Random01() - 0.5f) * desc_.shapeWidth);
        particle->y = y_ + double((Random01() - 0.5f) * desc_.shapeHeight);
    }
    const float angle = (desc_.direction + (Random01() - 0.5f) * desc_.spread) * kDegreesToRadians;
    particle->dirX = std::cos(angle);
    particle->dirY = -std::sin(angle);
    particles_.push_back(particle);
}

void TCParticleSystem::Draw(Nubra::Graphics& g)
{
    Nubra::MemoryImage* image = texture_ ? texture_.GetImage() : nullptr;
    if (!image || particles_.empty())
        return;
    const bool colorize = g.GetColorizeImages();
    const bool fastStretch = g.fastStretch;
    const Nubra::Color colour = g.GetColor();
    g.SetColorizeImages(true);
    g.SetFastStretch(true); // the filtered stretch draws untinted
    const Nubra::Rect source(0, 0, image->GetWidth(), image->GetHeight());
    for (const Particle* particle : particles_) {
        const double width = double(source.width) * double(particle->scale);
        const double height = double(source.height) * double(particle->scale);
        g.SetColor(particle->colour);
        g.DrawImage(image,
                    Nubra::Rect(int(std::lround(particle->x - width / 2)), int(std::lround(particle->y - height / 2)),
                                int(std::lround(width)), int(std::lround(height))),
                    source);
    }
    g.SetColor(colour);
    g.SetFastStretch(fastStretch);
    g.SetColorizeImages(colorize);
}

void TCParticleSystem::ReturnAll()
{
    for (Particle* particle : particles_) {
        particle->~Particle();
        pool_.Free(particle);
    }
    particles_.clear();
}

void TCParticleSystem::Reset()
{
    ReturnAll();
    accumulator_ = 0.0f;
    emitted_ = 0;
    emitting_ = false;
}

void TCParticleSystem::Clear()
{
    ReturnAll();
    pool_.Release();
    texture_.Reset();
    emitting_ = false;
}
