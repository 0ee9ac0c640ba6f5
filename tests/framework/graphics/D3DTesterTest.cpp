#include "framework/graphics/D3DTestImage.h"
#include "framework/graphics/D3DTester.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <unistd.h>

namespace NubraTest {

using namespace Nubra;
namespace fs = std::filesystem;

// A tester whose card lists live in a folder of the test's own.
struct CardFilterTest : ::testing::Test {
    fs::path folder = fs::temp_directory_path() / ("cardlists_" + std::to_string(::getpid()));
    D3DTester tester;

    CardFilterTest()
    {
        fs::create_directories(folder);
        tester.listFolder = folder.string();
    }
    ~CardFilterTest() override { fs::remove_all(folder); }

    void WriteList(const std::string& name, const std::string& text) { std::ofstream(folder / name) << text; }

    bool Supported(const std::string& description, int driverYear = 0)
    {
        tester.description = description;
        tester.driverYear = driverYear;
        return tester.IsSupportedCard();
    }
};

TEST_F(CardFilterTest, WithoutListsKnownMakersOrANewDriverPass)
{
    const struct {
        const char* description;
        int year;
        bool supported;
    } cases[] = {
        {"ATI Rage 128", 2001, true},  // "ati " with its space
        {"RADEON 9800", 2001, true},
        {"GeForce by nvidia", 0, true},
        {"Atix Graphics", 2001, false}, // ati followed by a letter
        {"Unknown Maker 3D", 2001, false},
        {"Unknown Maker 3D", 2002, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Supported(c.description, c.year), c.supported) << c.description << " " << c.year;
}

TEST_F(CardFilterTest, TheRejectListWinsOverTheAcceptList)
{
    WriteList("vhwb.dat", "  radeon  \r\n\r\n");
    WriteList("vhw.dat", "Radeon 9800\n");
    EXPECT_FALSE(Supported("ATI RADEON 9800 PRO", 2005));
    EXPECT_FALSE(Supported("NVIDIA GeForce", 2005)); // the accept list then decides
    WriteList("vhw.dat", "GeForce\n");
    EXPECT_TRUE(Supported("NVIDIA GeForce", 2005));
}

TEST_F(CardFilterTest, WithAnAcceptListOnlyListedCardsPass)
{
    // A blank line accepts nothing; lines match in any case.
    WriteList("VHW.DAT", "\n  geforce 2\n\n");
    EXPECT_TRUE(Supported("NVIDIA GeForce 2 MX", 0));
    EXPECT_FALSE(Supported("NVIDIA GeForce 4", 2005));
}

TEST_F(CardFilterTest, ShippedRejectListTurnsTheSoftwareRasterisersAway)
{
    tester.listFolder = std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data";
    for (const char* software : {"Mesa llvmpipe (LLVM 15.0.6, 256 bits)", "Mesa softpipe", "Google SwiftShader",
                                 "software"})
        EXPECT_FALSE(Supported(software, 2002)) << software;
    EXPECT_TRUE(Supported("AMD Radeon RX 6600 (radeonsi, navi23)", 2002));
}

TEST(D3DTestImage, ColoursMatchUpToASquaredDistanceOf768)
{
    EXPECT_EQ(D3DTestImage::ColorDistance(0x00101010, 0x00000000), 768);
    EXPECT_TRUE(D3DTestImage::ColorsMatch(0x00101010, 0x00000000));
    EXPECT_EQ(D3DTestImage::ColorDistance(0x00140C0F, 0xFF000000), 769); // 20, 12, 15 apart; alpha does not count
    EXPECT_FALSE(D3DTestImage::ColorsMatch(0x00140C0F, 0xFF000000));
}

TEST(D3DTestImage, FillsAreCutToTheImageAndThePatternAlternatesByColumn)
{
    D3DTestImage image;
    image.Create(4, 3);
    image.FillRect(-2, 1, 4, 10, 0x00ABCDEF);
    EXPECT_EQ(image.PixelAt(1, 2), 0x00ABCDEFu);
    EXPECT_EQ(image.PixelAt(2, 2), 0u);
    EXPECT_EQ(image.PixelAt(1, 0), 0u);
    image.DrawVerticalLinePattern();
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.PixelAt(x, 2), x % 2 ? 0xFFFFFFFFu : 0xFF000000u);
}

TEST(D3DTestImage, AreaComparisonCountsOnlyTheTopLeftArea)
{
    D3DTestImage pattern, read;
    pattern.Create(6, 6);
    pattern.DrawVerticalLinePattern();
    read = pattern;
    read.FillRect(4, 0, 2, 6, 0x00808080); // outside a 4 x 4 area
    EXPECT_EQ(read.CountMismatches(pattern, 4, 4), 0);
    read.FillRect(0, 3, 1, 1, 0x00FFFFFF);
    EXPECT_EQ(read.CountMismatches(pattern, 4, 4), 1);
}

struct CompareTest : ::testing::Test {
    D3DTester tester;
    CompareTest() { tester.readBack.Create(3, 2); }
};

TEST_F(CompareTest, AnyPixelTooFarFailsANonUniformReadBackWarns)
{
    tester.readBack.FillRect(0, 0, 3, 2, 0x7F007F);
    EXPECT_TRUE(tester.CompareResult(0x7F007F, "not uniform", "wrong"));
    EXPECT_EQ(tester.warning, "");

    tester.readBack.FillRect(2, 1, 1, 1, 0x8F007F); // distance 256: matches, yet differs
    EXPECT_TRUE(tester.CompareResult(0x7F007F, "not uniform", "wrong"));
    EXPECT_EQ(tester.warning, "not uniform");
    EXPECT_EQ(tester.failureReason, "");

    tester.readBack.FillRect(0, 0, 1, 1, 0x7F0000);
    EXPECT_FALSE(tester.CompareResult(0x7F007F, "not uniform", "wrong"));
    EXPECT_EQ(tester.failureReason, "wrong");
}

TEST(D3DTesterMemory, TheMinimumCountsTheScreenAndAnUnknownAmountPasses)
{
    const uint64_t mb = 1u << 20;
    const uint64_t screen = 1024 * 768 * 4; // 3 MB
    D3DTester tester;
    EXPECT_FALSE(tester.CheckVideoMemory(2 * mb, screen)); // 5 MB
    EXPECT_EQ(tester.failureReason, "Not enough video memory.");

    D3DTester enough;
    EXPECT_TRUE(enough.CheckVideoMemory(3 * mb, screen)); // 6 MB
    EXPECT_EQ(enough.failureReason, "");
    EXPECT_TRUE(enough.CheckVideoMemory(std::nullopt, 0));
    EXPECT_EQ(enough.failureReason, "");
}

} // namespace NubraTest

namespace NubraTest {

// Headless, SDL's software renderer stands in for the card: it draws the blends it knows
// correctly but refuses the plain sum of the additive test, so 3-D stays off.
TEST(D3DTesterOnTheSoftwareRenderer, TheAdditiveTestFailsAfterTheAlphaTestPassed)
{
    D3DTester tester;
    tester.TestD3D(nullptr);
    EXPECT_EQ(tester.driver, "software");
    EXPECT_EQ(tester.description, "software");
    EXPECT_EQ(tester.driverYear, 0);
    EXPECT_EQ(tester.warning, "Unsupported video card: software");
    EXPECT_EQ(tester.failureReason, "Additive blend not supported.");
    // The alpha test's scene is what was read last.
    EXPECT_EQ(tester.readBack.PixelAt(0, 0), 0x80007Fu);
    EXPECT_EQ(tester.readBack.PixelAt(99, 99), 0x80007Fu);
}

} // namespace NubraTest

#include "DisplayFixtures.h"
#include "framework/util/Buffer.h"
#include "framework/util/DemoChannel.h"
#include "platform/RecordingGpu.h"

#include <functional>

namespace NubraTest {

TEST(D3DTestDecision, OnlyACleanPassSwitchesOnAndOnlyAFailureOrANewDoubtSwitchesOff)
{
    const struct {
        bool autoEnable, firstTime;
        const char *failure, *warning;
        std::optional<bool> is3D;
    } cases[] = {
        {true, true, "", "", true},
        {true, false, "", "", true},
        {false, true, "", "", std::nullopt},
        {true, false, "Clear failed", "", false},
        {false, false, "Clear failed", "doubt", false},
        {true, true, "", "Clip problem detected.", false},
        {true, false, "", "Clip problem detected.", std::nullopt}, // the player's stored choice stands
    };
    for (const auto& c : cases)
        EXPECT_EQ(DDInterface::D3DTestDecision(c.autoEnable, c.firstTime, c.failure, c.warning), c.is3D)
            << c.autoEnable << c.firstTime << " '" << c.failure << "' '" << c.warning << "'";
}

// Pixel (x, y) of the read-back of each scene drawn right.
uint32_t RightScene(int read, int x, int)
{
    static const uint32_t kBlends[] = {0x7F007F, 0x808080, 0x808080, 0x7F007F};
    return read < 4 ? kBlends[read] : x % 2 ? 0xFFFFFFFF : 0xFF000000;
}

// A card whose read-back the test decides: by default every scene comes out right.
struct ScriptedGpu : plat::RecordingGpu {
    int reads = 0;
    std::function<uint32_t(int read, int x, int y)> pixel = RightScene;
    std::vector<uint32_t> firstTexels; // of each upload

    bool Upload(plat::GpuTexture& texture, const void* texels, int pitch) override
    {
        firstTexels.push_back(texture.format == plat::GpuFormat::ARGB8888 ? *static_cast<const uint32_t*>(texels)
                                                                           : *static_cast<const uint16_t*>(texels));
        return plat::RecordingGpu::Upload(texture, texels, pitch);
    }

    bool ReadPixels(const plat::PixelRect& rect, uint32_t* argb, int pitch) override
    {
        plat::RecordingGpu::ReadPixels(rect, argb, pitch);
        for (int y = 0; y < rect.height; ++y)
            for (int x = 0; x < rect.width; ++x)
                argb[y * pitch / 4 + x] = pixel(reads, x, y);
        ++reads;
        return true;
    }
};

struct D3DTestRunTest : DisplayTest {
    ScriptedGpu gpu;

    D3DTestRunTest()
    {
        headless->gpu = &gpu;
        app.test3D = app.autoEnable3D = true;
        display->is3D = false;
    }
};

TEST_F(D3DTestRunTest, ACardThatDrawsEverySceneRightGetsThreeD)
{
    EXPECT_TRUE(display->RunD3DTest());
    EXPECT_TRUE(display->is3D);
    EXPECT_TRUE(app.hardwareAccelerationDecidedByTest);
    EXPECT_EQ(display->d3dTester->GetFailureReason(), "");
    EXPECT_EQ(display->d3dTester->GetWarning(), "");
    EXPECT_EQ(display->d3dTester->description, "recording");
    EXPECT_EQ(gpu.reads, 5);
    EXPECT_EQ(gpu.texturesAlive, 0);
    EXPECT_EQ(gpu.calls.back(), "SetTarget 0"); // the display draws to its output again

    // Four blends and the clip scene, each a background and a foreground, tiled over 100 x 100
    // with corners on whole pixels; the clip scene starts two pixels off the target.
    ASSERT_EQ(gpu.draws.size(), 9u);
    EXPECT_EQ(gpu.draws[2].blend, plat::GpuBlend::Sum);
    const plat::GpuVertex& first = gpu.draws[0].corners[0];
    EXPECT_EQ(first.x, 0.0f);
    EXPECT_EQ(first.u, 0.0f);
    EXPECT_EQ(gpu.draws[0].corners.size(), 4u * 6u);
    EXPECT_EQ(gpu.draws[7].corners[0].a, 0x80); // the modulated foreground's vertex colour
    EXPECT_EQ(gpu.draws[8].corners[0].x, -2.0f);
    EXPECT_EQ(gpu.draws[8].corners[1].x, 62.0f);

    display->is3D = false;
    EXPECT_FALSE(display->RunD3DTest()); // once per display
    EXPECT_FALSE(display->is3D);
}

TEST_F(D3DTestRunTest, ScenesThatComeOutWrongOrUnevenFailOrWarn)
{
    const struct {
        std::function<uint32_t(int, int, int)> pixel;
        const char* failure;
        const char* warning;
    } cases[] = {
        {[](int, int, int) { return 0u; }, "Alpha blend Not Supported", ""},
        {[](int read, int x, int y) { return read == 2 ? 0x808080 + (x == 5) : RightScene(read, x, y); }, "",
         "AlphaAdd blend test not uniform."},
        {[](int read, int x, int y) { return read == 4 ? 0xFFFFFFu : RightScene(read, x, y); }, "",
         "Clip problem detected."},
    };
    for (const auto& c : cases) {
        D3DTester tester(&app);
        ScriptedGpu scripted;
        scripted.pixel = c.pixel;
        tester.TestD3D(&scripted);
        EXPECT_EQ(tester.GetFailureReason(), c.failure);
        EXPECT_EQ(tester.GetWarning(), c.warning);
    }
}

TEST_F(D3DTestRunTest, AFailedStepNamesItAndTheAdditiveBlendNeedsTheCustomMode)
{
    D3DTester tester(&app);
    gpu.failing = "Upload";
    tester.TestD3D(&gpu);
    EXPECT_EQ(tester.GetFailureReason(), "DXError - Lock Texture: Upload: refused");

    ScriptedGpu plain;
    plain.customBlends = false;
    tester.TestD3D(&plain);
    EXPECT_EQ(tester.GetFailureReason(), "Additive blend not supported.");
    EXPECT_EQ(plain.texturesAlive, 0);
}

TEST_F(D3DTestRunTest, WithoutThirtyTwoBitTexturesTheScenesUseSixteenAndWithoutEitherTheCardFails)
{
    D3DTester tester(&app);
    gpu.info.nativeFormats = {plat::GpuFormat::ARGB4444};
    tester.TestD3D(&gpu);
    EXPECT_EQ(tester.GetFailureReason(), "");
    EXPECT_EQ(tester.GetWarning(), "A8R8G8B8 texture format not supported.");
    EXPECT_EQ(gpu.draws.size(), 9u);
    ASSERT_GE(gpu.firstTexels.size(), 2u);
    EXPECT_EQ(gpu.firstTexels[0], 0xF00Fu); // 0xFF0000FF
    EXPECT_EQ(gpu.firstTexels[1], 0x8F00u); // 0x80FF0000

    plat::RecordingGpu neither;
    neither.info.nativeFormats = {plat::GpuFormat::RGB565};
    tester.TestD3D(&neither);
    EXPECT_EQ(tester.GetFailureReason(), "A4R4G4B4 and A8R8G8B8 texture formats not supported.");
    EXPECT_TRUE(neither.draws.empty());
}

TEST_F(D3DTestRunTest, ARepeatStartWithTheSameDriverAndProgramTakesTheStoredVerdict)
{
    app.registryKey = "Card Tests\\Verdict " + std::to_string(::getpid());
    auto run = [&](const std::string& key) {
        D3DTester tester(&app);
        const size_t before = gpu.calls.size();
        gpu.reads = 0;
        tester.TestD3DOrRecall(&gpu, key);
        return std::tuple(tester.GetFailureReason(), tester.GetWarning(), gpu.calls.size() > before);
    };
    gpu.pixel = [](int, int, int) { return 0u; };
    EXPECT_EQ(run("x11 1.0"), std::tuple("Alpha blend Not Supported", "", true));
    gpu.pixel = RightScene;
    EXPECT_EQ(run("x11 1.0"), std::tuple("Alpha blend Not Supported", "", false)) << "the card is not touched";

    gpu.pixel = [](int read, int x, int y) { return read == 4 ? 0xFFFFFFu : RightScene(read, x, y); };
    EXPECT_EQ(run("wayland 1.0"), std::tuple("", "Clip problem detected.", true));
    EXPECT_EQ(run("wayland 1.0"), std::tuple("", "Clip problem detected.", false));
    EXPECT_EQ(run("wayland 1.1"), std::tuple("", "Clip problem detected.", true)) << "a new program tests again";
}

TEST_F(D3DTestRunTest, OnlyAThreeDDisplayAsksThePresenterForTheCard)
{
    gpu.pixel = [](int, int, int) { return 0u; };
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK) << display->errorText;
    EXPECT_FALSE(display->is3D);
    EXPECT_FALSE(headless->accelerated);

    display->is3D = true; // the player's choice
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK) << display->errorText;
    EXPECT_TRUE(headless->accelerated);
    display.reset(); // its textures live on the fixture's card
}

TEST_F(D3DTestRunTest, WithAProbeCommandTheTestRunsInItsOwnProcess)
{
    const struct {
        const char* script;
        const char* failure;
        const char* warning;
    } cases[] = {
        {"printf '%s MB\\0low %s MB\\0' \"$1\" \"$2\"", "6 MB", "low 14 MB"},
        {"printf 'only the failure\\0'", "DXError - card test: the test process failed", ""},
        {"printf '\\0\\0'; exit 1", "DXError - card test: the test process failed", ""},
    };
    for (const auto& c : cases) {
        D3DTester::SetProbeCommand({"sh", "-c", c.script, "probe"});
        D3DTester tester(&app);
        tester.TestD3D(nullptr);
        EXPECT_EQ(tester.GetFailureReason(), c.failure) << c.script;
        EXPECT_EQ(tester.GetWarning(), c.warning) << c.script;
    }
    // The display's own renderer is tested here.
    D3DTester tester(&app);
    tester.TestD3D(&gpu);
    D3DTester::SetProbeCommand({});
    EXPECT_EQ(gpu.reads, 5);
    EXPECT_EQ(tester.GetFailureReason(), "");
}

// Plays a demo that holds no recorded outcome.
struct SilentDemo : DemoChannel {
    Buffer stream;
    bool IsRecording() const override { return false; }
    bool IsPlaying() const override { return true; }
    Buffer& BeginEvent(int) override { return stream; }
    Buffer* DueEvent(int) override { return nullptr; }
    void ConsumeEvent() override {}
};

TEST_F(D3DTestRunTest, DuringDemoPlaybackTheCardIsNotTouched)
{
    SilentDemo demo;
    SetDemoChannel(&demo);
    display->RunD3DTest();
    SetDemoChannel(nullptr);
    EXPECT_TRUE(gpu.calls.empty());
}

TEST_F(D3DTestRunTest, WithoutEitherSwitchTheTestDoesNotRun)
{
    app.test3D = app.autoEnable3D = false;
    EXPECT_FALSE(display->RunD3DTest());
    EXPECT_EQ(display->d3dTester, nullptr);
    EXPECT_TRUE(gpu.calls.empty());
}

} // namespace NubraTest
