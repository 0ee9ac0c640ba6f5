#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <thread>

#include "ProfileStoreFixture.h"
#include "game/shell/CareerProgress.h"
#include "platform/Files.h"

namespace {

using namespace profiletest;

constexpr size_t kRecords = 7320;
constexpr size_t kRecord = 920;

// The expected name field: UTF-16 little-endian units, zero-filled to 128 units.
std::string NameBytes(const std::u16string& units)
{
    std::string bytes(256, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = char(units[i] & 0xFF);
        bytes[2 * i + 1] = char(units[i] >> 8);
    }
    return bytes;
}

TEST_F(ProfileStoreTest, AFreshFileHoldsTheDefaultHeaderAndLocalisedRowsAndNoRecord)
{
    TCProfileStore store = MakeStore();
    EXPECT_TRUE(store.Load());
    const std::string file = FileBytes();
    ASSERT_EQ(file.size(), kRecords);

    std::string header = "\x5B\x38\xB2\x2B\x03\xE6\xFF\x4C\x95\x9A\x04\x5A\xF7\x29\x74\xB3";
    header.append({18, 0, 0, 0, 30, 0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, '\xFF', '\xFF', '\xFF', '\xFF', 0, 0, 0, 0});
    EXPECT_EQ(file.substr(0, 40), header);
    for (size_t row = 0; row < 14; ++row) {
        const std::u16string number = {char16_t('0' + (row + 1) / 10), char16_t('0' + (row + 1) % 10)};
        const size_t survival = 40 + row * 260, career = 3680 + row * 260;
        EXPECT_EQ(file.substr(survival, 256), NameBytes(u"S" + number)) << row;
        EXPECT_EQ(I32At(file, survival + 256), int32_t(row + 1) * 100) << row;
        EXPECT_EQ(file.substr(career, 256), NameBytes(u"C" + number)) << row;
        EXPECT_EQ(I32At(file, career + 256), int32_t(row + 1) * 1000) << row;
    }
    EXPECT_FALSE(store.IsCurrentProfileValid());
    EXPECT_EQ(NameText(store.CurrentProfile().name), L"unknown");
    EXPECT_EQ(target_.music, 30);
    EXPECT_EQ(target_.sound, 60);
    EXPECT_EQ(target_.windowed, 0);

    store.SaveTables();
    EXPECT_EQ(FileBytes().size(), kRecords) << "the unknown profile is never written";
}

TEST_F(ProfileStoreTest, WithoutTextsTheDefaultRowsShowTheirIds)
{
    TCProfileStore store(Path());
    store.Load();
    EXPECT_EQ(NameText(store.GetHiScoreTable(false)[13].name), L"record_career_name_14");
    EXPECT_EQ(store.GetHiScoreTable(true)[0].score, 0);
}

TEST_F(ProfileStoreTest, ARecordRoundTripsByteForByteAtItsOffsets)
{
    std::wstring name(125, L'a');
    name += L"\U0001F600"; // two units: 127 in all
    {
        TCProfileStore store = MakeStore();
        store.Load();
        ASSERT_TRUE(store.CreateProfile(name));
        TCPlayerProfile& profile = store.CurrentProfile();
        profile.upgrades[28] = 1;
        profile.bestScore[59] = -2;
        profile.achievements[59][4] = 1;
        profile.hintShown[4] = 1;
        profile.highestLevel = 60;
        ASSERT_TRUE(store.SaveTables());
    }
    const std::string record = FileBytes().substr(kRecords, kRecord);
    ASSERT_EQ(record.size(), kRecord);
    EXPECT_EQ(record.substr(0, 256), NameBytes(std::u16string(125, u'a') + u"\xD83D\xDE00"));
    EXPECT_EQ(record[288], 1);
    EXPECT_EQ(I32At(record, 292), 60);
    EXPECT_EQ(I32At(record, 296 + 59 * 4), -2);
    EXPECT_EQ(record[612 + 59 * 5 + 4], 1);
    EXPECT_EQ(record[916], 1);
    EXPECT_EQ(std::count(record.begin(), record.end(), '\0'), 920 - (125 + 3 + 1 + 1 + 4 + 1 + 1))
        << "nothing else is set";

    TCProfileStore again = MakeStore();
    again.Load();
    ASSERT_TRUE(again.IsCurrentProfileValid());
    EXPECT_EQ(NameText(again.CurrentProfile().name), name);
    ASSERT_TRUE(again.SaveTables());
    EXPECT_EQ(FileBytes().substr(kRecords, kRecord), record);
}

TEST_F(ProfileStoreTest, ANewProfileAfterThreeRecordsTakesIndexThreeAndRunsItsInit)
{
    MakeFileWith({L"A", L"B", L"C"});
    TCProfileStore store = MakeStore();
    store.Load();
    int calls = 0;
    auto init = [](TCPlayerProfile& profile, void* argument) {
        profile.upgrades[0] = 1;
        ++*static_cast<int*>(argument);
    };
    ASSERT_TRUE(store.CreateProfile(L"", init, &calls));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(store.Header().currentProfile, 3);
    std::vector<TCPlayerProfile> all;
    store.ReadAllProfiles(all);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(NameText(all[3].name), L"unknown") << "an empty name";
    EXPECT_EQ(all[3].upgrades[0], 1);
    EXPECT_EQ(NameText(all[1].name), L"B");
}

TEST_F(ProfileStoreTest, LoadingKeepsTheStoredHiScoresAndSelectsTheCurrentProfile)
{
    {
        TCProfileStore store = MakeStore();
        store.Load();
        store.CreateProfile(L"Ann");
        EXPECT_EQ(store.AddHiScore(true, L"Ann", 99999), 0);
        store.SaveTables();
    }
    TCProfileStore store(Path()); // other default texts: they must not show
    store.Load();
    EXPECT_EQ(NameText(store.GetHiScoreTable(true)[0].name), L"Ann");
    EXPECT_EQ(NameText(store.GetHiScoreTable(false)[0].name), L"C01");
    EXPECT_EQ(NameText(store.CurrentProfile().name), L"Ann");
    EXPECT_EQ(NameText(DecodeTable(std::span(reinterpret_cast<const uint8_t*>(FileBytes().data()) + 40, 3640))[0].name),
              L"Ann");
}

// What a damaged file gives: the user's records kept where they can be, nothing read out of range.
struct DamageCase {
    const char* what;
    std::function<void(std::string&)> damage;
    std::function<void(TCProfileStore&, const std::string& original, ProfileStoreTest&)> check;
};

TEST_F(ProfileStoreTest, DamagedFilesGiveSafeValuesAndLoseNothing)
{
    auto setAsideWithDefaults = [](TCProfileStore& store, const std::string& original, ProfileStoreTest& test) {
        EXPECT_EQ(test.FileBytes(".bad"), original) << "the old file is kept";
        EXPECT_EQ(test.FileBytes().size(), kRecords);
        EXPECT_FALSE(store.IsCurrentProfileValid());
        EXPECT_EQ(NameText(store.GetHiScoreTable(true)[0].name), L"S01");
    };
    auto noProfileRecordsKept = [](TCProfileStore& store, const std::string&, ProfileStoreTest& test) {
        EXPECT_FALSE(store.IsCurrentProfileValid());
        EXPECT_EQ(store.Header().currentProfile, -1);
        EXPECT_EQ(test.FileBytes().size(), kRecords + 2 * kRecord);
    };
    const std::vector<DamageCase> cases = {
        {"header shorter than 40 bytes", [](std::string& f) { f.resize(39); }, setAsideWithDefaults},
        {"wrong magic", [](std::string& f) { f[3] ^= 1; }, setAsideWithDefaults},
        {"version 17", [](std::string& f) { PutI32(f, 16, 17); }, setAsideWithDefaults},
        {"version 19", [](std::string& f) { PutI32(f, 16, 19); }, setAsideWithDefaults},
        {"current index past the records", [](std::string& f) { PutI32(f, 32, 2); }, noProfileRecordsKept},
        {"current index -7", [](std::string& f) { PutI32(f, 32, -7); }, noProfileRecordsKept},
        {"trailing partial record",
         [](std::string& f) { f.append(300, 'x'); },
         [](TCProfileStore& store, const std::string&, ProfileStoreTest& test) {
             EXPECT_EQ(NameText(store.CurrentProfile().name), L"Bo");
             ASSERT_TRUE(store.CreateProfile(L"Cy"));
             EXPECT_EQ(store.Header().currentProfile, 2) << "written where the fragment was";
             EXPECT_EQ(test.FileBytes().size(), kRecords + 3 * kRecord);
         }},
        {"volumes -5 and 250",
         [](std::string& f) {
             PutI32(f, 20, -5);
             PutI32(f, 24, 250);
         },
         [](TCProfileStore&, const std::string&, ProfileStoreTest& test) {
             EXPECT_EQ(test.target_.music, 0);
             EXPECT_EQ(test.target_.sound, 100);
         }},
        {"names with no terminator",
         [](std::string& f) {
             for (size_t at : {size_t(40), kRecords + kRecord})
                 for (size_t i = 0; i < 256; i += 2)
                     f[at + i] = 'Z', f[at + i + 1] = 0;
         },
         [](TCProfileStore& store, const std::string&, ProfileStoreTest&) {
             EXPECT_EQ(NameText(store.CurrentProfile().name), std::wstring(127, L'Z'));
             EXPECT_EQ(NameText(store.GetHiScoreTable(true)[0].name), std::wstring(127, L'Z'));
         }},
        {"highest unlocked level far out of range",
         [](std::string& f) { PutI32(f, kRecords + kRecord + 292, 1000000); },
         [](TCProfileStore& store, const std::string&, ProfileStoreTest&) {
             EXPECT_EQ(store.CurrentProfile().highestLevel, 60);
             EXPECT_EQ(CareerTotal(store.CurrentProfile()), 0);
         }},
        {"an unsorted hi-score table",
         [](std::string& f) { PutI32(f, 40 + 13 * 260 + 256, 5000); },
         [](TCProfileStore& store, const std::string&, ProfileStoreTest&) {
             EXPECT_EQ(store.GetHiScoreTable(true)[13].score, 5000) << "rows as read";
             EXPECT_EQ(store.AddHiScore(true, L"New", 2000), 1) << "counts every higher row";
         }},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        MakeFileWith({L"Al", L"Bo"});
        std::string bytes = FileBytes();
        c.damage(bytes);
        WriteBytes(bytes);
        TCProfileStore store = MakeStore();
        EXPECT_TRUE(store.Load());
        c.check(store, bytes, *this);
    }
}

TEST_F(ProfileStoreTest, AnEmptyFileTakesTheDefaultsWithNothingSetAside)
{
    WriteBytes("");
    TCProfileStore store = MakeStore();
    store.Load();
    EXPECT_EQ(FileBytes().size(), kRecords);
    EXPECT_FALSE(std::filesystem::exists(Path() + ".bad"));
}

TEST_F(ProfileStoreTest, SavesReportFailureAndLeaveWhatIsNotAFileAlone)
{
    std::filesystem::create_directory(Path());
    TCProfileStore store = MakeStore();
    store.Load();
    EXPECT_FALSE(store.SaveTables());
    EXPECT_FALSE(store.CreateProfile(L"Ann"));
    EXPECT_TRUE(std::filesystem::is_directory(Path()));

    TCProfileStore nowhere((folder_ / "missing" / "pref.dat").string(), DefaultRowText);
    EXPECT_TRUE(nowhere.Load()) << "the defaults still apply";
    EXPECT_FALSE(nowhere.SaveTables());
}

TEST_F(ProfileStoreTest, MutedSettingsApplySilence)
{
    TCProfileStore store = MakeStore();
    store.Load();
    store.Header().muted = 1;
    store.Header().windowed = 1;
    store.ApplySettings();
    EXPECT_EQ(target_.music, 0);
    EXPECT_EQ(target_.sound, 0);
    EXPECT_EQ(target_.windowed, 1);
}

TEST_F(ProfileStoreTest, HiScoresKeepOneRowPerNameInScoreOrder)
{
    struct Case {
        const char* what;
        std::wstring name;
        int32_t score;
        int place;
        std::vector<std::wstring> top; // rows 0..10 afterwards
    };
    // Rows R0..R13 score 1400, 1300, ..., 100.
    const std::vector<std::wstring> before = {L"R0", L"R1", L"R2", L"R3", L"R4", L"R5",
                                              L"R6", L"R7", L"R8", L"R9", L"R10"};
    const std::vector<Case> cases = {
        {"a tie goes above the older row", L"New", 900, 5, {L"R0", L"R1", L"R2", L"R3", L"R4", L"New", L"R5", L"R6", L"R7", L"R8", L"R9"}},
        {"the same name lower down moves up", L"R9", 1150, 3, {L"R0", L"R1", L"R2", L"R9", L"R3", L"R4", L"R5", L"R6", L"R7", L"R8", L"R10"}},
        {"the same name at the place is replaced", L"R3", 1150, 3, {L"R0", L"R1", L"R2", L"R3", L"R4", L"R5", L"R6", L"R7", L"R8", L"R9", L"R10"}},
        {"a better row of the same name stays", L"R1", 1000, 14, before},
        {"score 0", L"New", 0, 14, before},
        {"below the last row", L"New", 99, 14, before},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TCProfileStore store(Path());
        TCHiScoreTable& table = store.GetHiScoreTable(false);
        for (size_t row = 0; row < table.size(); ++row)
            table[row] = {MakeName(L"R" + std::to_wstring(row)), int32_t(1400 - 100 * row)};
        EXPECT_EQ(store.AddHiScore(false, c.name, c.score), c.place);
        for (size_t row = 0; row < c.top.size(); ++row)
            EXPECT_EQ(NameText(table[row].name), c.top[row]) << row;
        if (c.place < 14) {
            EXPECT_EQ(table[size_t(c.place)].score, c.score);
        }
        EXPECT_EQ(store.GetHiScoreTable(true)[0].score, 0) << "the other table is untouched";
    }
}

TEST_F(ProfileStoreTest, DeletingARecordKeepsTheRightPlayerCurrent)
{
    struct Case {
        int current, deleted;
        std::wstring nowCurrent;
        int index;
    };
    const std::vector<Case> cases = {
        {1, 1, L"A", 0}, // the current one: record 0
        {2, 0, L"C", 1}, // one before it: the same player one lower
        {0, 2, L"A", 0}, // one after it: nothing moves
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deleted);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        MakeFileWith({L"A", L"B", L"C"});
        TCProfileStore store = MakeStore();
        store.Load();
        ASSERT_TRUE(store.ReadProfile(c.current));
        store.CurrentProfile().bestScore[1] = 777; // not yet saved
        ASSERT_TRUE(store.DeleteProfile(c.deleted));
        EXPECT_EQ(NameText(store.CurrentProfile().name), c.nowCurrent);
        EXPECT_EQ(store.Header().currentProfile, c.index);
        TCProfileStore reloaded = MakeStore();
        reloaded.Load();
        EXPECT_EQ(NameText(reloaded.CurrentProfile().name), c.nowCurrent);
        std::vector<TCPlayerProfile> all;
        reloaded.ReadAllProfiles(all);
        ASSERT_EQ(all.size(), 2u);
        if (c.current != c.deleted) {
            EXPECT_EQ(reloaded.CurrentProfile().bestScore[1], 777) << "unsaved progress of who stays";
        }
    }
}

TEST_F(ProfileStoreTest, TheLastDeletedProfileDoesNotComeBack)
{
    MakeFileWith({L"Solo"});
    TCProfileStore store = MakeStore();
    store.Load();
    EXPECT_FALSE(store.DeleteProfile(1));
    EXPECT_FALSE(store.DeleteProfile(-1));
    ASSERT_TRUE(store.DeleteProfile(0));
    EXPECT_FALSE(store.IsCurrentProfileValid());
    EXPECT_EQ(store.Header().currentProfile, -1);
    EXPECT_EQ(NameText(store.CurrentProfile().name), L"unknown");
    store.SaveTables();
    EXPECT_EQ(FileBytes().size(), kRecords);
    EXPECT_EQ(I32At(FileBytes(), 32), -1);
}

TEST_F(ProfileStoreTest, OpeningAllLevelsForADeveloper)
{
    TCProfileStore store = MakeStore();
    store.Load();
    store.CurrentProfile().upgrades.fill(1);
    store.CurrentProfile().expert[3] = 1;
    store.DebugOpenAllLevels();
    const TCPlayerProfile& profile = store.CurrentProfile();
    EXPECT_EQ(profile.highestLevel, 59);
    EXPECT_EQ(profile.bestScore[37], 3700);
    EXPECT_EQ(profile.expert[3], 0);
    EXPECT_EQ(profile.achievements[15][2] + profile.achievements[35][1] + profile.achievements[35][4], 3);
    EXPECT_EQ(profile.achievements[15][1], 0);
    EXPECT_EQ(std::count(profile.upgrades.begin(), profile.upgrades.end(), 1), 15);
    EXPECT_EQ(profile.upgrades[13], 0);
    EXPECT_EQ(profile.upgrades[14], 1);
}

// A writer killed at any moment of a save leaves a complete file: the one before or the one after.
TEST_F(ProfileStoreTest, KillingTheWriterMidSaveLeavesACompleteFile)
{
    MakeFileWith({L"Ann"});
    for (int attempt = 0; attempt < 8; ++attempt) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TCProfileStore store(Path());
            store.Load();
            for (int32_t money = 1;; ++money) {
                store.CurrentProfile().bestScore[1] = money;
                store.SaveTables();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + attempt * 7));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(FileBytes().size(), kRecords + kRecord);
        TCProfileStore store = MakeStore();
        store.Load();
        EXPECT_TRUE(store.IsCurrentProfileValid());
        EXPECT_EQ(NameText(store.CurrentProfile().name), L"Ann");
        EXPECT_FALSE(std::filesystem::exists(Path() + ".bad"));
        EXPECT_EQ(plat::ListDir(folder_.string(), ".tmp").size(), 0u) << "the killed writer's temporary file is cleared";
    }
}

} // namespace
