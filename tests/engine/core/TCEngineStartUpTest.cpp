#include "engine/core/TCEngine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "FakeEffectTarget.h"
#include "Utf16File.h"
#include "engine/core/EffectFile.h"
#include "engine/core/FakeAudioBackend.h"
#include "engine/core/Log.h"
#include "engine/core/PakFormat.h"
#include "engine/core/SoundLibrary.h"
#include "engine/core/TCCursorSet.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCMusic.h"
#include "engine/core/TCSound.h"
#include "framework/app/AppTestSupport.h"
#include "engine/ui/TCDialog.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/CRand.h"
#include "platform/VirtualKeys.h"

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
    void LoadFonts(pugi::xml_node root) override
    {
        Note("fonts", root);
        TCEngine::LoadFonts(root);
    }
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
    void WriteArchive(const std::string& name, const std::vector<PakSource>& files)
    {
        const std::vector<uint8_t> bytes = BuildPak(files);
        std::ofstream(folder_.File(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void WriteConfig()
    {
        std::filesystem::create_directories(folder_.File("cfg"));
        std::ofstream(folder_.File("cfg/cfg.xml")) << "<root of='cfg'><sounds/></root>";
        std::ofstream(folder_.File("cfg/ui.xml"))
            << "\xEF\xBB\xBF<root of='ui'>"
               "<font name='body' type='System' face='Arial' size='10' bold='0' italic='0' underline='0'/></root>";
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
    EXPECT_NE(engine.GetFont("body"), nullptr);
    EXPECT_EQ(engine.GetFont("title"), nullptr);
    // The loading thread draws from the run's seed, so a replayed demo draws the same.
    plat::CSRand(engine.randomSeed + 1);
    EXPECT_EQ(engine.firstLoadingDraw, plat::CRand());
}

TEST_F(EngineStartUp, LaterArchivesReplaceEarlierEntriesAndLooseFilesUnlessPaksAreIgnored)
{
    WriteConfig();
    WriteArchive("loc.pak", {{"cfg\\ui.xml", 0, "<root of='loc.pak'/>"}});
    WriteArchive("data.pak", {{"cfg\\ui.xml", 0, "<root of='data.pak'/>"}, {"cfg\\cfg.xml", 0, "<root of='data.pak'/>"}});
    WriteArchive("mod.pak", {{"CFG/Cfg.xml", 0, "<root of='mod.pak'/>"}});
    const struct {
        bool ignorePaks;
        const char *music, *textures;
    } cases[] = {
        {false, "music from mod.pak", "textures from data.pak"},
        {true, "music from cfg", "textures from ui"},
    };
    for (const auto& c : cases) {
        DebugSettings().IgnorePaks = c.ignorePaks;
        {
            RecordingEngine engine;
            engine.Init();
            engine.Start();
            EXPECT_EQ(engine.steps[4], c.music) << c.ignorePaks;
            EXPECT_EQ(engine.steps[6], c.textures) << c.ignorePaks;
        }
        DebugSettings().IgnorePaks = false;
    }
}

TEST_F(EngineStartUp, DeveloperKeysReachTheDeveloperSettingsAndF7RereadsTheEffectConstants)
{
    std::filesystem::create_directories(folder_.File("cfg"));
    auto writeConstant = [&](const char* value) {
        std::ofstream(folder_.File("cfg/effect.xml"))
            << "<effects><constants><const name='Match3PosX' val='" << value << "'/></constants></effects>";
    };
    writeConstant("300");
    RecordingEngine engine;
    SetDeveloperMode(true);
    ::LoadEffectConstants();
    writeConstant("301");

    engine.KeyDown(plat::kVkF1);
    EXPECT_TRUE(DebugSettings().overlayShown);
    engine.KeyDown(plat::kVkF1);
    EXPECT_EQ(gMatch3PosX, 300.0f);
    engine.KeyDown(plat::kVkF1 + 6);
    EXPECT_EQ(gMatch3PosX, 301.0f);

    SetDeveloperMode(false);
    engine.KeyDown(plat::kVkF1);
    EXPECT_FALSE(DebugSettings().overlayShown);
    gMatch3PosX = 512.0f;
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

// Loads the real sound table and music.
class SoundEngine : public RecordingEngine {
protected:
    void LoadMusic(pugi::xml_node root) override { TCEngine::LoadMusic(root); }
    void LoadSounds(pugi::xml_node root) override { TCEngine::LoadSounds(root); }
};

TEST_F(EngineStartUp, SoundsAndMusicLoadAtStartUpAndTheFrameworksMuteSilencesThem)
{
    std::filesystem::create_directories(folder_.File("cfg"));
    std::ofstream(folder_.File("cfg/cfg.xml")) << "<root><music><stream name='menu'><track path='menu.wav'/></stream>"
                                                  "</music><sounds><sound name='click' path='click.wav'/></sounds></root>";
    std::ofstream(folder_.File("click.wav")) << "sound";
    std::ofstream(folder_.File("menu.wav")) << "music";
    SoundEngine engine;
    engine.Init();
    engine.Start();
    FakeAudioBackend& audio = *engine.audio;
    TCMusicChannel* menu = engine.GetMusic().GetSingleTrack("menu");
    ASSERT_TRUE(menu);
    menu->Play(false);
    EXPECT_EQ(audio.GetChannelMixVolume(menu->Channel()), 128);

    engine.Mute(true);
    EXPECT_EQ(audio.GetChannelMixVolume(menu->Channel()), 0);
    audio.calls.clear();
    PlaySound("click");
    ASSERT_GE(audio.calls.size(), 2u);
    EXPECT_EQ(audio.calls[0], "play 1 click.wav");
    EXPECT_EQ(audio.calls[1], "volume 1 0");
    engine.Unmute(true);
    EXPECT_EQ(audio.GetChannelMixVolume(menu->Channel()), 128);
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

    // Effects reach both in either role.
    const TCCallbackRecord record;
    FindControlCallback("WidgetsLock")(&record);
    EXPECT_TRUE(gRootDialog->visible);
    FindMessageCallback("WidgetsUnlock")(nullptr);
    EXPECT_FALSE(gRootDialog->visible);
    FindMessageCallback("WidgetsLock")(nullptr);
    EXPECT_TRUE(gRootDialog->visible);
    FindControlCallback("WidgetsUnlock")(&record);
    EXPECT_FALSE(gRootDialog->visible);
}

TEST_F(EngineStartUp, TheShippedDialogEffectsShowAndHideTheirTargetAndHoldInputMeanwhile)
{
    setenv("VELMIRA_DATA_ROOT", (std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data/").c_str(), 1);
    RecordingEngine engine;
    const std::string log = folder_.File("effects.log");
    SetLogFile(log);
    SetDeveloperMode(true);
    ASSERT_TRUE(::LoadEffects());
    ::LoadEffectConstants();
    EXPECT_EQ(gMatch3PosX, 512.0f);

    for (const char* name : {"dlg_fade", "dlg_popup"}) {
        SCOPED_TRACE(name);
        const bool holdsInput = std::string(name) == "dlg_popup";
        std::unique_ptr<TCEffect> effect = CreateEffect(name);
        ASSERT_TRUE(effect);
        FakeEffectTarget target;
        effect->SetTarget(&target);
        auto run = [&](const char* event) {
            ASSERT_TRUE(effect->RunEvent(event));
            effect->UpdateTimers(0.05f);
            EXPECT_EQ(gRootDialog->visible, holdsInput) << event;
            for (int step = 0; step < 10; ++step)
                effect->UpdateTimers(0.05f);
            EXPECT_FALSE(gRootDialog->visible) << event;
        };
        run("onshow");
        EXPECT_TRUE(target.visible);
        EXPECT_EQ(target.alpha, 1.0f);
        if (holdsInput) {
            EXPECT_NEAR(target.scale, 1.0f, 1e-5f);
        }
        run("onhide");
        EXPECT_FALSE(target.visible);
        EXPECT_EQ(target.alpha, 0.0f);
    }
    SetDeveloperMode(false);
    SetLogFile("tarrow.log");
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "") << "every function the file names is known";
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

// The shipped content, run until loading has completed.
class ShippedEngine : public TCEngine {
public:
    ShippedEngine() { productName = apptest::UniqueProduct("ShippedEngine"); }
    bool ChangeDirHook(const std::string&) override { return true; }
    void UpdateFrames() override
    {
        TCEngine::UpdateFrames();
        if (completionHandled)
            Shutdown();
    }

protected:
    std::unique_ptr<IAudioBackend> CreateAudioBackend() override { return std::make_unique<FakeAudioBackend>(); }
};

TEST(ShippedContent, TheNormalCursorReplacesThePointerOnceLoadingHasCompleted)
{
    const auto previous = std::filesystem::current_path();
    setenv("VELMIRA_DATA_ROOT", (std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data/").c_str(), 1);
    {
        ShippedEngine engine;
        engine.Init();
        engine.Start();
        EXPECT_EQ(engine.GetCursorSet().GetMode(), "normal");
        EXPECT_TRUE(engine.GetCursorSet().HasMode("active"));
        EXPECT_TRUE(engine.GetCursorSet().IsShown());
        EXPECT_TRUE(engine.customCursors);
        EXPECT_EQ(engine.cursorNumber, 12);
    }
    unsetenv("VELMIRA_DATA_ROOT");
    std::filesystem::current_path(previous);
}

} // namespace
