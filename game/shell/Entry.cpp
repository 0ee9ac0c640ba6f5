#include "game/shell/Entry.h"

#include <cstdlib>
#include <cstring>

#include "engine/core/DataRoot.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/app/CrashCatcher.h"
#include "framework/graphics/D3DTester.h"
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
    plat::DebugOut("Velmira Cafe: close the window or press Ctrl+C to quit.\n");
    app->Start();
    delete app;
    return 0;
}

int RunProgram(int argc, char** argv, const char* helper)
{
    if (argc == 3 && std::strcmp(argv[1], kShowCrashReportSwitch) == 0) {
        Nubra::CrashCatcher::ShowReport(argv[2]);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], kTestCardSwitch) == 0)
        return Nubra::D3DTester::RunProbeProcess(uint32_t(std::strtoul(argv[2], nullptr, 10)),
                                                 uint32_t(std::strtoul(argv[3], nullptr, 10)));
    Nubra::D3DTester::SetProbeCommand({helper, kTestCardSwitch});
    Nubra::CrashCatcher::SetViewer({helper, kShowCrashReportSwitch});
    Nubra::CrashCatcher::Install();
    int exitCode = RunGame();
    Nubra::CrashCatcher::Uninstall();
    return exitCode;
}
