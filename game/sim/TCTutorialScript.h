#pragma once
#include <array>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "engine/core/GameClock.h"
#include "game/sim/TutorialPort.h"

class TCHudView;
class TCTutorialScript;

using TCTutorialCallback = void (*)(TCTutorialScript& script);

// One step of a script. Text lists are ids separated by ';'.
struct TCTutorialRule {
    int trigger = 0; // 0: on the tick once the previous rule's delay has passed
    float delay = 0.0f;
    std::string_view show{};
    std::string_view close{};
    std::array<int, 5> allow{};
    std::array<int, 5> forbid{};
    std::string_view addClickable{};
    std::string_view removeClickable{};
    int piece = 0; // a mini-game piece to enable, 1-based
    int next = -1; // -1: the following rule
    TCTutorialCallback callback = nullptr;
    std::span<const TCTutorialRule> alternatives{};
};

struct TCTutorialScriptDef {
    std::span<const TCTutorialRule> rules;
    std::span<const int> bonusKinds; // the kinds the rush bonus hands out while it runs
};

// What the tutorial reaches of the level beyond the display.
class TCTutorialLevel {
public:
    virtual ~TCTutorialLevel() = default;
    virtual void EnableMiniGamePiece(int piece) = 0;
    virtual void EnableAllMiniGamePieces() = 0;
    virtual void ResetRushTime() = 0;
    // The tutorial's scene back to fresh: the boss idle, its workers and clients anew, the
    // mini-game cleared.
    virtual void ResetTutorialScene() = 0;
};

// The tutorial of a level: a script of rules fired by the game's events that shows messages,
// forbids actions and limits which objects the player may click.
class TCTutorialScript : public TCTutorialPort {
public:
    static constexpr float kPointerFadeSeconds = 1.0f;

    TCTutorialScript() = default;
    ~TCTutorialScript() override;
    TCTutorialScript(const TCTutorialScript&) = delete;
    TCTutorialScript& operator=(const TCTutorialScript&) = delete;

    // Either may be null; the game then runs without that side of the tutorial.
    void SetHud(TCHudView* hud) { hud_ = hud; }
    void SetLevel(TCTutorialLevel* level) { level_ = level; }

    bool IsActionAllowed(int action) const;
    bool IsObjectAllowed(const std::string& name) const override;
    // The bonus kind the running script hands out next, or -1.
    int NextBonusKind();

    void ApplyRule(int event) override;
    // Level start: the main script runs only when asked (the first career level).
    void StartForLevel(bool mainScript);
    // 0 coin, 1 happy, 2 clean (has none), 3 speed, 4 ice.
    void StartBonusTutorial(int kind);
    void Start(const TCTutorialScriptDef& script);
    void Stop();
    void Reset();
    // Every step of play: the pointer fades, then a due tick.
    void Update();
    void OnTutorialDialogClosed() { ApplyRule(kTutorialDialogClosed); }

    void StartPointerFadeOut();
    void StartPointerFadeIn();
    void ResetRushTime();
    void ResetScene();

    bool IsRunning() const { return script_ != nullptr; }
    int GetIndex() const { return index_; }
    const std::set<std::string>& GetClickable() const { return clickable_; }
    const std::set<int>& GetForbidden() const { return forbidden_; }

private:
    bool Matches(const TCTutorialRule& rule, int event) const;
    void Execute(const TCTutorialRule& rule);
    void ShowMessages(std::string_view ids, bool show);
    void EndScript();
    void Clear();
    void RunFades();

    TCHudView* hud_ = nullptr;
    TCTutorialLevel* level_ = nullptr;
    bool fadingOut_ = false;
    bool fadingIn_ = false;
    float fade_ = 1.0f;
    const TCTutorialScriptDef* script_ = nullptr;
    int index_ = 0;
    size_t nextBonus_ = 0;
    TCTimeout delay_;
    std::set<int> forbidden_;
    std::set<std::string> clickable_;
};

// The one tutorial of the run.
TCTutorialScript& GetTutorial();

// The built-in scripts: 0 the first level's, then the bonus tutorials of coin, happy, clean
// (none), speed and ice.
const TCTutorialScriptDef& GetTutorialScript(int index);
constexpr int kTutorialScriptCount = 6;
