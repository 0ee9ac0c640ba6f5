#include "game/sim/TCMiniGameModel.h"

#include <algorithm>
#include <cmath>

void TCMiniGameModel::SetWeights(const Weights& raw)
{
    float total = 0.0f;
    for (size_t kind = 0; kind < raw.size(); ++kind) {
        weights_[kind] = std::max(raw[kind], 0.0f);
        total += weights_[kind];
    }
    for (float& weight : weights_)
        weight = total > kMinWeightTotal ? weight / total : 0.0f;
}

void TCMiniGameModel::SetSlots(std::vector<float> widths)
{
    capacity_ = std::min(int(widths.size()), kMaxPieces);
    widths_ = std::move(widths);
    widths_.resize(size_t(capacity_));
    pieces_.clear();
    held_.assign(size_t(capacity_), false);
}

int TCMiniGameModel::ChooseKind(float r) const
{
    const auto weighted = std::count_if(weights_.begin(), weights_.end(), [](float w) { return w > 0.0f; });
    if (weighted == 0)
        return -1;
    if (weighted == 1)
        return int(std::find_if(weights_.begin(), weights_.end(), [](float w) { return w > 0.0f; }) - weights_.begin());
    int excluded = -1;
    if (pieces_.size() >= 2 && pieces_.back().kind == pieces_[pieces_.size() - 2].kind)
        excluded = pieces_.back().kind;
    float cycle = 0.0f;
    for (int kind = 0; kind < kKindCount; ++kind)
        if (kind != excluded)
            cycle += weights_[size_t(kind)];
    // Going round the kinds as often as r needs is going round once with what is left over.
    r = std::fmod(std::max(r, 0.0f), cycle);
    int last = -1;
    for (int kind = 0; kind < kKindCount; ++kind) {
        // A kind without weight is never dealt, not even for an r of exactly 0.
        if (kind == excluded || weights_[size_t(kind)] <= 0.0f)
            continue;
        last = kind;
        r -= weights_[size_t(kind)];
        if (r <= 0.0f)
            return kind;
    }
    return last; // rounding left a sliver over
}

const TCMiniGameModel::Piece* TCMiniGameModel::Add(int kind, bool enabled, bool atFront, std::optional<Piece>* dropped)
{
    if (dropped)
        dropped->reset();
    const bool full = int(pieces_.size()) >= capacity_;
    if ((full || std::find(held_.begin(), held_.end(), false) == held_.end()) && !pieces_.empty()) {
        Piece oldest = Take(0);
        ReleaseSlot(oldest.slot);
        if (dropped)
            *dropped = oldest;
    }
    const int slot = TakeFreeSlot();
    if (slot < 0)
        return nullptr;
    const Piece piece{kind, slot, atFront ? 0.0f : panelWidth_, widths_[size_t(slot)], enabled};
    return atFront ? &*pieces_.insert(pieces_.begin(), piece) : &pieces_.emplace_back(piece);
}

std::optional<TCMiniGameModel::Chain> TCMiniGameModel::Step(float dt)
{
    const float reach = speed_ * dt;
    float target = kFirstX;
    size_t resting = pieces_.size();
    for (size_t i = 0; i < pieces_.size(); ++i) {
        Piece& piece = pieces_[i];
        if (piece.x != target) {
            if (std::fabs(target - piece.x) <= reach)
                piece.x = target;
            else
                piece.x += piece.x < target ? reach : -reach;
            resting = std::min(resting, i);
        }
        target = piece.x + piece.width;
    }

    Chain run;
    for (size_t i = 0; i < resting; ++i) {
        if (run.length > 0 && pieces_[i].kind == run.kind) {
            ++run.length;
            continue;
        }
        if (run.length >= 3)
            return run;
        run = {pieces_[i].kind, i, 1};
    }
    if (run.length >= 3)
        return run;
    return std::nullopt;
}

TCMiniGameModel::Piece TCMiniGameModel::Take(size_t index)
{
    Piece piece = pieces_.at(index);
    pieces_.erase(pieces_.begin() + std::ptrdiff_t(index));
    return piece;
}

std::vector<TCMiniGameModel::Piece> TCMiniGameModel::TakeChain(const Chain& chain)
{
    const auto first = pieces_.begin() + std::ptrdiff_t(chain.first);
    std::vector<Piece> taken(first, first + chain.length);
    pieces_.erase(first, first + chain.length);
    return taken;
}

void TCMiniGameModel::ReleaseSlot(int slot)
{
    if (slot >= 0 && size_t(slot) < held_.size())
        held_[size_t(slot)] = false;
}

void TCMiniGameModel::Clear()
{
    pieces_.clear();
    held_.assign(held_.size(), false);
}

void TCMiniGameModel::SetEnabled(size_t index, bool enabled)
{
    if (index < pieces_.size())
        pieces_[index].enabled = enabled;
}

void TCMiniGameModel::EnableAll()
{
    for (Piece& piece : pieces_)
        piece.enabled = true;
}

std::optional<size_t> TCMiniGameModel::FindSlot(int slot) const
{
    for (size_t i = 0; i < pieces_.size(); ++i)
        if (pieces_[i].slot == slot)
            return i;
    return std::nullopt;
}

bool TCMiniGameModel::IsSlotFree(int slot) const
{
    return slot >= 0 && size_t(slot) < held_.size() && !held_[size_t(slot)];
}

int TCMiniGameModel::TakeFreeSlot()
{
    const auto free = std::find(held_.begin(), held_.end(), false);
    if (free == held_.end())
        return -1;
    *free = true;
    return int(free - held_.begin());
}
