// Plays levels of the pack without a window: a seed, a script of clicks or a simple bot, and a
// hash of what happened each second, so that runs can be compared.
#include <cctype>
#include <chrono>
#include <cinttypes>
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
#include "game/sim/TCBoardHost.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCPickItem.h"
#include "game/sim/TCTutorialScript.h"
#include "game/sim/TCWorker.h"
#include "game/sim/TIStatSrc.h"
#include "platform/CRand.h"

namespace {

constexpr int kStepsPerSecond = 100;
// A level that has not ended after this much game time is stopped where it stands.
constexpr int kStepLimit = 2 * 60 * 60 * kStepsPerSecond;
// The bot thinks ten times a second.
constexpr int kBotPeriod = 10;

struct Options {
    std::string level;
    uint32_t seed = 1;
    std::string clicks;
    bool all = false;
    std::string data;
};

struct Click {
    int step = 0;
    std::string target;
};

void Usage(FILE* out)
{
    std::fprintf(out, "usage: velmira-sim [--level NAME] [--seed N] [--bot | --clicks FILE] [--all] [--data DIR]\n"
                      "  --level NAME  a level of the pack, as its file is named (l001, e002); default the first\n"
                      "  --seed N      the random seed, default 1\n"
                      "  --bot         a simple player serves the cafe (the default)\n"
                      "  --clicks FILE lines of \"STEP OBJECT\": the object is clicked at that step (100 a second);\n"
                      "                \"@ok\" closes the tutorial's message, \"@bonus:K\" makes a mini-game chain of\n"
                      "                three pieces of bonus kind K (0 coin .. 4 ice)\n"
                      "  --all         every level of the pack in turn\n"
                      "  --data DIR    the pack's folder, default beside the game\n");
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
        } else if (arg == "--seed" && hasValue) {
            char* end = nullptr;
            const unsigned long seed = std::strtoul(argv[++i], &end, 10);
            if (!*argv[i] || *end || seed > UINT32_MAX) {
                std::fprintf(stderr, "velmira-sim: the seed '%s' is not a number\n", argv[i]);
                return std::nullopt;
            }
            options.seed = static_cast<uint32_t>(seed);
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

// The pack's career levels, then its survival cafes, by file name.
std::vector<std::string> PackLevels()
{
    std::vector<std::string> levels;
    for (const char prefix : {'l', 'e'})
        for (int number = 1; number < 1000; ++number) {
            char name[8];
            std::snprintf(name, sizeof name, "%c%03d", prefix, number);
            if (std::filesystem::exists(std::filesystem::path("cfg") / (std::string(name) + ".xml")))
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

// "client01" is served at "client_place01", "client_sit01" at "client_sit_place01".
std::string PlaceOf(const std::string& owner)
{
    const size_t digits = owner.find_first_of("0123456789");
    if (digits == std::string::npos)
        return owner + "_place";
    return owner.substr(0, digits) + "_place" + owner.substr(digits);
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

bool HandsFull(const TCItem* boss)
{
    const auto* hands = dynamic_cast<const TCIHands*>(boss);
    return hands && !hands->GetHandItem(TCIHands::kPrimary).empty() &&
           !hands->GetHandItem(TCIHands::kSecondary).empty();
}

// One choice of a deterministic player while the boss stands idle: guests who want something,
// then ready products, broken workers, idle workers while guests wait, full hands to the bin.
void BotStep(TCBoard_Game3& board)
{
    const auto* boss = dynamic_cast<const TCMoveItem*>(GetItemList().GetBoss());
    if (!boss || !boss->GetTargets().empty() || boss->IsBusy())
        return;
    std::vector<std::string> wanting, ready, broken, idle;
    for (const auto& item : GetItemList().GetItems()) {
        if (!item->IsActive() || !item->IsVisible())
            continue;
        if (const auto* worker = dynamic_cast<const TCWorker*>(item.get())) {
            const std::string table = worker->GetTable() ? worker->GetTable()->GetName() : std::string();
            if (worker->GetState() == TCWorker::kReady)
                ready.push_back(table);
            else if (worker->GetState() == TCWorker::kBroken)
                broken.push_back(table);
            else if (worker->GetState() == TCWorker::kIdle)
                idle.push_back(table);
            continue;
        }
        std::string text;
        const auto* status = dynamic_cast<const TIStatSrc*>(item.get());
        if (status && status->HasStatus() && status->GetBubbleText(text))
            wanting.push_back(PlaceOf(item->GetName()));
    }
    if (HandsFull(boss) && ClickObject(board, "trash_bin"))
        return;
    for (const auto* names : {&wanting, &ready})
        for (const std::string& name : *names)
            if (ClickObject(board, name))
                return;
    for (const std::string& table : broken)
        if (ClickObject(board, "wash_stand") && ClickObject(board, table))
            return;
    if (!wanting.empty())
        for (const std::string& table : idle)
            if (ClickObject(board, table))
                return;
}

struct Outcome {
    int money = 0;
    std::string result;
    // The first day's lessons: "done", the rule they wait at, or empty when none ran.
    std::string tutorial;
    uint64_t hash = 0;
    double gameSeconds = 0.0;
    double wallSeconds = 0.0;
};

std::optional<Outcome> Play(TCBoard_Game3& board, const std::string& level, uint32_t seed,
                            const std::vector<Click>* clicks)
{
    const bool survival = level[0] == 'e';
    const std::string path = "cfg\\" + level + ".xml";
    if (!OpenXmlFile(path.c_str())) {
        std::fprintf(stderr, "velmira-sim: the level %s cannot be read\n", level.c_str());
        return std::nullopt;
    }
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
    size_t nextClick = 0;
    int step = 0;
    for (; step < kStepLimit && !board.IsFinished(); ++step) {
        if (clicks) {
            for (; nextClick < clicks->size() && (*clicks)[nextClick].step <= step; ++nextClick)
                ClickObject(board, (*clicks)[nextClick].target);
        } else if (step % kBotPeriod == 0) {
            BotStep(board);
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
    if (!board.IsFinished())
        outcome.result = "unfinished";
    else if (survival)
        outcome.result = "survival-day-" + std::to_string(board.GetDay());
    else
        outcome.result = std::to_string(board.GetResultCode());
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
        return 2;
    if (!EnterPack(*options, argv[0])) {
        std::fprintf(stderr, "velmira-sim: no pack with cfg/cfg.xml found (use --data DIR)\n");
        return 2;
    }
    const std::vector<std::string> pack = PackLevels();
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
            return 2;
        }
    if (levels.empty()) {
        std::fprintf(stderr, "velmira-sim: the pack has no levels\n");
        return 2;
    }
    std::optional<std::vector<Click>> clicks;
    if (!options->clicks.empty() && !(clicks = ReadClicks(options->clicks)))
        return 2;

    // The loaders' complaints go to a log of their own, not into the output.
    SetLogFile((std::filesystem::temp_directory_path() / "velmira-sim.log").string());
    LoadEffects();
    int status = 0;
    {
        TCHeadlessBoardHost host;
        TCBoard_Game3 board(host);
        if (!board.LoadBoardConfig()) {
            std::fprintf(stderr, "velmira-sim: the configuration cannot be read\n");
            return 1;
        }
        for (const std::string& level : levels) {
            const std::optional<Outcome> outcome = Play(board, level, options->seed, clicks ? &*clicks : nullptr);
            if (!outcome) {
                status = 1;
                continue;
            }
            std::printf("level: %s\nmoney: %d\nresult: %s\nhash: %016" PRIx64 "\ngame_seconds: %.2f\nwall_seconds: %.3f\n",
                        level.c_str(), outcome->money, outcome->result.c_str(), outcome->hash, outcome->gameSeconds,
                        outcome->wallSeconds);
            if (!outcome->tutorial.empty())
                std::printf("tutorial: %s\n", outcome->tutorial.c_str());
            std::fflush(stdout);
        }
        board.Shutdown();
    }
    ReleaseEffects();
    return status;
}
