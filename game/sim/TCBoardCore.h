#pragma once
#include <pugixml.hpp>

#include <list>
#include <map>
#include <memory>
#include <string>

#include "engine/core/GameClock.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCTimeSum.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/BoardObjects.h"
#include "game/sim/TCBoardHost.h"
#include "game/sim/TCEventQueue.h"
#include "game/sim/TCGraph.h"

namespace Nubra {
class Graphics;
class SharedImageRef;
} // namespace Nubra

// The rules of the game board without its widget: the running level, its fixed update step,
// money and survival stages, the end of a level, hovering and the queue of clicked objects.
// The game's rules fill the hooks; the widget forwards its update, drawing and mouse here.
class TCBoardCore : public TCIGameBoard {
public:
    explicit TCBoardCore(TCBoardHost& host);
    ~TCBoardCore() override;
    TCBoardCore(const TCBoardCore&) = delete;
    TCBoardCore& operator=(const TCBoardCore&) = delete;

    // The level's objects (not owned) and the depth-order solver (owned).
    void SetScene(TCBoardScene* scene);
    void SetZOrder(std::unique_ptr<TCZOrder> solver);
    // Moving objects call this whenever the depth order may have changed.
    void MarkZOrderDirty() { zOrderDirty_ = true; }

    // Follows the widget's visibility.
    void SetShown(bool shown) { shown_ = shown; }
    // The level runs, is not paused, the board is shown, the application active and input free.
    bool CanHandleInput() const;

    // Pauses nest; the game's sounds stop with the first and go on with the last.
    void Pause();
    void Resume();
    int GetPauseCount() const { return pauseCount_; }

    int AddMoney(int amount);
    int GetMoney() const { return money_; }
    float GetProgress() const;

    void StartLevelLoad(int level, bool survival);
    void LoadNextLevel() { StartLevelLoad(level_ + 1, survival_); }
    void RestartLevel() { StartLevelLoad(level_, survival_); }
    void AbortLevel();
    void Shutdown();
    // "cfg\cfg.xml" handed to LoadConfig, once a run on the start-up loader; false when unreadable.
    bool LoadBoardConfig();

    // Once per update of the main loop, after the widget's own update.
    void Update();
    void Draw(Nubra::Graphics& graphics);
    void UpdateHover(int x, int y);
    // A key released over the board.
    virtual void KeyUp(int key) { (void)key; }
    void MouseDown(int x, int y, int button);
    void ClickItem(TCBoardItem& item);

    // Survival: the objects that come into play when the day of that number begins.
    void AddStage(int number, std::list<TCBoardItem*> items);
    // Images the level's objects keep alive until the next level.
    void KeepSharedImage(std::unique_ptr<Nubra::SharedImageRef> image);

    // Developer overlay lines, kept only in developer mode.
    void AddDebugWatch(const std::string& name, const std::string& text);
    void AddDebugWatch(const std::string& name, int value);
    void AddDebugWatch(const std::string& name, float value);
    void AddDebugWatch(const std::string& name, bool value);
    const std::map<std::string, std::string>& GetDebugWatches() const { return watches_; }

    bool IsRunning() const { return running_; }
    bool IsLoading() const { return loading_; }
    bool IsSurvival() const { return survival_; }
    bool IsLevelOverShown() const { return levelOver_; }
    int GetLevel() const { return level_; }
    double GetLevelTime() const { return levelTime_.Seconds(); }
    int GetStageCounter() const { return stageCounter_; }
    TCBoardItem* GetHoveredItem() const { return hovered_; }
    const std::string& GetStartComix() const { return startComix_; }
    const std::string& GetFinishComix() const { return finishComix_; }
    TCEventQueue& GetEventQueue() { return queue_; }
    // The walker's map registered under that name, or null.
    TCGraph* GetGraph(const std::string& name);
    TCBoardHost& GetHost() { return host_; }
    TCZOrder* GetZOrder() const { return zOrder_.get(); }

    // The hooks, in the order the game's boards know them.
    // While true a full-screen cut-scene covers the objects, which are then not drawn.
    virtual bool IsOverlayVisible() const { return false; }
    // While the ice bonus holds the cafe, tidiness and patience do not fall.
    virtual bool IsFrozen() const { return false; }
    // On the loading thread: the level file of that number and its scene. False, with nothing
    // to start, when either cannot be read.
    virtual bool LoadLevel(int level, bool survival);
    // On the main thread, once the loader is done.
    void OnLevelLoaded() override;
    virtual bool IsLevelOver() { return queue_.IsExhausted(); }
    virtual void OnLevelEnd() {}
    virtual void OnLevelStart() = 0;
    virtual void AfterLevelResult() = 0;
    virtual void LeaveLevel() = 0;
    // The game's own part of the level file.
    virtual void LoadLevel(pugi::xml_node level, const XmlDocument& document) = 0;
    virtual void ResetLevelObjects() = 0;
    virtual void OnItemAction(TCBoardItem* item) = 0;
    virtual void UpdateLogic() = 0;
    virtual void LoadConfig(pugi::xml_node root) = 0;
    virtual void UnloadConfig() = 0;
    virtual void CheckGoals() = 0;
    virtual void NextSurvivalDay() = 0;
    // True when the event was brought into play and leaves the queue. The event lives only as
    // long as it is queued: whoever keeps its data copies it.
    virtual bool SpawnEvent(const TCEvent& event) = 0;
    virtual void OnPause() = 0;
    virtual void OnResume() = 0;
    // What the boss asks of the game: its chain of quick serves, and whether an upgrade is owned.
    virtual void CountRushServe() {}
    virtual void ResetRushBonus() {}
    virtual bool IsUpgradeActive(const std::string& object, const std::string& name) const
    {
        (void)object;
        (void)name;
        return false;
    }
    virtual void ProcessEventQueues();

protected:
    // What a level file gives the board once it is open: stages, arrivals, then the game's part.
    void LoadLevelElement(pugi::xml_node level, const XmlDocument& document, pugi::xml_node sceneRoot = {});
    void UnloadLevel();
    void StartLevel();

private:
    struct Stage {
        int number = 0;
        std::list<TCBoardItem*> items;
    };

    void OfferDueEvent(int queue);
    void WorkOffClicks();
    void TestLevelEnd();
    void EndLevel();
    // Stops a running level: nothing hovered, every object out of play, the level's UI gone.
    void StopRunning();
    void AdvanceStage();
    // The scene document the level names; null, logged, when it cannot be read.
    XmlDocument OpenScene(pugi::xml_node level);
    void LoadStages(pugi::xml_node level);
    void LoadGraphs(pugi::xml_node sceneRoot, pugi::xml_node level);
    void ClearGraphs();
    void ReleaseSharedImages();
    void DrawOutlines(Nubra::Graphics& graphics);

    TCBoardHost& host_;
    TCBoardScene* scene_;
    std::unique_ptr<TCZOrder> zOrder_;
    bool zOrderDirty_ = true;
    bool shown_ = false;

    bool running_ = false;
    int pauseCount_ = 0;
    int level_ = 0;
    bool survival_ = false;
    bool loading_ = false;
    // What the loader left for the main thread's hand-back.
    bool levelReady_ = false;
    TCTimeSum levelTime_;
    bool levelOver_ = false;
    TCTimeout levelOverDeadline_;
    int money_ = 0;
    int previousThreshold_ = 0;
    int stageCounter_ = 1;
    bool stageActive_ = false;
    std::list<Stage> stages_;
    std::list<Stage>::iterator nextStage_;
    TCBoardItem* hovered_ = nullptr;
    std::list<TCBoardItem*> clicks_;
    std::list<std::unique_ptr<Nubra::SharedImageRef>> sharedImages_;
    TCEventQueue queue_;
    std::map<std::string, std::unique_ptr<TCGraph>> graphs_;
    std::string startComix_, finishComix_;
    std::map<std::string, std::string> watches_;
};

// The one board of the run, for the game objects; set while a board exists.
extern TCBoardCore* gGameBoard;

// A sound of the level's objects, through the board's host; silent without a board.
void PlayGameSound(const std::string& name);
