#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Turns a data name as the game writes it ("cfg\UI.xml") into a path of this file system:
// backslashes become slashes, and any component that does not exist as written is matched
// case-insensitively against its folder (listings are cached and re-read when a folder changes).
// Components that match nothing are kept as written, so the result also serves for new files.
std::string ResolvePath(std::string_view dataName);

// fopen through ResolvePath.
FILE* OpenFile(std::string_view dataName, const char* mode);

// Reads one little-endian 16-bit unit; 0xFFFF at the end of the file.
unsigned ReadU16LE(FILE* file);

// The folder that holds the executable, with a trailing '/'.
std::string ExeDir();

// Per-user folders for what the game writes, created on demand, with a trailing '/':
// $XDG_DATA_HOME/<maker>/<product>/ and $XDG_CONFIG_HOME/<maker>/<product>/.
std::string UserDataDir(const std::string& maker, const std::string& product);
std::string UserConfigDir(const std::string& maker, const std::string& product);
// $XDG_CONFIG_HOME/ itself, with a trailing '/'.
std::string UserConfigRoot();
// $XDG_RUNTIME_DIR/ (or the temporary folder), with a trailing '/'.
std::string RuntimeDir();

bool MakeDirs(const std::string& path);
// Deletes a folder tree without following symbolic links; true when everything went.
bool RemoveTree(const std::string& path);
// Names of the regular files in a folder whose names end in suffix (any, when empty), sorted.
std::vector<std::string> ListDir(const std::string& dir, std::string_view suffix = {});

enum class FileRead { Absent, Read, NotAFile, Unreadable };
// The whole of a regular file by plain reads, opened without blocking so that a FIFO at the path
// cannot hold the caller up; anything but a regular file is not read. why gets the reason of a
// failure.
FileRead ReadWholeFile(const std::string& path, std::string* bytes, std::string* why);

// Replaces a file's contents whole: written to "<path>.<pid>.tmp", synced, renamed over the path,
// and the folder synced, so a crash at any moment leaves either the old or the new file. With
// keepPrevious the file it replaces stays as "<path>.bak".
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, bool keepPrevious = false);

// Moves a file that cannot be used to "<path>.bad" (an older one goes), so that the next write
// cannot destroy what the player may want back. False when it stays where it is (errno says why).
bool SetAside(const std::string& path);

// Removes the "<file>.<pid>.tmp" files of ReplaceFileAtomically whose writer is gone: what a save
// cut off by a kill leaves.
void RemoveStaleTemporaries(const std::string& file);

} // namespace plat
