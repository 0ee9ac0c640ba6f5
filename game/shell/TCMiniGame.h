#pragma once
#include <pugixml.hpp>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/TCTextureTable.h"
#include "engine/ui/TCDialog.h"
#include "game/sim/TCMiniGameModel.h"

// The images of one kind of piece: the piece itself, its "_e" companion shown under the mouse and
// the "_s" glow its effect element shows.
struct TCMiniGamePieceImages {
    int kind = 0;
    std::string normal, over, glow;

    static TCMiniGamePieceImages ForKind(int kind);
};

// The bonus row inside the display: pieces drift into the trays, the player clicks pieces away,
// and chains of three or more grant the board's bonus for their kind. Pieces of a kind the level
// still counts as a task fly to the display as they go. Built from the "minigame" element; its
// "tray", "effect_elem" and "coin_anim" controls are the pools it works with.
class TCMiniGame : public TCDialog {
public:
    static constexpr int kEffectOffsetX = 11, kEffectOffsetY = 17;

    TCMiniGame(TCCandyWidget* parent, TCEngine* app);

    // The "minigame" element under the UI document's root; the row has as many slots as the
    // smallest of 18, the trays and the effect elements.
    void Build(pugi::xml_node uiRoot);
    // The chain's bonus, by kind and strength (run length - 2).
    void SetBonusTarget(std::function<void(int kind, int strength)> apply) { applyBonus_ = std::move(apply); }
    // While it answers true (a dialog over the level), clicks on pieces do nothing.
    void SetBlockingCheck(std::function<bool()> blocked) { blocked_ = std::move(blocked); }

    // The level's "partparams" (weights by kind and the speed). Safe on the loading thread: the
    // values take effect at the next Clear, which every level start makes.
    void LoadLevel(pugi::xml_node level);
    void AddRandomPiece();
    void AddPieceOfKind(int kind, bool enabled, bool atFront);
    // Every piece goes without an event, and so do the flights.
    void Clear();
    // The piece of that number in the row (1-based) can be clicked.
    void EnablePiece(int number);
    // Every piece can be clicked (a tutorial that ends leaves none stuck).
    void EnableAllPieces();

    void AddChild(const std::string& name, TCCandyWidget* child) override;
    void OnButtonClick(intptr_t id) override;
    void Update() override;
    void OnShown() override;
    void OnHidden() override;

    const TCMiniGameModel& GetModel() const { return model_; }
    TCCandyWidget* GetTray(int slot) const { return slot >= 0 && size_t(slot) < trays_.size() ? trays_[size_t(slot)] : nullptr; }
    size_t GetFlightCount() const { return flights_.size(); }

private:
    enum RemovalEvent { kRemoveSilently, kRemoveByClick, kRemoveByChain };
    struct Flight {
        int slot = 0;
        int kind = 0;
        Nubra::Point from, to;
        float elapsed = 0.0f;
    };
    struct LevelParams {
        TCMiniGameModel::Weights weights{};
        float speed = 0.0f;
    };

    void StepRow();
    void PlaceTrays();
    // The effect elements of the row's first `count` pieces go where their pieces are.
    void PlaceEffects(size_t count);
    void GrantChain(const TCMiniGameModel::Chain& chain);
    void ShowCoin(int x, int y);
    void HideFinishedCoins();
    void Remove(const TCMiniGameModel::Piece& piece, RemovalEvent event);
    // A chained piece glows and goes; true when it flies to the display, its slot still held.
    bool LeaveChain(const TCMiniGameModel::Piece& piece);
    void UpdateFlights();
    // Where a task icon of that kind flies to, in this dialog's coordinates.
    Nubra::Point FlightTarget(int kind) const;
    void LockImages(bool lock);

    TCMiniGameModel model_;
    std::vector<TCCandyWidget*> trays_, effects_, coins_;
    size_t nextCoin_ = 0;
    std::array<std::array<TCImageRef, 3>, TCMiniGameModel::kKindCount> images_;
    std::vector<Flight> flights_;
    LevelParams pending_;
    std::function<void(int, int)> applyBonus_;
    std::function<bool()> blocked_;
};
