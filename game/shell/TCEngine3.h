#pragma once
#include "engine/core/TCEngine.h"

// The product's name; also names the per-user folder before the game object exists.
inline constexpr const char* kProductName = "Velmira Cafe";

// The game's application object: the product's identity and its start-up.
class TCEngine3 : public TCEngine {
public:
    TCEngine3();
    ~TCEngine3() override;

    void Init() override;
    void LoadingThreadCompleted() override;
};

// The game, set by its constructor.
extern TCEngine3* gTCEngine3;
