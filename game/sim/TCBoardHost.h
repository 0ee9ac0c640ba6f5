#pragma once
#include <functional>
#include <map>
#include <string>

// What the game board asks of the application around it. The game supplies one over the
// engine; tests and headless runs use TCHeadlessBoardHost.
class TCBoardHost {
public:
    virtual ~TCBoardHost() = default;
    virtual bool IsAppActive() const = 0;
    virtual bool IsInputLocked() const = 0;
    virtual int GetUpdatePeriodMs() const = 0;
    virtual void PauseSoundGroup(const std::string& group) = 0;
    virtual void ResumeSoundGroup(const std::string& group) = 0;
    virtual void PlaySound(const std::string& name) = 0;
    virtual void SetCursor(const std::string& mode) = 0;
    virtual void SetTextVar(const std::string& name, int value) = 0;
    virtual void SetTextVarText(const std::string& name, const std::wstring& text) = 0;
    // The localised text of that id.
    virtual std::wstring GetText(const std::string& id) const = 0;
    virtual void ChangeMusic(const std::string& track) = 0;
    virtual void ResetParticles() = 0;
    // The load screen covers a level load; the board takes it down when the level starts.
    virtual void ShowLoadScreen(bool show) = 0;
    // Runs the level's loader and, once it is done, hands the level back to the board on the
    // main thread (OnLevelLoaded).
    virtual void RunLevelLoad(std::function<void()> load) = 0;
    // The level asked for could not be read: the player goes back to the menus.
    virtual void LevelLoadFailed() {}
};

// A board host without a window: always active, a fixed update period, no sound, and a level
// load that runs and hands back at once.
class TCHeadlessBoardHost : public TCBoardHost {
public:
    bool IsAppActive() const override { return appActive; }
    bool IsInputLocked() const override { return inputLocked; }
    int GetUpdatePeriodMs() const override { return updatePeriodMs; }
    void PauseSoundGroup(const std::string&) override {}
    void ResumeSoundGroup(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void SetCursor(const std::string& mode) override { cursor = mode; }
    void SetTextVar(const std::string& name, int value) override { textVars[name] = value; }
    void SetTextVarText(const std::string& name, const std::wstring& text) override { textTexts[name] = text; }
    // The id itself stands for its text.
    std::wstring GetText(const std::string& id) const override { return {id.begin(), id.end()}; }
    void ChangeMusic(const std::string& track) override { music = track; }
    void ResetParticles() override {}
    void ShowLoadScreen(bool show) override { loadScreenShown = show; }
    void RunLevelLoad(std::function<void()> load) override;
    void LevelLoadFailed() override { ++failedLoads; }

    bool appActive = true;
    int failedLoads = 0;
    bool inputLocked = false;
    int updatePeriodMs = 10;
    bool loadScreenShown = false;
    std::string cursor;
    std::map<std::string, int> textVars;
    std::map<std::string, std::wstring> textTexts;
    std::string music;
};
