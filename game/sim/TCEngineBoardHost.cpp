#include "game/sim/TCEngineBoardHost.h"

#include "engine/core/TCCursorSet.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCMusic.h"
#include "engine/core/TCParticleRegistry.h"
#include "engine/core/TCSound.h"

bool TCEngineBoardHost::IsAppActive() const { return engine_.active; }

bool TCEngineBoardHost::IsInputLocked() const { return engine_.inputLocked; }

int TCEngineBoardHost::GetUpdatePeriodMs() const { return engine_.updatePeriod; }

void TCEngineBoardHost::SetTextVar(const std::string& name, int value) { engine_.SetTextVar(name, value); }

void TCEngineBoardHost::SetTextVarText(const std::string& name, const std::wstring& text)
{
    engine_.SetTextVar(name, text);
}

std::wstring TCEngineBoardHost::GetText(const std::string& id) const { return engine_.GetLocalization().GetText(id); }

void TCEngineBoardHost::ChangeMusic(const std::string& track) { engine_.GetMusic().Change(track); }

void TCEngineBoardHost::RunLevelLoad(std::function<void()> load) { engine_.StartLevelLoading(std::move(load)); }

void TCEngineBoardHost::PauseSoundGroup(const std::string& group) { ::PauseSoundGroup(group); }

void TCEngineBoardHost::ResumeSoundGroup(const std::string& group) { ::ResumeSoundGroup(group); }

void TCEngineBoardHost::PlaySound(const std::string& name) { ::PlaySound(name); }

void TCEngineBoardHost::SetCursor(const std::string& mode) { engine_.GetCursorSet().SetCursor(mode); }

void TCEngineBoardHost::ShowLoadScreen(bool show)
{
    if (show)
        engine_.ShowLoadScreen();
    else
        engine_.HideLoadScreen();
}

void TCEngineBoardHost::ResetParticles()
{
    if (gParticleRegistry)
        gParticleRegistry->ResetAll();
}

void TCEngineBoardHost::LevelLoadFailed() { engine_.ShowMainMenu(); }
