#pragma once
#include "engine/core/TCEngine.h"

// The game's application object: the product's identity and its start-up.
class TCEngine3 : public TCEngine {
public:
    TCEngine3();
    ~TCEngine3() override;

    void Init() override;
};

// The game, set by its constructor.
extern TCEngine3* gTCEngine3;
