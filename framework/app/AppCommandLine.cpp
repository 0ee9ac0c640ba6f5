// The application object's command line. No application class of this game passes options on,
// so the options below only act when a class calls ParseCommandLine itself.
#include <algorithm>
#include <csignal>
#include <vector>

#include "framework/app/DemoFile.h"
#include "framework/app/NubraAppBase.h"
#include "framework/util/StringUtils.h"
#include "platform/Process.h"

namespace Nubra {
namespace {

std::string DemoName(const std::string& folder, int number) { return folder + StrFormat("%d.dmo", number); }

// A count of at least 1; anything unreadable counts as 1.
int CountOption(const std::string& value)
{
    int count = 0;
    StringToInt(value, &count);
    return std::max(count, 1);
}

std::string Quoted(const std::string& arg)
{
    if (arg.find(' ') == std::string::npos)
        return arg;
    std::string quoted(1, '"');
    quoted.append(arg).push_back('"');
    return quoted;
}

} // namespace

std::string NubraAppBase::DemoFolder() const { return GetAppDataFolder() + demoFolderName + "/"; }

void NubraAppBase::ReadCommandLine()
{
    std::vector<std::string> args = plat::CommandLineArgs();
    if (args.size() > 1) {
        std::string text = Quoted(args[1]);
        for (size_t i = 2; i < args.size(); ++i)
            text.append(1, ' ').append(Quoted(args[i]));
        HandleCmdLineParam(text);
    }
    commandLineRead = true;
}

void NubraAppBase::ParseCommandLine(const std::string& option, const std::string& value)
{
    if (option == "-play" || option == "-playnum") {
        playingDemo = true;
        recordingDemo = false;
        if (option == "-playnum") {
            int highest = ScanDemoFiles(DemoFolder(), 0, false);
            demoFileName = DemoName(DemoFolder(), highest - (CountOption(value) - 1));
        }
    } else if (option == "-record" || option == "-recnum") {
        recordingDemo = true;
        playingDemo = false;
        if (option == "-recnum") {
            // Room for the new one within the limit: the oldest goes.
            int highest = ScanDemoFiles(DemoFolder(), CountOption(value), true);
            demoFileName = DemoName(DemoFolder(), highest + 1);
        }
    } else if (option == "-demofile") {
        demoFileName = value.starts_with('/') ? value : GetAppDataFolder() + value;
    } else if (option == "-crash") {
        std::raise(SIGSEGV);
    } else if (option == "-screensaver") {
        screenSaverMode = true;
    } else if (option == "-changedir") {
        programFolder = value;
    } else {
        PopupW(GetString("INVALID_COMMANDLINE_PARAM", L"Invalid command line parameter: ") + StringToWString(option));
        DoExit(0);
    }
}

} // namespace Nubra
