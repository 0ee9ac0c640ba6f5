// The application object's lifecycle: start-up order, threads, shutdown, single instance,
// volumes, command line, dialogs and the closing questions.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "framework/app/AppTestSupport.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/PathUtils.h"
#include "framework/widgets/Dialog.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace {

using Log = std::vector<std::string>;

// The harness application: records every hook it sees, never leaves the current folder.
class HarnessApp : public Nubra::NubraAppBase {
public:
    HarnessApp(Log* log, const std::string& product) : log_(log)
    {
        productName = product;
        Record("construct");
    }
    ~HarnessApp() override { Record("destructor"); }

    void PreInitHook() override { Record("PreInitHook"); }
    void ReadFromRegistry() override
    {
        Record("ReadFromRegistry");
        // A crash while the settings are read must already leave its report in our folder.
        if (GetAppDataFolder().ends_with("/" + productName + "/"))
            Record("data folder known");
        NubraAppBase::ReadFromRegistry();
    }
    bool ChangeDirHook(const std::string&) override
    {
        Record("ChangeDirHook");
        return true;
    }
    void PreDisplayHook() override { Record("PreDisplayHook"); }
    void MakeWindow() override
    {
        Record("MakeWindow");
        if (exitInsteadOfWindow)
            plat::ExitNow(3);
        NubraAppBase::MakeWindow();
    }
    void InitHook() override { Record("InitHook"); }
    void Start() override
    {
        Record("Start");
        NubraAppBase::Start();
    }
    void MainLoop() override
    {
        Record("MainLoop");
        NubraAppBase::MainLoop();
    }
    void ShutdownHook() override { Record("ShutdownHook"); }
    void PreTerminate() override { Record("PreTerminate"); }
    void WriteToRegistry() override { Record("WriteToRegistry"); }
    void HandleNotifyGameMessage(int type, int parameter) override { notifications.emplace_back(type, parameter); }
    void UpdateFrames() override
    {
        NubraAppBase::UpdateFrames();
        if (stopAfterSteps > 0 && updateCount == uint32_t(stopAfterSteps))
            Shutdown();
    }
    void ButtonPress(int id) override { presses.push_back(id); }
    void ButtonDepress(int id) override { depresses.push_back(id); }
    using NubraAppBase::ButtonPress;
    using NubraAppBase::ConfirmHardwareAcceleration;

    bool exitInsteadOfWindow = false;
    int stopAfterSteps = 0;
    std::vector<std::pair<int, int>> notifications;
    std::vector<int> presses, depresses;

private:
    void Record(const char* what) { log_->push_back(what); }
    Log* log_;
};

std::string ProductFor(const char* test) { return apptest::UniqueProduct(std::string("Harness") + test); }

bool InOrder(const Log& log, const Log& expected)
{
    auto at = log.begin();
    for (const std::string& step : expected) {
        at = std::find(at, log.end(), step);
        if (at == log.end())
            return false;
        ++at;
    }
    return true;
}

TEST(AppLifecycle, HooksRunInTheirOrderAndTheFrameworkLeavesVSyncTimingOff)
{
    Log log;
    {
        HarnessApp app(&log, ProductFor("Order"));
        app.stopAfterSteps = 5;
        app.Init();
        EXPECT_TRUE(app.initialized);
        EXPECT_FALSE(app.vsyncTimingAllowed);
        // The headless desktop is exactly 1024 x 768: no room for a window.
        EXPECT_TRUE(app.fullScreenForced);
        EXPECT_FALSE(app.windowed);
        testing::internal::CaptureStderr();
        app.Start();
        std::string output = testing::internal::GetCapturedStderr();
        EXPECT_NE(output.find("Resource Loading Time: "), std::string::npos);
        EXPECT_NE(output.find("Update Count  = 5\n"), std::string::npos);
        EXPECT_EQ(output.find('\r'), std::string::npos) << "lines end in \\n here";
    }
    EXPECT_TRUE(InOrder(log, {"construct", "PreInitHook", "ReadFromRegistry", "data folder known", "ChangeDirHook",
                              "PreDisplayHook", "MakeWindow", "InitHook", "Start", "MainLoop", "ShutdownHook",
                              "PreTerminate", "WriteToRegistry", "destructor"}));
    EXPECT_EQ(std::count(log.begin(), log.end(), "ShutdownHook"), 1);
}

// Loads on its own thread and records what the main thread later sees.
class LoadingApp : public HarnessApp {
public:
    using HarnessApp::HarnessApp;

    void LoadingThreadProc() override
    {
        loaderThread = std::this_thread::get_id();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        procReturned = true;
    }
    void LoadingThreadCompleted() override
    {
        ++completions;
        onMainThread = std::this_thread::get_id() == mainThread;
        procHadReturned = procReturned;
        inProgressCleared = !loadingInProgress;
        stopAfterSteps = int(updateCount) + 3;
    }

    std::thread::id mainThread = std::this_thread::get_id();
    std::thread::id loaderThread;
    std::atomic<bool> procReturned{false};
    int completions = 0;
    bool onMainThread = false, procHadReturned = false, inProgressCleared = false;
};

TEST(AppLifecycle, LoadingCompletionIsHandledOnceOnTheMainThreadAfterTheLoadingHook)
{
    Log log;
    LoadingApp app(&log, ProductFor("Loading"));
    app.Init();
    testing::internal::CaptureStderr();
    app.Start();
    testing::internal::GetCapturedStderr();

    EXPECT_EQ(app.completions, 1);
    EXPECT_TRUE(app.onMainThread);
    EXPECT_NE(app.loaderThread, app.mainThread);
    EXPECT_TRUE(app.procHadReturned);
    EXPECT_TRUE(app.inProgressCleared);
    EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 1.0);
}

TEST(AppLifecycle, ShutdownFromAnotherThreadOnlyAsksAndRunsOnceOnTheMainThread)
{
    Log log;
    HarnessApp app(&log, ProductFor("Shutdown"));
    app.Init();
    std::thread([&app] { app.Shutdown(); }).join();
    EXPECT_FALSE(app.shutDown);
    EXPECT_EQ(std::count(log.begin(), log.end(), "ShutdownHook"), 0);

    app.Process(true);
    EXPECT_TRUE(app.shutDown);
    app.Shutdown();
    EXPECT_EQ(std::count(log.begin(), log.end(), "ShutdownHook"), 1);
}

struct ProgressCase {
    bool started;
    int total, done;
    bool handled;
    double expected;
};

TEST(AppLifecycle, LoadingProgressTable)
{
    const ProgressCase cases[] = {
        {false, 10, 5, false, 0.0}, {true, 0, 5, false, 0.0},  {true, 10, 5, false, 0.5},
        {true, 10, 12, false, 1.0}, {true, 10, 0, true, 1.0},  {true, -4, 2, false, 0.0},
    };
    Log log;
    HarnessApp app(&log, ProductFor("Progress"));
    for (const ProgressCase& c : cases) {
        app.loadingThreadStarted = c.started;
        app.loadingStepsTotal = c.total;
        app.loadingStepsDone = c.done;
        app.completionHandled = c.handled;
        EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), c.expected) << c.total << " " << c.done;
    }
    app.loadingThreadStarted = false; // no thread to wait for at the end
}

TEST(AppLifecycle, MutesCountUserAndAutomaticMutesApart)
{
    Log log;
    HarnessApp app(&log, ProductFor("Mute"));
    auto music = std::make_unique<apptest::RecordingMusic>();
    apptest::RecordingMusic* player = music.get();
    app.musicInterface = std::move(music);

    app.Mute(false);
    app.Mute(false);
    app.Mute(true);
    app.Unmute(true);
    EXPECT_TRUE(app.IsMuted());
    EXPECT_TRUE(app.IsMutedByUser());
    app.SetMusicVolume(0.5);
    EXPECT_DOUBLE_EQ(player->lastVolume, 0.0);
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.5);

    app.Unmute(false);
    app.Unmute(false);
    app.Unmute(true); // nothing left to unmute
    EXPECT_EQ(app.muteCount, 0);
    EXPECT_EQ(app.autoMuteCount, 0);
    EXPECT_FALSE(app.IsMuted());
    EXPECT_DOUBLE_EQ(player->lastVolume, 0.5);

    app.Mute(true); // a focus loss is not the user's choice
    EXPECT_TRUE(app.IsMuted());
    EXPECT_FALSE(app.IsMutedByUser());
}

// A folder of demo files, made the application's data folder for the test.
class DemoFolder : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/nubra-demo-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = std::string(pattern) + "/";
        savedDataFolder_ = Nubra::GetAppDataFolder();
        Nubra::SetAppDataFolder(root_);
        plat::MakeDirs(root_ + "nubraapp");
        for (const char* name : {"1.dmo", "2.dmo", "5.dmo", "x.dmo", "-3.dmo", "9.txt"})
            Touch(root_ + "nubraapp/" + name);
    }
    void TearDown() override
    {
        Nubra::SetAppDataFolder(savedDataFolder_);
        plat::RemoveTree(root_);
    }

    static void Touch(const std::string& path) { std::fclose(std::fopen(path.c_str(), "w")); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(root_ + name); }

    std::string root_, savedDataFolder_;
};

struct OptionCase {
    const char* option;
    const char* value;
    const char* demoFile; // under the data folder; "" when unchanged
    bool playing, recording;
};

TEST_F(DemoFolder, CommandLineOptionsTable)
{
    const OptionCase cases[] = {
        {"-play", "", "", true, false},
        {"-playnum", "1", "nubraapp/5.dmo", true, false},
        {"-playnum", "2", "nubraapp/4.dmo", true, false},
        {"-playnum", "0", "nubraapp/5.dmo", true, false},
        {"-record", "", "", false, true},
        {"-demofile", "mine.dmo", "mine.dmo", false, false},
    };
    for (const OptionCase& c : cases) {
        Log log;
        HarnessApp app(&log, ProductFor("Options"));
        app.demoFileName = "unchanged";
        app.ParseCommandLine(c.option, c.value);
        EXPECT_EQ(app.demoFileName, *c.demoFile ? root_ + c.demoFile : "unchanged") << c.option << " " << c.value;
        EXPECT_EQ(app.playingDemo, c.playing) << c.option;
        EXPECT_EQ(app.recordingDemo, c.recording) << c.option;
    }

    Log log;
    HarnessApp app(&log, ProductFor("Options"));
    app.ParseCommandLine("-demofile", "/elsewhere/their.dmo");
    EXPECT_EQ(app.demoFileName, "/elsewhere/their.dmo");
    app.ParseCommandLine("-screensaver", "");
    EXPECT_TRUE(app.screenSaverMode);
    app.ParseCommandLine("-changedir", "/opt/game");
    EXPECT_EQ(app.programFolder, "/opt/game");
}

TEST_F(DemoFolder, RecordingKeepsTheNewestNumberedDemos)
{
    Log log;
    HarnessApp app(&log, ProductFor("Recnum"));
    app.ParseCommandLine("-recnum", "3");
    EXPECT_TRUE(app.recordingDemo);
    EXPECT_EQ(app.demoFileName, root_ + "nubraapp/6.dmo");
    EXPECT_FALSE(Exists("nubraapp/1.dmo"));
    EXPECT_TRUE(Exists("nubraapp/2.dmo"));
    EXPECT_TRUE(Exists("nubraapp/5.dmo"));
    EXPECT_TRUE(Exists("nubraapp/x.dmo"));
}

TEST(AppLifecycleDeathTest, AnUnknownOptionIsReportedAndEndsTheProgramWithZero)
{
    Log log;
    HarnessApp app(&log, ProductFor("Unknown"));
    apptest::StderrBox box;
    EXPECT_EXIT(app.ParseCommandLine("-x", ""), testing::ExitedWithCode(0),
                "\\[FATAL ERROR\\] Invalid command line parameter: -x");
}

TEST(AppLifecycleDeathTest, ASecondCopyNotifiesTheFirstAndEndsBeforeAnyWindow)
{
    Log log;
    const std::string product = ProductFor("Single");
    HarnessApp first(&log, product);
    first.Init();

    // A window would end the copy with 3.
    EXPECT_EXIT(
        {
            HarnessApp second(&log, product);
            second.exitInsteadOfWindow = true;
            second.Init();
            plat::ExitNow(4);
        },
        testing::ExitedWithCode(0), "");

    bool updated = false;
    first.UpdateAppStep(updated); // pumps the messages
    ASSERT_EQ(first.notifications.size(), 1u);
    EXPECT_EQ(first.notifications[0], std::make_pair(0, 0));

    // In screen-saver mode both copies run.
    HarnessApp saver(&log, product);
    saver.screenSaverMode = true;
    saver.Init();
    EXPECT_TRUE(saver.initialized);
}

TEST(AppLifecycle, AWindowNeedsTheDesktopLargerInBothDirections)
{
    struct Case {
        int desktopWidth, desktopHeight;
        bool fits;
    } const cases[] = {
        {1024, 768, false}, {1366, 768, false}, {1024, 1024, false}, {1280, 1024, true}, {1025, 769, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Nubra::WindowFitsDesktop(c.desktopWidth, c.desktopHeight, 1024, 768), c.fits)
            << c.desktopWidth << "x" << c.desktopHeight;
}

TEST(AppLifecycle, StringTableIsSeededAndReplaceable)
{
    Log log;
    HarnessApp app(&log, ProductFor("Strings"));
    EXPECT_EQ(app.GetString("DIALOG_BUTTON_CANCEL", L"?"), L"CANCEL");
    EXPECT_EQ(app.GetString("UP_TO_DATE_TITLE", L"?"), L"Up to Date");
    EXPECT_EQ(app.GetString("NO_SUCH_TEXT", L"fallback"), L"fallback");
    app.SetString("DIALOG_BUTTON_OK", L"Fine");
    EXPECT_EQ(app.GetString("DIALOG_BUTTON_OK", L"?"), L"Fine");
}

TEST(AppLifecycle, DialogsAreKeptByIdAndTheirButtonsMapToApplicationButtons)
{
    Log log;
    HarnessApp app(&log, ProductFor("Dialogs"));
    Nubra::Dialog* first = app.DoDialog(7, true, L"Title", L"Body", L"", 1);
    EXPECT_EQ(app.GetDialog(7), first);
    EXPECT_EQ(app.GetDialogCount(), 1);
    EXPECT_TRUE(app.widgetManager->HasWidget(first));

    // A second dialog under the same id replaces the first.
    Nubra::Dialog* second = app.DoDialog(7, false, L"Again", L"", L"", 2);
    EXPECT_EQ(app.GetDialog(7), second);
    EXPECT_EQ(app.GetDialogCount(), 1);
    EXPECT_FALSE(app.widgetManager->HasWidget(first));
    app.ProcessSafeDeleteWidgets();

    second->ButtonPress(Nubra::Dialog::kYesButton);
    second->ButtonDepress(Nubra::Dialog::kNoButton);
    second->ButtonDepress(42); // not a dialog button
    EXPECT_EQ(app.presses, std::vector<int>{2007});
    EXPECT_EQ(app.depresses, std::vector<int>{3007});
    EXPECT_EQ(second->GetResult(), Nubra::Dialog::kNoButton);

    EXPECT_TRUE(app.KillDialog(second));
    EXPECT_EQ(app.GetDialog(7), nullptr);
    EXPECT_FALSE(app.widgetManager->HasWidget(second));
    EXPECT_FALSE(app.KillDialog(7));
}

TEST(AppLifecycle, ImagesRegisterWithTheApplicationWhileTheyLive)
{
    Log log;
    {
        HarnessApp app(&log, ProductFor("Images"));
        {
            Nubra::MemoryImage image;
            EXPECT_EQ(image.app, &app);
            EXPECT_EQ(app.imageRegistry.count(&image), 1u);
        }
        EXPECT_TRUE(app.imageRegistry.empty());
    }
    EXPECT_EQ(Nubra::GetImageHost(), nullptr);
}

struct AccelerationCase {
    bool on, switched, stored, decidedByTest, problem;
    std::vector<plat::MsgBoxResult> answers;
    size_t boxes;
    bool keptOn;
};

TEST(AppLifecycle, TheClosingQuestionsAboutHardwareAcceleration)
{
    using enum plat::MsgBoxResult;
    const AccelerationCase cases[] = {
        {false, false, false, false, false, {}, 0, false},   // nothing happened
        {true, true, false, false, false, {Yes}, 1, true},   // switched on: keep it?
        {true, true, false, false, false, {No}, 1, false},
        {true, true, true, false, false, {}, 0, true},       // the choice is already stored
        {true, true, false, true, false, {}, 0, true},       // the test decided
        {false, true, false, false, false, {}, 0, false},    // switched off again
        {true, false, false, false, true, {No}, 1, false},   // it did not work well
        {true, true, false, false, true, {Yes, No}, 2, false},
    };
    for (const AccelerationCase& c : cases) {
        plat::FakeMessageBox box;
        box.answers = c.answers;
        plat::SetMessageBoxService(&box);
        Log log;
        HarnessApp app(&log, ProductFor("Accel"));
        app.hardwareAcceleration = c.on;
        app.hardwareAccelerationSwitched = c.switched;
        app.hardwareAccelerationStored = c.stored;
        app.hardwareAccelerationDecidedByTest = c.decidedByTest;
        app.hardwareAccelerationProblem = c.problem;
        app.ConfirmHardwareAcceleration();
        plat::SetMessageBoxService(nullptr);

        EXPECT_EQ(box.shown.size(), c.boxes);
        EXPECT_EQ(app.hardwareAcceleration, c.keptOn);
        for (const auto& shown : box.shown) {
            EXPECT_EQ(shown.title, "Hardware Acceleration Confirmation");
            EXPECT_EQ(shown.buttons, plat::MsgBoxButtons::YesNo);
            EXPECT_EQ(shown.icon, plat::MsgBoxIcon::Question);
        }
    }
}

} // namespace
