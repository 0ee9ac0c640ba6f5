#include "engine/core/TCMusic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "RecordingAudio.h"
#include "platform/CRand.h"
#include "platform/Clock.h"

namespace {

using Log = std::vector<std::string>;
using Channel = IAudioBackend::ChannelId;

class Music : public ::testing::Test, protected fixtures::AudioFixture {
protected:
    void SetUp() override
    {
        for (const char* name : {"menu.wav", "a.wav", "b.wav"})
            SoundFile(name);
        music_.LoadMusic(Config("<root><music>"
                                "<stream name='menu'><track path='%Dmenu.wav'/></stream>"
                                "<stream name='level' type='random'><track path='%Da.wav'/><track path='%Db.wav'/></stream>"
                                "<stream name='duet' type='sync'><track path='%Da.wav'/><track path='%Db.wav'/></stream>"
                                "</music></root>"));
        Audio().log.clear();
    }
    // Update steps of 10 ms. The clock runs ahead of the process's, so a worker is first called
    // at the step after it was set and then once a period.
    void Step(int milliseconds)
    {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 10)
            Audio().Tick(now_ += 10);
    }
    // The volumes the channel was given, in order.
    std::vector<int> VolumesOf(Channel channel) const
    {
        const std::string prefix = "SetChannelVolume " + std::to_string(channel) + " ";
        std::vector<int> volumes;
        for (const std::string& line : const_cast<Music*>(this)->Audio().log)
            if (line.starts_with(prefix))
                volumes.push_back(std::stoi(line.substr(prefix.size())));
        return volumes;
    }
    bool Logged(const std::string& line) { return std::ranges::count(Audio().log, line) > 0; }
    IAudioBackend::ChannelStatus Status(Channel channel) { return Audio().GetChannelStatus(channel); }

    TCMusic music_;
    uint32_t now_ = plat::NowMs() + 100000;
};

std::vector<int> Ramp(int from, int to, int step)
{
    std::vector<int> values;
    for (int value = from; step > 0 ? value <= to : value >= to; value += step)
        values.push_back(value);
    return values;
}

TEST_F(Music, AFadeInReachesTheMusicVolumeInTwentyStepsAndFollowsItsChanges)
{
    music_.Change("menu");
    TCMusicChannel* menu = music_.GetSingleTrack("menu");
    ASSERT_TRUE(menu);
    const Channel channel = menu->Channel();
    EXPECT_EQ(Audio().log.front(), "LoadSample " + SoundFile("menu.wav") + " -> 1");
    EXPECT_EQ(Audio().log[1], "PlaySample 1 loop=1 group=-1 volume=0 pan=50");

    Step(500); // ten calls
    SetMusicVolume(50);
    Step(450);
    SetMusicSilenced(true);
    Step(50);
    Step(500); // the worker has gone
    std::vector<int> expected = Ramp(5, 50, 5);
    for (int level = 11; level <= 19; ++level)
        expected.push_back(int(level * 2.5 + 0.5));
    expected.push_back(0);
    EXPECT_EQ(VolumesOf(channel), expected);
    EXPECT_TRUE(Logged("SetGroupVolume -1 50"));
    EXPECT_TRUE(Logged("SetGroupVolume -1 0"));
    EXPECT_EQ(GetMusicVolume(), 50);
}

TEST_F(Music, APlayWithoutFadeInIsAtTheMusicVolumeAndFadesOutInTwentySteps)
{
    SetMusicVolume(80);
    TCMusicChannel* menu = music_.GetSingleTrack("menu");
    menu->Play(false);
    const Channel channel = menu->Channel();
    menu->Stop(true);
    Step(1900); // nineteen calls
    EXPECT_EQ(Status(channel), IAudioBackend::Playing);
    Step(100);
    EXPECT_EQ(Status(channel), IAudioBackend::Stopped);
    EXPECT_EQ(VolumesOf(channel), Ramp(80, 4, -4));
    EXPECT_EQ(Audio().log.back(), "UnloadSample 1");
    EXPECT_EQ(menu->Sample(), 0u);
    EXPECT_EQ(menu->Channel(), 0u);
}

TEST_F(Music, RestartingDuringAFadeOutLeavesTheNewPlayAlone)
{
    music_.Change("menu");
    TCMusicChannel* menu = music_.GetSingleTrack("menu");
    const Channel first = menu->Channel();
    Step(1000);
    music_.Change("menu"); // the same stream stops and starts over
    const Channel second = menu->Channel();
    EXPECT_NE(second, first);
    Step(3000);
    EXPECT_EQ(Status(first), IAudioBackend::Stopped);
    EXPECT_EQ(Status(second), IAudioBackend::Playing);
    EXPECT_EQ(VolumesOf(second).back(), 100);
    EXPECT_FALSE(Logged("UnloadSample 1"));

    // Leaving and coming back within the fade: the same again, and the sample is loaded once.
    music_.Change("level");
    music_.Change("menu");
    const Channel third = menu->Channel();
    Step(3000);
    EXPECT_EQ(Status(second), IAudioBackend::Stopped);
    EXPECT_EQ(Status(third), IAudioBackend::Playing);
    EXPECT_EQ(std::ranges::count_if(Audio().log, [](const std::string& line) { return line.starts_with("LoadSample"); }),
              2); // menu, then the track "level" drew

    music_.Change("");
    EXPECT_EQ(music_.CurrentId(), "menu");
    Step(2000);
    EXPECT_EQ(Status(third), IAudioBackend::Stopped);
    EXPECT_TRUE(Logged("UnloadSample 1"));
}

TEST_F(Music, ChangesStopTheCurrentStreamOnlyForAKnownOrEmptyName)
{
    music_.Change("");
    music_.Change("nope");
    EXPECT_EQ(Audio().log, Log{});
    EXPECT_EQ(music_.CurrentId(), "");

    music_.Change("duet"); // both tracks at once
    EXPECT_EQ(std::ranges::count_if(Audio().log, [](const std::string& line) { return line.starts_with("PlaySample"); }),
              2);
    Audio().log.clear();
    music_.Change("nope");
    EXPECT_EQ(Audio().log, Log{});
    music_.Pause();
    ASSERT_EQ(Audio().log.size(), 2u);
    for (const std::string& line : Audio().log)
        EXPECT_TRUE(line.starts_with("PauseChannel ") && line.ends_with(" 1")) << line;
    music_.Change("menu");
    EXPECT_EQ(music_.CurrentId(), "menu");
}

TEST_F(Music, LoadingStopsAtABrokenStreamAndSkipsAnUnknownType)
{
    struct Case {
        const char* streams;
        const char* loaded;
    };
    const Case cases[] = {
        {"<stream name='a'><track path='a'/></stream><stream><track path='x'/></stream>"
         "<stream name='b'><track path='b'/></stream>",
         "a"},
        {"<stream name='a'><track path='a'/></stream><stream name='a'><track path='x'/></stream>"
         "<stream name='b'><track path='b'/></stream>",
         "a"},
        {"<stream name='a'><track path='a'/></stream><stream name='b' type='loud'><track path='x'/></stream>"
         "<stream name='c' type='random'><track path='c'/></stream>",
         "ac"},
        {"<stream name='a'><track path='a'/></stream><stream name='b'><track path='b'/><track/></stream>"
         "<stream name='c'><track path='c'/></stream>",
         "a"},
    };
    for (const Case& test : cases) {
        TCMusic music;
        music.LoadMusic(Config(std::string("<root><music>") + test.streams + "</music></root>"));
        std::string loaded;
        for (const char* name : {"a", "b", "c"})
            if (TCMusicChannel* track = music.GetSingleTrack(name)) {
                EXPECT_EQ(track->Path(), name);
                loaded += name;
            }
        EXPECT_EQ(loaded, test.loaded) << test.streams;
    }
}

TEST(Tracks, StepByStepWrapsFromTheLastTrackToTheFirst)
{
    TCTracksStepByStep tracks;
    EXPECT_EQ(tracks.Next(), nullptr);
    for (const char* path : {"a", "b", "c"})
        tracks.Add(std::make_unique<TCMusicChannel>(path));
    std::string order;
    for (int i = 0; i < 7; ++i)
        order += tracks.Next()->Path();
    EXPECT_EQ(order, "abcabca");
}

TEST(Tracks, ARandomStreamNeverPlaysATrackTwiceInARow)
{
    TCTracksRandom tracks;
    EXPECT_EQ(tracks.Next(), nullptr);
    tracks.Add(std::make_unique<TCMusicChannel>("a"));
    EXPECT_EQ(tracks.Next()->Path(), "a");
    EXPECT_EQ(tracks.Next()->Path(), "a");
    for (const char* path : {"b", "c"})
        tracks.Add(std::make_unique<TCMusicChannel>(path));

    // The first cycle draws every track; each later one every track but the one that ended the
    // cycle before, so no track plays twice in a row.
    plat::CSRand(7);
    std::string cycle = "abc", last;
    std::set<std::string> orders;
    for (int round = 0; round < 100; ++round) {
        std::string drawn;
        for (size_t draw = 0; draw < cycle.size(); ++draw)
            drawn += tracks.Next()->Path();
        std::string sorted = drawn;
        std::ranges::sort(sorted);
        ASSERT_EQ(sorted, cycle) << "round " << round;
        ASSERT_NE(drawn.substr(0, 1), last) << "round " << round;
        last = drawn.substr(drawn.size() - 1);
        orders.insert(drawn);
        cycle = "abc";
        cycle.erase(cycle.find(last[0]), 1);
    }
    EXPECT_GE(orders.size(), 4u); // orders vary
}

} // namespace
