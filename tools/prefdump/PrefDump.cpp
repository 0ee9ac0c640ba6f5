// Prints a pref.dat as its fields, for checking a player's file by eye:
//
//   prefdump [path]        (default: the game's own file)
//
// Values are shown as stored, before the game mends anything. Exit status 1 when the file cannot
// be read, 2 when its header is not one the game accepts.
#include "framework/util/StringUtils.h"
#include "game/shell/PrefFile.h"
#include "game/shell/TCProfileStore.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using namespace pref;

std::span<const uint8_t> At(const std::string& bytes, size_t offset, size_t count)
{
    return {reinterpret_cast<const uint8_t*>(bytes.data()) + offset, count};
}

std::string Utf8(const std::wstring& text) { return Nubra::WStringToUtf8(text); }

void PrintTable(const char* title, const TCHiScoreTable& table)
{
    std::printf("%s:\n", title);
    for (size_t row = 0; row < table.size(); ++row)
        std::printf("  %2zu %-32s %d\n", row, ("\"" + Utf8(NameText(table[row].name)) + "\"").c_str(), table[row].score);
}

template <size_t N>
void PrintBytes(const char* label, const std::array<uint8_t, N>& bytes)
{
    std::printf("  %s", label);
    for (uint8_t byte : bytes)
        std::printf(" %u", unsigned(byte));
    std::printf("\n");
}

void PrintProfile(size_t index, const TCPlayerProfile& profile)
{
    std::printf("profile %zu: \"%s\" highest unlocked %d, reserved %d\n", index, Utf8(NameText(profile.name)).c_str(),
                profile.highestLevel, profile.reserved);
    PrintBytes("upgrades", profile.upgrades);
    PrintBytes("hints shown", profile.hintShown);
    for (int level = 1; level <= kLevels; ++level) {
        const auto& won = profile.achievements[size_t(level)];
        const bool any = won[0] | won[1] | won[2] | won[3] | won[4];
        if (profile.bestScore[size_t(level)] == 0 && !profile.expert[size_t(level)] && !any)
            continue;
        std::printf("  level %2d: best %d%s, achievements %u%u%u%u%u\n", level, profile.bestScore[size_t(level)],
                    profile.expert[size_t(level)] ? ", expert" : "", won[0], won[1], won[2], won[3], won[4]);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string path = argc > 1 ? argv[1] : TCProfileStore::DefaultPath();
    std::string bytes, why;
    if (plat::ReadWholeFile(path, &bytes, &why) != plat::FileRead::Read) {
        std::fprintf(stderr, "prefdump: cannot read %s: %s\n", path.c_str(), why.c_str());
        return 1;
    }
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    if (bytes.size() < kHeaderSize || !CheckMagic(At(bytes, 0, kHeaderSize))) {
        std::printf("not a pref.dat: %s\n", bytes.size() < kHeaderSize ? "shorter than its header" : "wrong magic");
        return 2;
    }
    const TCPrefHeader header = DecodeHeader(At(bytes, 0, kHeaderSize).first<kHeaderSize>());
    std::printf("version %d, music %d%%, sound %d%%, windowed %u, muted %u, current profile %d, reserved %d\n",
                header.version, header.musicVolume, header.soundVolume, unsigned(header.windowed),
                unsigned(header.muted), header.currentProfile, header.reserved);
    auto table = [&bytes](size_t offset) {
        return DecodeTable(At(bytes, std::min(offset, bytes.size()), bytes.size() - std::min(offset, bytes.size())));
    };
    PrintTable("survival hi-scores", table(kSurvivalOffset));
    PrintTable("career hi-scores", table(kCareerOffset));
    const size_t records = RecordCount(bytes.size());
    for (size_t i = 0; i < records; ++i)
        PrintProfile(i, DecodeProfile(At(bytes, kRecordsOffset + i * kRecordSize, kRecordSize).first<kRecordSize>()));
    if (bytes.size() > kRecordsOffset && (bytes.size() - kRecordsOffset) % kRecordSize != 0)
        std::printf("%zu bytes after the last whole record\n", (bytes.size() - kRecordsOffset) % kRecordSize);
    return header.version == kVersion ? 0 : 2;
}
