#include "game/sim/TCBoardCore.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/SharedImage.h"
#include "framework/raster/SWTriFillerTable.h"
#include "framework/util/StringUtils.h"

TCBoardCore* gGameBoard = nullptr;

namespace {

constexpr float kLevelEndWait = 2.0f;
constexpr int kLeftButton = 0;
// Only the boss walks the floor by a graph.
const char* const kGraphNames[] = {"boss"};

// Until a level's objects exist the board walks nothing.
class EmptyScene : public TCBoardScene {
public:
    void CreateObjects(pugi::xml_node) override {}
    void ApplyLevel(pugi::xml_node) override {}
    void ForEachItem(const std::function<void(TCBoardItem&)>&) override {}
    void ForEachPickable(const std::function<void(TCBoardItem&)>&) override {}
    TCBoardItem* FindItem(const std::string&) override { return nullptr; }
    void DestroyAll() override {}
};

EmptyScene gEmptyScene;

} // namespace

TCBoardCore::TCBoardCore(TCBoardHost& host) : host_(host), scene_(&gEmptyScene), nextStage_(stages_.end())
{
    Nubra::SWTri_InitFillerTable();
    for (const char* name : kGraphNames)
        graphs_.emplace(name, std::make_unique<TCGraph>(name));
    gGameBoard = this;
    gCurrentBoard = this;
}

TCBoardCore::~TCBoardCore()
{
    if (gGameBoard == this)
        gGameBoard = nullptr;
    if (gCurrentBoard == this)
        gCurrentBoard = nullptr;
}

void TCBoardCore::SetScene(TCBoardScene* scene) { scene_ = scene ? scene : &gEmptyScene; }

void TCBoardCore::SetZOrder(std::unique_ptr<TCZOrder> solver)
{
    zOrder_ = std::move(solver);
    zOrderDirty_ = true;
}

bool TCBoardCore::CanHandleInput() const
{
    return running_ && pauseCount_ <= 0 && host_.IsAppActive() && shown_ && !host_.IsInputLocked();
}

void TCBoardCore::Pause()
{
    if (++pauseCount_ != 1)
        return;
    host_.PauseSoundGroup("game");
    OnPause();
}

void TCBoardCore::Resume()
{
    // A stray resume must not use up the next pause.
    if (pauseCount_ <= 0) {
        WriteLog("WARNING: Game board resumed without a pause");
        return;
    }
    if (--pauseCount_ != 0)
        return;
    host_.ResumeSoundGroup("game");
    OnResume();
}

int TCBoardCore::AddMoney(int amount)
{
    if (!(survival_ && amount < 0))
        money_ = static_cast<int>(std::clamp<int64_t>(int64_t(money_) + amount, 0, INT_MAX));
    // One change of money completes at most one day.
    if (survival_ && queue_.HasThreshold() && money_ >= queue_.GetThreshold())
        AdvanceStage();
    CheckGoals();
    host_.SetTextVar("money", money_);
    return money_;
}

void TCBoardCore::AdvanceStage()
{
    previousThreshold_ = queue_.GetThreshold();
    ++stageCounter_;
    // Records of days already begun (the first day's among them) are passed over.
    while (nextStage_ != stages_.end() && nextStage_->number < stageCounter_)
        ++nextStage_;
    if (nextStage_ != stages_.end() && nextStage_->number == stageCounter_) {
        for (TCBoardItem* item : nextStage_->items) {
            item->SetActive(true);
            item->RunEvent("on_add");
        }
        ++nextStage_;
    } else {
        stageActive_ = false;
    }
    queue_.NextThreshold();
    host_.SetTextVar("normal", queue_.GetThreshold());
    NextSurvivalDay();
}

float TCBoardCore::GetProgress() const
{
    if (!survival_)
        return queue_.GetProgress();
    const int current = queue_.GetThreshold();
    if (!stageActive_ || current <= previousThreshold_ || money_ <= previousThreshold_)
        return 0.0f;
    return static_cast<float>(money_ - previousThreshold_) / static_cast<float>(current - previousThreshold_);
}

void TCBoardCore::StartLevelLoad(int level, bool survival)
{
    // The level's UI is left here on the main thread; the loader then finds the level stopped.
    StopRunning();
    loading_ = true;
    host_.ShowLoadScreen(true);
    host_.RunLevelLoad([this, level, survival] { levelReady_ = LoadLevel(level, survival); });
}

bool TCBoardCore::LoadLevel(int level, bool survival)
{
    UnloadLevel();
    level_ = level;
    survival_ = survival;
    const std::string path = Nubra::StrFormat(survival ? "cfg\\e%03d.xml" : "cfg\\l%03d.xml", level);
    const XmlDocument document = OpenXmlFile(path.c_str());
    const pugi::xml_node element = document ? document->child("level") : pugi::xml_node();
    startComix_.clear();
    finishComix_.clear();
    // Open until the graphs have read it too.
    const XmlDocument scene = element ? OpenScene(element) : nullptr;
    const pugi::xml_node sceneRoot = scene ? scene->child("root") : pugi::xml_node();
    // An empty level would count as played: better none at all.
    if (!sceneRoot) {
        WriteLog("ERROR: Cannot open level '%s'", path.c_str());
        return false;
    }
    XmlGetString(element, "onstart_comix", startComix_);
    XmlGetString(element, "onfinish_comix", finishComix_);
    scene_->CreateObjects(sceneRoot);
    scene_->ApplyLevel(element);
    ReleaseSharedImages();
    // Rebuilt at the first draw, on the main thread.
    zOrderDirty_ = true;
    LoadLevelElement(element, document, sceneRoot);
    return true;
}

XmlDocument TCBoardCore::OpenScene(pugi::xml_node level)
{
    std::string path;
    XmlGetString(level, "doc", path);
    if (path.empty()) {
        WriteLog("ERROR: The level names no scene");
        return nullptr;
    }
    XmlDocument scene = OpenXmlFile(path.c_str());
    if (!scene)
        WriteLog("ERROR: Cannot open scene '%s'", path.c_str());
    return scene;
}

void TCBoardCore::LoadLevelElement(pugi::xml_node level, const XmlDocument& document, pugi::xml_node sceneRoot)
{
    if (survival_)
        LoadStages(level);
    LoadGraphs(sceneRoot, level);
    queue_.SetMode(survival_ ? TCEventQueue::kSurvival : TCEventQueue::kCareer);
    queue_.Load(level);
    LoadLevel(level, document);
}

void TCBoardCore::LoadStages(pugi::xml_node level)
{
    ForEachNode(level, "stages/stage", [this](pugi::xml_node node) {
        Stage& stage = stages_.emplace_back();
        XmlGetInt(node, "num", stage.number);
        for (pugi::xml_node object : node.children("object")) {
            std::string name;
            XmlGetString(object, "name", name);
            if (TCBoardItem* item = scene_->FindItem(name))
                stage.items.push_back(item);
            else
                WriteLog("ERROR: Item '%s' not found", name.c_str());
        }
        return true;
    });
    nextStage_ = stages_.begin();
}

void TCBoardCore::LoadGraphs(pugi::xml_node sceneRoot, pugi::xml_node level)
{
    for (auto& [name, graph] : graphs_) {
        graph->LoadSceneGraphs(sceneRoot);
        graph->CollectObjectPoints(*scene_);
        graph->LoadLevelGraphs(level);
    }
}

void TCBoardCore::ClearGraphs()
{
    for (auto& [name, graph] : graphs_) {
        graph->ClearScenePart();
        graph->ClearLevelPart();
        graph->ClearObjectPart();
    }
}

TCGraph* TCBoardCore::GetGraph(const std::string& name)
{
    const auto found = graphs_.find(name);
    return found == graphs_.end() ? nullptr : found->second.get();
}

void TCBoardCore::AddStage(int number, std::list<TCBoardItem*> items)
{
    const bool wasAtEnd = nextStage_ == stages_.end();
    stages_.push_back({number, std::move(items)});
    if (wasAtEnd)
        nextStage_ = std::prev(stages_.end());
}

void TCBoardCore::OnLevelLoaded()
{
    // The engine's loading thread serves other loads too; only the board's own starts a level.
    if (!loading_)
        return;
    host_.ShowLoadScreen(false);
    if (!levelReady_) {
        loading_ = false;
        host_.LevelLoadFailed();
        return;
    }
    StartLevel();
    loading_ = false;
}

void TCBoardCore::StartLevel()
{
    gFrameTime = 0.0f;
    levelTime_.Reset();
    levelOver_ = false;
    stageCounter_ = 1;
    nextStage_ = stages_.begin();
    ResetGameClock();
    scene_->ForEachItem([](TCBoardItem& item) {
        if (item.IsActive())
            item.SetActive(true);
    });
    clicks_.clear();
    queue_.Reset();
    host_.ResetParticles();
    money_ = 0;
    previousThreshold_ = 0;
    stageActive_ = true;
    AddMoney(0);
    OnLevelStart();
    running_ = true;
}

void TCBoardCore::StopRunning()
{
    if (!running_)
        return;
    running_ = false;
    hovered_ = nullptr;
    scene_->ForEachItem([](TCBoardItem& item) {
        if (item.IsActive())
            item.SetActive(false);
    });
    LeaveLevel();
}

void TCBoardCore::AbortLevel() { StopRunning(); }

void TCBoardCore::EndLevel()
{
    StopRunning();
    AfterLevelResult();
}

void TCBoardCore::UnloadLevel()
{
    if (level_ <= 0)
        return;
    level_ = 0;
    StopRunning();
    stages_.clear();
    nextStage_ = stages_.end();
    ClearGraphs();
    // The objects go below: nothing may point at them afterwards.
    hovered_ = nullptr;
    clicks_.clear();
    if (zOrder_)
        zOrder_->Clear();
    scene_->ResetAnimations();
    scene_->DestroyAll();
    queue_.Clear();
    ResetLevelObjects();
}

void TCBoardCore::Shutdown()
{
    UnloadLevel();
    ReleaseSharedImages();
    UnloadConfig();
}

bool TCBoardCore::LoadBoardConfig()
{
    const XmlDocument config = OpenXmlFile("cfg\\cfg.xml");
    const pugi::xml_node root = config ? config->child("root") : pugi::xml_node();
    if (!root) {
        WriteLog("ERROR: Cannot open cfg\\cfg.xml");
        return false;
    }
    LoadConfig(root);
    return true;
}

void TCBoardCore::KeepSharedImage(std::unique_ptr<Nubra::SharedImageRef> image)
{
    sharedImages_.push_back(std::move(image));
}

void TCBoardCore::ReleaseSharedImages()
{
    for (const std::unique_ptr<Nubra::SharedImageRef>& image : sharedImages_)
        image->Release();
    sharedImages_.clear();
}

void TCBoardCore::Update()
{
    if (!CanHandleInput()) {
        gFrameTime = 0.0f;
        return;
    }
    gFrameTime = static_cast<float>(host_.GetUpdatePeriodMs() / 1000.0);
    levelTime_.Add(gFrameTime);
    queue_.AdvanceTime();
    AdvanceGameClock();
    ProcessEventQueues();
    scene_->ForEachItem([](TCBoardItem& item) {
        if (item.IsActive())
            item.Update();
    });
    UpdateLogic();
    WorkOffClicks();
    TestLevelEnd();
}

void TCBoardCore::ProcessEventQueues()
{
    if (survival_) {
        const int queue = queue_.ChooseQueue();
        if (queue >= 0)
            OfferDueEvent(queue);
        return;
    }
    for (int queue = 0; queue < TCEventQueue::kQueueCount; ++queue)
        OfferDueEvent(queue);
}

void TCBoardCore::OfferDueEvent(int queue)
{
    const TCEvent* event = queue_.GetDueEvent(queue);
    if (event && SpawnEvent(*event))
        queue_.PopEvent(queue);
}

void TCBoardCore::WorkOffClicks()
{
    // Taken off first: an action may clear the list (an abandoned level).
    while (!clicks_.empty()) {
        TCBoardItem* item = clicks_.front();
        clicks_.pop_front();
        OnItemAction(item);
    }
}

void TCBoardCore::TestLevelEnd()
{
    if (levelOver_) {
        if (!levelOverDeadline_.IsPending())
            EndLevel();
        return;
    }
    if (IsLevelOver()) {
        levelOver_ = true;
        levelOverDeadline_.Set(kLevelEndWait);
        OnLevelEnd();
    }
}

void TCBoardCore::UpdateHover(int x, int y)
{
    if (!CanHandleInput())
        return;
    const Nubra::Point point{x, y};
    TCBoardItem* found = nullptr;
    scene_->ForEachPickable([&](TCBoardItem& item) {
        const bool hit = item.HitTest(point);
        if (item.IsVisible())
            item.SetMouseOver(point, hit && !found);
        if (!found && item.IsPickable(hit))
            found = &item;
    });
    hovered_ = found;
    host_.SetCursor(found ? "active" : "normal");
}

void TCBoardCore::MouseDown(int x, int y, int button)
{
    if (button != kLeftButton || !CanHandleInput() || !hovered_)
        return;
    if (hovered_->IsVisible() && hovered_->IsActive() && hovered_->HitTest({x, y}))
        ClickItem(*hovered_);
}

void TCBoardCore::ClickItem(TCBoardItem& item)
{
    item.IncClickCount();
    host_.PlaySound("click");
    clicks_.push_back(&item);
}

void TCBoardCore::Draw(Nubra::Graphics& graphics)
{
    if (IsOverlayVisible() || !zOrder_)
        return;
    if (zOrderDirty_) {
        zOrder_->Rebuild();
        zOrderDirty_ = false;
    }
    for (TCBoardPart* part : zOrder_->GetOrder())
        if (part->IsOwnerVisible() && part->IsDrawable())
            part->Draw(graphics);
    if (IsDeveloperMode() && DebugSettings().DrawOutlines)
        DrawOutlines(graphics);
}

void TCBoardCore::DrawOutlines(Nubra::Graphics& graphics)
{
    const Nubra::Color saved = graphics.GetColor();
    graphics.SetColor(Nubra::Color(250, 250, 150));
    for (TCBoardPart* part : zOrder_->GetOrder())
        if (part->IsOwnerVisible() && part->IsDrawable())
            graphics.DrawRect(part->GetOutline());
    graphics.SetColor(saved);
}

void TCBoardCore::AddDebugWatch(const std::string& name, const std::string& text)
{
    if (IsDeveloperMode())
        watches_[name] = Nubra::StrFormat("%s: %s", name.c_str(), text.c_str());
}

void TCBoardCore::AddDebugWatch(const std::string& name, int value)
{
    if (IsDeveloperMode())
        watches_[name] = Nubra::StrFormat("%s: %d", name.c_str(), value);
}

void TCBoardCore::AddDebugWatch(const std::string& name, float value)
{
    if (IsDeveloperMode())
        watches_[name] = Nubra::StrFormat("%s: %5.2f", name.c_str(), static_cast<double>(value));
}

void PlayGameSound(const std::string& name)
{
    if (gGameBoard)
        gGameBoard->GetHost().PlaySound(name);
}

void TCBoardCore::AddDebugWatch(const std::string& name, bool value) { AddDebugWatch(name, value ? 1 : 0); }
