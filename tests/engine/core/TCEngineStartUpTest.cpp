#include "engine/core/TCEngine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "Utf16File.h"
#include "engine/core/FakeAudioBackend.h"
#include "engine/core/SoundLibrary.h"
#include "framework/app/AppTestSupport.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/CRand.h"

namespace {

// An engine that notes each loader as start-up reaches it and plays through the fake back end.
class RecordingEngine : public TCEngine {
public:
    RecordingEngine() { productName = apptest::UniqueProduct("EngineStartUp"); }

    bool ChangeDirHook(const std::string&) override { return true; }
    void UpdateFrames() override
    {
        TCEngine::UpdateFrames();
        if (completionHandled)
            Shutdown();
    }

    std::vector<std::string> steps;
    FakeAudioBackend* audio = nullptr;
    int firstLoadingDraw = -1;
    bool deviceAvailable = true;

protected:
    std::unique_ptr<IAudioBackend> CreateAudioBackend() override
    {
        auto fake = std::make_unique<FakeAudioBackend>();
        fake->deviceAvailable = deviceAvailable;
        audio = fake.get();
        Note("audio");
        return fake;
    }
    void LoadEffects() override { Note("effects"); }
    void LoadEffectConstants() override { Note("effect constants"); }
    void LoadCallbackParamTable() override
    {
        Note("callback params");
        firstLoadingDraw = plat::CRand();
    }
    void LoadMusic(pugi::xml_node root) override { Note("music", root); }
    void LoadSounds(pugi::xml_node root) override { Note("sounds", root); }
    void LoadTextures(pugi::xml_node root) override { Note("textures", root); }
    void LoadFonts(pugi::xml_node root) override { Note("fonts", root); }
    void LoadCursors(pugi::xml_node root) override { Note("cursors", root); }
    void SetCursorMode(const std::string& mode) override { Note("cursor " + mode); }
    void ShowCursorSet(bool show) override { Note(show ? "cursor shown" : "cursor hidden"); }
    void LoadingThreadCompleted() override
    {
        Note("completed");
        TCEngine::LoadingThreadCompleted();
    }

private:
    void Note(const std::string& step, pugi::xml_node root = {})
    {
        std::lock_guard lock(mutex_);
        steps.push_back(root ? step + " from " + root.attribute("of").value() : step);
    }
    std::mutex mutex_;
};

// A data root of its own for each test; the working folder and the variable come back after.
class EngineStartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        setenv("VELMIRA_DATA_ROOT", folder_.File("").c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("VELMIRA_DATA_ROOT");
        std::filesystem::current_path(previous_);
    }
    void WriteConfig()
    {
        std::filesystem::create_directories(folder_.File("cfg"));
        std::ofstream(folder_.File("cfg/cfg.xml")) << "<root of='cfg'><sounds/></root>";
        std::ofstream(folder_.File("cfg/ui.xml")) << "\xEF\xBB\xBF<root of='ui'/>";
    }

    fixtures::TempFolder folder_{"engine_start_up"};
    std::filesystem::path previous_;
};

TEST_F(EngineStartUp, LoadersRunInOrderWithTheirDocumentsFromTheDataRoot)
{
    WriteConfig();
    RecordingEngine engine;
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder_.File("")).parent_path());
    EXPECT_EQ(engine.programFolder, folder_.File(""));
    engine.Init();
    EXPECT_TRUE(IsSoundUp());
    engine.Start();

    EXPECT_EQ(engine.steps, (std::vector<std::string>{"effects", "effect constants", "audio", "callback params",
                                                      "music from cfg", "sounds from cfg", "textures from ui",
                                                      "fonts from ui", "cursors from ui", "cursor normal",
                                                      "cursor hidden", "completed", "cursor shown"}));
    // The loading thread draws from the run's seed, so a replayed demo draws the same.
    plat::CSRand(engine.randomSeed + 1);
    EXPECT_EQ(engine.firstLoadingDraw, plat::CRand());
}

TEST_F(EngineStartUp, MissingDocumentsGiveEmptyRootsAndNoSoundStillStarts)
{
    RecordingEngine engine;
    engine.deviceAvailable = false;
    engine.Init();
    EXPECT_FALSE(IsSoundUp());
    engine.Start();
    EXPECT_EQ(engine.steps[4], "music");
    EXPECT_EQ(engine.steps[8], "cursors");
}

TEST_F(EngineStartUp, FocusPausesAllSoundOnlyWhileSoundIsUp)
{
    for (bool device : {true, false}) {
        RecordingEngine engine;
        engine.deviceAvailable = device;
        engine.Init();
        FakeAudioBackend& audio = *engine.audio;
        std::ofstream("a.wav") << "sound";
        const auto channel = audio.PlaySample(audio.LoadSample("a.wav"), true, 0, 100, 50);
        const size_t callsBefore = audio.calls.size();

        engine.LostFocus();
        EXPECT_EQ(audio.IsPausedAll(), device);
        EXPECT_EQ(audio.IsChannelSilenced(channel), device);
        engine.GotFocus();
        EXPECT_FALSE(audio.IsPausedAll());
        EXPECT_FALSE(audio.IsChannelSilenced(channel));
        if (!device) {
            EXPECT_EQ(audio.calls.size(), callsBefore);
        }
    }
}

TEST_F(EngineStartUp, WidgetsLockRaisesTheRootDialogOverEveryScreen)
{
    RecordingEngine engine;
    ASSERT_NE(gRootDialog, nullptr);
    EXPECT_FALSE(gRootDialog->visible);
    auto* screen = new Nubra::Widget();
    engine.widgetManager->AddWidget(screen);

    WidgetsLock();
    EXPECT_TRUE(gRootDialog->visible);
    EXPECT_EQ(engine.widgetManager->children.back(), gRootDialog);
    EXPECT_TRUE(gRootDialog->dirty);
    WidgetsUnlock();
    EXPECT_FALSE(gRootDialog->visible);
}

TEST_F(EngineStartUp, TextVariablesAreCreatedOnFirstRead)
{
    RecordingEngine engine;
    EXPECT_EQ(engine.GetTextVar("money"), L"");
    engine.SetTextVar("money", 1250);
    engine.SetTextVar("day", -3);
    engine.SetTextVar("cafe", L"Caf\u00e9");
    EXPECT_EQ(engine.GetTextVar("money"), L"1250");
    EXPECT_EQ(engine.GetTextVar("day"), L"-3");
    EXPECT_EQ(engine.GetTextVar("cafe"), L"Caf\u00e9");
}

} // namespace
