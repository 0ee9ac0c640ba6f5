#include "engine/core/PakInterface.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/core/Log.h"
#include "platform/Files.h"

using Nubra::PFILE;
namespace fs = std::filesystem;

// One mapped archive and its directory; entries point into it for the life of the interface.
struct PakInterface::Archive {
    Archive(std::string path, const uint8_t* view, size_t size) : path(std::move(path)), view(view), size(size) {}
    ~Archive() { munmap(const_cast<uint8_t*>(view), size); }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    std::string path;
    const uint8_t* view;
    size_t size;
    std::vector<Entry> entries;
};

// A directory search: the archive matches in key order, then the disk's.
struct PakFind {
    std::string prefix, rest; // the key pattern split at its first '*'
    std::string rawPattern;
    bool inArchives = true;
    std::string lastKey;
    bool started = false;
    std::vector<PakFindData> disk;
    size_t nextDisk = 0;
};

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string NormalizeName(std::string_view name)
{
    std::vector<std::string> parts;
    size_t begin = 0;
    while (begin <= name.size()) {
        size_t end = begin;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        std::string_view part = name.substr(begin, end - begin);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            std::string upper(part);
            std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
            parts.push_back(std::move(upper));
        }
        begin = end + 1;
    }
    std::string key = !name.empty() && IsSeparator(name[0]) ? "\\" : "";
    for (size_t i = 0; i < parts.size(); ++i)
        key += (i ? "\\" : "") + parts[i];
    return key;
}

// The '*' rule of directory searches, on upper-case names.
bool MatchesPattern(std::string_view key, std::string_view prefix, std::string_view rest)
{
    if (!key.starts_with(prefix))
        return false;
    return rest.empty() || rest == ".*" || (key.size() >= prefix.size() + rest.size() && key.ends_with(rest));
}

void SplitAtStar(std::string_view pattern, std::string& prefix, std::string& rest)
{
    size_t star = pattern.find('*');
    prefix = pattern.substr(0, star);
    rest = star == std::string_view::npos ? "" : pattern.substr(star + 1);
}

std::string AfterLastSeparator(const std::string& name)
{
    size_t last = name.find_last_of("/\\");
    return last == std::string::npos ? name : name.substr(last + 1);
}

std::vector<PakFindData> FindOnDisk(const std::string& rawPattern)
{
    size_t slash = rawPattern.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "." : rawPattern.substr(0, slash + 1);
    std::string filePattern = NormalizeName(slash == std::string::npos ? rawPattern : rawPattern.substr(slash + 1));
    std::string prefix, rest;
    SplitAtStar(filePattern, prefix, rest);

    std::vector<PakFindData> found;
    std::error_code error;
    for (const fs::directory_entry& item : fs::directory_iterator(plat::ResolvePath(folder), error)) {
        std::string name = item.path().filename().string();
        if (!MatchesPattern(NormalizeName(name), prefix, rest))
            continue;
        struct stat info {};
        if (stat(item.path().c_str(), &info) != 0)
            continue;
        PakFindData data;
        data.attributes = S_ISDIR(info.st_mode) ? PakFindData::kDirectory : 0;
        data.creationTime = data.lastAccessTime = data.lastWriteTime = FileTimeFromUnix(info.st_mtim.tv_sec);
        data.size = uint32_t(info.st_size);
        data.name = std::move(name);
        found.push_back(std::move(data));
    }
    std::sort(found.begin(), found.end(), [](const PakFindData& a, const PakFindData& b) { return a.name < b.name; });
    return found;
}

bool NextOnDisk(PakFind& find, PakFindData* found)
{
    if (find.inArchives) {
        find.inArchives = false;
        find.disk = FindOnDisk(find.rawPattern);
    }
    if (find.nextDisk >= find.disk.size())
        return false;
    *found = find.disk[find.nextDisk++];
    return true;
}

const PakInterface::Entry* EntryOf(const PFILE* file) { return static_cast<const PakInterface::Entry*>(file->entry); }

int64_t Remaining(const PFILE* file) { return int64_t(EntryOf(file)->dir.size) - file->pos; }

uint8_t PlainByteAt(const PFILE* file, int64_t pos)
{
    const PakInterface::Entry* entry = EntryOf(file);
    return entry->archive->view[entry->dir.start + pos] ^ kPakKey;
}

} // namespace

std::string PakKeyOf(std::string_view name, std::string_view currentDir)
{
    std::string key = NormalizeName(name);
    if (!currentDir.empty()) {
        std::string here = NormalizeName(currentDir) + "\\";
        if (key.starts_with(here))
            key.erase(0, here.size());
    }
    return key;
}

PakInterface::PakInterface()
{
    if (!Nubra::GetPakInterface()) {
        Nubra::SetPakInterface(this);
        published_ = true;
    }
}

PakInterface::~PakInterface()
{
    if (published_ && Nubra::GetPakInterface() == this)
        Nubra::SetPakInterface(nullptr);
}

bool PakInterface::AddPakFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
        ::close(fd);
        return false;
    }
    const size_t size = size_t(info.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (view == MAP_FAILED) {
        WriteLog("WARNING: cannot map pak archive \"%s\": %s", path.c_str(), std::strerror(errno));
        return false;
    }
    auto archive = std::make_unique<Archive>(path, static_cast<const uint8_t*>(view), size);

    PakDirectory directory = ReadPakDirectory(archive->view, size);
    if (!directory.Accepted()) {
        WriteLog("WARNING: pak archive \"%s\" refused: %s", path.c_str(), directory.error.c_str());
        return false;
    }
    archive->entries.reserve(directory.entries.size());
    for (PakDirEntry& dir : directory.entries)
        archive->entries.push_back({archive.get(), std::move(dir)});
    // Within one archive as across archives, the later entry of a name wins.
    for (const Entry& entry : archive->entries)
        entries_[PakKeyOf(entry.dir.name, {})] = &entry;
    archives_.push_back(std::move(archive));
    return true;
}

std::string PakInterface::KeyOf(std::string_view name) const
{
    if (name.empty() || !IsSeparator(name[0]))
        return PakKeyOf(name, {});
    std::error_code error;
    return PakKeyOf(name, fs::current_path(error).string());
}

const PakInterface::Entry* PakInterface::Lookup(std::string_view name) const
{
    if (entries_.empty())
        return nullptr;
    auto found = entries_.find(KeyOf(name));
    return found == entries_.end() ? nullptr : found->second;
}

PFILE* PakInterface::FOpen(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    const std::string_view how = mode;
    if (how == "r" || how == "rb" || how == "rt")
        if (const Entry* entry = Lookup(name))
            return new PFILE{entry, 0, nullptr};
    return disk_.FOpen(name, mode);
}

int PakInterface::FClose(PFILE* file)
{
    if (file && !file->entry)
        return disk_.FClose(file);
    delete file;
    return 0;
}

int PakInterface::FSeek(PFILE* file, long offset, int origin)
{
    if (!file->entry)
        return disk_.FSeek(file, offset, origin);
    const int64_t size = EntryOf(file)->dir.size;
    int64_t pos;
    switch (origin) {
    case 0: pos = offset; break;
    case 1: pos = file->pos + offset; break;
    case 2: pos = size + offset; break;
    default: return -1;
    }
    file->pos = std::clamp<int64_t>(pos, 0, size);
    return 0;
}

long PakInterface::FTell(PFILE* file) { return file->entry ? long(file->pos) : disk_.FTell(file); }

size_t PakInterface::FRead(void* buffer, size_t size, size_t count, PFILE* file)
{
    if (!file->entry)
        return disk_.FRead(buffer, size, count, file);
    if (size == 0)
        return 0;
    size_t wanted;
    if (__builtin_mul_overflow(size, count, &wanted))
        wanted = SIZE_MAX;
    const size_t bytes = std::min<size_t>(wanted, size_t(std::max<int64_t>(Remaining(file), 0)));
    auto* out = static_cast<uint8_t*>(buffer);
    for (size_t i = 0; i < bytes; ++i)
        out[i] = PlainByteAt(file, file->pos + int64_t(i));
    file->pos += int64_t(bytes);
    return bytes / size;
}

unsigned PakInterface::FGetWC(PFILE* file)
{
    if (!file->entry)
        return disk_.FGetWC(file);
    while (Remaining(file) >= 2) {
        unsigned unit = PlainByteAt(file, file->pos) | unsigned(PlainByteAt(file, file->pos + 1)) << 8;
        file->pos += 2;
        if (unit != '\r')
            return unit;
    }
    return 0xFFFF;
}

bool PakInterface::FEof(PFILE* file) { return file->entry ? Remaining(file) <= 0 : disk_.FEof(file); }

int PakInterface::FGetC(PFILE* file)
{
    if (!file->entry)
        return std::fgetc(file->disk);
    while (Remaining(file) > 0) {
        int c = PlainByteAt(file, file->pos++);
        if (c != '\r')
            return c;
    }
    return EOF;
}

int PakInterface::UnGetC(int c, PFILE* file)
{
    if (!file->entry)
        return std::ungetc(c, file->disk);
    file->pos = std::max<int64_t>(file->pos - 1, 0);
    return c;
}

// Up to and including a line feed, or count - 1 units; null when nothing was left to read.
template <typename Unit, typename ReadUnit>
static Unit* ReadLine(Unit* buffer, int count, ReadUnit read, unsigned end)
{
    if (!buffer || count <= 0)
        return nullptr;
    int stored = 0;
    while (stored < count - 1) {
        unsigned unit = read();
        if (unit == end)
            break;
        buffer[stored++] = Unit(unit);
        if (unit == '\n')
            break;
    }
    buffer[stored] = 0;
    return stored > 0 || count == 1 ? buffer : nullptr;
}

wchar_t* PakInterface::FGetWS(wchar_t* buffer, int count, PFILE* file)
{
    if (count == 1 && FEof(file))
        return nullptr;
    return ReadLine(buffer, count, [&] { return FGetWC(file); }, 0xFFFF);
}

char* PakInterface::FGetS(char* buffer, int count, PFILE* file)
{
    if (!file->entry)
        return count > 0 ? std::fgets(buffer, count, file->disk) : nullptr;
    if (count == 1 && FEof(file))
        return nullptr;
    return ReadLine(buffer, count, [&] { return unsigned(FGetC(file)); }, unsigned(EOF));
}

bool PakInterface::NextArchiveMatch(PakFind& find, PakFindData* found) const
{
    auto it = find.started ? entries_.upper_bound(find.lastKey) : entries_.lower_bound(find.prefix);
    for (; it != entries_.end() && it->first.starts_with(find.prefix); ++it) {
        if (!MatchesPattern(it->first, find.prefix, find.rest))
            continue;
        const PakDirEntry& dir = it->second->dir;
        found->attributes = it->first.find('\\', find.prefix.size()) != std::string::npos ? PakFindData::kDirectory : 0;
        found->creationTime = found->lastAccessTime = found->lastWriteTime = dir.fileTime;
        found->size = dir.size;
        found->name = AfterLastSeparator(dir.name);
        find.lastKey = it->first;
        find.started = true;
        return true;
    }
    return false;
}

PakFind* PakInterface::FindFirstFile(const char* pattern, PakFindData* found)
{
    if (!pattern || !found)
        return nullptr;
    auto find = std::make_unique<PakFind>();
    find->rawPattern = pattern;
    SplitAtStar(KeyOf(pattern), find->prefix, find->rest);
    if (NextArchiveMatch(*find, found) || NextOnDisk(*find, found))
        return find.release();
    return nullptr;
}

bool PakInterface::FindNextFile(PakFind* find, PakFindData* found)
{
    if (!find || !found)
        return false;
    return (find->inArchives && NextArchiveMatch(*find, found)) || NextOnDisk(*find, found);
}

void PakInterface::FindClose(PakFind* find) { delete find; }
