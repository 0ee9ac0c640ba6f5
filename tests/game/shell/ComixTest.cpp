#include "game/shell/TCComix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <string>

#include "../../engine/core/RecordingAudio.h"
#include "../sim/SimFixtures.h"
#include "engine/core/TCSound.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/TCComixObjects.h"
#include "game/shell/TCProfileStore.h"
#include "platform/VirtualKeys.h"

namespace {

using simtest::LogCapture;

// A comix built from an inline scene, without an engine: pictures come from the loader below.
class Comix : public ::testing::Test {
protected:
    Comix()
    {
        comix_.imageLoader = [](const std::string& file) -> std::unique_ptr<Nubra::MemoryImage> {
            if (file.find("missing") != std::string::npos)
                return nullptr;
            auto image = std::make_unique<Nubra::MemoryImage>();
            image->Create(8, 4);
            std::fill_n(image->GetBits(), 8 * 4, 0xFFFFFFFFu);
            image->BitsChanged();
            return image;
        };
    }

    void Load(const std::string& scene)
    {
        ASSERT_TRUE(document_.load_string(("<comix>" + scene + "</comix>").c_str())) << scene;
        comix_.LoadScene(document_.child("comix"));
    }
    TCComixPicState& Pic(const std::string& name) { return comix_.FindObject(name)->AsPic()->state; }
    // Steps of a quarter second add up exactly.
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 0.25f)
            comix_.Step(0.25f);
    }

    pugi::xml_document document_;
    TCComix comix_{nullptr, nullptr};
};

const char* const kTwoPics = "<objects><object type='pic' name='a' file='a.png'/><object type='pic' name='b' file='b.png'/></objects>";

TEST_F(Comix, TheParserPassesOverBadItemsWithItsWarnings)
{
    struct Case {
        const char* scene;
        const char* warning;
        size_t objects;
        size_t actors; // of the first episode
    } cases[] = {
        {"<objects><object type='pic' name='a' pos='1;2'/><object type='pic' name='a' pos='3;4'/></objects>",
         "WARNING: more then one object with name 'a'", 1, 0},
        {"<objects><object type='film' name='a'/></objects>", "WARNING: Unknown object type 'film'.", 0, 0},
        {"<objects><object name='a'/></objects>", "WARNING: Object type not defined.", 0, 0},
        {"<objects><object type='pic' name='a' file='missing.png'/></objects>", "WARNING: Can not load missing.png", 1, 0},
        {"<objectGroups><group name='g'><object name='x'/></group></objectGroups>",
         "WARNING: Object with name 'x' not found. (group 'g')", 0, 0},
        {"<objectGroups><group name='g'/><group name='g'/></objectGroups>",
         "WARNING: More then one object groups with name 'g'", 0, 0},
        {"<episodes><episode><actor action='fly' object='a'/></episode></episodes>",
         "WARNING: Can not create actor for action 'fly'", 0, 0},
        {"<episodes><episode><actor action='set_alpha' object='x' val='1' t='0'/></episode></episodes>",
         "WARNING: TCComixActor - object 'x' does not exist", 0, 0},
        {"<episodes><episode><actor action='set_alpha' group='g' val='1' t='0'/></episode></episodes>",
         "WARNING: TCComixActor - group 'g' does not exist", 0, 0},
        {"<episodes><episode><actor action='set_alpha' val='1' t='0'/></episode></episodes>",
         "WARNING: TCComixActor - no atributes 'object' or 'group'", 0, 0},
        {"<objects><object type='pic' name='a'/></objects><episodes><episode><actor action='set_alpha' object='a' t='0'/></episode></episodes>",
         "WARNING: TCComixActorSetValue - bad atribute 'val'", 1, 0},
        {"<objects><object type='pic' name='a'/></objects><episodes><episode><actor action='set_pos' object='a' val='1;1'/></episode></episodes>",
         "WARNING: TCComixActorSetValue - bad atribute 't'", 1, 0},
        {"<objects><object type='pic' name='a'/></objects><episodes><episode>"
         "<actor action='change_alpha' object='a' val1='0' val2='1' t2='1'/></episode></episodes>",
         "WARNING: TSComixActorChangeValue - bad atribute 't1'", 1, 0},
        {"<objects><object type='pic' name='a'/></objects><episodes><episode>"
         "<actor action='change_pos' object='a' val1='0;0' t1='0' t2='1'/></episode></episodes>",
         "WARNING: TSComixActorChangeValue - bad atribute 'val2'", 1, 0},
        {"<objects><object type='pic' name='a'/></objects><episodes><episode>"
         "<actor action='change_alpha' object='a' val1='0' val2='1' t1='0' t2='1' rule='wobble'/></episode></episodes>",
         "WARNING: TSComixActorChangeValue - rule 'wobble' is unknown.", 1, 0},
    };
    for (const Case& c : cases) {
        LogCapture log;
        TCComix comix(nullptr, nullptr);
        comix.imageLoader = comix_.imageLoader;
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string((std::string("<comix>") + c.scene + "</comix>").c_str()));
        comix.LoadScene(doc.child("comix"));
        const std::string text = log.Text();
        EXPECT_NE(text.find(std::string(c.warning) + "\n"), std::string::npos) << c.scene << "\n" << text;
        EXPECT_EQ(text.find(c.warning), text.rfind(c.warning)) << "logged once: " << c.scene;
        EXPECT_EQ(comix.GetObjects().size(), c.objects) << c.scene;
        if (!comix.GetEpisodes().empty()) {
            EXPECT_EQ(comix.GetEpisodes()[0]->actors.size(), c.actors) << c.scene;
        }
    }
}

TEST_F(Comix, ActorsReachTheFirstOfTwoLikeNamedObjectsAndAnObjectOverAGroup)
{
    LogCapture log;
    Load(std::string("<objects><object type='pic' name='a' file='a.png'/><object type='pic' name='a' file='a.png' pos='9;9'/>"
                     "<object type='pic' name='b' file='b.png'/></objects>"
                     "<objectGroups><group name='g'><object name='a'/><object name='b'/></group></objectGroups>"
                     "<episodes><episode><actor action='set_pos' object='a' group='g' val='5;6' t='0'/></episode></episodes>"));
    EXPECT_NE(log.Text().find("WARNING: TCComixActor - group 'g' and object 'a' in single actor not supported.\n"), std::string::npos);
    EXPECT_EQ(Pic("a").pos, Nubra::NubraVector2(5.0f, 6.0f)) << "a set actor with t 0 acts before the first frame";
    EXPECT_EQ(Pic("b").pos, Nubra::NubraVector2(0.0f, 0.0f)) << "the group is passed over";
}

TEST_F(Comix, ChangeActorsFollowTheirTimesAndNeverDivideByZero)
{
    struct Case {
        const char* actor;
        float time;
        float alpha;
    } cases[] = {
        {"val1='0' val2='1' t1='0' t2='2'", 1.0f, 0.5f},
        {"val1='0' val2='1' t1='0' t2='2'", 2.0f, 1.0f}, // exactly at t2 it has arrived, not started over
        {"val1='0' val2='1' t1='0' t2='2'", 7.0f, 1.0f},
        {"val1='0.2' val2='1' t1='1' t2='2'", 0.5f, 1.0f}, // before t1 nothing changes
        {"val1='0' val2='1' t1='1' t2='3' loop='1'", 1.5f, 0.25f},
        {"val1='0' val2='1' t1='1' t2='3' loop='1'", 3.5f, 0.25f},
        {"val1='0' val2='1' t1='1' t2='3' loop='1'", 5.5f, 0.25f},
        {"val1='0' val2='0.5' t1='1' t2='1'", 0.5f, 1.0f},
        {"val1='0' val2='0.5' t1='1' t2='1'", 1.0f, 0.5f}, // no span: a step at t1
        {"val1='0' val2='0.5' t1='2' t2='1' loop='1'", 3.0f, 0.5f},
        {"val1='0' val2='1' t1='0' t2='1' rule='roof'", 0.5f, 1.0f},
    };
    for (const Case& c : cases) {
        TCComix comix(nullptr, nullptr);
        pugi::xml_document doc;
        const std::string scene = std::string("<comix><objects><object type='pic' name='a'/></objects><episodes><episode>"
                                              "<actor action='change_alpha' object='a' ") +
                                  c.actor + "/></episode></episodes></comix>";
        ASSERT_TRUE(doc.load_string(scene.c_str()));
        comix.LoadScene(doc.child("comix"));
        comix.GetEpisodes()[0]->Update(c.time);
        EXPECT_FLOAT_EQ(comix.FindObject("a")->AsPic()->state.alpha, c.alpha) << c.actor << " at " << c.time;
    }
}

TEST_F(Comix, AnEpisodeHandsOverOnTheFirstStepPastItsLengthAndDelay)
{
    Load(std::string(kTwoPics) + "<episodes><episode finish_delay='1'>"
                                 "<actor action='change_pos_x' object='a' val1='0' val2='30' t1='0' t2='3'/></episode>"
                                 "<episode><actor action='set_visible' object='b' val='0' t='0'/></episode></episodes>");
    ASSERT_EQ(comix_.GetEpisodes().size(), 2u);
    EXPECT_FLOAT_EQ(comix_.GetEpisodes()[0]->length, 3.0f);
    Run(4.0f);
    EXPECT_FLOAT_EQ(comix_.GetTime(), 4.0f);
    EXPECT_EQ(comix_.GetCurrentEpisode(), 0) << "at 4.0 it still runs";
    EXPECT_TRUE(Pic("b").visible);
    comix_.Step(0.25f);
    EXPECT_EQ(comix_.GetCurrentEpisode(), 1);
    EXPECT_FLOAT_EQ(comix_.GetEpisodes()[1]->start, 4.25f);
    EXPECT_FALSE(Pic("b").visible) << "the next episode's first update comes at once";
    Run(10.0f);
    EXPECT_EQ(comix_.GetCurrentEpisode(), 2) << "after the last episode the picture stays";
    comix_.Skip();
    EXPECT_EQ(comix_.GetCurrentEpisode(), 2);
}

TEST_F(Comix, AClickEndsTheEpisodeAndOnlyNonLocalActorsGoOnAfterIt)
{
    Load(std::string(kTwoPics) +
         "<episodes><episode>"
         "<actor action='change_pos_x' object='a' val1='0' val2='40' t1='0' t2='4'/>"
         "<actor action='change_pos_y' object='b' val1='0' val2='10' t1='0' t2='0.4' loop='1' local='0'/>"
         "<actor action='change_pos_y' object='a' val1='0' val2='10' t1='0' t2='2' loop='1'/></episode>"
         "<episode><actor action='set_alpha' object='a' val='0.5' t='3'/></episode></episodes>");
    Run(1.0f);
    EXPECT_FLOAT_EQ(Pic("a").pos.x, 10.0f);
    comix_.Skip();
    EXPECT_FLOAT_EQ(Pic("a").pos.x, 40.0f) << "a local actor jumps to its end";
    EXPECT_FLOAT_EQ(Pic("a").pos.y, 10.0f);
    EXPECT_EQ(comix_.GetCurrentEpisode(), 1);
    EXPECT_FLOAT_EQ(comix_.GetEpisodes()[1]->start, 1.0f);
    const float bBefore = Pic("b").pos.y;
    Run(0.5f);
    EXPECT_NE(Pic("b").pos.y, bBefore) << "the non-local loop keeps moving in the next episode";
    EXPECT_FLOAT_EQ(Pic("a").pos.y, 10.0f) << "the local loop stopped with its episode";
    EXPECT_FLOAT_EQ(Pic("a").alpha, 1.0f);
    Run(2.5f);
    EXPECT_FLOAT_EQ(Pic("a").alpha, 0.5f) << "the episode's own clock starts at its start";
}

TEST_F(Comix, WhileTheDeveloperPausesItClicksDoNotSkip)
{
    Load(std::string(kTwoPics) + "<episodes><episode><actor action='set_alpha' object='a' val='0' t='5'/></episode><episode/></episodes>");
    EXPECT_TRUE(comix_.OnDebugKey(plat::kVkBack));
    EXPECT_TRUE(comix_.IsPaused());
    comix_.MouseDown(10, 10, 1, 1);
    EXPECT_EQ(comix_.GetCurrentEpisode(), 0);
    EXPECT_FLOAT_EQ(Pic("a").alpha, 1.0f);
    comix_.OnDebugKey(plat::kVkBack);
    comix_.MouseDown(10, 10, 1, 1);
    EXPECT_EQ(comix_.GetCurrentEpisode(), 1);
    EXPECT_FLOAT_EQ(Pic("a").alpha, 0.0f) << "the skipped set actor has acted";
    EXPECT_FALSE(comix_.OnDebugKey('X'));
}

TEST(ComixEasing, RulesGiveTheirValuesAcrossTheFraction)
{
    const float f[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
    struct Case {
        const char* rule;
        float values[5];
    } cases[] = {
        {"lerp", {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}},
        {"roof", {0.0f, 0.5f, 1.0f, 0.5f, 0.0f}},
        {"crazy", {0.5f, 0.3602925f, 0.5f, 0.6397075f, 0.5f}},
        {"sin", {0.5f, 1.0f, 0.5f, 0.0f, 0.5f}},
        {"easeIn", {0.0f, 0.0625f, 0.25f, 0.5625f, 1.0f}},
        {"easeOut", {0.0f, 0.5f, 0.70710677f, 0.8660254f, 1.0f}},
    };
    for (const Case& c : cases) {
        TCEasingRule rule = GetEasingRule(c.rule);
        ASSERT_NE(rule, nullptr) << c.rule;
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(rule(f[i]), c.values[i], 2e-6f) << c.rule << " at " << f[i];
    }
    EXPECT_EQ(GetEasingRule("Lerp"), nullptr);
}

// The colour of the pixel, as 0xAARRGGBB.
uint32_t PixelAt(Nubra::MemoryImage& image, int x, int y) { return image.GetBits()[y * image.GetWidth() + x]; }

// Every channel within one step: colour modulation may round down.
bool Near(uint32_t pixel, uint32_t expected)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 1)
            return false;
    return true;
}

TEST_F(Comix, PicturesDrawInTheirColourWithinTheirClipAndAScaleOfZeroKeepsTheirSize)
{
    Load("<objects><object type='pic' name='a' file='a.png' pos='10;20' scale='0' color='255;0;0'/>"
         "<object type='pic' name='b' file='b.png' pos='30;20' clipRectPos='30;20' clipRectSize='4;4'/></objects>");
    Nubra::MemoryImage canvas;
    canvas.Create(64, 64);
    canvas.Clear();
    Nubra::Graphics g(&canvas);
    comix_.SetVisible(true);
    comix_.Draw(&g);
    // Inner pixels only: transformed draws lose their edge rows and columns.
    EXPECT_PRED2(Near, PixelAt(canvas, 11, 21), 0xFFFF0000u);
    EXPECT_PRED2(Near, PixelAt(canvas, 16, 22), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(canvas, 19, 21) >> 24, 0u) << "8 pixels wide, as the picture";
    EXPECT_EQ(PixelAt(canvas, 12, 25) >> 24, 0u) << "4 pixels high";
    EXPECT_PRED2(Near, PixelAt(canvas, 31, 21), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(canvas, 35, 21) >> 24, 0u) << "cut by its clip";
    EXPECT_EQ(g.GetClipRect(), Nubra::Rect(0, 0, 64, 64)) << "the clip comes back";
}

// Keeps the mask each matrix draw is handed.
struct MaskRecorder : Nubra::MemoryImage {
    void BltMatrix(Nubra::Image* image, float x, float y, const Nubra::Matrix3& matrix, const Nubra::Rect& clip,
                   const Nubra::Color& color, int mode, const Nubra::Rect& source, bool blend, const Nubra::ImageMask* mask) override
    {
        masks.push_back(mask ? *mask : Nubra::ImageMask());
        matrices.push_back(matrix);
        MemoryImage::BltMatrix(image, x, y, matrix, clip, color, mode, source, blend, mask);
    }
    std::vector<Nubra::ImageMask> masks;
    std::vector<Nubra::Matrix3> matrices;
};

bool SameMatrix(const Nubra::Matrix3& a, const Nubra::Matrix3& b) { return std::equal(&a.m[0][0], &a.m[0][0] + 9, &b.m[0][0]); }

TEST_F(Comix, AMaskMovesWithItsPictureUnlessItIsStatic)
{
    Load("<objects><object type='pic' name='a' file='a.png' mask='m.png' pos='10;20' angle='90'/>"
         "<object type='pic' name='b' file='b.png' mask='m.png' pos='10;20' staticMask='1' maskStaticPos='3;4'/>"
         "<object type='pic' name='c' file='c.png'/></objects>");
    MaskRecorder canvas;
    canvas.Create(64, 64);
    Nubra::Graphics g(&canvas);
    comix_.SetVisible(true);
    comix_.Draw(&g);
    ASSERT_EQ(canvas.masks.size(), 3u);
    EXPECT_NE(canvas.masks[0].image, nullptr);
    EXPECT_EQ(canvas.masks[0].source, Nubra::Rect(0, 0, 8, 4));
    EXPECT_TRUE(SameMatrix(canvas.masks[0].matrix, canvas.matrices[0])) << "the picture's own matrix";
    Nubra::Matrix3 fixed;
    fixed.Translate(3.0f, 4.0f);
    EXPECT_TRUE(SameMatrix(canvas.masks[1].matrix, fixed));
    EXPECT_EQ(canvas.masks[2].image, nullptr) << "a mask is cleared after its draw";
}

TEST_F(Comix, AGlobalPivotIsAPointOfTheScreen)
{
    Load("<objects><object type='pic' name='a' file='a.png' pos='100;100' scale='2' centerposGlobal='1'/>"
         "<object type='pic' name='b' file='b.png' pos='100;100' angle='180'/></objects>");
    const Nubra::Matrix3 global = comix_.FindObject("a")->AsPic()->Transform();
    const Nubra::NubraVector2 centre = global * Nubra::NubraVector2(412.0f, 284.0f);
    EXPECT_NEAR(centre.x, 512.0f, 1e-3f);
    EXPECT_NEAR(centre.y, 384.0f, 1e-3f);
    const Nubra::Matrix3 own = comix_.FindObject("b")->AsPic()->Transform();
    const Nubra::NubraVector2 corner = own * Nubra::NubraVector2(0.0f, 0.0f);
    EXPECT_NEAR(corner.x, 108.0f, 1e-3f) << "turned about the picture's own centre";
    EXPECT_NEAR(corner.y, 104.0f, 1e-3f);
}

TEST_F(Comix, ANameTheFileLacksLoadsNothingAndAComixWithoutEpisodesWaits)
{
    Load("<objects><object type='pic' name='a' file='a.png'/></objects>");
    comix_.Step(1.0f);
    comix_.Skip();
    EXPECT_EQ(comix_.GetCurrentEpisode(), 0);
    comix_.Clear();
    EXPECT_FALSE(comix_.Load("no such comix"));
    EXPECT_TRUE(comix_.GetObjects().empty());
}

} // namespace

namespace {

class ComixAudio : public ::testing::Test, protected fixtures::AudioFixture {
protected:
    void SetUp() override
    {
        SoundFile("bell.wav");
        LoadSounds(Config("<root><sounds><sound name='bell' group='sfx' path='%Dbell.wav'/></sounds></root>"));
    }
    void TearDown() override
    {
        TheProfileStore().Header() = TCPrefHeader();
        FreeSounds();
    }
};

TEST_F(ComixAudio, SoundsPlayAtTheirShareOfThePlayersVolumeAndFallSilentWhenMutedOrClosed)
{
    for (const bool muted : {false, true}) {
        TheProfileStore().Header().soundVolume = 60;
        TheProfileStore().Header().muted = muted ? 1 : 0;
        TCComix comix(nullptr, nullptr);
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string("<comix><objects><object type='sound' name='bell' sound_id='bell'/>"
                                    "<object type='sound' name='ghost' sound_id='none'/><object type='pic' name='p'/></objects>"
                                    "<objectGroups><group name='all'><object name='bell'/><object name='ghost'/><object name='p'/>"
                                    "</group></objectGroups><episodes><episode>"
                                    "<actor action='set_play' group='all' val='1' t='0'/>"
                                    "<actor action='set_volume' group='all' val='50' t='0'/></episode></episodes></comix>"));
        Audio().log.clear();
        comix.LoadScene(doc.child("comix"));
        const std::vector<std::string> played = Audio().log;
        ASSERT_EQ(played.size(), 2u) << muted;
        EXPECT_TRUE(played[0].starts_with("PlaySample ")) << played[0];
        EXPECT_TRUE(played[1].starts_with("SetChannelVolume ")) << played[1];
        EXPECT_TRUE(played[1].ends_with(muted ? " 0" : " 30")) << played[1];
        Audio().log.clear();
        comix.Close();
        ASSERT_EQ(Audio().log.size(), 1u);
        EXPECT_TRUE(Audio().log[0].starts_with("StopChannel ")) << Audio().log[0];
        EXPECT_TRUE(comix.GetObjects().empty());
    }
}

} // namespace
