#include "engine/core/FakeAudioBackend.h"
#include "engine/core/SdlMixerBackend.h"
#include "engine/core/SoundLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Utf16File.h"
#include "framework/audio/WaveFile.h"
#include "platform/Clock.h"

namespace {

using Channel = IAudioBackend::ChannelId;

// Two short sounds on disk, for the back ends that read files.
class SoundFiles {
public:
    SoundFiles()
    {
        const std::vector<uint8_t> silence(44100 / 10 * 4, 0);
        for (const char* name : {"a.wav", "b.wav"})
            Nubra::WriteWaveFile(folder_.File(name), Nubra::PcmFormat{}, {silence});
    }
    std::string Path(const std::string& name) const { return folder_.File(name); }

private:
    fixtures::TempFolder folder_{"audio_backend"};
};

// The same contract on the fake and, where the dummy driver opens, on SDL2_mixer.
class AudioContract : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (std::string(GetParam()) == "fake")
            backend_ = std::make_unique<FakeAudioBackend>();
        else
            backend_ = std::make_unique<SdlMixerBackend>();
        if (!backend_->Start())
            GTEST_SKIP() << "no audio output here";
        a_ = backend_->LoadSample(files_.Path("a.wav").c_str());
        b_ = backend_->LoadSample(files_.Path("b.wav").c_str());
        ASSERT_NE(a_, 0u);
        ASSERT_NE(b_, 0u);
    }
    // Looping, so that nothing ends on its own while a test looks.
    Channel Play(IAudioBackend::SampleId sample, int group = 0)
    {
        Channel channel = backend_->PlaySample(sample, true, group, 100, 50);
        EXPECT_NE(channel, 0u);
        return channel;
    }

    SoundFiles files_;
    std::unique_ptr<MixerBackend> backend_;
    IAudioBackend::SampleId a_ = 0, b_ = 0;
};

TEST_P(AudioContract, AHandleGoesStaleWhenItsSlotIsReused)
{
    const Channel first = Play(a_);
    backend_->StopChannel(first);
    EXPECT_EQ(backend_->GetChannelStatus(first), IAudioBackend::Stopped);
    const Channel second = Play(b_);
    EXPECT_NE(second, first);
    EXPECT_EQ(backend_->GetChannelStatus(second), IAudioBackend::Playing);

    // Nothing done through the old handle reaches the new sound.
    backend_->StopChannel(first);
    backend_->PauseChannel(first, true);
    backend_->SetChannelVolume(first, 0);
    EXPECT_EQ(backend_->GetChannelStatus(first), IAudioBackend::Stopped);
    EXPECT_EQ(backend_->GetChannelStatus(second), IAudioBackend::Playing);
    EXPECT_EQ(backend_->GetChannelMixVolume(second), 128);
    EXPECT_EQ(backend_->GetChannelStatus(0), IAudioBackend::Stopped);
}

TEST_P(AudioContract, AGroupVolumeReachesOnlyItsGroup)
{
    const Channel music = Play(a_, -1), effect = Play(b_, 3);
    backend_->SetGroupVolume(-1, 50);
    EXPECT_EQ(backend_->GetChannelMixVolume(music), 64);
    EXPECT_EQ(backend_->GetChannelMixVolume(effect), 128);
    backend_->SetChannelVolume(effect, 25);
    EXPECT_EQ(backend_->GetChannelMixVolume(effect), 32);
}

TEST_P(AudioContract, ASamplePauseHoldsEveryChannelOfThatSample)
{
    const Channel a1 = Play(a_), a2 = Play(a_), b = Play(b_);
    backend_->PauseSample(a_, true);
    EXPECT_EQ(backend_->GetChannelStatus(a1), IAudioBackend::Paused);
    EXPECT_EQ(backend_->GetChannelStatus(a2), IAudioBackend::Paused);
    EXPECT_EQ(backend_->GetChannelStatus(b), IAudioBackend::Playing);
    backend_->PauseSample(a_, false);
    EXPECT_EQ(backend_->GetChannelStatus(a2), IAudioBackend::Playing);
    backend_->StopSample(a_);
    EXPECT_EQ(backend_->GetChannelStatus(a1), IAudioBackend::Stopped);
    EXPECT_EQ(backend_->GetChannelStatus(b), IAudioBackend::Playing);
}

TEST_P(AudioContract, ResumingAllLeavesTheGamesOwnPausesPaused)
{
    const Channel kept = Play(a_), held = Play(b_);
    backend_->PauseChannel(kept, true);
    backend_->PauseAll(true);
    const Channel startedWhilePaused = Play(a_);
    for (Channel channel : {kept, held, startedWhilePaused})
        EXPECT_TRUE(backend_->IsChannelSilenced(channel));
    // The game still sees its own view.
    EXPECT_EQ(backend_->GetChannelStatus(held), IAudioBackend::Playing);
    EXPECT_EQ(backend_->GetChannelStatus(kept), IAudioBackend::Paused);

    backend_->PauseAll(false);
    EXPECT_TRUE(backend_->IsChannelSilenced(kept));
    EXPECT_FALSE(backend_->IsChannelSilenced(held));
    EXPECT_FALSE(backend_->IsChannelSilenced(startedWhilePaused));
}

TEST_P(AudioContract, UnloadingStopsTheSampleAndForgetsIt)
{
    const Channel channel = Play(a_);
    backend_->UnloadSample(a_);
    EXPECT_EQ(backend_->GetChannelStatus(channel), IAudioBackend::Stopped);
    EXPECT_EQ(backend_->PlaySample(a_, false, 0, 100, 50), 0u);
    EXPECT_EQ(backend_->LoadSample(files_.Path("missing.wav").c_str()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, AudioContract, ::testing::Values("fake", "sdl"));

// Workers run on a simulated clock.
class AudioWorkers : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetClock(&clock_);
        backend_.Start();
        channel_ = backend_.PlaySample(backend_.LoadSample(files_.Path("a.wav").c_str()), true, 0, 100, 50);
    }
    void TearDown() override { plat::SetClock(nullptr); }
    void Advance(uint32_t ms)
    {
        clock_.AdvanceMs(ms);
        backend_.Tick(clock_.NowMs());
    }

    SoundFiles files_;
    plat::SimulatedClock clock_;
    FakeAudioBackend backend_;
    Channel channel_ = 0;
};

struct Calls {
    FakeAudioBackend* backend;
    std::vector<uint32_t> at;
    size_t stopAfter = 0;
};

void CountAndMaybeStop(Channel channel, void* object)
{
    auto* calls = static_cast<Calls*>(object);
    calls->at.push_back(plat::NowMs());
    if (calls->at.size() == calls->stopAfter)
        calls->backend->SetChannelWorker(channel, nullptr, nullptr, 0);
}

TEST_F(AudioWorkers, AWorkerRunsEveryPeriodUntilItRemovesItself)
{
    Calls calls{&backend_, {}, 3};
    backend_.SetChannelWorker(channel_, CountAndMaybeStop, &calls, 50);
    for (int step = 0; step < 40; ++step)
        Advance(10);
    EXPECT_EQ(calls.at, (std::vector<uint32_t>{50, 100, 150}));
}

TEST_F(AudioWorkers, AWorkerGoesWithItsChannelAndAfterAStallRunsOnce)
{
    Calls calls{&backend_, {}, 0};
    backend_.SetChannelWorker(channel_, CountAndMaybeStop, &calls, 50);
    Advance(500);
    Advance(10);
    EXPECT_EQ(calls.at, (std::vector<uint32_t>{500}));
    backend_.Finish(backend_.SlotOf(channel_));
    Advance(100);
    EXPECT_EQ(calls.at.size(), 1u);
}

TEST(SoundLibrary, StartsOnceAndStopsOnTheLastRelease)
{
    auto fake = std::make_unique<FakeAudioBackend>();
    FakeAudioBackend& backend = *fake;
    SoundLibrary library(std::move(fake));
    EXPECT_FALSE(IsSoundUp());
    EXPECT_EQ(GetAudioBackend(), nullptr);

    EXPECT_TRUE(StartSound());
    EXPECT_TRUE(StartSound());
    EXPECT_EQ(std::count(backend.calls.begin(), backend.calls.end(), "open"), 1);
    StopSound();
    EXPECT_TRUE(IsSoundUp());
    EXPECT_EQ(GetAudioBackend(), &backend);
    StopSound();
    EXPECT_FALSE(IsSoundUp());
    EXPECT_EQ(backend.calls.back(), "close");
    StopSound();
    EXPECT_EQ(std::count(backend.calls.begin(), backend.calls.end(), "close"), 1);
}

TEST(SoundLibrary, NoDeviceLeavesSoundDown)
{
    auto fake = std::make_unique<FakeAudioBackend>();
    fake->deviceAvailable = false;
    SoundLibrary library(std::move(fake));
    EXPECT_FALSE(StartSound());
    EXPECT_FALSE(IsSoundUp());
    StopSound();
}

} // namespace
