#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/core/PakFormat.h"

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make the pak directories' seed corpus.
TEST(FuzzSeeds, WriteThePakCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    std::filesystem::path folder = std::filesystem::path(root) / "pak";
    std::filesystem::create_directories(folder);
    const std::vector<PakSource> seeds[] = {
        {},
        {{"cfg\\a.xml", 0x01D5C03669050000, "abc"}},
        {{"cfg\\ui.xml", 1, "<ui/>"}, {"gfx\\ui\\panel.png", 2, std::string(40, '\x3c')}, {"empty", 3, ""},
         {"CFG/UI.XML", 4, "later"}},
    };
    int index = 0;
    for (const auto& files : seeds) {
        const std::vector<uint8_t> bytes = BuildPak(files);
        std::ofstream(folder / ("seed" + std::to_string(index++)), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}
