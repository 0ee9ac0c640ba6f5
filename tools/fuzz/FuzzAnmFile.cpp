// libFuzzer harness for the animation file reader: each input is a whole ".anm" file. An accepted
// file must give what the writer would give back for its clips.
#include "engine/ui/AnmFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<AnmClip> clips;
    std::string error;
    if (!ParseAnm(data, size, clips, error))
        return 0;
    const std::vector<uint8_t> written = WriteAnm(clips);
    std::vector<AnmClip> again;
    if (!ParseAnm(written.data(), written.size(), again, error) || again.size() != clips.size())
        std::abort();
    for (size_t i = 0; i < clips.size(); ++i)
        if (again[i].name != clips[i].name || again[i].frames.size() != clips[i].frames.size())
            std::abort();
    return 0;
}
