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
    std::function<void()> onStep;
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

TEST(EngineHandOff, ALevelIsReadOnTheLevelThreadAndStartedOnTheMainThread)
{
    ClockGuard clock;
    Engine engine;
    engine.productName = apptest::UniqueProduct("BoardHandOff");
    engine.Init();
    Trace trace;
    TCEngineBoardHost host(engine);
    ThreadNotingBoard board(host, trace);
    EXPECT_EQ(gCurrentBoard, &board);

    bool requested = false;
    engine.onStep = [&] {
        if (!engine.completionHandled)
            return;
        if (!requested) {
            board.StartLevelLoad(3, false);
            requested = true;
        } else if (board.IsRunning()) {
            engine.Shutdown();
        }
    };
    engine.Start();

    EXPECT_TRUE(board.IsRunning());
    EXPECT_FALSE(board.IsLoading());
    EXPECT_EQ(board.GetLevel(), 3);
    EXPECT_NE(board.loadThread, std::this_thread::get_id());
    EXPECT_EQ(board.startThread, std::this_thread::get_id());
    EXPECT_EQ(engine.GetTextVar("money"), L"0");
}

} // namespace
