#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pak archive layout. Every byte on disk is XOR kPakKey; below, values are the plain ones,
// little-endian: magic, version 0, then entries {flags, name length, name, size u32, FILETIME u64},
// an end byte with bit 0x80, and the entries' data back to back in directory order.

inline constexpr uint8_t kPakKey = 0x3C;
inline constexpr uint32_t kPakMagic = 0xBAC04AC0;
inline constexpr uint8_t kPakEndFlag = 0x80;

// One entry of a directory, with its data's place in the archive.
struct PakDirEntry {
    std::string name; // as stored
    uint64_t fileTime = 0;
    uint64_t start = 0;
    uint32_t size = 0;
};

// The whole directory, or why the archive is refused. An archive is accepted only when every
// entry header is complete and every entry's data lies inside the file, so a refused archive
// contributes nothing.
struct PakDirectory {
    std::vector<PakDirEntry> entries;
    std::string error; // empty when accepted
    bool Accepted() const { return error.empty(); }
};

// Reads the directory of an archive held whole in memory (as stored, scrambled).
PakDirectory ReadPakDirectory(const uint8_t* bytes, size_t size);

// A file to pack: its stored name and contents.
struct PakSource {
    std::string name;
    uint64_t fileTime = 0;
    std::string data;
};

// The archive's bytes as stored. Names go in as given (see PakStoredName); the caller keeps each
// name within 255 bytes and each file under 4 GiB.
std::vector<uint8_t> BuildPak(const std::vector<PakSource>& files);

// The name under which a file at relative path `relative` is stored ("cfg\ui.xml"), or empty when
// it cannot be stored: more than 255 bytes, not ASCII, or with "." or ".." components.
std::string PakStoredName(std::string_view relative);

// Every regular file under folder, with its stored name, in name order. False, with the reason,
// when a name cannot be stored or a file is too large or cannot be read.
bool CollectPakSources(const std::string& folder, std::vector<PakSource>& files, std::string& error);

// FILETIME (100-ns ticks since 1601) of a Unix time in seconds.
uint64_t FileTimeFromUnix(int64_t seconds);
