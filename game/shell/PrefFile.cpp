#include "game/shell/PrefFile.h"

#include <algorithm>

#include "framework/util/StringUtils.h"

namespace {

using namespace pref;
using Nubra::IsHighSurrogate;
using Nubra::IsLowSurrogate;
using Nubra::JoinSurrogates;

class Writer {
public:
    explicit Writer(std::span<uint8_t> out) : out_(out) { std::fill(out.begin(), out.end(), uint8_t(0)); }

    void I32(size_t at, int32_t value)
    {
        for (int i = 0; i < 4; ++i)
            out_[at + i] = uint8_t(uint32_t(value) >> (8 * i));
    }
    void Name(size_t at, const TCName& name)
    {
        for (size_t i = 0; i < name.size(); ++i) {
            out_[at + 2 * i] = uint8_t(name[i]);
            out_[at + 2 * i + 1] = uint8_t(name[i] >> 8);
        }
    }
    template <size_t N>
    void Bytes(size_t at, const std::array<uint8_t, N>& bytes)
    {
        std::copy(bytes.begin(), bytes.end(), out_.begin() + at);
    }

private:
    std::span<uint8_t> out_;
};

class Reader {
public:
    explicit Reader(std::span<const uint8_t> in) : in_(in) {}

    int32_t I32(size_t at) const
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t(in_[at + i]) << (8 * i);
        return int32_t(value);
    }
    TCName Name(size_t at) const
    {
        TCName name{};
        for (size_t i = 0; i < name.size(); ++i)
            name[i] = char16_t(in_[at + 2 * i] | in_[at + 2 * i + 1] << 8);
        return name;
    }
    template <size_t N>
    void Bytes(size_t at, std::array<uint8_t, N>& bytes) const
    {
        std::copy_n(in_.begin() + at, N, bytes.begin());
    }

private:
    std::span<const uint8_t> in_;
};

// Profile record offsets.
constexpr size_t kReserved = 256;
constexpr size_t kUpgrades = 260;
constexpr size_t kHighest = 292;
constexpr size_t kBest = 296;
constexpr size_t kReserved2 = 536;
constexpr size_t kExpert = 552;
constexpr size_t kAchievementsAt = 612;
constexpr size_t kHintsAt = 912;


} // namespace

std::wstring NameText(const TCName& name)
{
    std::wstring text;
    for (size_t i = 0; i < name.size() && name[i] != 0; ++i) {
        char32_t unit = name[i];
        if (IsHighSurrogate(unit) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
            text += wchar_t(JoinSurrogates(unit, name[i + 1]));
            ++i;
        } else {
            text += IsHighSurrogate(unit) || IsLowSurrogate(unit) ? L'\uFFFD' : wchar_t(unit);
        }
    }
    return text;
}

TCName MakeName(std::wstring_view text)
{
    TCName name{};
    size_t used = 0;
    for (wchar_t character : text) {
        char32_t code = char32_t(character);
        if (code == 0)
            break;
        if (code > 0x10FFFF || IsHighSurrogate(code) || IsLowSurrogate(code))
            code = 0xFFFD;
        const size_t units = code >= 0x10000 ? 2 : 1;
        if (used + units > name.size() - 1)
            break;
        if (units == 2) {
            name[used++] = char16_t(0xD800 + ((code - 0x10000) >> 10));
            name[used++] = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            name[used++] = char16_t(code);
        }
    }
    return name;
}

bool CheckMagic(std::span<const uint8_t> bytes)
{
    return bytes.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), bytes.begin());
}

void EncodeHeader(const TCPrefHeader& header, std::span<uint8_t, kHeaderSize> out)
{
    Writer writer(out);
    writer.Bytes(0, kMagic);
    writer.I32(16, header.version);
    writer.I32(20, header.musicVolume);
    writer.I32(24, header.soundVolume);
    out[28] = header.windowed;
    out[29] = header.muted;
    writer.I32(32, header.currentProfile);
    writer.I32(36, header.reserved);
}

TCPrefHeader DecodeHeader(std::span<const uint8_t, kHeaderSize> in)
{
    Reader reader(in);
    TCPrefHeader header;
    header.version = reader.I32(16);
    header.musicVolume = reader.I32(20);
    header.soundVolume = reader.I32(24);
    header.windowed = in[28];
    header.muted = in[29];
    header.currentProfile = reader.I32(32);
    header.reserved = reader.I32(36);
    return header;
}

void EncodeTable(const TCHiScoreTable& table, std::span<uint8_t, kTableSize> out)
{
    Writer writer(out);
    for (size_t row = 0; row < kRows; ++row) {
        writer.Name(row * kRowSize, table[row].name);
        writer.I32(row * kRowSize + 256, table[row].score);
    }
}

TCHiScoreTable DecodeTable(std::span<const uint8_t> in)
{
    std::array<uint8_t, kTableSize> bytes{};
    std::copy_n(in.begin(), std::min(in.size(), kTableSize), bytes.begin());
    Reader reader(bytes);
    TCHiScoreTable table;
    for (size_t row = 0; row < kRows; ++row) {
        table[row].name = reader.Name(row * kRowSize);
        table[row].score = reader.I32(row * kRowSize + 256);
    }
    return table;
}

void EncodeProfile(const TCPlayerProfile& profile, std::span<uint8_t, kRecordSize> out)
{
    Writer writer(out);
    writer.Name(0, profile.name);
    writer.I32(kReserved, profile.reserved);
    writer.Bytes(kUpgrades, profile.upgrades);
    writer.I32(kHighest, profile.highestLevel);
    for (size_t level = 0; level < profile.bestScore.size(); ++level)
        writer.I32(kBest + 4 * level, profile.bestScore[level]);
    writer.Bytes(kReserved2, profile.reserved2);
    writer.Bytes(kExpert, profile.expert);
    for (size_t level = 0; level < profile.achievements.size(); ++level)
        writer.Bytes(kAchievementsAt + level * kAchievements, profile.achievements[level]);
    writer.Bytes(kHintsAt, profile.hintShown);
}

TCPlayerProfile DecodeProfile(std::span<const uint8_t, kRecordSize> in)
{
    Reader reader(in);
    TCPlayerProfile profile;
    profile.name = reader.Name(0);
    profile.reserved = reader.I32(kReserved);
    reader.Bytes(kUpgrades, profile.upgrades);
    profile.highestLevel = reader.I32(kHighest);
    for (size_t level = 0; level < profile.bestScore.size(); ++level)
        profile.bestScore[level] = reader.I32(kBest + 4 * level);
    reader.Bytes(kReserved2, profile.reserved2);
    reader.Bytes(kExpert, profile.expert);
    for (size_t level = 0; level < profile.achievements.size(); ++level)
        reader.Bytes(kAchievementsAt + level * kAchievements, profile.achievements[level]);
    reader.Bytes(kHintsAt, profile.hintShown);
    return profile;
}

size_t RecordCount(size_t fileSize) { return fileSize < kRecordsOffset ? 0 : (fileSize - kRecordsOffset) / kRecordSize; }
