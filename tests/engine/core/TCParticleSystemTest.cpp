#include "engine/core/TCParticleSystem.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "FakeImages.h"
#include "engine/core/Log.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCParticleRegistry.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

namespace fs = std::filesystem;

// A plain emitter: one particle every 0.1 s at the origin, going right at 100 px/s, living 1 s.
TCParticleDesc Plain()
{
    TCParticleDesc desc;
    desc.texture = "dot";
    desc.emissionDuration = 1.0f;
    desc.rate = 10.0f;
    desc.life = 1.0f;
    desc.speed = 100.0f;
    desc.decayTime = 10.0f;
    return desc;
}

class Particles : public ::testing::Test {
protected:
    void SetUp() override
    {
        log_ = fs::temp_directory_path() / ("particles_" + std::to_string(::getpid()) + ".log");
        SetLogFile(log_.string());
        SetDeveloperMode(true);
        fake_.table.Add("dot", "dot.png");
    }
    void TearDown() override
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
        fs::remove(log_);
    }
    std::string Log() const
    {
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path log_;
    fixtures::FakeImages images_;
    fixtures::FakeTextureTable fake_{images_};
    TCParticleRegistry registry_;
};

TEST_F(Particles, BadColourKeysAreReportedAndDrawWhite)
{
    const Nubra::Color red(255, 0, 0), blue(0, 0, 255);
    struct Case {
        std::vector<TCParticleColourKey> keys;
        const char* message;
    };
    const Case cases[] = {
        {{{0.0f, red}}, "ERROR: [PS: ] age color count less than 2 !..\n"},
        {{{0.1f, red}, {1.0f, blue}}, "ERROR: [PS: ] first color age must be equal to 0!..\n"},
        {{{0.0f, red}, {0.5f, blue}}, "ERROR: [PS: ] last color age must be greater than 1!..\n"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::ofstream(log_, std::ios::trunc).close();
        TCParticleDesc desc = Plain();
        desc.keys = c.keys;
        TCParticleSystem system(desc, nullptr, nullptr);
        EXPECT_EQ(Log(), c.message);
        system.Update(0.1f); // emits one
        system.Stop();
        system.Update(0.7f); // past the last key's age of the short table
        ASSERT_EQ(system.GetCount(), 1);
        for (const TCParticleSystem::Particle* particle : system.GetParticles())
            EXPECT_EQ(particle->colour, Nubra::Color::White);
    }
}

TEST_F(Particles, ColoursRunThroughTheKeysFromTheFirstDraw)
{
    TCParticleDesc desc = Plain();
    desc.keys = {{0.0f, Nubra::Color(200, 0, 0, 255)}, {0.5f, Nubra::Color(0, 100, 0, 255)}, {1.0f, Nubra::Color(0, 0, 50, 0)}};
    TCParticleSystem system(desc, nullptr, nullptr);
    EXPECT_TRUE(system.HasValidKeys());
    system.Update(0.1f);
    ASSERT_EQ(system.GetCount(), 1);
    const TCParticleSystem::Particle& particle = *system.GetParticles()[0];
    EXPECT_EQ(particle.colour, Nubra::Color(200, 0, 0, 255)) << "a new particle wears the first key";
    EXPECT_EQ(particle.scale, 1.0f);
    system.Stop();
    system.Update(0.25f);
    EXPECT_EQ(particle.colour, Nubra::Color(100, 50, 0, 255));
    system.Update(0.5f);
    EXPECT_EQ(particle.colour, Nubra::Color(0, 50, 25, 127)) << "components truncated";
}

TEST_F(Particles, AnExpiredParticleIsReplacedByTheLast)
{
    TCParticleSystem system(Plain(), nullptr, nullptr);
    for (int i = 0; i < 3; ++i)
        system.Update(0.1f);
    ASSERT_EQ(system.GetCount(), 3);
    const auto middle = system.GetParticles()[1], newest = system.GetParticles()[2];
    system.Stop();
    system.Update(0.85f); // the oldest reaches 1.05 s
    EXPECT_EQ(system.GetParticles(), (std::vector<TCParticleSystem::Particle*>{newest, middle}));
    EXPECT_EQ(system.GetPool().GetUsed(), 2u);

    TCParticleDesc lifeless = Plain();
    lifeless.life = 0.0f;
    TCParticleSystem none(lifeless, nullptr, nullptr);
    none.Update(0.1f);
    none.Update(0.0f); // a paused step still ends it
    EXPECT_EQ(none.GetCount(), 0);
}

TEST_F(Particles, SpeedDecaysToTheDriftAlone)
{
    for (float decay : {0.5f, 0.0f}) {
        SCOPED_TRACE(decay);
        TCParticleDesc desc = Plain();
        desc.life = 10.0f;
        desc.decayTime = decay;
        desc.driftX = 3.0;
        desc.driftY = -2.0;
        TCParticleSystem system(desc, nullptr, nullptr);
        system.Update(0.1f);
        system.Stop();
        const TCParticleSystem::Particle& particle = *system.GetParticles()[0];
        system.Update(0.25f);
        const double x = particle.x, y = particle.y;
        EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
        if (decay == 0.0f)
            EXPECT_NEAR(x, 0.25 * 3.0, 1e-5) << "no decay time: the particle only drifts";
        else
            EXPECT_NEAR(x, 0.5 * 100.0 * 0.25 + 0.25 * 3.0, 1e-4) << "half its speed left";
        system.Update(0.5f); // the countdown runs out
        EXPECT_NEAR(particle.x - x, 0.5 * 3.0, 1e-5);
        EXPECT_NEAR(particle.y - y, 0.5 * -2.0, 1e-5);
    }
}

TEST_F(Particles, SteadyEmissionStaysInThePool)
{
    TCParticleDesc desc = Plain();
    desc.rate = 100.0f;
    desc.life = 0.5f;
    desc.flags = TCParticleDesc::RandomLife | TCParticleDesc::RandomRate | TCParticleDesc::RandomSpeed;
    desc.randomness = 0.5f;
    TCParticleSystem system(desc, nullptr, nullptr);
    EXPECT_EQ(system.GetMaxCount(), 100);
    for (int step = 0; step < 1000; ++step) {
        if (!system.IsEmitting())
            system.Start();
        system.Update(0.016f);
        ASSERT_LE(system.GetCount(), system.GetMaxCount());
        ASSERT_EQ(system.GetPool().GetOverflow(), 0u);
    }
    EXPECT_GT(system.GetCount(), 20);
}

TEST_F(Particles, TheParticleCountIsKeptWithinBounds)
{
    struct Case {
        float rate, duration;
        int max;
    };
    for (const Case& c : {Case{10.0f, -1.0f, 0}, Case{1e6f, 10.0f, TCParticleSystem::kMaxParticles}, Case{10.0f, 1.26f, 13}}) {
        TCParticleDesc desc = Plain();
        desc.rate = c.rate;
        desc.emissionDuration = c.duration;
        TCParticleSystem system(desc, nullptr, nullptr);
        EXPECT_EQ(system.GetMaxCount(), c.max) << c.rate << " x " << c.duration;
        EXPECT_EQ(system.GetPool().GetBlockCount(), size_t(c.max) + 1);
        system.Update(1.0f);
        EXPECT_LE(system.GetCount(), c.max);
    }
    EXPECT_NE(Log().find("WARNING: "), std::string::npos);
}

TEST_F(Particles, ABurstEndsAfterItsCountAndResetSilences)
{
    TCParticleSystem system(Plain(), nullptr, nullptr);
    for (int i = 0; i < 30; ++i)
        system.Update(0.1f);
    EXPECT_FALSE(system.IsEmitting()) << "ten particles in one second";
    EXPECT_EQ(system.GetCount(), 0);
    system.Start();
    system.Update(0.1f);
    EXPECT_EQ(system.GetCount(), 1);
    system.Reset();
    system.Update(0.5f);
    EXPECT_EQ(system.GetCount(), 0);
    EXPECT_EQ(system.GetPool().GetUsed(), 0u);
}

TEST_F(Particles, DrawingTintsTheTextureAroundEachParticle)
{
    TCParticleDesc desc = Plain();
    desc.speed = 0.0f;
    desc.keys = {{0.0f, Nubra::Color(255, 0, 0, 255)}, {1.0f, Nubra::Color(255, 0, 0, 255)}};
    TCParticleSystem system(desc, nullptr, nullptr);
    system.SetPosition(20, 10);
    system.Update(0.1f);
    Nubra::MemoryImage screen;
    screen.Create(40, 20);
    Nubra::Graphics g(&screen);
    g.SetColor(Nubra::Color(1, 2, 3));
    system.Draw(g);
    EXPECT_FALSE(g.GetColorizeImages()) << "the context is left as it was";
    EXPECT_EQ(g.GetColor(), Nubra::Color(1, 2, 3));
    const uint32_t* bits = screen.GetBits();
    const auto red = [](uint32_t pixel) { return (pixel & 0xFF00FF00u) == 0xFF000000u && (pixel >> 16 & 0xFF) > 250; };
    EXPECT_TRUE(red(bits[10 * 40 + 20])) << "the 8 x 8 dot is centred on the particle";
    EXPECT_TRUE(red(bits[6 * 40 + 16]));
    EXPECT_EQ(bits[5 * 40 + 15], 0u);
    EXPECT_EQ(bits[10 * 40 + 24], 0u);
}

TEST_F(Particles, EffectsOwnTheirSystemsAndTheRegistryFollows)
{
    auto effect = std::make_unique<TCEffect>("stars");
    TCParticleSystem* system =
        effect->AdoptParticleSystem(kBindFirstParticleSystem, std::make_unique<TCParticleSystem>(Plain(), effect.get(), &registry_));
    effect->AdoptParticleSystem(kBindLastParticleSystem, std::make_unique<TCParticleSystem>(Plain(), effect.get(), &registry_));
    EXPECT_EQ(effect->GetBinding(kBindFirstParticleSystem), system);
    EXPECT_EQ(effect->AdoptParticleSystem(kBindGraphics, nullptr), nullptr) << "not a particle binding";
    EXPECT_EQ(registry_.Count(effect.get()), 2u);

    TCParticleSystem stranger(Plain(), nullptr, &registry_);
    registry_.Update(effect.get(), 0.1f);
    EXPECT_EQ(system->GetCount(), 1);
    EXPECT_EQ(stranger.GetCount(), 0) << "only the effect's own systems advance";
    registry_.UpdateAll(0.1f);
    EXPECT_EQ(stranger.GetCount(), 1);
    registry_.ResetAll();
    EXPECT_EQ(system->GetCount(), 0);
    EXPECT_EQ(stranger.GetCount(), 0);

    effect.reset();
    EXPECT_EQ(registry_.Count(), 1u);
}

TEST_F(Particles, ASystemMayOutliveItsRegistry)
{
    auto registry = std::make_unique<TCParticleRegistry>();
    TCParticleSystem system(Plain(), nullptr, registry.get());
    system.Update(0.1f);
    EXPECT_EQ(images_.Holders("dot.png"), 1);
    registry.reset();
    EXPECT_EQ(system.GetCount(), 0);
    EXPECT_EQ(images_.Holders("dot.png"), 0) << "the texture is let go with the registry";
    system.Update(0.1f);
}

} // namespace
