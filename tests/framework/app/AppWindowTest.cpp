// The window and its display: falling back when the display refuses a mode, what a run leaves
// for the next, the lost display, and the aids that write files or open the browser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Utf16File.h"
#include "framework/app/WindowTestApp.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/PathUtils.h"
#include "platform/SettingsStore.h"
#include "platform/VirtualKeys.h"

namespace {

using plat::Message;
using plat::MessageKind;

struct DisplayCase {
    const char* what;
    bool windowed, is3D;
    std::deque<int> results;
    bool physicallyWindowed, fullScreenForced, fullScreenFailed, is3DAfter;
    size_t starts;
};

TEST(AppWindow, TheDisplaysAnswerChoosesTheModeAndTheDrawingPath)
{
    const DisplayCase cases[] = {
        {"a window", true, false, {}, true, false, false, false, 1},
        {"full screen", false, false, {}, false, false, false, false, 1},
        {"full screen refused", false, false, {Nubra::RESULT_EXCLUSIVE_FAIL}, true, false, true, false, 2},
        {"no full-screen mode", false, false, {Nubra::RESULT_DISPCHANGE_FAIL}, true, false, true, false, 2},
        {"a desktop depth no window can use", true, false, {Nubra::RESULT_INVALID_COLORDEPTH}, false, true, false,
         false, 2},
        {"no accelerated path", true, true, {Nubra::RESULT_3D_INIT_FAIL}, true, false, false, false, 2},
        {"any failure with 3-D on", true, true, {Nubra::RESULT_SURFACE_FAIL}, true, false, false, false, 2},
        {"no graphics card to draw with", true, true, {}, true, false, false, false, 2},
    };
    for (const DisplayCase& c : cases) {
        apptest::WindowApp app("DisplayResults", c.windowed);
        app.start3D = c.is3D;
        app.displayResults = c.results;
        app.Init();
        EXPECT_EQ(app.physicallyWindowed, c.physicallyWindowed) << c.what;
        EXPECT_EQ(app.window.IsFullScreen(), !c.physicallyWindowed) << c.what;
        EXPECT_EQ(app.fullScreenForced, c.fullScreenForced) << c.what;
        EXPECT_EQ(app.fullScreenFailed, c.fullScreenFailed) << c.what;
        EXPECT_EQ(app.Is3DAccelerated(), c.is3DAfter) << c.what;
        EXPECT_EQ(app.displayStarts.size(), c.starts) << c.what;
        EXPECT_EQ(app.hardwareAccelerationSwitched, c.is3D && !c.is3DAfter) << c.what;
    }
}

TEST(AppWindowDeathTest, WhenNothingWorksTheProgramSaysWhyAndEndsWithOne)
{
    struct Case {
        bool windowed, is3D;
        std::deque<int> results;
        const char* message;
    };
    const Case cases[] = {
        {true, false, {Nubra::RESULT_SURFACE_FAIL},
         "Failed to initialize DirectDraw: RESULT_SURFACE_FAIL CreateSurface: out of memory"},
        {false, false, {Nubra::RESULT_EXCLUSIVE_FAIL, Nubra::RESULT_INVALID_COLORDEPTH},
         "Please set your desktop color depth to 16 bit."},
        {true, true, {Nubra::RESULT_3D_INIT_FAIL, Nubra::RESULT_DD_CREATE_FAIL}, "RESULT_DD_CREATE_FAIL"},
        {true, false, {Nubra::RESULT_3D_INIT_FAIL}, "RESULT_UNKNOWN"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                apptest::StderrBox box;
                apptest::WindowApp app("DisplayFails", c.windowed);
                app.start3D = c.is3D;
                app.displayResults = c.results;
                app.Init();
            },
            testing::ExitedWithCode(1), c.message);
    }
}

// Every run of the program starts with a fresh store that reads the files again.
class TwoRuns : public testing::Test {
protected:
    void SetUp() override { Restart(); }
    void TearDown() override { plat::SetSettingsStore(nullptr); }
    plat::FileSettingsStore& Restart()
    {
        store_ = std::make_unique<plat::FileSettingsStore>(folder_.File(""));
        plat::SetSettingsStore(store_.get());
        return *store_;
    }

    const std::string key_ = apptest::UniqueProduct("Window Tests\\Two Runs");
    fixtures::TempFolder folder_{"app_window_runs"};
    std::unique_ptr<plat::FileSettingsStore> store_;
};

TEST_F(TwoRuns, TheWindowReopensWhereThePlayerLeftItWithTheSameSettings)
{
    {
        apptest::WindowApp first("FirstRun");
        first.registryKey = key_;
        first.Init();
        first.window.Show();
        first.window.MoveTo(900, 700); // dragged half off the desktop
        first.Send({{MessageKind::Move, 900, 700}});
        EXPECT_EQ(first.preferredX, 900);
        first.SetSfxVolume(0.57);
        first.SetMusicVolume(0.3);
        first.SwitchScreenMode(false);
        first.RegistryWriteString("Test3D\\RuntimeError", "Present: device lost");
        first.Send({{MessageKind::Close}});
        EXPECT_TRUE(first.closedByUser);
        EXPECT_TRUE(first.shutDown);
    }
    plat::FileSettingsStore& store = Restart();
    EXPECT_EQ(store.Read("SOFTWARE\\" + key_, "ScreenMode"), (plat::SettingValue{plat::kSettingDword, {1, 0, 0, 0}}));

    apptest::WindowApp second("SecondRun");
    second.registryKey = key_;
    second.Init();
    EXPECT_TRUE(second.lastRunClean);
    EXPECT_DOUBLE_EQ(second.sfxVolume, 0.57);
    EXPECT_DOUBLE_EQ(second.musicVolume, 0.3);
    // The 1024 x 768 headless desktop: the 640 x 480 window comes back 4 pixels inside it.
    EXPECT_EQ(second.window.ClientRect(), (plat::WindowRect{1024 - 4 - 640, 768 - 4 - 480, 640, 480}));
    uint8_t text[64] = {};
    uint32_t type = 0, size = sizeof(text);
    ASSERT_TRUE(second.RegistryRead("Test3D\\RuntimeError", &type, text, &size));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text), size), "Present: device lost");
}

TEST_F(TwoRuns, ADamagedSettingsFileDoesNotStopTheProgram)
{
    const std::string file = store_->FileFor("SOFTWARE\\" + key_);
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file) << "<settings><value name=\"MusicVolume\" type=\"4\">4";
    Restart();
    {
        apptest::WindowApp app("DamagedSettings");
        app.registryKey = key_;
        testing::internal::CaptureStderr();
        app.Init();
        EXPECT_NE(testing::internal::GetCapturedStderr().find("WARNING: "), std::string::npos);
        EXPECT_DOUBLE_EQ(app.musicVolume, 0.85);
        EXPECT_TRUE(app.lastRunClean);
        app.SetMusicVolume(0.4);
    }
    Restart();
    apptest::WindowApp next("DamagedSettingsNext");
    next.registryKey = key_;
    next.Init();
    EXPECT_DOUBLE_EQ(next.musicVolume, 0.4) << "the next run has settings again";
}

TEST_F(TwoRuns, TheStored3DChoiceStartsTheDisplayAndWhatRanIsWrittenBack)
{
    store_->Write("SOFTWARE\\" + key_, "Is3D", {plat::kSettingDword, {1, 0, 0, 0}});
    {
        apptest::WindowApp app("Stored3D");
        app.start3D.reset();
        app.registryKey = key_;
        app.Init();
        ASSERT_FALSE(app.displayStarts.empty());
        EXPECT_TRUE(app.displayStarts.front());
        // Until the graphics card's road is built, it refuses and the frames are drawn in software.
        EXPECT_FALSE(app.Is3DAccelerated());
        EXPECT_EQ(app.displayStarts.size(), 2u);
        app.Set3DAcceleration(false, true); // nothing to change
        EXPECT_EQ(app.displayStarts.size(), 2u);
    }
    EXPECT_EQ(Restart().Read("SOFTWARE\\" + key_, "Is3D"), (plat::SettingValue{plat::kSettingDword, {0, 0, 0, 0}}));
}

TEST(AppWindow, ALostDisplayIsTriedAgainWhenThePlayerCanSeeIt)
{
    apptest::SimulatedTime time(10000);
    apptest::WindowApp app("LostDisplay");
    app.Init();
    const size_t starts = app.displayStarts.size();

    app.displayLost = true;
    app.active = false;
    EXPECT_FALSE(app.DrawDirtyStuff()) << "nothing is drawn while the display is lost";
    EXPECT_EQ(app.displayStarts.size(), starts + 1) << "a window away from the player still tries";
    EXPECT_FALSE(app.displayLost);
    app.displayLost = true;
    EXPECT_FALSE(app.Redraw());
    EXPECT_EQ(app.displayStarts.size(), starts + 1) << "but once a second at most";
    time.clock.AdvanceMs(1000);
    EXPECT_TRUE(app.Redraw());
    EXPECT_FALSE(app.displayLost);

    app.SwitchScreenMode(false);
    const size_t fullScreenStarts = app.displayStarts.size();
    app.displayLost = true;
    time.clock.AdvanceMs(5000);
    EXPECT_FALSE(app.Redraw());
    EXPECT_EQ(app.displayStarts.size(), fullScreenStarts) << "full screen waits for the player";
    app.active = true;
    EXPECT_TRUE(app.Redraw());
    EXPECT_EQ(app.displayStarts.size(), fullScreenStarts + 1);
}

class DataFolder : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Nubra::GetAppDataFolder();
        Nubra::SetAppDataFolder(folder_.File(""));
    }
    void TearDown() override { Nubra::SetAppDataFolder(saved_); }

    fixtures::TempFolder folder_{"app_window_data"};
    std::string saved_;
};

TEST_F(DataFolder, F11WithDebugKeysSavesTheScreenInsteadOfReachingTheWidgets)
{
    apptest::WindowApp app("Screenshot");
    Nubra::MemoryImage screen;
    screen.Create(3, 2);
    app.widgetManager->screenImage = &screen;
    app.widgetManager->SetFocus(app.probe.get());
    widgettest::Take(app.log);
    const Message f11{MessageKind::KeyDown, plat::kVkF1 + 10};
    app.Send({f11});
    EXPECT_EQ(widgettest::Take(app.log), (widgettest::Log{"probe:keydown 122"}));
    EXPECT_FALSE(std::filesystem::exists(folder_.File("_screenshots/0.png")));

    app.debugKeysEnabled = true;
    app.Send({f11});
    EXPECT_TRUE(app.log.empty());
    EXPECT_TRUE(std::filesystem::exists(folder_.File("_screenshots/0.png")));
    app.widgetManager->screenImage = nullptr;
}

TEST_F(DataFolder, TheScreenSaverLogStartsAnewWithEachRun)
{
    auto lines = [this] {
        std::ifstream in(folder_.File("ScrError.txt"));
        std::vector<std::string> read;
        for (std::string line; std::getline(in, line);)
            read.push_back(line);
        return read;
    };
    {
        Nubra::NubraAppBase run;
        run.LogScreenSaverError("first");
        run.LogScreenSaverError("second");
    }
    ASSERT_EQ(lines().size(), 2u);
    EXPECT_EQ(lines()[1].rfind("second ", 0), 0u);
    Nubra::NubraAppBase next;
    next.LogScreenSaverError("third");
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0].rfind("third ", 0), 0u);
}

// Opens nothing: answers each poll from a script, the last answer for good.
class ScriptedOpener : public plat::IUrlOpener {
public:
    using Status = plat::UrlOpening::Status;
    explicit ScriptedOpener(std::vector<Status> script) : script_(std::move(script)) { plat::SetUrlOpener(this); }
    ~ScriptedOpener() override { plat::SetUrlOpener(nullptr); }

    std::unique_ptr<plat::UrlOpening> Open(const std::string& address) override
    {
        opened.push_back(address);
        return std::make_unique<Opening>(this);
    }

    std::vector<std::string> opened;
    int polls = 0;

private:
    struct Opening : plat::UrlOpening {
        explicit Opening(ScriptedOpener* owner) : owner_(owner) {}
        Status Poll() override
        {
            int at = owner_->polls++;
            return owner_->script_[std::min<size_t>(size_t(at), owner_->script_.size() - 1)];
        }
        ScriptedOpener* owner_;
    };
    std::vector<Status> script_;
};

class BrowsingApp : public apptest::WindowApp {
public:
    BrowsingApp() : WindowApp("Browsing") {}
    void URLOpenFailed(const std::string& address) override
    {
        outcomes.push_back("failed " + address);
        WindowApp::URLOpenFailed(address);
    }
    void URLOpenSucceeded(const std::string& address) override
    {
        outcomes.push_back("opened " + address);
        WindowApp::URLOpenSucceeded(address);
    }
    std::vector<std::string> outcomes;
};

TEST(AppWindow, TheBrowsersAnswerDecidesTheOutcomeAsTheWindowTimerTicks)
{
    using Status = plat::UrlOpening::Status;
    apptest::SimulatedTime time;
    {
        ScriptedOpener opener({Status::Failed});
        BrowsingApp app;
        app.OpenURL("https://example.org/help", true);
        EXPECT_EQ(app.outcomes, (std::vector<std::string>{"failed https://example.org/help"})) << "known at once";
        EXPECT_FALSE(app.shutDown);
    }
    ScriptedOpener opener({Status::Running, Status::Running, Status::Running, Status::Succeeded});
    BrowsingApp app;
    app.Init();
    app.inMainLoop = true;
    app.OpenURL("https://example.org/more", true);
    bool updated = false;
    for (int step = 0; step < 200 && !app.shutDown; ++step) {
        time.clock.AdvanceMs(5);
        app.UpdateAppStep(updated);
    }
    EXPECT_EQ(opener.polls, 4) << "one poll per window timer tick until the answer";
    EXPECT_EQ(app.outcomes, (std::vector<std::string>{"opened https://example.org/more"}));
    EXPECT_TRUE(app.shutDown) << "asked to quit once the page is open";
    app.inMainLoop = false;
}

TEST(AppWindow, TheDesktopOpenerRefusesAnAddressThatLooksLikeAnOption)
{
    std::unique_ptr<plat::UrlOpening> opening = plat::UrlOpener().Open("--help");
    EXPECT_EQ(opening->Poll(), plat::UrlOpening::Status::Failed);
    EXPECT_EQ(plat::UrlOpener().Open("")->Poll(), plat::UrlOpening::Status::Failed);
}

} // namespace
