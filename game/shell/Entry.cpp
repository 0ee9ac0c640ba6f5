#include "game/shell/Entry.h"

#include <cstring>

#include "engine/core/DataRoot.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/app/CrashCatcher.h"
#include "game/shell/TCEngine3.h"
#include "platform/DebugOut.h"
#include "platform/Files.h"

int RunGame()
{
    // Before the engine, which opens the archives unless the developer's settings say otherwise.
    // No maker name is set, so the log shares the per-user folder the engine uses.
    StartDeveloperMode(plat::UserDataDir("", kProductName), DataRoot());
    auto* app = new TCEngine3();
    app->Init();
    plat::DebugOut("Velmira Cafe: drawing is not built yet, so the window stays blank. "
                   "Close it or press Ctrl+C to quit.\n");
    app->Start();
    delete app;
    return 0;
}

int RunProgram(int argc, char** argv, const char* viewer)
{
    if (argc == 3 && std::strcmp(argv[1], kShowCrashReportSwitch) == 0) {
        Nubra::CrashCatcher::ShowReport(argv[2]);
        return 0;
    }
    Nubra::CrashCatcher::SetViewer({viewer, kShowCrashReportSwitch});
    Nubra::CrashCatcher::Install();
    int exitCode = RunGame();
    Nubra::CrashCatcher::Uninstall();
    return exitCode;
}
