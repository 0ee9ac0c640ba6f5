#include "engine/core/TCSound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingAudio.h"

namespace {

using Log = std::vector<std::string>;

class SoundTable : public ::testing::Test, protected fixtures::AudioFixture {
protected:
    void SetUp() override
    {
        for (const char* name : {"click.wav", "pop.wav", "hum.wav"})
            SoundFile(name);
        LoadSounds(Config("<root><sounds>"
                          "<sound name='click' group='sfx' path='%Dclick.wav'/>"
                          "<sound name='pop' group='sfx' path='%Dpop.wav'/>"
                          "<sound name='hum' path='%Dhum.wav' loop='1'/>"
                          "<sound name='lost' group='sfx' path='%Dnowhere.wav'/>"
                          "</sounds></root>"));
        Audio().log.clear();
    }
    void TearDown() override { FreeSounds(); }
};

TEST_F(SoundTable, SoundsPlayByNameAtTheSoundVolumeInTheirGroup)
{
    PlaySound("");
    PlaySound("nope");
    EXPECT_EQ(Audio().log, Log{});

    PlaySound("click");
    PlaySound("hum"); // declared looping, but a plain play never loops
    SetSoundVolume(40);
    PlaySound("pop");
    PlaySound("lost"); // no sample: the back end refuses it
    EXPECT_EQ(Audio().log, (Log{"PlaySample 1 loop=0 group=1 volume=100 pan=50",
                                "PlaySample 3 loop=0 group=2 volume=100 pan=50", "SetGroupVolume 2 40",
                                "SetGroupVolume 1 40", "PlaySample 2 loop=0 group=1 volume=40 pan=50",
                                "PlaySample 0 loop=0 group=1 volume=40 pan=50"}));
    EXPECT_EQ(GetSoundVolume(), 40);
}

TEST_F(SoundTable, PausesAreCountedPerSound)
{
    PauseSoundGroup("sfx");
    PauseAllSounds();
    ResumeSoundGroup("sfx");
    // Groups and pause-all walk the sounds by name: click, hum, lost, pop.
    EXPECT_EQ(Audio().log, (Log{"PauseSample 1 1", "PauseSample 0 1", "PauseSample 2 1", "PauseSample 3 1"}));
    Audio().log.clear();
    ResumeAllSounds();
    EXPECT_EQ(Audio().log, (Log{"PauseSample 1 0", "PauseSample 3 0", "PauseSample 0 0", "PauseSample 2 0"}));

    // A resume without a pause must not swallow the next pause.
    Audio().log.clear();
    ResumeSoundGroup("sfx");
    PauseSoundGroup("sfx");
    PauseSoundGroup("nope");
    StopSoundGroup("sfx");
    EXPECT_EQ(Audio().log, (Log{"PauseSample 1 1", "PauseSample 0 1", "PauseSample 2 1", "StopSample 1",
                                "StopSample 0", "StopSample 2"}));
}

TEST_F(SoundTable, AChannelStartsAfreshOnlyOnceItsPlayHasEnded)
{
    auto hum = CreateSoundChannel("hum");
    ASSERT_TRUE(hum);
    EXPECT_FALSE(CreateSoundChannel("nope"));

    hum->Play();
    const auto first = hum->Channel();
    hum->Pause();
    hum->Pause();
    hum->Resume();
    hum->Play();
    hum->SetPan(24.6f);
    hum->SetVolume(70.4f);
    hum->Stop();
    hum->Play();
    EXPECT_NE(hum->Channel(), first);
    const std::string channel = std::to_string(first);
    EXPECT_EQ(Audio().log, (Log{"PlaySample 3 loop=1 group=2 volume=100 pan=50", "PauseChannel " + channel + " 1",
                                "StartChannel " + channel, "SetChannelPan " + channel + " 25",
                                "SetChannelVolume " + channel + " 70", "StopChannel " + channel,
                                "PlaySample 3 loop=1 group=2 volume=100 pan=50"}));
}

TEST_F(SoundTable, ALaterSoundOfTheSameNameReplacesAndFreesTheEarlier)
{
    LoadSounds(Config("<root><sounds><sound name='click' group='ui' path='%Dpop.wav'/></sounds></root>"));
    PlaySound("click");
    EXPECT_EQ(Audio().log, (Log{"LoadSample " + SoundFile("pop.wav") + " -> 4", "StopSample 1", "UnloadSample 1",
                                "PlaySample 4 loop=0 group=3 volume=100 pan=50"}));
}

TEST_F(SoundTable, TheApplicationsMuteSilencesSoundsAndKeepsTheVolume)
{
    SetSoundVolume(60);
    SetSoundsSilenced(true);
    PlaySound("click");
    SetSoundsSilenced(false);
    // Groups by name: "" (2), then "sfx" (1).
    EXPECT_EQ(Audio().log, (Log{"SetGroupVolume 2 60", "SetGroupVolume 1 60", "SetGroupVolume 2 0",
                                "SetGroupVolume 1 0", "PlaySample 1 loop=0 group=1 volume=0 pan=50",
                                "SetGroupVolume 2 60", "SetGroupVolume 1 60"}));
}

TEST_F(SoundTable, WithSoundDownNothingReachesTheBackEnd)
{
    auto hum = CreateSoundChannel("hum");
    StopSound();
    Audio().calls.clear();
    EXPECT_FALSE(CreateSoundChannel("hum"));
    PlaySound("click");
    PauseAllSounds();
    hum->Play();
    SetSoundVolume(10);
    FreeSounds();
    EXPECT_EQ(Audio().calls, std::vector<std::string>{});
    EXPECT_EQ(Audio().log, Log{});
}

} // namespace
