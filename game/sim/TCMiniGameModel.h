#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// The rules of the in-level bonus row, apart from any widget: the weights by which random pieces
// are dealt, the row of pieces closing up from the left, the chains among the resting pieces and
// the pool of slots (a tray and an effect element each) the pieces occupy. Positions are kept in
// sub-pixels, so that slow pieces move too.
class TCMiniGameModel {
public:
    enum Kind { kCoin, kHappy, kClean, kSpeed, kIce, kKindCount };
    static constexpr int kMaxPieces = 18;
    static constexpr float kRowY = 715.0f;
    static constexpr float kFirstX = 17.0f;
    // Weight totals at or below this deal no pieces.
    static constexpr float kMinWeightTotal = 0.01f;

    struct Piece {
        int kind = 0;
        int slot = 0;
        float x = 0.0f;
        float width = 0.0f;
        bool enabled = true;
    };
    // Adjacent resting pieces of one kind, three or more of them.
    struct Chain {
        int kind = 0;
        size_t first = 0;
        int length = 0;
        int Strength() const { return length - 2; }
    };
    using Weights = std::array<float, kKindCount>;

    // The level's weights by kind: negative ones count as 0, and they are scaled to a total of 1,
    // unless the total is too small to deal anything.
    void SetWeights(const Weights& raw);
    const Weights& GetWeights() const { return weights_; }
    // Pixels per second.
    void SetSpeed(float speed) { speed_ = speed; }
    float GetSpeed() const { return speed_; }
    // The panel's slots by the width of their trays; at most 18 pieces are ever in play. Empties
    // the row.
    void SetSlots(std::vector<float> widths);
    int GetCapacity() const { return capacity_; }
    // New pieces at the back come in from here.
    void SetPanelWidth(float width) { panelWidth_ = width; }

    // The kind a random piece takes for r in [0, 1); -1 when no kind has a weight. With several
    // kinds, the kind of the two newest pieces is left out when they are alike.
    int ChooseKind(float r) const;

    // A piece enters at the front (x 0) or at the back (the panel's width). When the row is full,
    // or no slot is free, the oldest piece leaves first and comes back in `dropped`. Null when
    // no slot can be had at all (every slot still held by a taken piece).
    const Piece* Add(int kind, bool enabled, bool atFront, std::optional<Piece>* dropped = nullptr);
    // Moves the row by one step of dt seconds, then looks for the first chain among the resting
    // pieces in front of the first piece that moved.
    std::optional<Chain> Step(float dt);
    // Takes pieces out of the row; their slots stay held until released.
    Piece Take(size_t index);
    std::vector<Piece> TakeChain(const Chain& chain);
    void ReleaseSlot(int slot);
    // Every piece and every held slot goes.
    void Clear();

    void SetEnabled(size_t index, bool enabled);
    void EnableAll();

    const std::vector<Piece>& GetPieces() const { return pieces_; }
    // The index in the row of the piece in that slot, or nullopt.
    std::optional<size_t> FindSlot(int slot) const;
    bool IsSlotFree(int slot) const;

private:
    int TakeFreeSlot();

    Weights weights_{};
    float speed_ = 0.0f;
    int capacity_ = 0;
    float panelWidth_ = 0.0f;
    std::vector<Piece> pieces_;
    std::vector<float> widths_;
    std::vector<bool> held_;
};
