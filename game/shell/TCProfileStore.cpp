#include "game/shell/TCProfileStore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/DebugOut.h"
#include "platform/Files.h"

namespace {

using namespace pref;

void Warn(const std::string& text) { plat::DebugOut("WARNING: " + text + "\n"); }

std::wstring WidenId(const std::string& id) { return std::wstring(id.begin(), id.end()); }

// The engine's integer rule: an optional leading '-', then the digits up to the first other
// character ("12ab" is 12, "" and "+5" are 0). Held inside int32.
int32_t LeadingInteger(std::wstring_view text)
{
    const bool negative = !text.empty() && text.front() == L'-';
    int64_t value = 0;
    for (size_t i = negative ? 1 : 0; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - L'0'), int64_t(std::numeric_limits<int32_t>::max()) + 1);
    value = negative ? -value : value;
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool SameName(const TCName& a, const TCName& b)
{
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
        if (a[i] == 0)
            return true;
    }
    return true;
}

std::span<const uint8_t> Bytes(const std::string& image, size_t offset, size_t count)
{
    if (offset >= image.size())
        return {};
    return {reinterpret_cast<const uint8_t*>(image.data()) + offset, std::min(count, image.size() - offset)};
}

template <size_t N>
std::span<uint8_t, N> Place(std::string& image, size_t offset)
{
    return std::span<uint8_t, N>(reinterpret_cast<uint8_t*>(image.data()) + offset, N);
}

bool HasGoodHeader(const std::string& image)
{
    if (image.size() < kHeaderSize || !CheckMagic(Bytes(image, 0, kHeaderSize)))
        return false;
    return DecodeHeader(Bytes(image, 0, kHeaderSize).first<kHeaderSize>()).version == kVersion;
}

// Names are scanned up to their terminator, and the career sums run over 1..highest.
void MakeSafe(TCHiScoreTable& table)
{
    for (TCHiScoreRow& row : table)
        row.name.back() = 0;
}

void MakeSafe(TCPlayerProfile& profile)
{
    profile.name.back() = 0;
    profile.highestLevel = std::clamp(profile.highestLevel, 1, kLevels + 1);
}

} // namespace

TCProfileStore::TCProfileStore(std::string path, TCTextSource texts, ITCProfileSettingsTarget* target)
    : path_(std::move(path)), texts_(std::move(texts)), target_(target)
{
}

std::string TCProfileStore::DefaultPath() { return plat::UserDataDir("Trilvo Games", "Velmira2") + "pref.dat"; }

void TCProfileStore::SetTextSource(TCTextSource texts) { texts_ = std::move(texts); }

void TCProfileStore::SetSettingsTarget(ITCProfileSettingsTarget* target) { target_ = target; }

bool TCProfileStore::Load()
{
    plat::RemoveStaleTemporaries(path_);
    std::string image, why;
    const plat::FileRead read = plat::ReadWholeFile(path_, &image, &why);
    if (read == plat::FileRead::Read && HasGoodHeader(image)) {
        // Everything is read before anything is written: a save from here would put the empty
        // tables over the stored ones.
        header_ = DecodeHeader(Bytes(image, 0, kHeaderSize).first<kHeaderSize>());
        survival_ = DecodeTable(Bytes(image, kSurvivalOffset, kTableSize));
        career_ = DecodeTable(Bytes(image, kCareerOffset, kTableSize));
        MakeSafe(survival_);
        MakeSafe(career_);
        if (!SelectProfile(image, header_.currentProfile))
            ForgetProfile();
    } else {
        if (read == plat::FileRead::NotAFile) {
            Warn(path_ + " is not a regular file (" + why + "); the defaults are used and nothing is saved there");
            writable_ = false;
        } else if ((read == plat::FileRead::Read && !image.empty()) || read == plat::FileRead::Unreadable) {
            const std::string problem = read == plat::FileRead::Read ? "is not a profile file of this game"
                                                                     : "cannot be read (" + why + ")";
            writable_ = plat::SetAside(path_);
            if (writable_)
                Warn(path_ + " " + problem + "; it was set aside as " + path_ + ".bad and the defaults are used");
            else
                Warn(path_ + " " + problem + " and could not be set aside (" + std::strerror(errno)
                     + "); the defaults are used and the file is left as it is");
        }
        InitHeader();
        ForgetProfile();
    }
    ApplySettings();
    SaveTables();
    return true;
}

void TCProfileStore::InitHeader()
{
    header_ = TCPrefHeader{};
    ResetHiScores();
}

void TCProfileStore::ResetHiScores()
{
    auto text = [this](const char* format, size_t row) {
        char id[64];
        std::snprintf(id, sizeof(id), format, int(row));
        return texts_ ? texts_(id) : WidenId(id);
    };
    for (size_t row = 1; row <= kRows; ++row) {
        survival_[row - 1] = {MakeName(text("record_survival_name_%02d", row)),
                              LeadingInteger(text("record_survival_value_%02d", row))};
        career_[row - 1] = {MakeName(text("record_career_name_%02d", row)),
                            LeadingInteger(text("record_career_value_%02d", row))};
    }
}

void TCProfileStore::ApplySettings()
{
    if (!target_)
        return;
    const bool muted = header_.muted != 0;
    target_->SetSoundVolume(muted ? 0 : std::clamp(header_.soundVolume, 0, 100));
    target_->SetMusicVolume(muted ? 0 : std::clamp(header_.musicVolume, 0, 100));
    target_->SwitchScreenMode(header_.windowed != 0);
}

std::string TCProfileStore::ReadFileImage() const
{
    std::string image, why;
    return plat::ReadWholeFile(path_, &image, &why) == plat::FileRead::Read ? image : std::string();
}

bool TCProfileStore::WriteFileImage(std::string image)
{
    if (!writable_) {
        Warn(path_ + " is kept as it is; the profiles are not saved");
        return false;
    }
    if (!plat::ReplaceFileAtomically(path_, image, true)) {
        Warn(path_ + " could not be written (" + std::strerror(errno) + ")");
        return false;
    }
    return true;
}

std::string TCProfileStore::ComposeImage(const std::string& onDisk)
{
    // Whole records only: a fragment at the end is no record, and a new one goes where it was.
    size_t records = HasGoodHeader(onDisk) ? RecordCount(onDisk.size()) : 0;
    std::string image(kRecordsOffset, '\0');
    image.append(onDisk, std::min(onDisk.size(), kRecordsOffset), records * kRecordSize);
    if (profileValid_) {
        if (header_.currentProfile < 0 || size_t(header_.currentProfile) >= records) {
            header_.currentProfile = int32_t(records++);
            image.resize(kRecordsOffset + records * kRecordSize);
        }
        EncodeProfile(profile_, Place<kRecordSize>(image, kRecordsOffset + size_t(header_.currentProfile) * kRecordSize));
    }
    EncodeHeader(header_, Place<kHeaderSize>(image, 0));
    EncodeTable(survival_, Place<kTableSize>(image, kSurvivalOffset));
    EncodeTable(career_, Place<kTableSize>(image, kCareerOffset));
    return image;
}

bool TCProfileStore::SaveTables() { return WriteFileImage(ComposeImage(ReadFileImage())); }

bool TCProfileStore::SaveCurrentProfile() { return profileValid_ && SaveTables(); }

bool TCProfileStore::SelectProfile(const std::string& image, int index)
{
    if (index < 0 || !HasGoodHeader(image) || size_t(index) >= RecordCount(image.size()))
        return false;
    profile_ = DecodeProfile(Bytes(image, kRecordsOffset + size_t(index) * kRecordSize, kRecordSize).first<kRecordSize>());
    MakeSafe(profile_);
    profileValid_ = true;
    header_.currentProfile = index;
    return true;
}

void TCProfileStore::ForgetProfile()
{
    InitProfile(L"unknown");
    profileValid_ = false;
    header_.currentProfile = -1;
}

bool TCProfileStore::ReadProfile(int index)
{
    if (!SelectProfile(ReadFileImage(), index))
        return false;
    SaveTables();
    return true;
}

void TCProfileStore::ReadAllProfiles(std::vector<TCPlayerProfile>& list) const
{
    const std::string image = ReadFileImage();
    if (!HasGoodHeader(image))
        return;
    for (size_t i = 0; i < RecordCount(image.size()); ++i) {
        list.push_back(DecodeProfile(Bytes(image, kRecordsOffset + i * kRecordSize, kRecordSize).first<kRecordSize>()));
        MakeSafe(list.back());
    }
}

bool TCProfileStore::CreateProfile(std::wstring_view name, ProfileInit init, void* argument)
{
    SaveTables();
    InitProfile(name);
    header_.currentProfile = -1;
    profileValid_ = true;
    if (init)
        init(profile_, argument);
    return SaveTables();
}

void TCProfileStore::InitProfile(std::wstring_view name)
{
    ResetCareer();
    profile_.reserved = 0;
    profile_.name = MakeName(name);
    if (profile_.name[0] == 0)
        profile_.name = MakeName(L"unknown");
}

void TCProfileStore::ResetCareer()
{
    const TCName name = profile_.name;
    const int32_t reserved = profile_.reserved;
    profile_ = TCPlayerProfile{};
    profile_.name = name;
    profile_.reserved = reserved;
}

bool TCProfileStore::DeleteProfile(int index)
{
    const std::string onDisk = ReadFileImage();
    if (index < 0 || !HasGoodHeader(onDisk) || size_t(index) >= RecordCount(onDisk.size()))
        return false;
    // The current profile goes in first, so that unsaved progress of a player who stays is kept.
    std::string image = ComposeImage(onDisk);
    image.erase(kRecordsOffset + size_t(index) * kRecordSize, kRecordSize);
    int32_t& current = header_.currentProfile;
    if (RecordCount(image.size()) == 0)
        ForgetProfile();
    else if (current >= index)
        SelectProfile(image, current == index ? 0 : current - 1);
    EncodeHeader(header_, Place<kHeaderSize>(image, 0));
    return WriteFileImage(std::move(image));
}

int TCProfileStore::AddHiScore(bool survival, std::wstring_view name, int32_t score)
{
    constexpr int kNotPlaced = int(kRows);
    TCHiScoreTable& table = GetHiScoreTable(survival);
    if (score < 1)
        return kNotPlaced;
    const int place = int(std::count_if(table.begin(), table.end(), [score](const TCHiScoreRow& row) { return row.score > score; }));
    if (place >= kNotPlaced)
        return kNotPlaced;
    const TCName entry = MakeName(name);
    auto same = std::find_if(table.begin(), table.end(), [&entry](const TCHiScoreRow& row) { return SameName(row.name, entry); });
    const int found = same == table.end() ? kNotPlaced - 1 : int(same - table.begin());
    if (found < place)
        return kNotPlaced; // that name's better row stays
    std::move_backward(table.begin() + place, table.begin() + found, table.begin() + found + 1);
    table[size_t(place)] = {entry, score};
    return place;
}

void TCProfileStore::DebugOpenAllLevels()
{
    profile_.highestLevel = kLevels;
    for (int level = 0; level <= kLevels; ++level)
        profile_.bestScore[size_t(level)] = level * 100;
    profile_.expert = {};
    profile_.achievements = {};
    profile_.achievements[15][2] = 1;
    profile_.achievements[35][1] = 1;
    profile_.achievements[35][4] = 1;
    std::fill(profile_.upgrades.begin(), profile_.upgrades.begin() + 14, uint8_t(0));
    std::fill(profile_.upgrades.begin() + 14, profile_.upgrades.end(), uint8_t(1));
}

TCProfileStore& TheProfileStore()
{
    static TCProfileStore store(TCProfileStore::DefaultPath());
    return store;
}
