// The effect file: effects built from their descriptions, constants and the parameter table.
#include "engine/core/EffectFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FakeEffectTarget.h"
#include "engine/core/Log.h"
#include "engine/core/TCCallBackParams.h"
#include "engine/core/TCEffect.h"

namespace fs = std::filesystem;

namespace {

const char* const kEffects = R"(<?xml version="1.0" encoding="utf-8"?>
<effects>
  <constants>
    <const name="Match3PosX" val="300.5"/>
    <const name="NotAConstant" val="9"/>
  </constants>
  <callback_params>
    <function name="DlgFadeIn">
      <param name="steps" type="int"/>
      <param name="speed"/>
      <param name="loop" type="bool"/>
      <param type="int"/>
    </function>
  </callback_params>
  <effect name="dlg_fade">
    <timers>
      <timer name="show" type="usual" ftime="0.5" direction="forward">
        <control id="1" type="point" starttime="0" function="DlgShow" active="1"/>
        <control id="2" type="range" starttime="0" endtime="0.5" function="DlgFadeIn" active="1"
                 steps="7.9" speed="0.5" loop="1"/>
        <control id="3" type="point" starttime="0" function="DlgHide"/>
      </timer>
      <timer name="hide" type="usual" ftime="0.5" direction="backward">
        <control id="4" type="range" starttime="0" endtime="0.5" function="DlgFadeIn" active="1"/>
        <control id="5" type="point" starttime="0" function="DlgHide" active="1"/>
      </timer>
      <timer name="odd" type="sideways" ftime="2" direction="backward"/>
    </timers>
    <messages>
      <message name="onshow" timer_id="hide" command="stop"/>
      <message name="onshow" timer_id="show" command="start"/>
      <message name="onhide" timer_id="show" command="stop"/>
      <message name="onhide" timer_id="hide" command="start"/>
      <message name="oncreate" timer_id="DlgShow" command="call"/>
    </messages>
  </effect>
</effects>
)";

// A scratch folder made the working folder, since the file's name is relative to the game's.
class EffectFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = fs::current_path();
        folder_ = home_ / ("effect_file_" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "cfg");
        fs::current_path(folder_);
        Write(kEffects);
        SetLogFile((folder_ / "test.log").string());
        SetDeveloperMode(true);
        ASSERT_TRUE(LoadEffects());
        LoadCallbackParamTable();
    }
    void TearDown() override
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
        ReleaseEffects();
        fs::current_path(home_);
        fs::remove_all(folder_);
    }
    static void Write(const std::string& text) { std::ofstream("cfg/effect.xml", std::ios::binary) << text; }
    std::string Log() const
    {
        std::ifstream in(folder_ / "test.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path home_, folder_;
};

TEST_F(EffectFile, AnEffectShowsAndHidesItsTarget)
{
    std::unique_ptr<TCEffect> effect = CreateEffect("dlg_fade");
    ASSERT_TRUE(effect);
    FakeEffectTarget target;
    effect->SetTarget(&target);

    ASSERT_TRUE(effect->RunEvent("onshow"));
    EXPECT_EQ(target.visibility, std::vector<bool>{true}) << "the inactive control at 0 never fires";
    EXPECT_EQ(target.alpha, 0.0f);
    for (int step = 0; step < 25; ++step)
        effect->UpdateTimers(0.01f);
    EXPECT_NEAR(target.alpha, 0.5f, 1e-4f);
    for (int step = 0; step < 30; ++step)
        effect->UpdateTimers(0.01f);
    EXPECT_EQ(target.alpha, 1.0f);
    EXPECT_TRUE(effect->GetTimer(0)->IsFinished());

    ASSERT_TRUE(effect->RunEvent("onhide"));
    EXPECT_EQ(target.alpha, 1.0f) << "running backward from its end";
    for (int step = 0; step < 60; ++step)
        effect->UpdateTimers(0.01f);
    EXPECT_EQ(target.alpha, 0.0f);
    // The point at 0 fires on the start's zero step and again on the first step.
    EXPECT_EQ(target.visibility, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(effect->GetTimer(0)->IsActive());
}

TEST_F(EffectFile, TimerAttributesAndTypedControlParameters)
{
    std::unique_ptr<TCEffect> effect = CreateEffect("dlg_fade");
    ASSERT_TRUE(effect);
    TCTimer* odd = effect->GetTimer(2);
    TCTimer::Params params;
    params.mask = TCTimer::Params::Duration | TCTimer::Params::Dir | TCTimer::Params::TimerType;
    odd->GetParams(params);
    EXPECT_EQ(params.duration, 2.0f);
    EXPECT_EQ(params.direction, TCTimer::Backward);
    EXPECT_EQ(params.type, TCTimer::Unset) << "an unknown type word";
    EXPECT_EQ(odd->GetPosition(), 2.0);
    EXPECT_FALSE(odd->IsActive());

    const TCTimerControl& fade = effect->GetTimer(0)->GetControls()[1];
    ASSERT_NE(fade.params, nullptr);
    EXPECT_EQ(fade.effect, effect.get());
    // Read as float, the int parameter shows it was stored as an int.
    float steps = 0.0f, speed = 0.0f;
    bool loop = false;
    EXPECT_TRUE(fade.params->GetParam("steps", steps));
    EXPECT_TRUE(fade.params->GetParam("speed", speed));
    EXPECT_TRUE(fade.params->GetParam("loop", loop));
    EXPECT_EQ(steps, 7.0f);
    EXPECT_EQ(speed, 0.5f);
    EXPECT_TRUE(loop);
    EXPECT_EQ(effect->GetTimer(1)->GetControls()[0].params, nullptr) << "none of the attributes given";
    EXPECT_EQ(GetCallbackParamTable()["DlgFadeIn"].size(), 3u) << "a param without a name is skipped";
}

TEST_F(EffectFile, MissingEffectsAndWrongRolesAreReported)
{
    EXPECT_EQ(CreateEffect("no_such_effect"), nullptr);
    std::unique_ptr<TCEffect> effect = CreateEffect("dlg_fade");
    ASSERT_TRUE(effect);
    FakeEffectTarget target;
    effect->SetTarget(&target);
    EXPECT_TRUE(effect->RunEvent("oncreate"));
    EXPECT_TRUE(target.visibility.empty()) << "a control function is not called with the effect";
    EXPECT_EQ(Log(), "WARNING: no effect \"no_such_effect\" in \"cfg\\effect.xml\"\n"
                     "WARNING: effect function DlgShow cannot be used as a call message\n");
}

TEST_F(EffectFile, ConstantsAreReadAndReread)
{
    gMatch3PosX = 512.0f;
    gMatch3EffectFlyTime = 1.0f;
    LoadEffectConstants();
    EXPECT_EQ(gMatch3PosX, 300.5f);
    EXPECT_EQ(gMatch3EffectFlyTime, 1.0f) << "not in the file";

    Write(R"(<effects><constants><const name="Match3PosX" val="-2.25"/></constants></effects>)");
    LoadEffectConstants();
    EXPECT_EQ(gMatch3PosX, -2.25f);

    fs::remove("cfg/effect.xml");
    LoadEffectConstants();
    EXPECT_EQ(gMatch3PosX, -2.25f);
    gMatch3PosX = 512.0f;
}

} // namespace
