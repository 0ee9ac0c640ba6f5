#include "game/sim/TCTutorialScript.h"

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/ui/TCDialog.h"
#include "game/sim/TCHudView.h"

namespace {

template <typename Visit> void ForEachId(std::string_view list, Visit visit)
{
    while (!list.empty()) {
        const size_t end = list.find(';');
        const std::string_view id = list.substr(0, end);
        if (!id.empty())
            visit(std::string(id));
        if (end == std::string_view::npos)
            break;
        list.remove_prefix(end + 1);
    }
}

// The script the game's clock and tutorial dialogs report to.
TCTutorialScript* gListening = nullptr;

} // namespace

TCTutorialScript& GetTutorial()
{
    // Never destroyed: the clock may still ask it while the process ends.
    static auto* tutorial = new TCTutorialScript;
    return *tutorial;
}

TCTutorialScript::~TCTutorialScript()
{
    if (gListening != this)
        return;
    SetTutorialGate(nullptr);
    SetTutorialPort(nullptr);
    TCTutorialDialog::onClosed = nullptr;
    gListening = nullptr;
}

bool TCTutorialScript::IsActionAllowed(int action) const
{
    if (!script_)
        return true;
    return !forbidden_.contains(kTutorialActionRun) && !forbidden_.contains(action);
}

bool TCTutorialScript::IsObjectAllowed(const std::string& name) const
{
    return !script_ || clickable_.contains(name);
}

int TCTutorialScript::NextBonusKind()
{
    if (!script_ || nextBonus_ >= script_->bonusKinds.size())
        return -1;
    return script_->bonusKinds[nextBonus_++];
}

bool TCTutorialScript::Matches(const TCTutorialRule& rule, int event) const
{
    return rule.trigger == event || (rule.trigger == kTutorialTick && !delay_.IsPending());
}

void TCTutorialScript::ApplyRule(int event)
{
    if (!script_)
        return;
    const TCTutorialRule& current = script_->rules[size_t(index_)];
    const TCTutorialRule* fired = Matches(current, event) ? &current : nullptr;
    for (size_t i = 0; !fired && i < current.alternatives.size(); ++i)
        if (Matches(current.alternatives[i], event))
            fired = &current.alternatives[i];
    if (!fired)
        return;
    WriteLog("ApplyRule: %d%s", index_, fired == &current ? "" : "(alt)");
    Execute(*fired);
    delay_.Set(fired->delay);
    index_ = fired->next == -1 ? index_ + 1 : fired->next;
    if (index_ >= int(script_->rules.size()))
        EndScript();
}

void TCTutorialScript::Execute(const TCTutorialRule& rule)
{
    for (int action : rule.forbid)
        if (action)
            forbidden_.insert(action);
    for (int action : rule.allow)
        forbidden_.erase(action);
    ForEachId(rule.addClickable, [this](std::string name) { clickable_.insert(std::move(name)); });
    ForEachId(rule.removeClickable, [this](const std::string& name) { clickable_.erase(name); });
    ShowMessages(rule.show, true);
    ShowMessages(rule.close, false);
    if (rule.piece && level_)
        level_->EnableMiniGamePiece(rule.piece);
    if (rule.callback)
        rule.callback(*this);
}

void TCTutorialScript::ShowMessages(std::string_view ids, bool show)
{
    if (hud_)
        ForEachId(ids, [this, show](const std::string& id) { hud_->ShowTutorialMessage(id, show); });
}

void TCTutorialScript::EndScript()
{
    script_ = nullptr;
    if (level_)
        level_->EnableAllMiniGamePieces();
    if (hud_)
        hud_->ShowSkipTutorial(false);
}

void TCTutorialScript::Clear()
{
    script_ = nullptr;
    index_ = 0;
    nextBonus_ = 0;
    forbidden_.clear();
    clickable_.clear();
}

void TCTutorialScript::StartForLevel(bool mainScript)
{
    Clear();
    if (hud_)
        hud_->ShowSkipTutorial(mainScript);
    if (mainScript && !DebugSettings().NoTutorial)
        Start(GetTutorialScript(0));
}

void TCTutorialScript::StartBonusTutorial(int kind)
{
    // The clean bonus has no tutorial of its own.
    if (kind < 0 || kind > 4 || GetTutorialScript(kind + 1).rules.empty())
        return;
    Clear();
    if (!DebugSettings().NoTutorial)
        Start(GetTutorialScript(kind + 1));
}

void TCTutorialScript::Start(const TCTutorialScriptDef& script)
{
    Clear();
    if (script.rules.empty())
        return;
    SetTutorialGate([this](int action) { return !IsActionAllowed(action); });
    SetTutorialPort(this);
    TCTutorialDialog::onClosed = [this] { OnTutorialDialogClosed(); };
    gListening = this;
    script_ = &script;
    delay_.Set(0.0f);
    ApplyRule(kTutorialTick);
}

void TCTutorialScript::Stop()
{
    EndScript();
    if (hud_)
        hud_->HideTutorialMessages();
    fadingOut_ = fadingIn_ = false;
}

void TCTutorialScript::Reset() { Clear(); }

void TCTutorialScript::Update()
{
    RunFades();
    if (script_ && !delay_.IsPending()) {
        delay_.Set(0.0f);
        ApplyRule(kTutorialTick);
    }
}

void TCTutorialScript::RunFades()
{
    if (fadingOut_) {
        if (hud_)
            hud_->SetPointerAlpha(1.0f - fade_);
        fade_ -= gFrameTime;
        if (fade_ <= 0.0f) {
            fadingOut_ = false;
            if (hud_)
                hud_->SetPointerAlpha(1.0f);
            ApplyRule(kTutorialFadeOutDone);
        }
    }
    if (fadingIn_) {
        if (hud_)
            hud_->SetPointerAlpha(fade_);
        fade_ -= gFrameTime;
        if (fade_ <= 0.0f) {
            fadingIn_ = false;
            if (hud_)
                hud_->ReleasePointer();
            ApplyRule(kTutorialFadeInDone);
        }
    }
}

void TCTutorialScript::StartPointerFadeOut()
{
    fadingOut_ = true;
    fadingIn_ = false;
    fade_ = kPointerFadeSeconds;
}

void TCTutorialScript::StartPointerFadeIn()
{
    fadingIn_ = true;
    fadingOut_ = false;
    fade_ = kPointerFadeSeconds;
}

void TCTutorialScript::ResetRushTime()
{
    if (level_)
        level_->ResetRushTime();
}

void TCTutorialScript::ResetScene()
{
    if (level_)
        level_->ResetTutorialScene();
}
