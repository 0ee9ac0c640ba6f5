#include "game/shell/TCMiniGame.h"

#include <algorithm>
#include <cmath>

#include "engine/core/EffectFile.h"
#include "engine/core/EngineHelpers.h"
#include "engine/core/GameClock.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCSound.h"
#include "engine/core/TCTexture.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/TCButton.h"
#include "framework/util/StringUtils.h"
#include "game/sim/TCLevelGoals.h"
#include "game/sim/TutorialPort.h"

namespace {

using Model = TCMiniGameModel;

constexpr const char* kWeightAttributes[Model::kKindCount] = {"bonus_coin", "bonus_happy", "bonus_clean", "bonus_speed",
                                                              "bonus_ice"};
constexpr const char* kChainEvents[Model::kKindCount] = {"onchaincoin", "onchainhappy", "onchaincleaning",
                                                         "onchainmomentready", "onchainice"};
// The coin's pop-up sits over the middle of the chain.
constexpr int kCoinStepX = 50, kCoinShiftX = 200, kCoinShiftY = 210;

int Round(float value) { return int(std::lround(value)); }

// Gone at once, whatever its effect was doing.
void Silence(TCCandyWidget* widget)
{
    if (TCEffect* effect = widget->GetEffect())
        effect->StopTimers();
    widget->SetVisible(false);
}

// Gone through its effect's event, or at once without one.
void Vanish(TCCandyWidget* widget, const char* event)
{
    if (!widget->RunEffect(event))
        widget->SetVisible(false);
}

void SetImage(TCCandyWidget* widget, const std::string& id, int textureId = 0)
{
    if (!widget->GetTexture(textureId))
        widget->AddTexture(textureId, new TCTexture);
    widget->GetTexture(textureId)->SetImage(FindTexture(id));
}

void SetPieceLook(TCCandyWidget* tray, const TCMiniGamePieceImages& images)
{
    auto* button = dynamic_cast<TCButton*>(tray);
    if (!button) {
        SetImage(tray, images.normal);
        return;
    }
    button->SetStateImages(images.normal);
    button->SetStateImage(images.over, TCButton::kOverTexture);
}

} // namespace

TCMiniGamePieceImages TCMiniGamePieceImages::ForKind(int kind)
{
    const std::string normal = Nubra::StrFormat("bonus%02d00", kind + 1);
    return {kind, normal, normal + "_e", normal + "_s"};
}

TCMiniGame::TCMiniGame(TCCandyWidget* parent, TCEngine* app) : TCDialog(parent, app) {}

void TCMiniGame::Build(pugi::xml_node uiRoot)
{
    FindDialogNode(uiRoot, "minigame");
    const size_t slots = std::min(trays_.size(), effects_.size());
    std::vector<float> widths;
    for (size_t slot = 0; slot < slots; ++slot)
        widths.push_back(float(trays_[slot]->width));
    model_.SetSlots(std::move(widths));
    model_.SetPanelWidth(float(width));
    for (int kind = 0; kind < Model::kKindCount; ++kind) {
        const TCMiniGamePieceImages ids = TCMiniGamePieceImages::ForKind(kind);
        images_[size_t(kind)] = {FindTexture(ids.normal), FindTexture(ids.over), FindTexture(ids.glow)};
    }
    for (const auto* pool : {&trays_, &effects_, &coins_})
        for (TCCandyWidget* widget : *pool)
            widget->SetVisible(false);
}

void TCMiniGame::AddChild(const std::string& name, TCCandyWidget* child)
{
    TCDialog::AddChild(name, child);
    if (name == "tray")
        trays_.push_back(child);
    else if (name == "effect_elem")
        effects_.push_back(child);
    else if (name == "coin_anim")
        coins_.push_back(child);
}

void TCMiniGame::LoadLevel(pugi::xml_node level)
{
    const pugi::xml_node params = level.child("partparams");
    for (size_t kind = 0; kind < pending_.weights.size(); ++kind) {
        pending_.weights[kind] = 0.0f;
        XmlGetFloat(params, kWeightAttributes[kind], pending_.weights[kind]);
    }
    pending_.speed = 0.0f;
    XmlGetFloat(params, "speed", pending_.speed);
}

void TCMiniGame::AddRandomPiece()
{
    const int kind = model_.ChooseKind(RandomFloat(0.0f, 1.0f));
    if (kind >= 0)
        AddPieceOfKind(kind, true, false);
}

void TCMiniGame::AddPieceOfKind(int kind, bool enabled, bool atFront)
{
    if (kind < 0 || kind >= Model::kKindCount)
        return;
    std::optional<Model::Piece> dropped;
    const Model::Piece* piece = model_.Add(kind, enabled, atFront, &dropped);
    // The model has freed the dropped piece's slot already, and may have handed it on.
    if (dropped)
        Silence(trays_[size_t(dropped->slot)]);
    if (!piece)
        return;
    const TCMiniGamePieceImages images = TCMiniGamePieceImages::ForKind(kind);
    TCCandyWidget* tray = trays_[size_t(piece->slot)];
    Silence(tray);
    SetPieceLook(tray, images);
    tray->SetDisabled(!enabled);
    tray->Move(Round(piece->x), Round(Model::kRowY));
    TCCandyWidget* effect = effects_[size_t(piece->slot)];
    Silence(effect);
    SetImage(effect, images.glow);
    tray->Show();
}

void TCMiniGame::Clear()
{
    for (const Model::Piece& piece : model_.GetPieces())
        Remove(piece, kRemoveSilently);
    for (const Flight& flight : flights_)
        Silence(trays_[size_t(flight.slot)]);
    flights_.clear();
    model_.Clear();
    model_.SetWeights(pending_.weights);
    model_.SetSpeed(pending_.speed);
}

void TCMiniGame::EnablePiece(int number)
{
    const size_t index = size_t(number - 1);
    if (number < 1 || index >= model_.GetPieces().size())
        return;
    model_.SetEnabled(index, true);
    trays_[size_t(model_.GetPieces()[index].slot)]->SetDisabled(false);
}

void TCMiniGame::EnableAllPieces()
{
    model_.EnableAll();
    for (const Model::Piece& piece : model_.GetPieces())
        trays_[size_t(piece.slot)]->SetDisabled(false);
}

void TCMiniGame::OnButtonClick(intptr_t id)
{
    if (TutorialForbids(kTutorialActionRun) || (blocked_ && blocked_()))
        return;
    const auto tray = std::find_if(trays_.begin(), trays_.end(), [id](TCCandyWidget* widget) {
        auto* button = dynamic_cast<TCButton*>(widget);
        return button && button->GetId() == id;
    });
    const std::optional<size_t> index = tray == trays_.end() ? std::nullopt : model_.FindSlot(int(tray - trays_.begin()));
    if (!index || !model_.GetPieces()[*index].enabled)
        return;
    PlaceEffects(*index + 1);
    Remove(model_.Take(*index), kRemoveByClick);
    PlaySound("minigame_hit");
}

void TCMiniGame::Update()
{
    TCDialog::Update();
    if (!TutorialForbids(kTutorialActionBonusPieces))
        StepRow();
    UpdateFlights();
}

void TCMiniGame::OnShown()
{
    TCDialog::OnShown();
    LockImages(true);
}

void TCMiniGame::OnHidden()
{
    LockImages(false);
    TCDialog::OnHidden();
}

void TCMiniGame::StepRow()
{
    const std::optional<Model::Chain> chain = model_.Step(gFrameTime);
    PlaceTrays();
    HideFinishedCoins();
    if (chain)
        GrantChain(*chain);
}

void TCMiniGame::PlaceTrays()
{
    for (const Model::Piece& piece : model_.GetPieces())
        trays_[size_t(piece.slot)]->Move(Round(piece.x), Round(Model::kRowY));
}

void TCMiniGame::PlaceEffects(size_t count)
{
    const auto& pieces = model_.GetPieces();
    for (size_t i = 0; i < std::min(count, pieces.size()); ++i)
        effects_[size_t(pieces[i].slot)]->Move(Round(pieces[i].x) - kEffectOffsetX, Round(Model::kRowY) - kEffectOffsetY);
}

void TCMiniGame::GrantChain(const Model::Chain& chain)
{
    const Model::Piece& first = model_.GetPieces()[chain.first];
    if (applyBonus_)
        applyBonus_(chain.kind, chain.Strength());
    if (chain.kind == Model::kCoin)
        ShowCoin(chain.length * kCoinStepX / 2 + Round(first.x) - kCoinShiftX, Round(Model::kRowY) - kCoinShiftY);
    PlaceEffects(chain.first + size_t(chain.length));
    for (const Model::Piece& piece : model_.TakeChain(chain))
        Remove(piece, kRemoveByChain);
}

void TCMiniGame::ShowCoin(int x, int y)
{
    if (coins_.empty())
        return;
    TCCandyWidget* coin = coins_[nextCoin_++ % coins_.size()];
    Silence(coin);
    coin->Move(x, y);
    coin->SetVisible(true);
    coin->RunEffect("onshow");
}

void TCMiniGame::HideFinishedCoins()
{
    for (TCCandyWidget* coin : coins_)
        if (coin->visible && !(coin->GetEffect() && coin->GetEffect()->IsRunning()))
            coin->SetVisible(false);
}

void TCMiniGame::Remove(const Model::Piece& piece, RemovalEvent event)
{
    TCCandyWidget* tray = trays_[size_t(piece.slot)];
    if (event == kRemoveSilently) {
        Silence(tray);
    } else if (event == kRemoveByClick) {
        Vanish(tray, "onclick");
    } else if (LeaveChain(piece)) {
        return;
    }
    model_.ReleaseSlot(piece.slot);
}

bool TCMiniGame::LeaveChain(const Model::Piece& piece)
{
    TCCandyWidget* tray = trays_[size_t(piece.slot)];
    tray->RunEffect("onchain");
    TCCandyWidget* effect = effects_[size_t(piece.slot)];
    effect->SetVisible(true);
    if (!effect->RunEffect(kChainEvents[piece.kind]))
        effect->SetVisible(false);
    // A kind the level still counts flies to the display and keeps its slot until it lands.
    if (LevelGoals().GetRemaining(piece.kind) > 0) {
        tray->RunEffect("fly_and_hide");
        flights_.push_back({piece.slot, piece.kind, {tray->x, tray->y}, FlightTarget(piece.kind)});
        return true;
    }
    Vanish(tray, "simple_hide");
    return false;
}

void TCMiniGame::UpdateFlights()
{
    const float step = UpdateStep();
    for (auto flight = flights_.begin(); flight != flights_.end();) {
        flight->elapsed += step;
        const float share = gMatch3EffectFlyTime > 0.0f ? std::min(flight->elapsed / gMatch3EffectFlyTime, 1.0f) : 1.0f;
        TCCandyWidget* tray = trays_[size_t(flight->slot)];
        tray->Move(flight->from.x + Round(float(flight->to.x - flight->from.x) * share),
                   flight->from.y + Round(float(flight->to.y - flight->from.y) * share));
        if (share < 1.0f) {
            ++flight;
            continue;
        }
        Silence(tray);
        model_.ReleaseSlot(flight->slot);
        const int kind = flight->kind;
        flight = flights_.erase(flight);
        LevelGoals().CountTask(kind);
    }
}

Nubra::Point TCMiniGame::FlightTarget(int kind) const
{
    // Over the display's achievement entry of that kind when it has one.
    const TCCandyWidget* display = GetParent();
    const TCCandyWidget* panel = display ? display->FindChild("achievments") : nullptr;
    const TCCandyWidget* entry = panel ? panel->FindChild(Nubra::StrFormat("achiev_%d", kind + 1)) : nullptr;
    if (!entry)
        return {Round(gMatch3PosX), 0};
    const Nubra::Point at = entry->GetAbsPos();
    const Nubra::Point origin = GetAbsPos();
    return {at.x - origin.x, at.y - origin.y};
}

void TCMiniGame::LockImages(bool lock)
{
    for (auto& kind : images_)
        for (TCImageRef& image : kind)
            lock ? image.Lock() : image.Unlock();
}
