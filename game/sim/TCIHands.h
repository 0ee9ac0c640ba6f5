#pragma once
#include <string>

// A walker that carries items in two hands, as the boss does; those it serves take from them.
class TCIHands {
public:
    static constexpr int kPrimary = 0;
    static constexpr int kSecondary = 1;

    virtual ~TCIHands() = default;
    // The item's name in that hand; empty when the hand is free.
    virtual const std::string& GetHandItem(int hand) const = 0;
    // The hand gives its item away; the walker then shows what it still holds.
    virtual void EmptyHand(int hand) = 0;
};
