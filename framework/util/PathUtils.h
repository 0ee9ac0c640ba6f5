#pragma once
#include <string>

namespace Nubra {

// Either separator is accepted everywhere.
std::string GetFileName(const std::string& path, bool noExtension = false);
std::string GetFileDir(const std::string& path, bool withSlash = false);
std::string RemoveTrailingSlash(const std::string& path);
std::string AddTrailingSlash(const std::string& path, bool backslash = false);
// Joins base and relative; each ".." drops the last folder of base. Absolute paths stay as they are.
std::string GetFullPath(const std::string& relative, const std::string& base);
bool MkDir(const std::string& path);
bool Deltree(const std::string& path);

// The per-user folder that everything the game writes goes under ("" until set).
void SetAppDataFolder(const std::string& path);
std::string GetAppDataFolder();

} // namespace Nubra
