#pragma once
// Fuzz inputs are read back from a file of this process, as the game reads its data files.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fuzz {

// A file name of this process in the temporary folder.
inline std::string InputPath(const std::string& extension)
{
    return (std::filesystem::temp_directory_path() / ("nubra-fuzz-" + std::to_string(::getpid()) + extension)).string();
}

// False when the input could not be written whole.
inline bool WriteInput(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace fuzz
