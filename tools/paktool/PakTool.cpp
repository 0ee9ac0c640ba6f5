// Builds, lists and unpacks the game's pak archives.
//   paktool create <archive> <folder>... packs every file under each folder (names relative to
//                                        it); a name that two folders hold is refused
//   paktool list <archive>               one line per entry: size, FILETIME, name
//   paktool extract <archive> <folder>   writes every entry under folder
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/core/PakFormat.h"

namespace fs = std::filesystem;

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "paktool: %s\n", message.c_str());
    return 1;
}

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool WriteWhole(const fs::path& path, const uint8_t* bytes, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes), std::streamsize(size));
    out.close();
    return bool(out);
}

int Create(const std::string& archive, const std::vector<std::string>& folders)
{
    std::vector<PakSource> files;
    std::string error;
    for (const std::string& folder : folders)
        if (!CollectPakSources(folder, files, error))
            return Fail(error);
    // The game finds names in any case: one of two such files would be lost.
    std::set<std::string> names;
    for (const PakSource& file : files) {
        std::string lower = file.name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (!names.insert(lower).second)
            return Fail("two folders hold \"" + file.name + "\"");
    }
    const std::vector<uint8_t> bytes = BuildPak(files);
    // Read back what was written, as the game will.
    const PakDirectory check = ReadPakDirectory(bytes.data(), bytes.size());
    if (!check.Accepted() || check.entries.size() != files.size())
        return Fail("the archive built does not read back: " + check.error);
    const fs::path temporary = archive + ".part";
    if (!WriteWhole(temporary, bytes.data(), bytes.size()))
        return Fail("cannot write " + temporary.string());
    std::error_code failure;
    fs::rename(temporary, archive, failure);
    if (failure)
        return Fail("cannot write " + archive + ": " + failure.message());
    std::printf("%s: %zu files, %zu bytes\n", archive.c_str(), files.size(), bytes.size());
    return 0;
}

bool Load(const std::string& archive, std::vector<uint8_t>& bytes, PakDirectory& directory, std::string& error)
{
    if (!ReadWhole(archive, bytes)) {
        error = "cannot read " + archive;
        return false;
    }
    directory = ReadPakDirectory(bytes.data(), bytes.size());
    error = archive + ": " + directory.error;
    return directory.Accepted();
}

int List(const std::string& archive)
{
    std::vector<uint8_t> bytes;
    PakDirectory directory;
    std::string error;
    if (!Load(archive, bytes, directory, error))
        return Fail(error);
    for (const PakDirEntry& entry : directory.entries)
        std::printf("%10u  %016llx  %s\n", entry.size, static_cast<unsigned long long>(entry.fileTime), entry.name.c_str());
    return 0;
}

int Extract(const std::string& archive, const std::string& folder)
{
    std::vector<uint8_t> bytes;
    PakDirectory directory;
    std::string error;
    if (!Load(archive, bytes, directory, error))
        return Fail(error);
    for (const PakDirEntry& entry : directory.entries) {
        // Only names that stay inside the folder are written.
        const std::string stored = PakStoredName(entry.name);
        if (stored.empty())
            return Fail("refusing to extract \"" + entry.name + "\"");
        std::string relative = stored;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        const fs::path target = fs::path(folder) / relative;
        std::error_code failure;
        fs::create_directories(target.parent_path(), failure);
        std::vector<uint8_t> data(bytes.begin() + std::ptrdiff_t(entry.start),
                                  bytes.begin() + std::ptrdiff_t(entry.start + entry.size));
        for (uint8_t& byte : data)
            byte ^= kPakKey;
        if (!WriteWhole(target, data.data(), data.size()))
            return Fail("cannot write " + target.string());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "create") == 0)
        return Create(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    if (argc == 3 && std::strcmp(argv[1], "list") == 0)
        return List(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "extract") == 0)
        return Extract(argv[2], argv[3]);
    std::fprintf(stderr, "usage: paktool create <archive> <folder>... | list <archive> | extract <archive> <folder>\n");
    return 2;
}
