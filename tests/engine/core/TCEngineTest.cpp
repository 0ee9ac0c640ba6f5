#include "engine/core/TCEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "framework/app/AppTestSupport.h"

namespace {

// A board that notes where and how often the engine hands it its loaded level.
class FakeBoard : public TCIGameBoard {
public:
    void OnLevelLoaded() override
    {
        ++handOffs;
        onMainThread = onMainThread && std::this_thread::get_id() == mainThread;
    }
    std::thread::id mainThread = std::this_thread::get_id();
    int handOffs = 0;
    bool onMainThread = true;
};

class Engine : public TCEngine {
public:
    bool ChangeDirHook(const std::string&) override { return true; }
    void LoadingThreadCompleted() override { ++completions; }
    void UpdateFrames() override
    {
        TCEngine::UpdateFrames();
        if (onStep)
            onStep();
    }

    int completions = 0;
    std::function<void()> onStep;
};

TEST(TCEngine, LevelLoadsReuseTheLoadingHandshakeWithoutRepeatingTheStartUpCompletion)
{
    Engine engine;
    engine.productName = apptest::UniqueProduct("Engine");
    engine.Init();
    EXPECT_EQ(gTCEngine, &engine);

    FakeBoard board;
    gCurrentBoard = &board;
    auto level = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    int levelsStarted = 0, levelsDone = 0;
    engine.onStep = [&] {
        if (engine.completions == 0 || engine.loadingInProgress)
            return;
        if (levelsStarted > levelsDone) {
            ++levelsDone; // the engine's step saw the level load end
            EXPECT_EQ(board.handOffs, levelsDone);
        }
        if (levelsStarted == 2) {
            engine.Shutdown();
            return;
        }
        engine.StartLevelLoading(level);
        ++levelsStarted;
        EXPECT_TRUE(engine.loadingInProgress);
        EXPECT_FALSE(engine.loadingCompleted);
    };
    engine.Start();

    gCurrentBoard = nullptr;
    EXPECT_EQ(levelsDone, 2);
    EXPECT_EQ(board.handOffs, 2);
    EXPECT_TRUE(board.onMainThread);
    EXPECT_EQ(engine.completions, 1);
    EXPECT_TRUE(engine.completionHandled);
}

} // namespace
