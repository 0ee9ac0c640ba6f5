#pragma once

class TCItem;

// What clients ask of the cafe board beyond its money and its sounds.
class TCClientBoard {
public:
    virtual ~TCClientBoard() = default;
    // Survival: a client left unhappy.
    virtual void LoseLife() = 0;
    // A VIP left unhappy: the level is lost.
    virtual void SetVipLost() = 0;
    // Seconds a place stays empty after its client left.
    virtual float GetClientPause() const = 0;
    // The money a client paid or cost, shown above it.
    virtual void ShowMoneyPopup(TCItem& target, int amount) = 0;
    // A client ran out of patience: the level's happy-clients goal is lost.
    virtual void ClearClientFlag() = 0;
};

// The running cafe board's, or null when the board is not a cafe board.
TCClientBoard* GetClientBoard();
