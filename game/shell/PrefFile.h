#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The byte layout of "pref.dat": settings header, two hi-score tables, then the profile records.
// Little-endian, fields one by one; names are 128 UTF-16 units, zero-terminated.
namespace pref {

constexpr size_t kHeaderSize = 40;
constexpr size_t kRows = 14;
constexpr size_t kRowSize = 260;
constexpr size_t kTableSize = kRows * kRowSize;
constexpr size_t kSurvivalOffset = kHeaderSize;
constexpr size_t kCareerOffset = kSurvivalOffset + kTableSize;
constexpr size_t kRecordsOffset = kCareerOffset + kTableSize; // 7320
constexpr size_t kRecordSize = 920;
constexpr size_t kNameUnits = 128;
constexpr int32_t kVersion = 18;
constexpr std::array<uint8_t, 16> kMagic = {0x5B, 0x38, 0xB2, 0x2B, 0x03, 0xE6, 0xFF, 0x4C,
                                            0x95, 0x9A, 0x04, 0x5A, 0xF7, 0x29, 0x74, 0xB3};

// Career levels 1..59; index 0 of the per-level arrays is unused.
constexpr int kLevels = 59;
constexpr int kAchievements = 5;
constexpr int kUpgradeBytes = 29;
constexpr int kHints = 5;

} // namespace pref

using TCName = std::array<char16_t, pref::kNameUnits>;

// The name as displayed text, up to its terminator (or all 128 units when there is none). Pairs of
// surrogates join; a lone one shows as U+FFFD.
std::wstring NameText(const TCName& name);
// At most 127 units, never ending in half a surrogate pair; the rest zero.
TCName MakeName(std::wstring_view text);

struct TCPrefHeader {
    int32_t version = pref::kVersion;
    int32_t musicVolume = 30; // percent
    int32_t soundVolume = 60;
    uint8_t windowed = 0; // 1 window, 0 full screen
    uint8_t muted = 0;
    int32_t currentProfile = -1; // record index, -1 none
    int32_t reserved = 0;
};

struct TCHiScoreRow {
    TCName name{};
    int32_t score = 0;
};
using TCHiScoreTable = std::array<TCHiScoreRow, pref::kRows>; // highest score first

struct TCPlayerProfile {
    TCName name{};
    int32_t reserved = 0;
    // The owned upgrade bytes: 0-5 worker tidiness, 6-11 worker speed, 12 boss speed, 13 money
    // bonus, 14 + (cafe - 1) x 5 + {floor, worker table, bar, decor, client table}.
    std::array<uint8_t, pref::kUpgradeBytes> upgrades{};
    int32_t highestLevel = 1; // the level after the last one won; 60 once the career is complete
    std::array<int32_t, pref::kLevels + 1> bestScore{};
    std::array<uint8_t, 16> reserved2{};
    std::array<uint8_t, pref::kLevels + 1> expert{};
    std::array<std::array<uint8_t, pref::kAchievements>, pref::kLevels + 1> achievements{};
    std::array<uint8_t, pref::kHints> hintShown{}; // coin, happy, clean, speed, ice

    bool operator==(const TCPlayerProfile&) const = default;
};

// The decoders take the bytes as they are, unchecked: the store decides what to mend.
bool CheckMagic(std::span<const uint8_t> bytes); // the first 16 bytes
void EncodeHeader(const TCPrefHeader& header, std::span<uint8_t, pref::kHeaderSize> out);
TCPrefHeader DecodeHeader(std::span<const uint8_t, pref::kHeaderSize> in);
void EncodeTable(const TCHiScoreTable& table, std::span<uint8_t, pref::kTableSize> out);
// Bytes past the end of in read as zero, as a cut file leaves them.
TCHiScoreTable DecodeTable(std::span<const uint8_t> in);
void EncodeProfile(const TCPlayerProfile& profile, std::span<uint8_t, pref::kRecordSize> out);
TCPlayerProfile DecodeProfile(std::span<const uint8_t, pref::kRecordSize> in);

// Whole records of a file of this size.
size_t RecordCount(size_t fileSize);
