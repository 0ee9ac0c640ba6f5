#include "game/shell/TCEngine3.h"

TCEngine3* gTCEngine3 = nullptr;

TCEngine3::TCEngine3()
{
    gTCEngine3 = this;
    productName = "Velmira Cafe";
    title = L"";
    productVersion = "1.0";
    registryKey = "Trilvo Games\\Velmira Cafe";
}

TCEngine3::~TCEngine3()
{
    if (gTCEngine3 == this)
        gTCEngine3 = nullptr;
}

void TCEngine3::Init()
{
    // The framework never allows it on its own.
    vsyncTimingAllowed = true;
    TCEngine::Init();
}
