// The application object's command line. No application class of this game passes options on,
// so the options below only act when a class calls ParseCommandLine itself.
#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <vector>

#include "framework/app/NubraAppBase.h"
#include "framework/app/StringUtils.h"
#include "platform/Files.h"
#include "platform/Process.h"

namespace Nubra {
namespace {

// The numbers of the "%d.dmo" files in a folder, ascending.
std::vector<int> DemoNumbers(const std::string& folder)
{
    std::vector<int> numbers;
    for (const std::string& name : plat::ListDir(folder, ".dmo")) {
        std::string_view stem(name.data(), name.size() - 4);
        int number = 0;
        auto [end, error] = std::from_chars(stem.data(), stem.data() + stem.size(), number);
        if (!stem.empty() && error == std::errc() && end == stem.data() + stem.size() && stem.front() != '-')
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

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
            std::vector<int> numbers = DemoNumbers(DemoFolder());
            int highest = numbers.empty() ? 0 : numbers.back();
            demoFileName = DemoName(DemoFolder(), highest - (CountOption(value) - 1));
        }
    } else if (option == "-record" || option == "-recnum") {
        recordingDemo = true;
        playingDemo = false;
        if (option == "-recnum") {
            std::vector<int> numbers = DemoNumbers(DemoFolder());
            int highest = numbers.empty() ? 0 : numbers.back();
            // Room for the new one within the limit: the oldest go.
            size_t keep = size_t(CountOption(value));
            for (size_t i = 0; numbers.size() - i >= keep; ++i)
                std::remove(DemoName(DemoFolder(), numbers[i]).c_str());
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
