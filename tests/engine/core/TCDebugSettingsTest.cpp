// Developer settings: usersettings.xml, the developer keys and overlay navigation, the step title,
// and the switch that turns developer mode on.
#include "engine/core/TCDebugSettings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/core/Log.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/VirtualKeys.h"

namespace fs = std::filesystem;

namespace {

class DebugSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("debug_settings_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        SetDeveloperMode(true);
    }
    void TearDown() override
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
        fs::remove_all(folder_);
    }
    std::string WriteSettings(const std::string& attributes) const
    {
        const std::string path = (folder_ / "usersettings.xml").string();
        std::ofstream(path) << "<?xml version=\"1.0\"?>\n<usersettings " << attributes << "/>\n";
        return path;
    }

    fs::path folder_;
    TCDebugSettings settings_;
};

TEST_F(DebugSettingsTest, SwitchesAreNumbersAndMissingOnesKeepTheirValue)
{
    settings_.NoComix = true;
    const std::string path = WriteSettings(R"(IgnorePaks="1" DrawOutlines="true" NoMainMenu="0" FoodAll="12" )"
                                           R"(DbgScene="7" DbgUpgradeType="Speed")");
    ASSERT_TRUE(settings_.LoadUserSettings(path));
    EXPECT_TRUE(settings_.IgnorePaks);
    EXPECT_FALSE(settings_.DrawOutlines);
    EXPECT_FALSE(settings_.NoMainMenu);
    EXPECT_TRUE(settings_.FoodAll);
    EXPECT_TRUE(settings_.NoComix);
    EXPECT_FALSE(settings_.JoinLog);
    EXPECT_EQ(settings_.DbgScene, 7);
    EXPECT_EQ(settings_.DbgUpgradeType, "Speed");
}

TEST_F(DebugSettingsTest, NothingIsReadOutsideDeveloperModeOrFromABadFile)
{
    const std::string path = WriteSettings(R"(IgnorePaks="1")");
    SetDeveloperMode(false);
    EXPECT_FALSE(settings_.LoadUserSettings(path));
    EXPECT_FALSE(settings_.IgnorePaks);
    SetDeveloperMode(true);
    std::ofstream(path) << "<other IgnorePaks=\"1\"/>";
    EXPECT_FALSE(settings_.LoadUserSettings(path));
    EXPECT_FALSE(settings_.LoadUserSettings((folder_ / "absent.xml").string()));
    EXPECT_FALSE(settings_.IgnorePaks);
    EXPECT_EQ(settings_.DbgUpgradeType, "None");
    EXPECT_EQ(settings_.DbgScene, 1);
}

TEST_F(DebugSettingsTest, OverlayKeysWrapAndToggleTheSelectedOption)
{
    int cursorResets = 0;
    settings_.hooks.reapplyCursor = [&] { ++cursorResets; };
    settings_.OnKeyDown(plat::kVkUp); // overlay hidden: no selection change
    EXPECT_EQ(settings_.selected, 0);
    settings_.OnKeyDown(plat::kVkF1);
    ASSERT_TRUE(settings_.overlayShown);
    settings_.OnKeyDown(plat::kVkUp);
    EXPECT_EQ(settings_.selected, 8);
    EXPECT_STREQ(settings_.options[8].label, "Join Log");
    settings_.OnKeyDown(plat::kVkSpace);
    EXPECT_TRUE(settings_.JoinLog);
    EXPECT_EQ(cursorResets, 1);
    settings_.OnKeyDown(plat::kVkDown);
    EXPECT_EQ(settings_.selected, 0);
    settings_.OnKeyDown(plat::kVkSpace);
    EXPECT_TRUE(settings_.DrawOutlines);
    settings_.OnKeyDown(plat::kVkSpace);
    EXPECT_FALSE(settings_.DrawOutlines);
    settings_.OnKeyDown(plat::kVkF1);
    EXPECT_FALSE(settings_.overlayShown);
}

TEST_F(DebugSettingsTest, GameKeysNeedDeveloperModeExceptTheLevelKey)
{
    std::vector<std::string> calls;
    bool sceneDisplay = false;
    auto& hooks = settings_.hooks;
    hooks.openAllLevels = [&] { calls.push_back("levels"); };
    hooks.addMiniGamePiece = [&] { calls.push_back("piece"); };
    hooks.resetGoals = [&] { calls.push_back("goals"); };
    hooks.reloadEffects = [&] { calls.push_back("effects"); };
    hooks.sceneDisplayOn = [&] { return sceneDisplay; };
    hooks.selectScene = [&](int scene) { calls.push_back("scene " + std::to_string(scene)); };
    const int keys[] = {plat::kVkF1 + 1, plat::kVkF1 + 2, plat::kVkF4, plat::kVkF1 + 6, plat::kVkAdd};

    SetDeveloperMode(false);
    settings_.LevelKeySwitch = true;
    for (int key : keys)
        settings_.OnKeyDown(key);
    EXPECT_EQ(calls, std::vector<std::string>{"levels"});

    calls.clear();
    SetDeveloperMode(true);
    settings_.LevelKeySwitch = false;
    for (int key : keys)
        settings_.OnKeyDown(key);
    sceneDisplay = true;
    settings_.OnKeyDown(plat::kVkAdd);
    settings_.OnKeyDown(plat::kVkAdd);
    settings_.OnKeyDown(plat::kVkSubtract);
    EXPECT_EQ(calls, (std::vector<std::string>{"piece", "goals", "effects", "scene 2", "scene 3", "scene 2"}));
    EXPECT_EQ(settings_.DbgScene, 2);
}

TEST_F(DebugSettingsTest, TitleAndGraphs)
{
    TCDebugSettings::SceneInfo scene{"counter", 12, -3};
    settings_.DbgScene = 4;
    EXPECT_EQ(settings_.StepTitle(&scene), "4. counter (12,-3) KEYS: num-plus, num-minus, space, arrows");
    EXPECT_EQ(settings_.StepTitle(nullptr), "4");

    Nubra::MemoryImage image;
    image.Create(8, 260);
    Nubra::Graphics g(&image);
    settings_.AddGraphValue(0, 0.5f);
    settings_.AddGraphValue(0, 0.5f);
    settings_.AddGraphValue(1, 0.0f);
    settings_.AddGraphValue(1, 0.0f);
    settings_.DrawOverlay(g);
    const uint32_t* pixels = image.GetBits();
    EXPECT_EQ(pixels[50 * 8 + 1], 0xFFFFFFFFu);  // graph one: height 100, half a unit up
    EXPECT_EQ(pixels[250 * 8 + 1], 0xFFFFFFFFu); // graph two at its base
    EXPECT_EQ(pixels[100 * 8 + 1], 0u);

    SetDeveloperMode(false);
    EXPECT_EQ(settings_.StepTitle(&scene), "");
}

TEST_F(DebugSettingsTest, TheEnvironmentTurnsDeveloperModeOn)
{
    SetDeveloperMode(false);
    WriteSettings(R"(NoTutorial="1")");
    const std::string folder = folder_.string() + "/";
    ::unsetenv("VELMIRA_DEVELOPER");
    StartDeveloperMode(folder, folder);
    EXPECT_FALSE(IsDeveloperMode());
    ::setenv("VELMIRA_DEVELOPER", "1", 1);
    StartDeveloperMode(folder, folder);
    ::unsetenv("VELMIRA_DEVELOPER");
    EXPECT_TRUE(IsDeveloperMode());
    EXPECT_TRUE(DebugSettings().NoTutorial);
    WriteLog("WARNING: a line");
    EXPECT_TRUE(fs::exists(folder_ / "tarrow.log"));
    DebugSettings().NoTutorial = false;
}

} // namespace
