#pragma once
#include <functional>
#include <thread>

#include "framework/app/NubraAppBase.h"

// The studio's application class: the engine-wide tables and start-up of the engine layer.
class TCEngine : public Nubra::NubraAppBase {
public:
    TCEngine();
    ~TCEngine() override;

    void Init() override;
    bool UpdateAppStep(bool& updated) override;

    // Runs a level load on its own thread with the framework's loading handshake: the main
    // thread gets more of the processor until the loop sees the load completed.
    void StartLevelLoading(std::function<void()> load);

private:
    std::thread levelThread_;
};

// The engine, set by its constructor.
extern TCEngine* gTCEngine;
