#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/ui/AnmFile.h"

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make the animation files' seed corpus.
TEST(FuzzSeeds, WriteTheAnimationCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    std::filesystem::path folder = std::filesystem::path(root) / "anm";
    std::filesystem::create_directories(folder);
    AnmClip walk{"gfx\\walker.png", "walk01", 64, AnmClip::Looped, 10, {{0, 0, 32, 48, 0, 0}, {32, 0, 32, 48, 0, 0}}};
    AnmClip idle{"gfx\\idle", "idle", 40, AnmClip::OnceBackward, 0, {{0, 0, 40, 40, 0, 0}}};
    const std::vector<AnmClip> seeds[] = {{}, {walk}, {walk, idle, AnmClip{"s", "empty", 0, 1, 5, {}}}};
    int index = 0;
    for (const auto& clips : seeds) {
        const std::vector<uint8_t> bytes = WriteAnm(clips);
        std::ofstream(folder / ("seed" + std::to_string(index++)), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}
