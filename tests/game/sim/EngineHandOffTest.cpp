#include <gtest/gtest.h>

#include <thread>

#include "BoardFixtures.h"
#include "engine/core/TCEngine.h"
#include "framework/app/AppTestSupport.h"
#include "game/sim/TCEngineBoardHost.h"

namespace {

using namespace simtest;

class Engine : public TCEngine {
public:
    bool ChangeDirHook(const std::string&) override { return true; }
    void UpdateFrames() override
    {
        TCEngine::UpdateFrames();
        if (onStep)
            onStep();
    }
    void ShowMainMenu() override { ++mainMenus; }
    std::function<void()> onStep;
    int mainMenus = 0;
};

// Notes on which thread the level is read and started.
class ThreadNotingBoard : public RecordingBoard {
public:
    using RecordingBoard::RecordingBoard;
    void LoadLevel(pugi::xml_node level, const XmlDocument& document) override
    {
        RecordingBoard::LoadLevel(level, document);
        loadThread = std::this_thread::get_id();
    }
    void OnLevelStart() override
    {
        RecordingBoard::OnLevelStart();
        startThread = std::this_thread::get_id();
    }
    std::thread::id loadThread, startThread;
};

// Runs the engine until the board's load of that level is handed back; level 3 exists.
template <class Check>
void RunLoad(int level, Check check)
{
    ClockGuard clock;
    Engine engine;
    engine.productName = apptest::UniqueProduct("BoardHandOff");
    engine.Init();
    // Start-up enters the program's folder: the level's files go where it then looks.
    LevelFolder levels;
    levels.WriteLevel("l003.xml", "<level/>");
    Trace trace;
    TCEngineBoardHost host(engine);
    ThreadNotingBoard board(host, trace);
    EXPECT_EQ(gCurrentBoard, &board);

    bool requested = false;
    engine.onStep = [&] {
        if (!engine.completionHandled)
            return;
        if (!requested) {
            board.StartLevelLoad(level, false);
            requested = true;
        } else if (!board.IsLoading()) {
            engine.Shutdown();
        }
    };
    engine.Start();
    EXPECT_FALSE(board.IsLoading());
    check(engine, board);
}

TEST(EngineHandOff, ALevelIsReadOnTheLevelThreadAndStartedOnTheMainThread)
{
    RunLoad(3, [](Engine& engine, ThreadNotingBoard& board) {
        EXPECT_TRUE(board.IsRunning());
        EXPECT_EQ(board.GetLevel(), 3);
        EXPECT_NE(board.loadThread, std::this_thread::get_id());
        EXPECT_EQ(board.startThread, std::this_thread::get_id());
        EXPECT_EQ(engine.GetTextVar("money"), L"0");
        EXPECT_EQ(engine.mainMenus, 0);
    });
}

TEST(EngineHandOff, ALevelThatCannotBeReadLeadsBackToTheMainMenu)
{
    RunLoad(4, [](Engine& engine, ThreadNotingBoard& board) {
        EXPECT_FALSE(board.IsRunning());
        EXPECT_EQ(engine.mainMenus, 1);
        EXPECT_EQ(engine.GetTextVar("money"), L"") << "no level started, no result";
    });
}

} // namespace
