#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "SimFixtures.h"
#include "game/sim/TCBoardCore.h"

namespace simtest {

using Trace = std::vector<std::string>;

// A game object that writes what the board does with it into the trace; its hit region is a
// rectangle.
class FakeItem : public TCBoardItem {
public:
    FakeItem(Trace& trace, std::string name, Nubra::Rect region = {0, 0, 0, 0})
        : trace_(trace), name_(std::move(name)), region_(region)
    {
    }
    const std::string& GetName() const override { return name_; }
    bool IsActive() const override { return active; }
    bool IsVisible() const override { return visible; }
    void SetActive(bool on) override
    {
        active = on;
        trace_.push_back((on ? "activate " : "deactivate ") + name_);
    }
    void Update() override
    {
        ++updates;
        trace_.push_back("update " + name_);
    }
    void RunEvent(const char* event) override { trace_.push_back(std::string(event) + " " + name_); }
    bool HitTest(Nubra::Point point) const override
    {
        return point.x >= region_.x && point.y >= region_.y && point.x < region_.x + region_.width &&
               point.y < region_.y + region_.height;
    }
    bool IsPickable(bool hit) const override { return active && visible && hit; }
    void SetMouseOver(Nubra::Point, bool over) override { mouseOver = over; }
    void IncClickCount() override { ++clicks; }

    bool active = true;
    bool visible = true;
    bool mouseOver = false;
    int updates = 0;
    int clicks = 0;

private:
    Trace& trace_;
    std::string name_;
    Nubra::Rect region_;
};

class FakeScene : public TCBoardScene {
public:
    explicit FakeScene(Trace& trace) : trace_(trace) {}
    FakeItem& Add(std::string name, Nubra::Rect region = {0, 0, 0, 0})
    {
        items.push_back(std::make_unique<FakeItem>(trace_, std::move(name), region));
        return *items.back();
    }
    void ForEachItem(const std::function<void(TCBoardItem&)>& visit) override
    {
        for (auto& item : items)
            visit(*item);
    }
    void ForEachPickable(const std::function<void(TCBoardItem&)>& visit) override { ForEachItem(visit); }
    TCBoardItem* FindItem(const std::string& name) override
    {
        for (auto& item : items)
            if (item->GetName() == name)
                return item.get();
        return nullptr;
    }
    void CreateObjects(pugi::xml_node root) override
    {
        trace_.push_back(std::string("create objects of ") + root.name());
    }
    void ApplyLevel(pugi::xml_node level) override { trace_.push_back(std::string("apply ") + level.name()); }
    void ResetAnimations() override { trace_.push_back("reset animations"); }
    void DestroyAll() override
    {
        trace_.push_back("destroy all");
        items.clear();
    }

    std::list<std::unique_ptr<FakeItem>> items;

private:
    Trace& trace_;
};

class RecordingHost : public TCHeadlessBoardHost {
public:
    explicit RecordingHost(Trace& trace) : trace_(trace) {}
    void PauseSoundGroup(const std::string& group) override { trace_.push_back("pause sounds " + group); }
    void ResumeSoundGroup(const std::string& group) override { trace_.push_back("resume sounds " + group); }
    void PlaySound(const std::string& name) override { trace_.push_back("sound " + name); }

private:
    Trace& trace_;
};

// A board whose hooks write into the trace; SpawnEvent takes what `spawnAccepts` allows.
class RecordingBoard : public TCBoardCore {
public:
    RecordingBoard(TCBoardHost& host, Trace& trace) : TCBoardCore(host), trace_(trace) {}

    bool IsLevelOver() override
    {
        trace_.push_back("is level over");
        return levelOver;
    }
    void OnLevelEnd() override { Note("level end"); }
    void OnLevelStart() override { trace_.push_back("level start"); }
    void AfterLevelResult() override { Note("after result"); }
    void LeaveLevel() override { trace_.push_back("leave level"); }
    void LoadLevel(pugi::xml_node, const XmlDocument&) override { trace_.push_back("load game level"); }
    using TCBoardCore::LoadLevel;
    void ResetLevelObjects() override { trace_.push_back("reset objects"); }
    void OnItemAction(TCBoardItem* item) override { trace_.push_back("action " + item->GetName()); }
    void UpdateLogic() override { trace_.push_back("logic"); }
    void LoadConfig(pugi::xml_node) override {}
    void UnloadConfig() override { trace_.push_back("unload config"); }
    void CheckGoals() override { ++goalChecks; }
    void NextSurvivalDay() override { trace_.push_back("next day"); }
    bool SpawnEvent(const TCEvent& event) override
    {
        trace_.push_back("spawn " + event.persons[0]);
        return spawnAccepts;
    }
    void OnPause() override { trace_.push_back("on pause"); }
    void OnResume() override { trace_.push_back("on resume"); }

    bool levelOver = false;
    bool spawnAccepts = true;
    int goalChecks = 0;
    float clockAtLevelEnd = -1.0f, clockAfterResult = -1.0f;

private:
    void Note(const std::string& what)
    {
        trace_.push_back(what);
        (what == "level end" ? clockAtLevelEnd : clockAfterResult) = gGameClock;
    }
    Trace& trace_;
};

// A scratch working folder with level files under cfg/, as the game finds them.
class LevelFolder {
public:
    LevelFolder() : home_(std::filesystem::current_path())
    {
        folder_ = home_ / ("board_levels_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "cfg");
        std::filesystem::current_path(folder_);
    }
    ~LevelFolder()
    {
        std::filesystem::current_path(home_);
        std::filesystem::remove_all(folder_);
    }
    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(folder_ / "cfg" / name, std::ios::binary) << text;
    }
    // A level file; one that names no scene gets an empty one, as a level cannot start without.
    void WriteLevel(const std::string& name, std::string text)
    {
        if (text.find(" doc=") == std::string::npos) {
            Write("empty_scene.xml", "<root/>");
            text.insert(text.find("<level") + 6, " doc='cfg\\empty_scene.xml'");
        }
        Write(name, text);
    }

private:
    std::filesystem::path home_, folder_;
};

} // namespace simtest
