// The music players: the silent and BASS ones, and the FMOD one over a stand-in library that
// plays into counters.
#include "framework/app/NubraAppBase.h"
#include "Utf16File.h"
#include "framework/audio/FModMusicInterface.h"
#include "framework/audio/WaveFile.h"
#include "framework/util/PathUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace Nubra;

namespace {

struct FakeSample {
    std::string name;
    std::vector<uint8_t> data;
    unsigned mode = 0; // 16-bit stereo
    int frequency = 44100;
    int loopStart = -1, loopEnd = -1;
    bool freed = false;
};

struct FakeModule {
    int masterVolume = -1;
    bool looping = false;
    bool playing = false;
    bool paused = false;
    int order = -1;
    int plays = 0;
};

struct FakeChannel {
    FakeSample* sample = nullptr;
    int volume = -1;
    unsigned loopMode = 0;
    bool playing = false;
    bool paused = false;
    int plays = 0;
};

// The library's state; the entry points below are plain functions, so it is one per process.
struct FakeFMod {
    std::map<std::string, FakeSample> decodable; // ".ogg" files by the name the library gets
    std::set<std::string> songFiles;
    std::set<std::string> missingEntryPoints;
    std::vector<std::unique_ptr<FakeSample>> samples;
    std::map<std::string, std::unique_ptr<FakeModule>> modules;
    std::map<int, FakeChannel> channels;
    std::vector<std::string> loadsAsked;
    int opens = 0, closes = 0, inits = 0, shutdowns = 0;
    bool available = true;

    FakeSample* NewSample(FakeSample sample)
    {
        samples.push_back(std::make_unique<FakeSample>(std::move(sample)));
        return samples.back().get();
    }
    FakeModule& Module(const char* name) { return *modules.at(name); }
};

FakeFMod* fake = nullptr;

FakeSample* S(FSOUND_SAMPLE* sample) { return reinterpret_cast<FakeSample*>(sample); }
FSOUND_SAMPLE* H(FakeSample* sample) { return reinterpret_cast<FSOUND_SAMPLE*>(sample); }
FakeModule* M(FMUSIC_MODULE* module) { return reinterpret_cast<FakeModule*>(module); }

signed char Ok() { return 1; }
int BytesPerSample(unsigned mode) { return (mode & FSOUND_8BITS ? 1 : 2) * (mode & FSOUND_MONO ? 1 : 2); }

signed char SetBufferSize(int) { return Ok(); }
signed char SetHWND(void*) { return Ok(); }
signed char Init(int, int, unsigned)
{
    ++fake->inits;
    return Ok();
}
void Close() { ++fake->shutdowns; }

// A cache file loads when it exists on disk; an ".ogg" when the test made it decodable.
FSOUND_SAMPLE* SampleLoad(int, const char* name, unsigned, int)
{
    fake->loadsAsked.push_back(name);
    std::string file = name;
    if (file.ends_with(".wav") && std::filesystem::exists(file))
        return H(fake->NewSample(FakeSample{file, std::vector<uint8_t>(4, 0xCA)}));
    auto found = fake->decodable.find(file);
    return found == fake->decodable.end() ? nullptr : H(fake->NewSample(found->second));
}
FSOUND_SAMPLE* SampleAlloc(int, int length, unsigned mode, int frequency, int, int, int)
{
    FakeSample sample;
    sample.name = "joined";
    sample.data.resize(size_t(length * BytesPerSample(mode)));
    sample.mode = mode;
    sample.frequency = frequency;
    return H(fake->NewSample(sample));
}
void SampleFree(FSOUND_SAMPLE* sample) { S(sample)->freed = true; }
// Hands the data out in two parts, as a ring buffer would.
signed char SampleLock(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2, unsigned* length1,
                       unsigned* length2)
{
    std::vector<uint8_t>& data = S(sample)->data;
    if (offset != 0 || size_t(length) > data.size())
        return 0;
    *length1 = unsigned(length) / 2;
    *length2 = unsigned(length) - *length1;
    *part1 = data.data();
    *part2 = data.data() + *length1;
    return Ok();
}
signed char SampleUnlock(FSOUND_SAMPLE*, void*, void*, unsigned, unsigned) { return Ok(); }
signed char SetLoopPoints(FSOUND_SAMPLE* sample, int start, int end)
{
    S(sample)->loopStart = start;
    S(sample)->loopEnd = end;
    return Ok();
}
unsigned GetLength(FSOUND_SAMPLE* sample)
{
    return unsigned(S(sample)->data.size() / size_t(BytesPerSample(S(sample)->mode)));
}
signed char GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority)
{
    *frequency = S(sample)->frequency;
    *volume = 255;
    *pan = 128;
    *priority = 255;
    return Ok();
}
unsigned GetMode(FSOUND_SAMPLE* sample) { return S(sample)->mode; }
int PlaySound(int channel, FSOUND_SAMPLE* sample)
{
    FakeChannel& c = fake->channels[channel];
    c.sample = S(sample);
    c.playing = true;
    ++c.plays;
    return channel;
}
signed char StopSound(int channel)
{
    fake->channels[channel].playing = false;
    return Ok();
}
signed char SetVolume(int channel, int volume)
{
    fake->channels[channel].volume = volume;
    return Ok();
}
signed char SetPaused(int channel, signed char paused)
{
    fake->channels[channel].paused = paused;
    return Ok();
}
signed char SetLoopMode(int channel, unsigned mode)
{
    fake->channels[channel].loopMode = mode;
    return Ok();
}
signed char IsPlaying(int channel) { return fake->channels[channel].playing; }
FSOUND_STREAM* StreamOpen(const char*, unsigned, int) { return nullptr; }
signed char StreamClose(FSOUND_STREAM*) { return 0; }
int StreamPlay(int, FSOUND_STREAM*) { return -1; }
FMUSIC_MODULE* LoadSong(const char* name)
{
    if (!fake->songFiles.count(name))
        return nullptr;
    auto& module = fake->modules[name];
    module = std::make_unique<FakeModule>();
    return reinterpret_cast<FMUSIC_MODULE*>(module.get());
}
signed char PlaySong(FMUSIC_MODULE* module)
{
    M(module)->playing = true;
    ++M(module)->plays;
    return Ok();
}
signed char StopSong(FMUSIC_MODULE* module)
{
    M(module)->playing = false;
    return Ok();
}
signed char SetLooping(FMUSIC_MODULE* module, signed char looping)
{
    M(module)->looping = looping;
    return Ok();
}
signed char SetOrder(FMUSIC_MODULE* module, int order)
{
    M(module)->order = order;
    return Ok();
}
signed char SongPaused(FMUSIC_MODULE* module, signed char paused)
{
    M(module)->paused = paused;
    return Ok();
}
signed char SetMasterVolume(FMUSIC_MODULE* module, int volume)
{
    M(module)->masterVolume = volume;
    return Ok();
}
signed char SongPlaying(FMUSIC_MODULE* module) { return M(module)->playing; }

class FakeLibrary : public FModLibrary {
public:
    FakeLibrary() { ++fake->opens; }
    ~FakeLibrary() override { ++fake->closes; }

    void* Symbol(const char* name) override
    {
        static const std::map<std::string, void*> kEntries = {
            {"_FSOUND_SetBufferSize@4", reinterpret_cast<void*>(&SetBufferSize)},
            {"_FSOUND_SetHWND@4", reinterpret_cast<void*>(&SetHWND)},
            {"_FSOUND_Init@12", reinterpret_cast<void*>(&Init)},
            {"_FSOUND_Close@0", reinterpret_cast<void*>(&Close)},
            {"_FSOUND_Sample_Load@16", reinterpret_cast<void*>(&SampleLoad)},
            {"_FSOUND_Sample_Alloc@28", reinterpret_cast<void*>(&SampleAlloc)},
            {"_FSOUND_Sample_Free@4", reinterpret_cast<void*>(&SampleFree)},
            {"_FSOUND_Sample_Lock@28", reinterpret_cast<void*>(&SampleLock)},
            {"_FSOUND_Sample_Unlock@20", reinterpret_cast<void*>(&SampleUnlock)},
            {"_FSOUND_Sample_SetLoopPoints@12", reinterpret_cast<void*>(&SetLoopPoints)},
            {"_FSOUND_Sample_GetLength@4", reinterpret_cast<void*>(&GetLength)},
            {"_FSOUND_Sample_GetDefaults@20", reinterpret_cast<void*>(&GetDefaults)},
            {"_FSOUND_Sample_GetMode@4", reinterpret_cast<void*>(&GetMode)},
            {"_FSOUND_PlaySound@8", reinterpret_cast<void*>(&PlaySound)},
            {"_FSOUND_StopSound@4", reinterpret_cast<void*>(&StopSound)},
            {"_FSOUND_SetVolume@8", reinterpret_cast<void*>(&SetVolume)},
            {"_FSOUND_SetPaused@8", reinterpret_cast<void*>(&SetPaused)},
            {"_FSOUND_SetLoopMode@8", reinterpret_cast<void*>(&SetLoopMode)},
            {"_FSOUND_IsPlaying@4", reinterpret_cast<void*>(&IsPlaying)},
            {"_FSOUND_Stream_OpenFile@12", reinterpret_cast<void*>(&StreamOpen)},
            {"_FSOUND_Stream_Close@4", reinterpret_cast<void*>(&StreamClose)},
            {"_FSOUND_Stream_Play@8", reinterpret_cast<void*>(&StreamPlay)},
            {"_FMUSIC_LoadSong@4", reinterpret_cast<void*>(&LoadSong)},
            {"_FMUSIC_PlaySong@4", reinterpret_cast<void*>(&PlaySong)},
            {"_FMUSIC_StopSong@4", reinterpret_cast<void*>(&StopSong)},
            {"_FMUSIC_SetLooping@8", reinterpret_cast<void*>(&SetLooping)},
            {"_FMUSIC_SetOrder@8", reinterpret_cast<void*>(&SetOrder)},
            {"_FMUSIC_SetPaused@8", reinterpret_cast<void*>(&SongPaused)},
            {"_FMUSIC_SetMasterVolume@8", reinterpret_cast<void*>(&SetMasterVolume)},
            {"_FMUSIC_IsPlaying@4", reinterpret_cast<void*>(&SongPlaying)},
        };
        auto found = kEntries.find(name);
        return found == kEntries.end() || fake->missingEntryPoints.count(name) ? nullptr : found->second;
    }
};

std::unique_ptr<FModLibrary> OpenFake()
{
    if (!fake->available)
        return nullptr;
    return std::make_unique<FakeLibrary>();
}

// The stand-in library and an empty data folder for the life of a test.
struct FModFixture : ::testing::Test {
    FakeFMod state;
    fixtures::TempFolder dataFolder{"nubra_music_test"};
    std::string savedDataFolder = GetAppDataFolder();

    FModFixture()
    {
        fake = &state;
        SetFModLibraryOpener(&OpenFake);
        SetAppDataFolder(dataFolder.File(""));
        state.songFiles.insert("songs/theme.xm");
    }
    ~FModFixture() override
    {
        SetFModLibraryOpener(nullptr);
        SetAppDataFolder(savedDataFolder);
        fake = nullptr;
    }

    // "<name>.ogg" decodes to samples whose bytes count up from `first`.
    void Decodable(const std::string& name, int samples, uint8_t first = 0, unsigned mode = 0)
    {
        FakeSample sample;
        sample.name = name;
        sample.mode = mode;
        for (int i = 0; i < samples * BytesPerSample(mode); ++i)
            sample.data.push_back(uint8_t(first + i));
        state.decodable[name + ".ogg"] = sample;
    }
};

TEST(MusicInterface, SilentOneAndBassOneAcceptSongsDifferentlyAndPlayNothing)
{
    MusicInterface silent;
    BassMusicInterface bass;
    for (MusicInterface* music : {&silent, static_cast<MusicInterface*>(&bass)}) {
        music->PlayMusic(1, 0, false);
        music->FadeIn(1, -1, 0.1, false);
        music->SetSongVolume(1, 0.5);
        music->SetVolume(0.3);
        music->Update();
        EXPECT_FALSE(music->IsPlaying(1));
    }
    EXPECT_FALSE(silent.LoadMusic(1, "songs/theme.xm"));
    EXPECT_TRUE(bass.LoadMusic(1, "songs/theme.xm"));
}

TEST_F(FModFixture, ApplicationChoosesThePlayerAndFallsBackToSilenceWithoutTheLibrary)
{
    NubraAppBase app;
    EXPECT_TRUE(dynamic_cast<BassMusicInterface*>(app.CreateMusicInterface().get()));
    app.useFMod = true;
    EXPECT_TRUE(dynamic_cast<FModMusicInterface*>(app.CreateMusicInterface().get()));
    state.available = false;
    auto isSilent = [](const std::unique_ptr<MusicInterface>& music) {
        const MusicInterface& player = *music;
        return typeid(player) == typeid(MusicInterface);
    };
    EXPECT_TRUE(isSilent(app.CreateMusicInterface()));
    app.noMusic = true;
    state.available = true;
    EXPECT_TRUE(isSilent(app.CreateMusicInterface()));
}

TEST_F(FModFixture, MissingLibraryOrEntryPointLeavesTheInterfaceSilent)
{
    state.available = false;
    {
        FModMusicInterface music;
        EXPECT_FALSE(music.IsAvailable());
        EXPECT_FALSE(music.LoadMusic(1, "songs/theme.xm"));
        music.PlayMusic(1, 0, false);
        music.Update();
    }
    state.available = true;
    state.missingEntryPoints.insert("_FMUSIC_IsPlaying@4");
    FModMusicInterface music;
    EXPECT_FALSE(music.IsAvailable());
    EXPECT_EQ(state.opens, 1);
    EXPECT_EQ(state.closes, 1); // the incomplete library is not kept
    EXPECT_EQ(state.inits, 0);
}

TEST_F(FModFixture, TheLibraryIsSharedAndFreedWithTheLastInterface)
{
    auto first = std::make_unique<FModMusicInterface>();
    auto second = std::make_unique<FModMusicInterface>();
    EXPECT_TRUE(first->IsAvailable());
    EXPECT_EQ(state.opens, 1);
    EXPECT_EQ(state.inits, 1);
    first.reset();
    EXPECT_EQ(state.closes, 0);
    second.reset();
    EXPECT_EQ(state.closes, 1);
    EXPECT_EQ(state.shutdowns, 1);
    FModMusicInterface again;
    EXPECT_EQ(state.opens, 2);
}

TEST(FModMusic, VolumeIsMasterTimesSongTimesScaleTruncated)
{
    struct Case {
        double master, volume;
        int scale, expected;
    } cases[] = {{0.5, 1.0, 100, 50}, {0.85, 1.0, 100, 85}, {1.0, 0.999, 100, 99}, {0.3, 0.5, 255, 38}, {0, 1, 100, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(FModMusicInterface::ScaledVolume(c.master, c.volume, c.scale), c.expected);
}

TEST_F(FModFixture, PlayingATrackerSongSetsVolumeLoopingAndOrder)
{
    FModMusicInterface music;
    EXPECT_FALSE(music.LoadMusic(2, "songs/none.xm"));
    EXPECT_EQ(music.songs.count(2), 0u);
    ASSERT_TRUE(music.LoadMusic(1, "songs/theme.xm"));
    FakeModule& song = state.Module("songs/theme.xm");
    music.SetVolume(0.5);
    music.PlayMusic(1, 3, false);
    EXPECT_EQ(song.masterVolume, 50);
    EXPECT_TRUE(song.looping);
    EXPECT_TRUE(music.IsPlaying(1));
    EXPECT_EQ(song.order, 3);
    music.PauseMusic(1);
    EXPECT_TRUE(song.paused);
    music.ResumeMusic(1);
    EXPECT_FALSE(song.paused);
    music.SetSongVolume(1, 0.5);
    EXPECT_EQ(song.masterVolume, 25);
    music.StopAllMusic();
    EXPECT_FALSE(song.playing);
    EXPECT_EQ(music.songs[1].volume, 0.0);

    music.PlayMusic(7, 0, false); // unknown ids do nothing
    music.FadeOut(7, true, 0.1);
    EXPECT_FALSE(music.IsPlaying(7));
    EXPECT_EQ(music.songs.count(7), 0u);
}

TEST_F(FModFixture, FadeInClimbsToTheCapWithoutRestartingAPlayingSong)
{
    FModMusicInterface music;
    ASSERT_TRUE(music.LoadMusic(1, "songs/theme.xm"));
    FakeModule& song = state.Module("songs/theme.xm");
    music.PlayMusic(1, 0, false);
    music.SetSongVolume(1, 0.25);
    music.FadeIn(1, -1, 0.3, true);
    EXPECT_EQ(song.plays, 1);
    EXPECT_EQ(song.order, 0); // -1 keeps the position
    EXPECT_FALSE(song.looping);
    std::vector<int> volumes;
    for (int i = 0; i < 4; ++i) {
        music.Update();
        volumes.push_back(song.masterVolume);
    }
    EXPECT_EQ(volumes, std::vector<int>({55, 85, 100, 100}));
    EXPECT_EQ(music.songs[1].volume, 1.0);
    EXPECT_EQ(music.songs[1].volumeStep, 0.0);

    music.StopMusic(1);
    music.FadeIn(1, 2, 0.5, false); // from the stop: starts again at volume 0
    EXPECT_EQ(song.plays, 2);
    EXPECT_EQ(song.order, 2);
    EXPECT_EQ(song.masterVolume, 0);
}

TEST_F(FModFixture, FadeOutWithStopEndsTheSongOnTheUpdateThatCrossesZero)
{
    FModMusicInterface music;
    ASSERT_TRUE(music.LoadMusic(1, "songs/theme.xm"));
    FakeModule& song = state.Module("songs/theme.xm");
    music.PlayMusic(1, 0, false);
    music.SetSongVolume(1, 0.3);
    music.FadeOut(1, true, 0.2);
    music.Update();
    EXPECT_TRUE(song.playing);
    EXPECT_EQ(song.masterVolume, 9); // 0.3 - 0.2 is a little below 0.1
    music.Update();
    EXPECT_FALSE(song.playing);
    EXPECT_EQ(music.songs[1].volume, 0.0);
    EXPECT_EQ(song.masterVolume, 0);

    music.PlayMusic(1, 0, false);
    music.FadeOutAll(false, 0.6);
    music.Update();
    music.Update();
    EXPECT_TRUE(song.playing); // faded to silence, still running
    EXPECT_EQ(song.masterVolume, 0);
}

TEST_F(FModFixture, SampleMusicPlaysOnTheChannelOfItsIdWithItsLoopMode)
{
    Decodable("music/intro", 8);
    FModMusicInterface music;
    ASSERT_TRUE(music.LoadSampleMusic(4, "music/intro", false));
    EXPECT_FALSE(music.LoadSampleMusic(5, "music/none", true));
    EXPECT_EQ(music.songs.count(5), 0u);
    music.SetVolume(0.5);
    music.PlayMusic(4, 0, false);
    FakeChannel& channel = state.channels[4];
    EXPECT_EQ(channel.sample->name, "music/intro");
    EXPECT_EQ(channel.loopMode, FSOUND_LOOP_OFF);
    EXPECT_EQ(channel.volume, 50);
    EXPECT_FALSE(music.IsPlaying(4)); // only tracker songs report it
    music.FadeIn(4, -1, 0.1, false);
    EXPECT_EQ(channel.plays, 1);
    music.StopMusic(4);
    music.FadeIn(4, -1, 0.1, false);
    EXPECT_EQ(channel.plays, 2);
    music.Update();
    EXPECT_EQ(channel.volume, 5);
}

TEST(WaveFile, HeaderOf16BitStereoAt44100)
{
    auto header = MakeWaveHeader(PcmFormat{2, 44100, 16}, 1000);
    auto u32 = [&](size_t at) { return header[at] | header[at + 1] << 8 | header[at + 2] << 16 | header[at + 3] << 24; };
    auto u16 = [&](size_t at) { return header[at] | header[at + 1] << 8; };
    EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 1036);
    EXPECT_EQ(std::string(header.begin() + 8, header.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16);
    EXPECT_EQ(u16(20), 1);
    EXPECT_EQ(u16(22), 2);
    EXPECT_EQ(u32(24), 44100);
    EXPECT_EQ(u32(28), 176400);
    EXPECT_EQ(u16(32), 4);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(std::string(header.begin() + 36, header.begin() + 40), "data");
    EXPECT_EQ(u32(40), 1000);
    EXPECT_EQ(MakeWaveHeader(PcmFormat{1, 22050, 8}, 0)[32], 1); // mono 8-bit aligns on bytes
}

TEST_F(FModFixture, DecodedSamplesAreCachedInTheDataFolderAndLoadedFromThereLater)
{
    Decodable("music/theme", 3, 10, FSOUND_MONO);
    const std::string cache = dataFolder.File("music/cached/theme.wav");
    EXPECT_EQ(FModMusicInterface::SampleCachePath("music/theme"), cache);
    EXPECT_EQ(FModMusicInterface::SampleCachePath("../up/x"), dataFolder.File("_/up/cached/x.wav"));
    {
        FModMusicInterface music;
        ASSERT_TRUE(music.LoadSampleMusic(1, "music/theme", true));
    }
    std::ifstream file(cache, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto header = MakeWaveHeader(PcmFormat{1, 44100, 16}, 6);
    std::vector<uint8_t> expected(header.begin(), header.end());
    for (uint8_t b : {10, 11, 12, 13, 14, 15})
        expected.push_back(b);
    EXPECT_EQ(bytes, expected);

    state.loadsAsked.clear();
    FModMusicInterface music;
    ASSERT_TRUE(music.LoadSampleMusic(1, "music/theme", true));
    EXPECT_EQ(state.loadsAsked, std::vector<std::string>({cache}));
}

TEST_F(FModFixture, WithoutADataFolderNothingIsCached)
{
    SetAppDataFolder("");
    Decodable("music/theme", 2);
    FModMusicInterface music;
    ASSERT_TRUE(music.LoadSampleMusic(1, "music/theme", true));
    EXPECT_EQ(state.loadsAsked, std::vector<std::string>({"music/theme.ogg"}));
    EXPECT_FALSE(std::filesystem::exists("music/cached"));
}

TEST_F(FModFixture, IntroAndLoopJoinIntoOneSampleThatLoopsOverTheSecondPart)
{
    SetAppDataFolder("");
    Decodable("music/intro", 2, 0);
    Decodable("music/loop", 3, 100);
    Decodable("music/mono", 3, 0, FSOUND_MONO);
    FModMusicInterface music;
    ASSERT_TRUE(music.LoadSampleMusicWithLoop(2, "music/intro", "music/loop", true));
    music.PlayMusic(2, 0, false);
    FakeSample* joined = state.channels[2].sample;
    ASSERT_NE(joined, nullptr);
    std::vector<uint8_t> expected;
    for (int i = 0; i < 8; ++i)
        expected.push_back(uint8_t(i));
    for (int i = 0; i < 12; ++i)
        expected.push_back(uint8_t(100 + i));
    EXPECT_EQ(joined->data, expected);
    EXPECT_EQ(joined->loopStart, 2);
    EXPECT_EQ(joined->loopEnd, 4);
    EXPECT_EQ(state.channels[2].loopMode, FSOUND_LOOP_NORMAL);
    for (const auto& sample : state.samples)
        EXPECT_EQ(sample->freed, sample.get() != joined) << sample->name;

    EXPECT_FALSE(music.LoadSampleMusicWithLoop(3, "music/intro", "music/mono", true)); // layouts differ
    EXPECT_FALSE(music.LoadSampleMusicWithLoop(3, "music/intro", "music/none", true));
    EXPECT_EQ(music.songs.count(3), 0u);
    for (const auto& sample : state.samples)
        EXPECT_EQ(sample->freed, sample.get() != joined) << sample->name;
}

} // namespace
