// libFuzzer harness for pref.dat: each input is loaded as the player's file, then the operations
// that read records back from it run once each.
#include "FuzzInput.h"
#include "game/shell/TCProfileStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::InputPath(".dat");
    if (!fuzz::WriteInput(path, data, size))
        return 0;
    TCProfileStore store(path);
    store.Load();
    std::vector<TCPlayerProfile> all;
    store.ReadAllProfiles(all);
    store.AddHiScore(true, NameText(store.CurrentProfile().name), 1000);
    store.ReadProfile(int(all.size()) - 1);
    store.DeleteProfile(0);
    store.CreateProfile(L"fuzz");
    for (const char* suffix : {"", ".bak", ".bad"})
        std::remove((path + suffix).c_str());
    return 0;
}
