// libFuzzer harness for the pak directory reader: each input is a whole archive as stored. An
// accepted directory must keep every entry inside the input, which the reads below touch.
#include "engine/core/PakFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PakDirectory directory = ReadPakDirectory(data, size);
    if (!directory.Accepted())
        return 0;
    volatile uint8_t sum = 0;
    for (const PakDirEntry& entry : directory.entries) {
        if (entry.start + entry.size > size)
            std::abort();
        for (uint64_t i = entry.start; i < entry.start + entry.size; ++i)
            sum = sum + (data[i] ^ kPakKey);
    }
    return 0;
}
