#include "engine/core/TCDebugSettings.h"

#include <cstdlib>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/SysFont.h"
#include "framework/util/StringUtils.h"
#include "platform/VirtualKeys.h"

namespace {

constexpr int kF2 = plat::kVkF1 + 1, kF3 = plat::kVkF1 + 2, kF7 = plat::kVkF1 + 6;
constexpr int kGraphBase[2] = {100, 250};
constexpr float kGraphScale = 100.0f;

} // namespace

TCDebugSettings::TCDebugSettings()
    : options{{&DrawOutlines, "Draw Outlines"},     {&DrawCheckMarkPos, "Draw CheckMarkPos"},
              {&DrawZOrderLines, "Draw ZOrder Lines"}, {&BossSlowSpeed, "Boss Slow Speed"},
              {&SimpleCursor, "Simple Cursor"},     {&FoodAll, "Food all"},
              {&SoundLog, "Sound Log"},             {&MoveItemParts, "Move Item Parts"},
              {&JoinLog, "Join Log"}}
{
}

TCDebugSettings::~TCDebugSettings() = default;

bool TCDebugSettings::LoadUserSettings(const std::string& path)
{
    if (!IsDeveloperMode())
        return false;
    XmlDocument document = OpenXmlFile(path.c_str());
    pugi::xml_node root = document ? XmlSelectNode(*document, "usersettings") : pugi::xml_node();
    if (!root) {
        WriteLog("WARNING: no usersettings in \"%s\"", path.c_str());
        return false;
    }
    const struct {
        const char* name;
        bool* value;
    } switches[] = {
        {"NoMainMenu", &NoMainMenu},         {"InfinityGame", &InfinityGame},   {"DrawOutlines", &DrawOutlines},
        {"DrawCheckMarkPos", &DrawCheckMarkPos}, {"NoTutorial", &NoTutorial},   {"NoComix", &NoComix},
        {"DrawZOrderLines", &DrawZOrderLines}, {"AutoDumpZOrder", &AutoDumpZOrder}, {"BossSlowSpeed", &BossSlowSpeed},
        {"ForceWindowMode", &ForceWindowMode}, {"IgnorePaks", &IgnorePaks},     {"SimpleCursor", &SimpleCursor},
        {"FoodAll", &FoodAll},               {"SoundLog", &SoundLog},           {"MoveItemParts", &MoveItemParts},
        {"JoinLog", &JoinLog},
    };
    for (const auto& option : switches)
        XmlGetBoolA(root, option.name, *option.value);
    XmlGetIntA(root, "DbgScene", DbgScene);
    XmlGetStringA(root, "DbgUpgradeType", DbgUpgradeType);
    return true;
}

void TCDebugSettings::CreateFonts(Nubra::NubraAppBase& app)
{
    if (!IsDeveloperMode())
        return;
    monoFont_ = std::make_unique<Nubra::SysFont>("Courier New", 12);
    smallFont_ = std::make_unique<Nubra::SysFont>("Arial", 8);
    mediumFont_ = std::make_unique<Nubra::SysFont>("Arial", 10);
    app.debugKeysAllowed = true;
}

void TCDebugSettings::OnKeyDown(int key)
{
    if (hooks.comixKey && hooks.comixKey(key))
        return;
    if (key == kF2 && LevelKeySwitch && hooks.openAllLevels)
        hooks.openAllLevels();
    if (!IsDeveloperMode())
        return;

    auto call = [](const std::function<void()>& hook) {
        if (hook)
            hook();
    };
    switch (key) {
    case plat::kVkF1: overlayShown = !overlayShown; break;
    case kF3: call(hooks.addMiniGamePiece); break;
    case plat::kVkF4: call(hooks.resetGoals); break;
    case kF7: call(hooks.reloadEffects); break;
    case plat::kVkAdd:
    case plat::kVkSubtract:
        if (hooks.sceneDisplayOn && hooks.sceneDisplayOn()) {
            DbgScene += key == plat::kVkAdd ? 1 : -1;
            if (hooks.selectScene)
                hooks.selectScene(DbgScene);
        }
        break;
    default: break;
    }
    if (hooks.sceneMover)
        hooks.sceneMover(key);

    if (!overlayShown || options.empty())
        return;
    const int count = int(options.size());
    if (key == plat::kVkSpace) {
        bool& value = *options[size_t(selected)].value;
        value = !value;
        call(hooks.reapplyCursor);
    } else if (key == plat::kVkUp) {
        selected = (selected + count - 1) % count;
    } else if (key == plat::kVkDown) {
        selected = (selected + 1) % count;
    }
}

void TCDebugSettings::DrawOverlay(Nubra::Graphics& g)
{
    if (!IsDeveloperMode())
        return;
    g.SetColor(Nubra::Color::White);
    for (int graph = 0; graph < 2; ++graph) {
        const std::deque<float>& values = graphs_[graph];
        auto yOf = [&](size_t i) { return kGraphBase[graph] - int(values[i] * kGraphScale); };
        for (size_t i = 1; i < values.size(); ++i)
            g.DrawLine(int(i) - 1, yOf(i - 1), int(i), yOf(i));
    }
    if (!overlayShown || !smallFont_)
        return;

    const int lineHeight = smallFont_->GetHeight();
    g.SetColor(Nubra::Color(0, 0, 0, 128));
    g.FillRect(0, 0, kBandWidth, 10 + lineHeight * int(options.size()));
    g.SetFont(smallFont_.get());
    for (size_t i = 0; i < options.size(); ++i) {
        g.SetColor(int(i) == selected ? Nubra::Color(255, 255, 0) : Nubra::Color::White);
        const std::string line = Nubra::StrFormat("[%c] %s", *options[i].value ? 'x' : ' ', options[i].label);
        g.DrawString(Nubra::StringToWString(line), 5, 5 + smallFont_->GetAscent() + lineHeight * int(i));
    }
}

std::string TCDebugSettings::StepTitle(const SceneInfo* scene) const
{
    if (!IsDeveloperMode())
        return {};
    if (!scene)
        return std::to_string(DbgScene);
    return Nubra::StrFormat("%d. %s (%d,%d) KEYS: num-plus, num-minus, space, arrows", DbgScene, scene->name.c_str(),
                            scene->x, scene->y);
}

void TCDebugSettings::AddGraphValue(int graph, float value)
{
    if (graph < 0 || graph > 1)
        return;
    graphs_[graph].push_back(value);
    if (graphs_[graph].size() > kGraphLength)
        graphs_[graph].pop_front();
}

TCDebugSettings& DebugSettings()
{
    static TCDebugSettings settings;
    return settings;
}

void StartDeveloperMode(const std::string& logFolder, const std::string& settingsFolder)
{
    const char* value = std::getenv("VELMIRA_DEVELOPER");
    if (!value || std::atoi(value) == 0)
        return;
    SetDeveloperMode(true);
    SetLogFile(logFolder + "tarrow.log");
    DebugSettings().LoadUserSettings(settingsFolder + "usersettings.xml");
}
