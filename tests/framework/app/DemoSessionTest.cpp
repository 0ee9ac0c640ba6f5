// A whole run recorded and played back: the widgets see the same calls at the same updates, the
// random draws repeat, and what the run read from outside comes from the recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <map>

#include "framework/app/AppTestSupport.h"
#include "framework/app/CrashCatcher.h"
#include "framework/app/NubraAppBase.h"
#include "Utf16File.h"
#include "framework/util/TwisterRandom.h"
#include "framework/widgets/WidgetTestSupport.h"
#include "platform/SettingsStore.h"
#include "platform/VirtualKeys.h"

namespace {

using plat::Message;
using plat::MessageKind;
using widgettest::Log;

const std::string kKey = apptest::UniqueProduct("Demo Tests\\Session");

// The player's input, by the update after which the system delivers it.
using Script = std::map<uint32_t, std::vector<Message>>;

// A 640 x 480 game in a window with one widget over the screen; each update writes down its
// number, a random draw now and then, and what it reads from the settings and from a file.
class SessionApp : public Nubra::NubraAppBase {
public:
    SessionApp(Log* log, apptest::ScriptedEvents* events, Script script, std::string dataFile)
        : log_(log), events_(events), script_(std::move(script)), dataFile_(std::move(dataFile))
    {
        productName = apptest::UniqueProduct("DemoSession");
        registryKey = kKey;
        width = 640;
        height = 480;
        windowed = true;
        probe_ = std::make_unique<widgettest::Probe>("probe", log, Nubra::Rect(0, 0, 640, 480));
        probe_->wantsFocus = true;
        widgetManager->AddWidget(probe_.get());
    }
    ~SessionApp() override { widgetManager->RemoveWidget(probe_.get()); }

    bool ChangeDirHook(const std::string&) override { return true; }
    void LoadingThreadCompleted() override { Note("loaded"); }
    void KeyDown(int key) override { Note("keyhook " + std::to_string(key)); }
    void GotFocus() override { Note("gotfocus"); }
    void LostFocus() override { Note("lostfocus"); }

    void UpdateFrames() override
    {
        NubraAppBase::UpdateFrames();
        Note("step");
        if (updateCount % 7 == 0)
            Note("rand " + std::to_string(int(Nubra::Rand(100000.0f))));
        if (updateCount == 10) {
            int32_t score = 0;
            Note(RegistryReadInteger("Score", &score) ? "score " + std::to_string(score) : "no score");
        }
        if (updateCount == 12) {
            Nubra::Buffer contents;
            Note(ReadBufferFromFile(dataFile_, &contents) ? "file of " + std::to_string(contents.GetDataLen())
                                                          : "no file");
        }
        if (updateCount == 20)
            AddDemoJumpPoint("twenty");
        if (updateCount == crashAt)
            std::raise(SIGSEGV);
        auto due = script_.find(updateCount);
        if (due != script_.end())
            events_->pending.insert(events_->pending.end(), due->second.begin(), due->second.end());
    }

    uint32_t crashAt = 0; // none

private:
    void Note(const std::string& what) { log_->push_back("app@" + std::to_string(updateCount) + ":" + what); }

    Log* log_;
    apptest::ScriptedEvents* events_;
    Script script_;
    std::string dataFile_;
    std::unique_ptr<widgettest::Probe> probe_;
};

Message Msg(MessageKind kind, int32_t first = 0, int32_t second = 0) { return {kind, first, second}; }

// Drawing follows the clock and the loading thread; the widgets' input and updates do not.
Log WithoutDraws(Log log)
{
    std::erase_if(log, [](const std::string& entry) { return entry.find(":draw") != std::string::npos; });
    return log;
}

class DemoSession : public testing::Test {
protected:
    DemoSession() : folder_("demo_session"), store_(folder_.File("settings")) { plat::SetSettingsStore(&store_); }
    ~DemoSession() override { plat::SetSettingsStore(nullptr); }

    // Runs the program from its start until the script closes it.
    Log Run(const char* option, uint64_t startMs, const Script& script)
    {
        apptest::SimulatedTime time(startMs);
        apptest::ScriptedEvents events;
        Log log;
        SessionApp app(&log, &events, script, dataFile_);
        app.crashAt = crashAt_;
        if (!useSettings_) {
            app.registryKey.clear();
            app.test3D = app.autoEnable3D = false;
        }
        app.ParseCommandLine(option, "");
        app.ParseCommandLine("-demofile", demoFile_);
        app.Init();
        app.Start();
        version_ = app.productVersion;
        return log;
    }

    void SetScore(int32_t score)
    {
        const uint8_t bytes[4] = {uint8_t(score), 0, 0, 0};
        store_.Write("SOFTWARE\\" + kKey, "Score", {plat::kSettingDword, {bytes, bytes + 4}});
    }

    fixtures::TempFolder folder_;
    plat::FileSettingsStore store_;
    const std::string demoFile_ = folder_.File("session.dmo");
    const std::string dataFile_ = folder_.File("level.xml");
    std::string version_;
    uint32_t crashAt_ = 0;
    bool useSettings_ = true; // false: neither the settings nor the card test's outcome go into the demo
};

TEST_F(DemoSession, APlayedRecordingRepeatsTheRunWhateverThePlayerAndTheOutsideDoMeanwhile)
{
    const Script session = {
        {2, {Msg(MessageKind::MouseMove, 100, 100), Msg(MessageKind::LButtonDown, 100, 100),
             Msg(MessageKind::MouseMove, 131, 69), Msg(MessageKind::MouseMove, 163, 69)}},
        // A drag that leaves the window on the left.
        {5, {Msg(MessageKind::MouseMove, -20, 50), Msg(MessageKind::LButtonUp, -20, 50),
             Msg(MessageKind::MouseWheel, -240)}},
        {40, {Msg(MessageKind::KeyDown, 'A'), Msg(MessageKind::Char, 'a'), Msg(MessageKind::Char, 0x263A),
              Msg(MessageKind::KeyUp, 'A'), Msg(MessageKind::RButtonDouble, 7, 8), Msg(MessageKind::RButtonUp, 7, 8)}},
        {41, {Msg(MessageKind::ActivateApp, 0)}},
        {44, {Msg(MessageKind::ActivateApp, 1), Msg(MessageKind::Size, plat::kSizeMinimized)}},
        {47, {Msg(MessageKind::Size, plat::kSizeRestored), Msg(MessageKind::MouseLeave)}},
        {60, {Msg(MessageKind::Close)}},
    };
    SetScore(5);
    std::ofstream(dataFile_) << "<level/>";
    const Log recorded = Run("-record", 1000, session);
    ASSERT_NE(std::find(recorded.begin(), recorded.end(), "app@10:score 5"), recorded.end());
    ASSERT_NE(std::find(recorded.begin(), recorded.end(), "app@12:file of 8"), recorded.end());
    ASSERT_NE(std::find(recorded.begin(), recorded.end(), "probe:drag 0,50"), recorded.end())
        << "a recorded position stays within what the file holds";

    // The settings and the file change, the clock starts elsewhere, the player clicks and types.
    SetScore(99);
    std::remove(dataFile_.c_str());
    const Script noise = {{3, {Msg(MessageKind::LButtonDown, 300, 300), Msg(MessageKind::KeyDown, 'Q')}},
                          {30, {Msg(MessageKind::MouseWheel, 120), Msg(MessageKind::LButtonUp, 300, 300)}}};
    const Log played = Run("-play", 50000, noise);

    EXPECT_EQ(WithoutDraws(played), WithoutDraws(recorded));
}

TEST_F(DemoSession, TheFileKeepsTheSeedTheJumpPointsAndTheLength)
{
    const Script session = {{25, {Msg(MessageKind::Close)}}};
    Run("-record", 4321, session);
    Nubra::DemoRecording recording;
    std::string error;
    ASSERT_TRUE(Nubra::LoadDemoFile(demoFile_, version_, &recording, &error)) << error;
    EXPECT_EQ(recording.seed, 4321u);
    ASSERT_EQ(recording.jumpPoints.size(), 1u);
    EXPECT_EQ(recording.jumpPoints[0].name, "twenty");
    EXPECT_EQ(recording.jumpPoints[0].update, 20u);
    EXPECT_EQ(recording.length, 25u);
}

TEST_F(DemoSession, ACrashSavesWhatWasRecordedUpToIt)
{
    crashAt_ = 15;
    useSettings_ = false; // the stream then holds only input, screen settings and the loading's end
    EXPECT_EXIT(
        {
            Nubra::CrashCatcher::SetReportFolder(folder_.File(""));
            Nubra::CrashCatcher::Install();
            Run("-record", 0, {{3, {Msg(MessageKind::KeyDown, 'A')}}});
        },
        testing::KilledBySignal(SIGSEGV), "");
    Nubra::DemoRecording recording;
    std::string error;
    ASSERT_TRUE(Nubra::LoadDemoFile(demoFile_, Nubra::NubraAppBase().productVersion, &recording, &error)) << error;
    EXPECT_EQ(recording.length, 15u);
    uint32_t updates = 0;
    Nubra::DemoStream player(updates);
    player.StartPlaying(recording.stream);
    std::vector<std::pair<uint32_t, int>> keys;
    for (; updates < 15; ++updates) {
        while (std::optional<Nubra::DemoEvent> event = player.TakeDueInput())
            if (event->command == Nubra::kDemoKeyDown)
                keys.emplace_back(updates, event->values[0]);
        if (player.DueEvent(Nubra::kDemoLoadingCompleted))
            player.ConsumeEvent();
    }
    EXPECT_EQ(keys, (std::vector<std::pair<uint32_t, int>>{{3, 'A'}}));
}

TEST_F(DemoSession, PlayingAFileThatCannotBeReadSaysWhyAndEndsTheProgram)
{
    apptest::StderrBox box;
    EXPECT_EXIT(Run("-play", 0, {}), testing::ExitedWithCode(0),
                "\\[FATAL ERROR\\] Demo file not found: .*session.dmo");
}

TEST(DemoControls, KeysSteerPlaybackSpeedJumpsPauseAndSound)
{
    struct Case {
        char key;
        uint32_t jumpTarget;
        double multiplier;
    };
    const Case cases[] = {
        {'4', 20000 - 12000, 1.0}, {'9', 20000 - 500, 1.0}, {'0', 20000, 1.0},
        {'+', 0, 1.5},             {'-', 0, 1.0 / 1.5},    {'n', 101, 1.0},
    };
    for (const Case& c : cases) {
        apptest::ScriptedEvents events;
        apptest::SimulatedTime time;
        Log log;
        SessionApp app(&log, &events, {}, "");
        app.playingDemo = true;
        app.demoLength = 20000;
        app.updateCount = 100;
        app.WindowProc(Msg(MessageKind::Char, c.key));
        EXPECT_EQ(app.demoJumpTarget, c.jumpTarget) << c.key;
        EXPECT_DOUBLE_EQ(app.updateMultiplier, c.multiplier) << c.key;
        EXPECT_EQ(app.QueuedMessageCount(), 0u) << "a control key is no input for the game";
    }

    apptest::ScriptedEvents events;
    Log log;
    SessionApp app(&log, &events, {}, "");
    app.playingDemo = true;
    app.musicVolume = 0.6;
    app.DemoControlChar('s');
    EXPECT_EQ(app.musicVolume, 0.0);
    app.DemoControlChar('S');
    EXPECT_DOUBLE_EQ(app.musicVolume, 0.6);
    app.DemoControlChar('p');
    EXPECT_TRUE(app.paused);
    app.DemoControlChar('m');
    EXPECT_TRUE(app.demoFastForwardToEnd);
}

} // namespace
