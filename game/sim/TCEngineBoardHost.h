#pragma once
#include "game/sim/TCBoardHost.h"

class TCEngine;

// The board's host in the running game: the application's flags, the engine's text variables and
// its level-loading thread, whose end the engine hands back to the current board.
class TCEngineBoardHost : public TCBoardHost {
public:
    explicit TCEngineBoardHost(TCEngine& engine) : engine_(engine) {}

    bool IsAppActive() const override;
    bool IsInputLocked() const override;
    int GetUpdatePeriodMs() const override;
    void SetTextVar(const std::string& name, int value) override;
    void SetTextVarText(const std::string& name, const std::wstring& text) override;
    std::wstring GetText(const std::string& id) const override;
    void ChangeMusic(const std::string& track) override;
    void RunLevelLoad(std::function<void()> load) override;
    void PauseSoundGroup(const std::string& group) override;
    void ResumeSoundGroup(const std::string& group) override;
    void PlaySound(const std::string& name) override;
    void SetCursor(const std::string& mode) override;

    void ShowLoadScreen(bool show) override;
    void LevelLoadFailed() override;
    // Silences every particle system of the engine's registry.
    void ResetParticles() override;

private:
    TCEngine& engine_;
};
