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
    void RunLevelLoad(std::function<void()> load) override;

    // Sound groups, cursors, particles and the load screen arrive with their own tables.
    void PauseSoundGroup(const std::string&) override {}
    void ResumeSoundGroup(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void SetCursor(const std::string&) override {}
    void ResetParticles() override {}
    void ShowLoadScreen(bool) override {}

private:
    TCEngine& engine_;
};
