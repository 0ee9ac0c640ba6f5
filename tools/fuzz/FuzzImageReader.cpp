// libFuzzer harness for one image reader (chosen at build time): each input is written to a
// file of this process and read back through the data-file layer, as the game reads images.
#include "framework/graphics/ImageLib.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string InputPath()
{
    return (std::filesystem::temp_directory_path() / ("nubra-fuzz-" + std::to_string(::getpid()) + FUZZ_EXTENSION)).string();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ImageLib::InitJPEG2000();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = InputPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        return 0;

    ImageLib::FUZZ_READER(path);
    return 0;
}
