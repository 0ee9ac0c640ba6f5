#include "game/shell/Entry.h"

#include "game/shell/TCEngine3.h"
#include "platform/DebugOut.h"

int RunGame()
{
    auto* app = new TCEngine3();
    app->Init();
    plat::DebugOut("Velmira Cafe: drawing is not built yet, so the window stays blank. "
                   "Close it or press Ctrl+C to quit.\n");
    app->Start();
    delete app;
    return 0;
}
