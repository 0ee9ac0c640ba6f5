// libFuzzer harness for one image reader (chosen at build time): each input is written to a
// file of this process and read back through the data-file layer, as the game reads images.
#include "FuzzInput.h"
#include "framework/graphics/ImageLib.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ImageLib::InitJPEG2000();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = fuzz::InputPath(FUZZ_EXTENSION);
    if (fuzz::WriteInput(path, data, size))
        ImageLib::FUZZ_READER(path);
    return 0;
}
