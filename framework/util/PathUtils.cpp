#include "framework/util/PathUtils.h"

#include "framework/util/StringUtils.h"
#include "platform/Files.h"

#include <mutex>

namespace Nubra {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

std::mutex appDataMutex;
std::string appDataFolder;

} // namespace

std::string GetFileName(const std::string& path, bool noExtension)
{
    size_t slash = LastSeparator(path);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (noExtension) {
        size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name.resize(dot);
    }
    return name;
}

std::string GetFileDir(const std::string& path, bool withSlash)
{
    size_t slash = LastSeparator(path);
    if (slash == std::string::npos)
        return "";
    return path.substr(0, withSlash ? slash + 1 : slash);
}

std::string RemoveTrailingSlash(const std::string& path)
{
    std::string result = path;
    while (!result.empty() && IsSeparator(result.back()))
        result.pop_back();
    return result;
}

std::string AddTrailingSlash(const std::string& path, bool backslash)
{
    if (path.empty() || IsSeparator(path.back()))
        return path;
    return path + (backslash ? '\\' : '/');
}

std::string GetFullPath(const std::string& relative, const std::string& base)
{
    if ((relative.size() > 1 && relative[1] == ':') || (!relative.empty() && relative[0] == '/'))
        return relative;
    bool backslash = relative.find('\\') != std::string::npos || base.find('\\') != std::string::npos;
    char separator = backslash ? '\\' : '/';

    std::string result = RemoveTrailingSlash(base);
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = relative.size();
        std::string part = relative.substr(start, end - start);
        if (part == "..") {
            size_t slash = LastSeparator(result);
            result = slash == std::string::npos ? "" : result.substr(0, slash);
        } else if (!part.empty() && part != ".") {
            if (!result.empty() || (!base.empty() && IsSeparator(base[0])))
                result += separator;
            result += part;
        }
        start = end + 1;
    }
    return result;
}

bool MkDir(const std::string& path) { return plat::MakeDirs(path); }

bool Deltree(const std::string& path) { return plat::RemoveTree(path); }

void SetAppDataFolder(const std::string& path)
{
    if (!CheckForVista())
        return;
    std::lock_guard lock(appDataMutex);
    appDataFolder = AddTrailingSlash(path, path.find('\\') != std::string::npos);
}

std::string GetAppDataFolder()
{
    std::lock_guard lock(appDataMutex);
    return appDataFolder;
}

} // namespace Nubra
