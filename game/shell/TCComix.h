#pragma once
#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Atlas.h"
#include "engine/ui/TCDialog.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/TCComixActors.h"

class TCBoardCore;
class TCComixObject;

// One step of a cut-scene: its actors run from its start on; it hands over once the last of them
// has ended and its finish delay has passed.
struct TCComixEpisode {
    float start = 0.0f; // cut-scene time at which it began
    float finishDelay = 0.0f;
    float length = 0.0f; // the latest end time of its actors
    std::vector<std::unique_ptr<TCComixActor>> actors;

    void Update(float time);
};

// A comic strip played full screen before a level or after it is won, from "cfg\comix.xml". A
// click skips to the end of the current episode; any button of the dialog closes it. While it is
// shown the board is paused and the level's music silent.
class TCComix : public TCDialog {
public:
    TCComix(TCCandyWidget* parent, TCEngine* app);
    ~TCComix() override;

    // The cut-scene of that name, into an empty comix; false, loading nothing, when the file or the
    // name is missing.
    bool Load(const std::string& name);
    // From the start, from the file as it is now.
    void Reload();
    void Clear();
    void LoadScene(pugi::xml_node comix);
    void LoadEpisodes(pugi::xml_node comix);
    void NextEpisode();
    void Skip();
    // Silences and empties it, hides it (the board goes on) and runs what was to follow it.
    void Close();
    // The developer's keys: Backspace pauses, F6 reloads, C copies the mouse position.
    bool OnDebugKey(int key);

    // Loads and shows the cut-scene; false, showing nothing, when it has no scene of that name.
    // onEnd runs once it has closed.
    bool Play(const std::string& name, std::function<void()> onEnd);
    // Advances the clock by seconds and runs the episodes, as an update step does.
    void Step(float seconds);

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    using TCDialog::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void OnShow() override;
    void OnHide() override;
    void OnButtonClick(intptr_t id) override;

    // The board it pauses while shown.
    void SetBoard(TCBoardCore* board) { board_ = board; }
    TCComixObject* FindObject(const std::string& name) const;
    const TCComixGroup* FindGroup(const std::string& name) const;
    const Atlas* GetAtlas() const { return atlas_.get(); }
    int GetDefaultTopOffset() const { return defaultTopOffset_; }
    int GetDefaultLineSpace() const { return defaultLineSpace_; }
    float GetTime() const { return time_; }
    int GetCurrentEpisode() const { return current_; }
    const std::vector<std::unique_ptr<TCComixEpisode>>& GetEpisodes() const { return episodes_; }
    const std::vector<std::unique_ptr<TCComixObject>>& GetObjects() const { return objects_; }
    bool IsPaused() const { return paused_; }
    const std::string& GetComixName() const { return name_; }

    // How pictures are read; tests hand in their own.
    TCImageFileLoader imageLoader = LoadAppImage;

private:
    TCComixEpisode* CurrentEpisode() const;
    void LoadObjects(pugi::xml_node comix);
    void LoadGroups(pugi::xml_node comix);
    void DrawDeveloperLine(Nubra::Graphics* g);

    bool paused_ = false;
    std::string name_;
    float time_ = 0.0f;
    int current_ = 0;
    std::vector<std::unique_ptr<TCComixObject>> objects_; // drawing order
    std::map<std::string, TCComixObject*> byName_;
    std::map<std::string, std::unique_ptr<TCComixGroup>> groups_;
    std::vector<std::unique_ptr<TCComixEpisode>> episodes_;
    bool clearBack_ = false;
    int defaultTopOffset_ = 0;
    int defaultLineSpace_ = 0;
    std::unique_ptr<Atlas> atlas_;
    TCBoardCore* board_ = nullptr;
    std::function<void()> onEnd_;
    bool boardPaused_ = false;
};
