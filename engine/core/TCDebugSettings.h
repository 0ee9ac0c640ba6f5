#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Nubra {
class Font;
class Graphics;
class NubraAppBase;
} // namespace Nubra

// The developer switches, the option overlay and the developer keys. All of it is dormant unless
// developer mode (IsDeveloperMode in Log.h) is on, which the shipped game never turns on.
class TCDebugSettings {
public:
    // What the developer keys and the title reach in the layers above, set by whoever owns it.
    struct Hooks {
        std::function<bool(int key)> comixKey;     // the cut-scene keys; true when it took the key
        std::function<void()> openAllLevels;       // F2, with the level key switch on
        std::function<void()> addMiniGamePiece;    // F3
        std::function<void()> resetGoals;          // F4
        std::function<void()> reloadEffects;       // F7
        std::function<void()> reapplyCursor;       // after an option changed
        std::function<bool()> sceneDisplayOn;      // whether num-plus and num-minus step DbgScene
        std::function<void(int scene)> selectScene;
        std::function<void(int key)> sceneMover;   // arrows move the selected scene object
    };
    struct SceneInfo {
        std::string name;
        int x = 0, y = 0;
    };
    struct Option {
        bool* value;
        const char* label;
    };

    TCDebugSettings();
    ~TCDebugSettings();
    TCDebugSettings(const TCDebugSettings&) = delete;
    TCDebugSettings& operator=(const TCDebugSettings&) = delete;

    // Reads the switches of "usersettings.xml" at path; a switch is on for a non-zero number
    // ("true" is off) and a missing attribute keeps its field. False when not in developer mode
    // or the file cannot be read.
    bool LoadUserSettings(const std::string& path);
    // The overlay's fonts; lets the framework's own debug keys work too.
    void CreateFonts(Nubra::NubraAppBase& app);
    // Null outside developer mode.
    Nubra::Font* GetMonoFont() const { return monoFont_.get(); }
    void OnKeyDown(int key);
    void DrawOverlay(Nubra::Graphics& g);
    // The window title of a developer's step for scene DbgScene (null when there is none); empty
    // outside developer mode.
    std::string StepTitle(const SceneInfo* scene) const;
    // A value for overlay graph 0 or 1; the oldest go beyond kGraphLength.
    void AddGraphValue(int graph, float value);

    bool LevelKeySwitch = false; // F2 opens every level; nothing turns it on
    bool DrawCheckMarkPos = false;
    bool DrawOutlines = false;
    bool DrawZOrderLines = false;
    bool NoMainMenu = false;
    bool InfinityGame = false;
    bool AutoDumpZOrder = false;
    bool BossSlowSpeed = false;
    bool ForceWindowMode = false;
    bool IgnorePaks = false;
    bool SimpleCursor = false;
    bool FoodAll = false;
    bool SoundLog = false;
    bool MoveItemParts = false;
    bool JoinLog = false;
    std::string DbgUpgradeType = "None";
    bool NoTutorial = false;
    bool NoComix = false;
    int DbgScene = 1;

    bool overlayShown = false;
    int selected = 0;
    std::vector<Option> options;
    Hooks hooks;

    static constexpr size_t kGraphLength = 300;
    static constexpr int kBandWidth = 300;

private:
    std::unique_ptr<Nubra::Font> monoFont_, smallFont_, mediumFont_;
    std::deque<float> graphs_[2];
};

// The one object of the process.
TCDebugSettings& DebugSettings();

// Developer mode is on when VELMIRA_DEVELOPER is set to a non-zero number: then the log goes to
// logFolder's "tarrow.log" and the switches come from settingsFolder's "usersettings.xml".
// Called by the program's entry before the engine exists, so that IgnorePaks counts.
void StartDeveloperMode(const std::string& logFolder, const std::string& settingsFolder);
