#include "engine/ui/TCAnimController.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/core/GameClock.h"

namespace fs = std::filesystem;

namespace {

AnmClip Clip(const std::string& name, int loop, int fps, int frames)
{
    AnmClip clip;
    clip.file = "gfx\\sheet.png";
    clip.name = name;
    clip.width = 64;
    clip.loop = loop;
    clip.fps = fps;
    for (int i = 0; i < frames; ++i)
        clip.frames.push_back({32 * i, 0, 32, 48, i, 0});
    return clip;
}

// The worked example of the format: one clip "walk01", two frames.
std::vector<uint8_t> WorkedExample() { return WriteAnm({Clip("walk01", 0, 10, 2)}); }

TEST(AnmFile, TheWriterLaysOutTheFormatAndTheParserReadsItBack)
{
    AnmClip walk = Clip("walk01", 0, 10, 2);
    walk.file = "gfx\\walker.png";
    walk.frames = {{0, 0, 32, 48, 0, 0}, {32, 0, 32, 48, 0, 0}};
    const std::vector<uint8_t> bytes = WriteAnm({walk});
    ASSERT_EQ(bytes.size(), 232u);
    const std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 20);
    EXPECT_EQ(head, (std::vector<uint8_t>{0x41, 0x4e, 0x4d, 0x21, 0x00, 0x00, 0x40, 0x00, 0xdc, 0x00, 0x00, 0x00, 0x01,
                                          0x00, 0x00, 0x00, 0x08, 0x00, 0x40, 0x00}));

    std::vector<AnmClip> clips;
    std::string error;
    ASSERT_TRUE(ParseAnm(bytes.data(), bytes.size(), clips, error)) << error;
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].file, "gfx\\walker.png");
    EXPECT_EQ(clips[0].name, "walk01");
    EXPECT_EQ(clips[0].width, 64);
    EXPECT_EQ(clips[0].fps, 10);
    ASSERT_EQ(clips[0].frames.size(), 2u);
    EXPECT_EQ(clips[0].frames[1].srcX, 32);
    EXPECT_EQ(clips[0].frames[1].height, 48);

    const std::vector<uint8_t> single = WriteAnm({Clip("idle", 1, 24, 1)});
    ASSERT_TRUE(ParseAnm(single.data(), single.size(), clips, error));
    EXPECT_EQ(clips[0].fps, 0) << "a clip of one frame has no rate";
}

TEST(AnmFile, DamagedFilesAreRefusedWhole)
{
    auto put = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = uint8_t(v >> (8 * i));
    };
    // File offsets of the worked example: body at 12, clip record at 20, frame block at 160.
    const std::pair<const char*, std::function<void(std::vector<uint8_t>&)>> cases[] = {
        {"wrong magic", [](auto& b) { b[3] = '?'; }},
        {"shorter than a header", [](auto& b) { b.resize(10); }},
        {"body past the file", [](auto& b) { b.pop_back(); }},
        {"body too small", [&](auto& b) { put(b, 8, 4); }},
        {"clip array below the base", [&](auto& b) { put(b, 16, 0x003FFFFF); }},
        {"more clips than the body", [&](auto& b) { put(b, 12, 2); }},
        {"a huge clip count", [&](auto& b) { put(b, 12, 0xFFFFFFFF); }},
        {"file name without its end", [](auto& b) { std::fill(b.begin() + 20, b.begin() + 84, 'a'); }},
        {"clip name without its end", [](auto& b) { std::fill(b.begin() + 88, b.begin() + 152, 'b'); }},
        {"frame block outside", [&](auto& b) { put(b, 156, 0x00400000 + 200); }},
        {"negative frame count", [&](auto& b) { put(b, 176, 0xFFFFFFFF); }},
        {"frames past the end", [&](auto& b) { put(b, 176, 3); }},
        {"frames far away", [&](auto& b) { put(b, 180, 0xFFFFFFF0); }},
    };
    for (const auto& [name, damage] : cases) {
        std::vector<uint8_t> bytes = WorkedExample();
        damage(bytes);
        std::vector<AnmClip> clips(1);
        std::string error;
        EXPECT_FALSE(ParseAnm(bytes.data(), bytes.size(), clips, error)) << name;
        EXPECT_TRUE(clips.empty()) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
}

class Owner : public TCAnimOwner {
public:
    void OnAnimationStopped() override { ++stops; }
    int stops = 0;
};

// Files under "anm" in a scratch working folder, and a frame time of 1/8 s.
class AnimController : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = fs::current_path();
        folder_ = home_ / ("anim_controller_" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "anm");
        fs::current_path(folder_);
        savedFrameTime_ = gFrameTime;
        gFrameTime = 0.125f;
    }
    void TearDown() override
    {
        gFrameTime = savedFrameTime_;
        fs::current_path(home_);
        fs::remove_all(folder_);
    }
    static void Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream("anm/" + name + ".anm", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // The frame and the cue flag after each of `steps` updates.
    std::pair<std::vector<int>, std::vector<bool>> Run(int steps)
    {
        std::vector<int> frames;
        std::vector<bool> cues;
        for (int i = 0; i < steps; ++i) {
            bool cue = false;
            controller.Update(&cue);
            frames.push_back(controller.GetFrameIndex());
            cues.push_back(cue);
        }
        return {frames, cues};
    }

    Owner owner;
    TCAnimController controller{&owner};
    fs::path home_, folder_;
    float savedFrameTime_ = 0.0f;
};

TEST_F(AnimController, LoopModesPlayTheirFramesAndRaiseTheEndOnlyOnce)
{
    Write("modes", WriteAnm({Clip("forward", 1, 8, 4), Clip("backward", 2, 8, 4), Clip("looped", 0, 8, 4), Clip("still", 1, 8, 1)}));
    ASSERT_TRUE(controller.LoadAnm("modes"));

    ASSERT_TRUE(controller.Play("forward", false));
    EXPECT_EQ(controller.GetClipDuration(), 0.5f);
    auto [frames, cues] = Run(6);
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 3, 3}));
    EXPECT_EQ(cues, (std::vector<bool>{false, false, false, true, false, false}));
    EXPECT_EQ(controller.GetState(), TCAnimController::Playing);

    // Backward: from the last frame down to the first, the end raised when it gets there.
    ASSERT_TRUE(controller.Play("backward", false));
    std::tie(frames, cues) = Run(6);
    EXPECT_EQ(frames, (std::vector<int>{2, 1, 0, 0, 0, 0}));
    EXPECT_EQ(cues, (std::vector<bool>{false, false, false, true, false, false}));

    ASSERT_TRUE(controller.Play("looped", false));
    std::tie(frames, cues) = Run(12);
    EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 4), std::vector<int>(frames.begin() + 4, frames.begin() + 8));
    EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 4), std::vector<int>(frames.begin() + 8, frames.end()));
    EXPECT_EQ(cues, std::vector<bool>(12, false));

    ASSERT_TRUE(controller.Play("still", false));
    EXPECT_EQ(controller.GetClipDuration(), 0.0f);
    EXPECT_EQ(controller.GetCurrentClip()->fps, 0);
    std::tie(frames, cues) = Run(4);
    EXPECT_EQ(frames, std::vector<int>(4, 0));
    EXPECT_EQ(cues, std::vector<bool>(4, false));
    ASSERT_NE(controller.GetCurrentFrame(), nullptr);
    EXPECT_EQ(controller.GetCurrentFrame()->srcX, 0);
}

TEST_F(AnimController, KeepingThePositionAndRestarting)
{
    Write("keep", WriteAnm({Clip("a", 0, 8, 4), Clip("b", 2, 8, 4)}));
    ASSERT_TRUE(controller.LoadAnm("keep"));
    ASSERT_TRUE(controller.Play("a", false));
    Run(2);
    EXPECT_EQ(controller.GetFrameIndex(), 1);
    ASSERT_TRUE(controller.Play("a", true));
    EXPECT_EQ(Run(1).first, std::vector<int>{2});
    EXPECT_EQ(owner.stops, 0);
    ASSERT_TRUE(controller.Play("a", false));
    EXPECT_EQ(owner.stops, 1) << "the running clip was stopped";
    EXPECT_EQ(Run(1).first, std::vector<int>{0});
    ASSERT_TRUE(controller.Play("b", false));
    EXPECT_EQ(Run(1).first, std::vector<int>{2}) << "a backward clip starts from its end";

    EXPECT_TRUE(controller.Stop());
    EXPECT_FALSE(controller.Stop());
    EXPECT_EQ(controller.GetState(), TCAnimController::Stopped);
    EXPECT_EQ(controller.GetCurrentClip(), nullptr);
    EXPECT_EQ(Run(1).second, std::vector<bool>{false});
}

TEST_F(AnimController, ACuePausesAtItsFrameAndResumeGoesOnAfterIt)
{
    Write("cue", WriteAnm({Clip("long", 0, 8, 8)}));
    ASSERT_TRUE(controller.LoadAnm("cue"));
    controller.SetFrameMarker(2); // no clip yet: ignored
    ASSERT_TRUE(controller.Play("long", false));
    controller.SetFrameMarker(-1);
    controller.SetFrameMarker(9);
    controller.SetFrameMarker(3);
    auto [frames, cues] = Run(4);
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 3, 3}));
    EXPECT_EQ(cues, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(controller.GetState(), TCAnimController::Paused);
    EXPECT_FALSE(controller.Pause());
    ASSERT_TRUE(controller.Resume());
    // From 4/8 s on: trunc(7 x 0.625) = 4.
    EXPECT_EQ(Run(1).first, std::vector<int>{4});
}

TEST_F(AnimController, VariantsAreContiguousAndEachCanBePicked)
{
    Write("variants", WriteAnm({Clip("walk01", 0, 8, 2), Clip("walk02", 0, 8, 2), Clip("idle01", 0, 8, 2), Clip("idle02", 0, 8, 2),
                                Clip("idle03", 0, 8, 2), Clip("run02", 0, 8, 2), Clip("jump", 0, 8, 2), Clip("jump01", 0, 8, 2)}));
    EXPECT_FALSE(controller.Play("walk", false)) << "nothing loaded";
    ASSERT_TRUE(controller.LoadAnm("variants"));
    for (const char* name : {"walk", "idle"}) {
        std::set<std::string> picked;
        for (int i = 0; i < 200; ++i) {
            ASSERT_TRUE(controller.Play(name, false));
            picked.insert(controller.GetCurrentClip()->name);
        }
        EXPECT_EQ(picked.size(), std::string(name) == "walk" ? 2u : 3u) << name;
    }
    EXPECT_FALSE(controller.Play("run", false)) << "run01 is missing";
    EXPECT_FALSE(controller.Play("", false));
    ASSERT_TRUE(controller.Play("jump", false));
    EXPECT_EQ(controller.GetCurrentClip()->name, "jump") << "an exact name wins";
}

TEST_F(AnimController, ARefusedFileKeepsTheClipsAndAReloadDropsOldGroups)
{
    Write("first", WriteAnm({Clip("walk01", 0, 8, 2), Clip("other", 0, 8, 2)}));
    std::vector<uint8_t> badMagic = WriteAnm({Clip("x", 0, 8, 2)});
    badMagic[0] = 'B';
    Write("bad", badMagic);
    std::vector<uint8_t> truncated = WriteAnm({Clip("y", 0, 8, 4)});
    truncated.resize(truncated.size() - 30);
    truncated[8] = uint8_t(truncated.size() - 12);
    Write("short", truncated);
    ASSERT_TRUE(controller.LoadAnm("first"));
    ASSERT_TRUE(controller.Play("walk", false));

    EXPECT_FALSE(controller.LoadAnm("bad"));
    EXPECT_FALSE(controller.LoadAnm("short"));
    EXPECT_FALSE(controller.LoadAnm("absent"));
    EXPECT_TRUE(controller.Play("walk", false));

    Write("second", WriteAnm({Clip("walk01", 0, 8, 3)}));
    ASSERT_TRUE(controller.LoadAnm("second"));
    ASSERT_TRUE(controller.Play("walk", false));
    EXPECT_EQ(controller.GetCurrentClip()->frames.size(), 3u) << "the group was built again for this file";
    controller.Unload();
    EXPECT_FALSE(controller.Play("walk", false));
}

TEST(ShippedContent, TheSteamAnimationPlays)
{
    const auto previous = fs::current_path();
    fs::current_path(std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data");
    const float savedFrameTime = gFrameTime;
    gFrameTime = 0.125f;
    TCAnimController steam(nullptr);
    EXPECT_TRUE(steam.LoadAnm("steam"));
    EXPECT_TRUE(steam.Play("steam", false));
    std::set<int> shown;
    for (int i = 0; i < 10; ++i) {
        steam.Update(nullptr);
        shown.insert(steam.GetFrameIndex());
    }
    EXPECT_GE(shown.size(), 4u);
    gFrameTime = savedFrameTime;
    fs::current_path(previous);
}

} // namespace
