// The graphics card test on SDL's offscreen video driver, where the renderer is OpenGL over
// Mesa's llvmpipe: a software rasteriser that draws every scene right, and that the shipped card
// list turns away.
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/D3DTester.h"
#include "framework/graphics/DDInterface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace Nubra;

TEST(D3DTesterOnLlvmpipe, EverySceneComesOutRightAndTheShippedListRejectsTheCard)
{
    NubraAppBase app;
    D3DTester tester(&app);
    tester.listFolder = std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data";
    tester.TestD3D(nullptr);
    if (tester.driver.rfind("opengl", 0) != 0)
        GTEST_SKIP() << "no OpenGL renderer here (" << tester.driver << "): " << tester.GetFailureReason();

    EXPECT_NE(tester.description.find("llvmpipe"), std::string::npos) << tester.description;
    EXPECT_EQ(tester.driverYear, 0);
    EXPECT_EQ(tester.GetFailureReason(), "");
    EXPECT_EQ(tester.GetWarning(), "Unsupported video card: " + tester.description);
    // The clip scene was read last: its pattern is not shifted by the two pixels cut off.
    EXPECT_EQ(tester.readBack.PixelAt(0, 0), 0x000000u);
    EXPECT_EQ(tester.readBack.PixelAt(1, 0), 0xFFFFFFu);
    // A doubt on a first run keeps 3-D off.
    EXPECT_EQ(DDInterface::D3DTestDecision(true, tester.IsFirstTime(), "", tester.GetWarning()), false);
}

} // namespace
