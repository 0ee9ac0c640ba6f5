#include "engine/core/PakFormat.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Reads plain values from the scrambled bytes; every read is checked against the end.
class PakReader {
public:
    PakReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool AtEnd() const { return pos_ >= size_; }
    uint64_t Position() const { return pos_; }

    bool Byte(uint8_t& value)
    {
        if (pos_ >= size_)
            return false;
        value = bytes_[pos_++] ^ kPakKey;
        return true;
    }

    template <typename T>
    bool Number(T& value)
    {
        if (size_ - pos_ < sizeof(T))
            return false;
        value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= T(bytes_[pos_++] ^ kPakKey) << (8 * i);
        return true;
    }

    bool Text(size_t length, std::string& text)
    {
        if (size_ - pos_ < length)
            return false;
        text.resize(length);
        for (size_t i = 0; i < length; ++i)
            text[i] = char(bytes_[pos_++] ^ kPakKey);
        return true;
    }

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t pos_ = 0;
};

PakDirectory Refused(std::string why)
{
    PakDirectory directory;
    directory.error = std::move(why);
    return directory;
}

class PakWriter {
public:
    void Byte(uint8_t value) { bytes.push_back(value ^ kPakKey); }

    template <typename T>
    void Number(T value)
    {
        for (size_t i = 0; i < sizeof(T); ++i)
            Byte(uint8_t(value >> (8 * i)));
    }

    void Text(std::string_view text)
    {
        for (char c : text)
            Byte(uint8_t(c));
    }

    std::vector<uint8_t> bytes;
};

} // namespace

PakDirectory ReadPakDirectory(const uint8_t* bytes, size_t size)
{
    PakReader reader(bytes, size);
    uint32_t magic = 0, version = 0;
    if (!reader.Number(magic) || !reader.Number(version))
        return Refused("shorter than its header");
    if (magic != kPakMagic)
        return Refused("not a pak archive");
    if (version != 0)
        return Refused("unknown version " + std::to_string(version));

    PakDirectory directory;
    uint8_t flags = 0;
    // The directory also ends where the file does; a writer always puts the end byte.
    while (reader.Byte(flags) && !(flags & kPakEndFlag)) {
        PakDirEntry entry;
        uint8_t length = 0;
        if (!reader.Byte(length) || !reader.Text(length, entry.name) || !reader.Number(entry.size) ||
            !reader.Number(entry.fileTime))
            return Refused("directory entry " + std::to_string(directory.entries.size()) + " is cut short");
        directory.entries.push_back(std::move(entry));
    }

    uint64_t start = reader.Position();
    for (PakDirEntry& entry : directory.entries) {
        entry.start = start;
        start += entry.size; // at most 2^8 * 2^32 per byte of directory: no overflow in 64 bits
        if (start > size)
            return Refused("data of \"" + entry.name + "\" runs past the end of the file");
    }
    return directory;
}

std::vector<uint8_t> BuildPak(const std::vector<PakSource>& files)
{
    PakWriter writer;
    writer.Number(kPakMagic);
    writer.Number(uint32_t{0});
    for (const PakSource& file : files) {
        writer.Byte(0);
        writer.Byte(uint8_t(file.name.size()));
        writer.Text(file.name);
        writer.Number(uint32_t(file.data.size()));
        writer.Number(file.fileTime);
    }
    writer.Byte(kPakEndFlag);
    for (const PakSource& file : files)
        writer.Text(file.data);
    return std::move(writer.bytes);
}

std::string PakStoredName(std::string_view relative)
{
    std::string name;
    size_t begin = 0;
    while (begin <= relative.size()) {
        size_t end = relative.find_first_of("/\\", begin);
        if (end == std::string_view::npos)
            end = relative.size();
        std::string_view part = relative.substr(begin, end - begin);
        if (part == "." || part == ".." || part.empty())
            return {};
        if (!name.empty())
            name += '\\';
        name += part;
        begin = end + 1;
    }
    for (unsigned char c : name)
        if (c >= 0x80 || c < 0x20)
            return {};
    return name.size() <= 255 ? name : std::string();
}

bool CollectPakSources(const std::string& folder, std::vector<PakSource>& files, std::string& error)
{
    std::error_code failure;
    fs::recursive_directory_iterator it(folder, failure), end;
    for (; !failure && it != end; it.increment(failure)) {
        if (!it->is_regular_file(failure))
            continue;
        const std::string relative = it->path().lexically_relative(folder).generic_string();
        PakSource file;
        file.name = PakStoredName(relative);
        if (file.name.empty()) {
            error = "cannot store the name \"" + relative + "\" (ASCII, at most 255 bytes)";
            return false;
        }
        std::ifstream in(it->path(), std::ios::binary);
        file.data.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.good() && !in.eof()) {
            error = "cannot read \"" + relative + "\"";
            return false;
        }
        if (file.data.size() > UINT32_MAX) {
            error = "\"" + relative + "\" is 4 GiB or larger";
            return false;
        }
        struct stat info {};
        if (stat(it->path().c_str(), &info) == 0)
            file.fileTime = FileTimeFromUnix(info.st_mtim.tv_sec);
        files.push_back(std::move(file));
    }
    if (failure) {
        error = "cannot list \"" + folder + "\": " + failure.message();
        return false;
    }
    std::sort(files.begin(), files.end(), [](const PakSource& a, const PakSource& b) { return a.name < b.name; });
    return true;
}

uint64_t FileTimeFromUnix(int64_t seconds)
{
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
    return uint64_t(seconds + kSecondsFrom1601To1970) * 10000000u;
}
