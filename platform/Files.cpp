#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace plat {
namespace {

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

struct Listing {
    timespec modified{};
    std::vector<std::string> names;
};

// Folder listings for the case-insensitive lookup, keyed by folder path.
class ListingCache {
public:
    // The entry of dir whose name matches name ignoring case, or "" when none does.
    std::string Find(const std::string& dir, std::string_view name)
    {
        struct stat info {};
        if (stat(dir.empty() ? "." : dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return {};
        std::lock_guard lock(mutex_);
        Listing& listing = listings_[dir];
        if (listing.modified.tv_sec != info.st_mtim.tv_sec || listing.modified.tv_nsec != info.st_mtim.tv_nsec
            || listing.names.empty()) {
            listing.modified = info.st_mtim;
            listing.names.clear();
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(dir.empty() ? "." : dir, error))
                listing.names.push_back(entry.path().filename().string());
        }
        for (const std::string& entry : listing.names)
            if (SameIgnoringAsciiCase(entry, name))
                return entry;
        return {};
    }

private:
    std::mutex mutex_;
    std::map<std::string, Listing> listings_;
};

ListingCache& Listings()
{
    static ListingCache cache;
    return cache;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string XdgDir(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    if (value && *value == '/')
        return WithSlash(value);
    const char* home = std::getenv("HOME");
    return WithSlash(std::string(home && *home ? home : "/tmp") + "/" + fallbackUnderHome);
}

std::string AppDir(std::string base, const std::string& maker, const std::string& product)
{
    if (!maker.empty())
        base += maker + "/";
    base += product + "/";
    MakeDirs(base);
    return base;
}

bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += size_t(written);
    }
    return true;
}

void SyncFolderOf(const std::string& path)
{
    std::string folder = path.substr(0, path.rfind('/') + 1);
    int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

// A second name for the current file; the rename that follows leaves it holding the old contents.
void KeepAsBackup(const std::string& path)
{
    const std::string backup = path + ".bak";
    std::remove(backup.c_str());
    ::link(path.c_str(), backup.c_str());
}

} // namespace

std::string ResolvePath(std::string_view dataName)
{
    std::string path(dataName);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || Exists(path))
        return path;

    std::string resolved = path.front() == '/' ? "/" : "";
    size_t start = resolved.size();
    bool matching = true;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string_view component(path.data() + start, end - start);
        if (!component.empty()) {
            std::string candidate = resolved + std::string(component);
            if (matching && !Exists(candidate)) {
                std::string found = Listings().Find(resolved, component);
                if (found.empty())
                    matching = false;
                else
                    candidate = resolved + found;
            }
            resolved = candidate;
            if (end < path.size())
                resolved += '/';
        }
        start = end + 1;
    }
    return resolved;
}

FILE* OpenFile(std::string_view dataName, const char* mode) { return std::fopen(ResolvePath(dataName).c_str(), mode); }

unsigned ReadU16LE(FILE* file)
{
    int low = std::fgetc(file);
    if (low == EOF)
        return 0xFFFF;
    int high = std::fgetc(file);
    if (high == EOF)
        return 0xFFFF;
    return unsigned(low) | (unsigned(high) << 8);
}

std::string ExeDir()
{
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    return WithSlash(exe.parent_path().string());
}

std::string UserDataDir(const std::string& maker, const std::string& product)
{
    return AppDir(XdgDir("XDG_DATA_HOME", ".local/share"), maker, product);
}

std::string UserConfigDir(const std::string& maker, const std::string& product)
{
    return AppDir(XdgDir("XDG_CONFIG_HOME", ".config"), maker, product);
}

std::string UserConfigRoot() { return XdgDir("XDG_CONFIG_HOME", ".config"); }

std::string RuntimeDir()
{
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = value && *value == '/' ? WithSlash(value) : WithSlash(fs::temp_directory_path().string());
    MakeDirs(dir);
    return dir;
}

bool MakeDirs(const std::string& path)
{
    std::string normal = path;
    std::replace(normal.begin(), normal.end(), '\\', '/');
    std::error_code error;
    fs::create_directories(normal, error);
    return fs::is_directory(normal, error);
}

bool RemoveTree(const std::string& path)
{
    std::string normal = path;
    std::replace(normal.begin(), normal.end(), '\\', '/');
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(normal, error)))
        return false;
    // remove_all removes a symbolic link itself, never what it points to.
    fs::remove_all(normal, error);
    return !error && !Exists(normal);
}

std::vector<std::string> ListDir(const std::string& dir, std::string_view suffix)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(ResolvePath(dir), error)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && name.size() >= suffix.size()
            && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

FileRead ReadWholeFile(const std::string& path, std::string* bytes, std::string* why)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = std::strerror(errno);
        if (errno == ENOENT)
            return FileRead::Absent;
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? FileRead::Unreadable : FileRead::NotAFile;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *why = "not a regular file";
        return FileRead::NotAFile;
    }
    char chunk[16384];
    while (true) {
        ssize_t got = ::read(fd, chunk, sizeof(chunk));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            *why = std::strerror(errno);
        if (got <= 0) {
            ::close(fd);
            return got == 0 ? FileRead::Read : FileRead::Unreadable;
        }
        bytes->append(chunk, size_t(got));
    }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, bool keepPrevious)
{
    // Named per process, so two copies saving at once never write into one temporary file.
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && keepPrevious)
        KeepAsBackup(path);
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}

bool SetAside(const std::string& path) { return std::rename(path.c_str(), (path + ".bad").c_str()) == 0; }

void RemoveStaleTemporaries(const std::string& file)
{
    const size_t slash = file.rfind('/');
    const std::string folder = file.substr(0, slash + 1);
    const std::string prefix = file.substr(slash + 1) + ".";
    for (const std::string& name : ListDir(folder.empty() ? "." : folder, ".tmp")) {
        if (!name.starts_with(prefix))
            continue;
        const char* digits = name.data() + prefix.size();
        const char* digitsEnd = name.data() + name.size() - 4;
        pid_t pid = 0;
        auto [end, error] = std::from_chars(digits, digitsEnd, pid);
        if (error == std::errc() && end == digitsEnd && digits != digitsEnd && pid > 0 && ::kill(pid, 0) != 0
            && errno == ESRCH)
            std::remove((folder + name).c_str());
    }
}

} // namespace plat
