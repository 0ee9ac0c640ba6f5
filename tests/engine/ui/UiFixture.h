#pragma once
// An engine for the controls to reach (text variables, texts, fonts, cursors), a working folder
// holding the effect file, and the fake images as the texture table.
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/EffectFile.h"
#include "engine/core/FakeImages.h"
#include "engine/core/TCEngine.h"
#include "framework/app/AppTestSupport.h"
#include "framework/widgets/WidgetManager.h"

namespace fixtures {

class UiEngine : public TCEngine {
public:
    UiEngine() { productName = apptest::UniqueProduct("EngineUi"); }
    bool ChangeDirHook(const std::string&) override { return true; }
};

// A timer "hide" whose point at 0 hides the target; "vanish" starts it when created, "blank"
// has nothing.
inline const char* const kUiEffects = R"(<?xml version="1.0" encoding="utf-8"?>
<effects>
  <effect name="vanish">
    <timers>
      <timer name="hide" type="usual" ftime="0.1" direction="forward">
        <control id="1" type="point" starttime="0" function="DlgHide" active="1"/>
      </timer>
    </timers>
    <messages><message name="oncreate" timer_id="hide" command="start"/></messages>
  </effect>
  <effect name="slowhide">
    <timers>
      <timer name="hide" type="usual" ftime="0.3" direction="forward">
        <control id="1" type="point" starttime="0.3" function="DlgHide" active="1"/>
      </timer>
    </timers>
    <messages><message name="onhide" timer_id="hide" command="start"/></messages>
  </effect>
  <effect name="blank"/>
</effects>
)";

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / ("engine_ui_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "cfg");
        std::filesystem::current_path(folder_);
        ASSERT_TRUE(UseEffects(kUiEffects));
        LoadCallbackParamTable();
        fake_.table.Add("pic", "pic.png");
    }
    void TearDown() override
    {
        engine_.widgetManager->RemoveAllWidgets(true, false);
        ReleaseEffects();
        std::filesystem::current_path(home_);
        std::filesystem::remove_all(folder_);
    }

    // The text as the effect file, loaded in place of the effects before.
    static bool UseEffects(const char* text)
    {
        std::ofstream("cfg/effect.xml", std::ios::binary) << text;
        return LoadEffects();
    }
    // The root element of the text; kept until the next call.
    pugi::xml_node Xml(const std::string& text)
    {
        EXPECT_TRUE(document_.load_string(text.c_str())) << text;
        return document_.first_child();
    }
    // A widget on the screen, as the game would put it there.
    template <typename W>
    W* OnScreen(W* widget)
    {
        engine_.widgetManager->AddWidget(widget);
        return widget;
    }
    void Step(int steps = 1)
    {
        for (int i = 0; i < steps; ++i)
            engine_.widgetManager->UpdateFrame();
    }
    Nubra::WidgetManager& Manager() { return *engine_.widgetManager; }

    UiEngine engine_;
    FakeImages images_;
    FakeTextureTable fake_{images_};
    pugi::xml_document document_;
    std::filesystem::path home_, folder_;
};

} // namespace fixtures
