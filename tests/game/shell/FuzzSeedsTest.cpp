#include <cstdlib>

#include "ProfileStoreFixture.h"

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make the pref.dat seed corpus: a
// fresh file, one with profiles and a new hi-score, and one cut inside a record.
class FuzzSeeds : public profiletest::ProfileStoreTest {};

TEST_F(FuzzSeeds, WriteThePrefCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    const std::filesystem::path folder = std::filesystem::path(root) / "pref";
    std::filesystem::create_directories(folder);
    auto keep = [&](const char* name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    };
    TCProfileStore store = MakeStore();
    store.Load();
    keep("fresh", FileBytes());
    store.CreateProfile(L"Ann");
    store.CurrentProfile().highestLevel = 20;
    store.CreateProfile(L"Bo\U0001F600");
    store.AddHiScore(false, L"Bo", 123456);
    store.SaveTables();
    keep("two", FileBytes());
    keep("cut", FileBytes().substr(0, 7320 + 920 + 400));
}
