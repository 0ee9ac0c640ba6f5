#pragma once
// Description files for the tests: 16-bit little-endian text in a folder of the test's own.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fixtures {

// A temporary folder, removed with the object.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Writes each character as one 16-bit little-endian unit; returns the path.
inline std::string WriteUtf16File(const std::string& path, const std::wstring& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (wchar_t c : text) {
        auto unit = static_cast<unsigned>(c);
        out.put(char(unit & 0xFF)).put(char((unit >> 8) & 0xFF));
    }
    return path;
}

} // namespace fixtures
