#include "FontFixtures.h"

#include <cstdlib>
#include <filesystem>

using namespace fixtures;

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make the descriptions' seed corpus.
TEST(FuzzSeeds, WriteTheDescriptionCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    std::filesystem::path folder = std::filesystem::path(root) / "desc";
    std::filesystem::create_directories(folder);
    WriteUtf16File((folder / "main").string(), kMainFont);
    WriteUtf16File((folder / "layers").string(), std::wstring(kMainFont) + LR"(
        Define Pairs ('VA', 'AB');
        LayerSetKerningPairs Main Pairs (200, -3);
        CreateLayerFrom Shadow Main;
        LayerSetColorMult Shadow (0, 0, 0, 0.5);
        LayerSetColorAdd Shadow 0x80FF0010;
        LayerSetOffset Shadow (1, 1);
        LayerSetBaseOrder Shadow -1;
        LayerSetCharOrders Shadow ('A', 'B') (500, -200);
        LayerSetDrawMode Shadow 1;
        LayerPointRange Shadow 5 -1;
        LayerRequireTags Shadow ('bold');
        LayerExcludeTags Main ("it's");
        LayerSetLineSpacingOffset Main -2;
        LayerSetAscentPadding Main 3;
        LayerSetHeight Main 18;
        LayerSetCharOffsetsShift Main (1);
    )");
}
