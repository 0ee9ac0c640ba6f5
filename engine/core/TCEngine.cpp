#include "engine/core/TCEngine.h"

#include "platform/Thread.h"

TCEngine* gTCEngine = nullptr;

TCEngine::TCEngine()
{
    width = 1024;
    height = 768;
    productName = "Tarrow1";
    title = L"";
    productVersion = "1.0";
    registryKey = "Trilvo Games\\Tarrow5";
    gTCEngine = this;
}

TCEngine::~TCEngine()
{
    if (levelThread_.joinable())
        levelThread_.join();
    if (gTCEngine == this)
        gTCEngine = nullptr;
}

void TCEngine::Init() { NubraAppBase::Init(); }

bool TCEngine::UpdateAppStep(bool& updated)
{
    // The start-up load is the framework's; a level load that has completed ends here.
    if (completionHandled && loadingInProgress && loadingCompleted) {
        loadingInProgress = false;
        plat::SetThreadPriority(plat::ThreadPriority::Normal);
    }
    return NubraAppBase::UpdateAppStep(updated);
}

void TCEngine::StartLevelLoading(std::function<void()> load)
{
    if (levelThread_.joinable())
        levelThread_.join();
    plat::SetThreadPriority(plat::ThreadPriority::AboveNormal);
    loadingInProgress = true;
    loadingCompleted = false;
    levelThread_ = std::thread([this, load = std::move(load)] {
        load();
        loadingCompleted = true;
    });
}
