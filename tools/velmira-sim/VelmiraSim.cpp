// Plays levels of the pack without a window: a seed, a script of clicks or a simple bot, and a
// hash of what happened each second, so that runs can be compared.
#include <cctype>
#include <chrono>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/DataRoot.h"
#include "engine/core/EffectFile.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/shell/CareerProgress.h"
#include "game/sim/TCBoardHost.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCPickItem.h"
#include "game/sim/TCTutorialScript.h"
#include "game/sim/TIStatSrc.h"
#include "platform/CRand.h"
#include "tools/velmira-sim/SimBot.h"

namespace {

constexpr int kStepsPerSecond = 100;
// By default a level that has not ended after two hours of game time is stopped where it stands.
constexpr int kDefaultSeconds = 2 * 60 * 60;
// Exit codes besides 0: a bad argument or level name, a level that cannot be loaded, a level lost.
constexpr int kExitBadArgument = 2;
constexpr int kExitLoadFailed = 1;
constexpr int kExitLevelLost = 3;
// The bot thinks ten times a second.
constexpr int kBotPeriod = 10;

struct Options {
    std::string level;
    uint32_t seed = 1;
    std::string clicks;
    bool all = false;
    int cafe = 0; // with --all: only this cafe's days and survival level; 0 = every cafe
    std::string data;
    int seconds = kDefaultSeconds;
    bool log = false;
};

struct Click {
    int step = 0;
    std::string target;
};

void Usage(FILE* out)
{
    std::fprintf(out, "usage: velmira-sim [--level NAME] [--seed N] [--bot | --clicks FILE] [--all [--cafe N]]\n"
                      "                   [--data DIR] [--seconds S] [--log]\n"
                      "  --level NAME  a level of the pack, as its file is named (l001, e002); default the first\n"
                      "  --seed N      the random seed, default 1\n"
                      "  --bot         a simple player serves the cafe (the default)\n"
                      "  --clicks FILE lines of \"STEP OBJECT\": the object is clicked at that step (100 a second);\n"
                      "                \"@ok\" closes the tutorial's message, \"@bonus:K\" makes a mini-game chain of\n"
                      "                three pieces of bonus kind K (0 coin .. 4 ice)\n"
                      "  --all         every level of the pack in turn\n"
                      "  --cafe N      with --all, only cafe N's career days and survival level (1..3)\n"
                      "  --data DIR    the pack's folder, default beside the game\n"
                      "  --seconds S   stop each level after S seconds of game time, default 7200\n"
                      "  --log         the game's log lines go to standard error\n"
                      "A career level is won with its goal met; a survival level once every day it describes\n"
                      "is done. Exit code 0: every level won; 3: a level lost or stopped unfinished;\n"
                      "2: a bad argument or an unknown level; 1: a level that cannot be loaded.\n");
}

// Fails with one line on standard error.
std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    bool bot = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--bot") {
            bot = true;
        } else if (arg == "--all") {
            options.all = true;
        } else if (arg == "--level" && hasValue) {
            options.level = argv[++i];
        } else if (arg == "--clicks" && hasValue) {
            options.clicks = argv[++i];
        } else if (arg == "--data" && hasValue) {
            options.data = argv[++i];
        } else if (arg == "--log") {
            options.log = true;
        } else if (arg == "--cafe" && hasValue) {
            const std::string value = argv[++i];
            if (value != "1" && value != "2" && value != "3") {
                std::fprintf(stderr, "velmira-sim: --cafe wants 1, 2 or 3, not '%s'\n", value.c_str());
                return std::nullopt;
            }
            options.cafe = std::stoi(value);
        } else if ((arg == "--seed" || arg == "--seconds") && hasValue) {
            char* end = nullptr;
            const unsigned long value = std::strtoul(argv[++i], &end, 10);
            const unsigned long most = arg == "--seed" ? UINT32_MAX : INT_MAX / kStepsPerSecond;
            if (!*argv[i] || *end || value > most || (arg == "--seconds" && value == 0)) {
                std::fprintf(stderr, "velmira-sim: %s wants a number, not '%s'\n", arg.c_str(), argv[i]);
                return std::nullopt;
            }
            if (arg == "--seed")
                options.seed = static_cast<uint32_t>(value);
            else
                options.seconds = static_cast<int>(value);
        } else {
            std::fprintf(stderr, "velmira-sim: unknown or incomplete argument '%s' (see --help)\n", arg.c_str());
            return std::nullopt;
        }
    }
    if (bot && !options.clicks.empty()) {
        std::fprintf(stderr, "velmira-sim: --bot and --clicks exclude each other\n");
        return std::nullopt;
    }
    if (options.all && !options.level.empty()) {
        std::fprintf(stderr, "velmira-sim: --all and --level exclude each other\n");
        return std::nullopt;
    }
    if (options.cafe != 0 && !options.all) {
        std::fprintf(stderr, "velmira-sim: --cafe goes with --all\n");
        return std::nullopt;
    }
    return options;
}

bool EnterPack(const Options& options, const char* program)
{
    std::vector<std::filesystem::path> candidates;
    if (!options.data.empty()) {
        candidates.push_back(options.data);
    } else {
        candidates.push_back(DataRoot());
        // Beside the game, where the build lays the pack out.
        const std::filesystem::path self = std::filesystem::absolute(program).parent_path();
        candidates.push_back(self.parent_path() / "game");
    }
    for (const auto& folder : candidates) {
        std::error_code error;
        if (std::filesystem::exists(folder / "cfg" / "cfg.xml", error)) {
            std::filesystem::current_path(folder, error);
            return !error;
        }
    }
    return false;
}

bool IsOfCafe(char prefix, int number, int cafe)
{
    return cafe == 0 || (prefix == 'e' ? number : CafeDayOfLevel(number).cafe) == cafe;
}

// The pack's career levels, then its survival cafes, by file name; with a cafe, only its own.
std::vector<std::string> PackLevels(int cafe)
{
    std::vector<std::string> levels;
    for (const char prefix : {'l', 'e'})
        for (int number = 1; number < 1000; ++number) {
            char name[8];
            std::snprintf(name, sizeof name, "%c%03d", prefix, number);
            if (IsOfCafe(prefix, number, cafe) &&
                std::filesystem::exists(std::filesystem::path("cfg") / (std::string(name) + ".xml")))
                levels.push_back(name);
        }
    return levels;
}

std::optional<std::vector<Click>> ReadClicks(const std::string& path)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "velmira-sim: cannot read the clicks file '%s'\n", path.c_str());
        return std::nullopt;
    }
    std::vector<Click> clicks;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Click click;
        if (!(fields >> click.step >> click.target) || click.step < 0) {
            std::fprintf(stderr, "velmira-sim: %s:%d is not \"STEP OBJECT\"\n", path.c_str(), number);
            return std::nullopt;
        }
        clicks.push_back(click);
    }
    return clicks;
}

// 64-bit FNV-1a over the per-second trace.
class TraceHash {
public:
    void Add(const std::string& text)
    {
        for (const unsigned char c : text) {
            hash_ ^= c;
            hash_ *= 0x100000001b3ULL;
        }
    }
    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// What a second of play left: money, where the boss stands, and each object in play with its
// state and status rounded to a tenth.
std::string TraceLine(const TCBoard_Game3& board)
{
    std::ostringstream line;
    line << board.GetMoney();
    const auto* boss = dynamic_cast<const TCMoveItem*>(GetItemList().GetBoss());
    line << '|' << (boss ? boss->GetCurrentPoint() : std::string());
    for (const auto& item : GetItemList().GetItems()) {
        if (!item->IsActive())
            continue;
        line << '|' << item->GetName() << ':' << item->GetCurrentAnimation();
        float value = 0.0f;
        if (const auto* status = dynamic_cast<const TIStatSrc*>(item.get()); status && status->GetStatusValue(value))
            line << ':' << std::lround(value * 10.0f);
    }
    return line.str();
}

// The screens a headless run has none of: the tutorial's message and the mini-game.
bool ClickScreen(TCBoard_Game3& board, const std::string& name)
{
    constexpr std::string_view kBonus = "@bonus:";
    if (name == "@ok") {
        GetTutorial().OnTutorialDialogClosed();
        return true;
    }
    if (name.starts_with(kBonus) && name.size() == kBonus.size() + 1 && std::isdigit(name.back())) {
        board.ApplyMiniGameBonus(name.back() - '0', 1);
        return true;
    }
    return false;
}

bool ClickObject(TCBoard_Game3& board, const std::string& name)
{
    if (name.starts_with('@'))
        return ClickScreen(board, name);
    TCPickItem* item = FindPickItemByName(name);
    if (!item || !item->IsActive() || !item->IsVisible())
        return false;
    board.ClickItem(*item);
    return true;
}

struct Outcome {
    int money = 0;
    std::string result;
    // The first day's lessons: "done", the rule they wait at, or empty when none ran.
    std::string tutorial;
    bool won = false;
    uint64_t hash = 0;
    double gameSeconds = 0.0;
    double wallSeconds = 0.0;
};

std::optional<Outcome> Play(TCBoard_Game3& board, const std::string& level, uint32_t seed,
                            const std::vector<Click>* clicks, int seconds)
{
    const bool survival = level[0] == 'e';
    const std::string path = "cfg\\" + level + ".xml";
    const XmlDocument document = OpenXmlFile(path.c_str());
    if (!document) {
        std::fprintf(stderr, "velmira-sim: the level %s cannot be read\n", level.c_str());
        return std::nullopt;
    }
    // The days a survival level describes; the days after them repeat its last.
    const auto stages = document->child("level").child("stages").children("stage");
    const int days = static_cast<int>(std::distance(stages.begin(), stages.end()));
    const auto started = std::chrono::steady_clock::now();
    plat::CSRand(seed);
    board.StartLevelLoad(std::atoi(level.c_str() + 1), survival);
    if (!board.IsRunning()) {
        std::fprintf(stderr, "velmira-sim: the level %s did not start\n", level.c_str());
        return std::nullopt;
    }
    // The bot skips the lessons, as the player may; a script of clicks walks through them.
    if (!clicks)
        GetTutorial().Stop();
    const bool lessons = GetTutorial().IsRunning();
    const size_t lessonRules = GetTutorialScript(0).rules.size();
    bool lessonsDone = false;
    int lessonRule = 0;
    TraceHash hash;
    SimBot bot;
    size_t nextClick = 0;
    int step = 0;
    for (; step < seconds * kStepsPerSecond && !board.IsFinished(); ++step) {
        if (clicks) {
            for (; nextClick < clicks->size() && (*clicks)[nextClick].step <= step; ++nextClick)
                ClickObject(board, (*clicks)[nextClick].target);
        } else if (step % kBotPeriod == 0) {
            bot.Step(board);
        }
        board.Update();
        if (GetTutorial().IsRunning())
            lessonRule = GetTutorial().GetIndex();
        else if (lessons && size_t(GetTutorial().GetIndex()) >= lessonRules)
            lessonsDone = true;
        if (step % kStepsPerSecond == kStepsPerSecond - 1)
            hash.Add(TraceLine(board));
    }
    Outcome outcome;
    if (lessons)
        outcome.tutorial = lessonsDone ? "done" : "rule " + std::to_string(lessonRule);
    outcome.money = board.GetMoney();
    if (survival) {
        outcome.result = "survival-day-" + std::to_string(board.GetDay());
        outcome.won = board.GetDay() > days;
    } else if (!board.IsFinished()) {
        outcome.result = "unfinished";
    } else {
        outcome.result = std::to_string(board.GetResultCode());
        outcome.won = board.GetResultCode() == TCBoard_Game3::kResultExpert ||
                      board.GetResultCode() == TCBoard_Game3::kResultGoal;
    }
    outcome.hash = hash.Value();
    outcome.gameSeconds = static_cast<double>(board.GetLevelTime());
    outcome.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    board.AbortLevel();
    return outcome;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help") {
            Usage(stdout);
            return 0;
        }
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options)
        return kExitBadArgument;
    // Read before entering the pack, whose folder a relative path is not meant from.
    std::optional<std::vector<Click>> clicks;
    if (!options->clicks.empty() && !(clicks = ReadClicks(options->clicks)))
        return kExitBadArgument;
    if (!EnterPack(*options, argv[0])) {
        std::fprintf(stderr, "velmira-sim: no pack with cfg/cfg.xml found (use --data DIR)\n");
        return kExitBadArgument;
    }
    const std::vector<std::string> pack = PackLevels(options->cafe);
    std::vector<std::string> levels;
    if (options->all)
        levels = pack;
    else if (!options->level.empty())
        levels = {options->level};
    else if (!pack.empty())
        levels = {pack.front()};
    for (const std::string& level : levels)
        if (std::find(pack.begin(), pack.end(), level) == pack.end()) {
            std::fprintf(stderr, "velmira-sim: unknown level '%s'\n", level.c_str());
            return kExitBadArgument;
        }
    if (levels.empty()) {
        std::fprintf(stderr, "velmira-sim: the pack has no levels\n");
        return kExitBadArgument;
    }

    // The game's log lines, when asked for, go to standard error and a file of their own, never
    // into the pack's folder or the output.
    SetLogFile((std::filesystem::temp_directory_path() / "velmira-sim.log").string());
    SetDeveloperMode(options->log);
    LoadEffects();
    bool loadFailed = false, lost = false;
    {
        TCHeadlessBoardHost host;
        TCBoard_Game3 board(host);
        if (!board.LoadBoardConfig()) {
            std::fprintf(stderr, "velmira-sim: the configuration cannot be read\n");
            return kExitLoadFailed;
        }
        for (const std::string& level : levels) {
            const std::optional<Outcome> outcome =
                Play(board, level, options->seed, clicks ? &*clicks : nullptr, options->seconds);
            if (!outcome) {
                loadFailed = true;
                continue;
            }
            lost = lost || !outcome->won;
            std::printf("level: %s\nmoney: %d\nresult: %s\noutcome: %s\nhash: %016" PRIx64
                        "\ngame_seconds: %.2f\nwall_seconds: %.3f\n",
                        level.c_str(), outcome->money, outcome->result.c_str(), outcome->won ? "won" : "lost",
                        outcome->hash, outcome->gameSeconds, outcome->wallSeconds);
            if (!outcome->tutorial.empty())
                std::printf("tutorial: %s\n", outcome->tutorial.c_str());
            std::fflush(stdout);
        }
        board.Shutdown();
    }
    ReleaseEffects();
    return loadFailed ? kExitLoadFailed : lost ? kExitLevelLost : 0;
}
