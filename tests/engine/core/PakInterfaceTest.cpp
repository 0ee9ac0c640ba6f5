// Pak archives: the stored layout, name keys, reads of entries, later archives winning, archives
// refused whole, the loose-file fallback and directory searches.
#include "engine/core/PakInterface.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/core/Log.h"

namespace fs = std::filesystem;
using Nubra::PFILE;

namespace {

using Bytes = std::vector<uint8_t>;

// A scratch folder under the working folder, so that names relative to it reach it on disk.
class PakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = "pak_test_" + std::to_string(::getpid());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    void WriteFile(const std::string& name, const std::string& data) const
    {
        fs::create_directories(fs::path(Path(name)).parent_path());
        std::ofstream(Path(name), std::ios::binary) << data;
    }

    std::string WriteArchive(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return Path(name);
    }

    std::string Archive(const std::string& name, const std::vector<PakSource>& files) const
    {
        return WriteArchive(name, BuildPak(files));
    }

    // Everything left in the file, through FRead.
    static std::string ReadRest(PakInterface& paks, PFILE* file)
    {
        std::string text;
        char chunk[7];
        while (size_t got = paks.FRead(chunk, 1, sizeof chunk, file))
            text.append(chunk, got);
        return text;
    }

    std::string ReadAll(PakInterface& paks, const std::string& name)
    {
        PFILE* file = paks.FOpen(name.c_str(), "rb");
        if (!file)
            return "<missing>";
        std::string text = ReadRest(paks, file);
        paks.FClose(file);
        return text;
    }

    std::string folder_;
};

TEST(PakFormat, StoredLayoutOfOneEntry)
{
    const Bytes stored = BuildPak({{"cfg\\a.xml", 0x01D5C03669050000, "abc"}});
    const Bytes expected = {0xfc, 0x76, 0xfc, 0x86, 0x3c, 0x3c, 0x3c, 0x3c, 0x3c, 0x35, 0x5f, 0x5a, 0x5b, 0x60, 0x5d, 0x12,
                            0x44, 0x51, 0x50, 0x3f, 0x3c, 0x3c, 0x3c, 0x3c, 0x3c, 0x39, 0x55, 0x0a, 0xfc, 0xe9, 0x3d, 0xbc,
                            0x5d, 0x5e, 0x5f};
    EXPECT_EQ(stored, expected);
    const PakDirectory directory = ReadPakDirectory(stored.data(), stored.size());
    ASSERT_TRUE(directory.Accepted()) << directory.error;
    ASSERT_EQ(directory.entries.size(), 1u);
    EXPECT_EQ(directory.entries[0].name, "cfg\\a.xml");
    EXPECT_EQ(directory.entries[0].start, 32u);
    EXPECT_EQ(directory.entries[0].size, 3u);
    EXPECT_EQ(directory.entries[0].fileTime, 0x01D5C03669050000u);
    EXPECT_EQ(FileTimeFromUnix(1577836800), 0x01D5C03669050000u);
}

TEST(PakFormat, StoredNamesAreRelativeAsciiWithBackslashes)
{
    EXPECT_EQ(PakStoredName("cfg/sub/UI.xml"), "cfg\\sub\\UI.xml");
    EXPECT_EQ(PakStoredName("cfg\\ui.xml"), "cfg\\ui.xml");
    for (const std::string& bad : std::vector<std::string>{"", "/abs", "a/../b", "./a", "a//b", "caf\xC3\xA9.xml", std::string(256, 'n')})
        EXPECT_EQ(PakStoredName(bad), "") << bad;
}

TEST(PakFormat, KeysIgnoreCaseSeparatorsDotsAndTheWorkingFolder)
{
    const struct {
        const char* name;
        const char* currentDir;
        const char* key;
    } cases[] = {
        {"cfg/UI.xml", "", "CFG\\UI.XML"},
        {"CFG\\ui.xml", "", "CFG\\UI.XML"},
        {"cfg//\\/ui.xml", "", "CFG\\UI.XML"},
        {"a\\b\\..\\c.xml", "", "A\\C.XML"},
        {"..\\..\\a.xml", "", "A.XML"},
        {"./cfg/./ui.xml", "", "CFG\\UI.XML"},
        {"/Games/Velmira/cfg/ui.xml", "/games/velmira", "CFG\\UI.XML"},
        {"/games/other/ui.xml", "/games/velmira", "\\GAMES\\OTHER\\UI.XML"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PakKeyOf(c.name, c.currentDir), c.key) << c.name;
}

TEST_F(PakTest, PackedFolderReadsBackByAnySpellingOfItsNames)
{
    WriteFile("src/cfg/UI.xml", "<ui>\r\n</ui>\r\n");
    WriteFile("src/a/c.xml", std::string("\0\x3c\xff\r", 4));
    std::vector<PakSource> files;
    std::string error;
    ASSERT_TRUE(CollectPakSources(Path("src"), files, error)) << error;
    PakInterface paks;
    ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", files)));

    const std::string absolute = (fs::current_path() / "cfg/ui.xml").string();
    for (const std::string& name : std::vector<std::string>{"cfg/UI.xml", "CFG\\ui.xml", "cfg//ui.xml", "x\\..\\cfg\\ui.xml", absolute})
        EXPECT_EQ(ReadAll(paks, name), "<ui>\r\n</ui>\r\n") << name;
    EXPECT_EQ(ReadAll(paks, "a\\b\\..\\c.xml"), std::string("\0\x3c\xff\r", 4));
}

TEST_F(PakTest, ReadsStopAtTheEntrysEnd)
{
    PakInterface paks;
    ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", {{"a.bin", 0, "0123456789"}, {"b.bin", 0, "next"}})));
    PFILE* file = paks.FOpen("a.bin", "rb");
    ASSERT_NE(file, nullptr);
    char buffer[16];
    EXPECT_EQ(paks.FRead(buffer, 4, 2, file), 2u);
    EXPECT_FALSE(paks.FEof(file));
    EXPECT_EQ(paks.FRead(buffer, 4, 2, file), 0u); // two bytes left: not a whole element
    EXPECT_TRUE(paks.FEof(file));
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(paks.FRead(buffer, 0, 5, file), 0u);

    const struct {
        long offset;
        int origin;
        long position;
    } seeks[] = {{3, 0, 3}, {2, 1, 5}, {-100, 1, 0}, {0, 2, 10}, {-4, 2, 6}, {50, 0, 10}, {-1, 0, 0}};
    for (const auto& seek : seeks) {
        EXPECT_EQ(paks.FSeek(file, seek.offset, seek.origin), 0);
        EXPECT_EQ(paks.FTell(file), seek.position) << seek.offset << " from " << seek.origin;
    }
    EXPECT_EQ(paks.FRead(buffer, 1, sizeof buffer, file), 10u);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    paks.FClose(file);
}

TEST_F(PakTest, CharacterReadsDropCarriageReturns)
{
    PakInterface paks;
    const std::string wide("A\0\r\0B\0\n\0C\0", 10);
    ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", {{"t.txt", 0, "ab\r\ncd\r"}, {"w.txt", 0, wide}})));
    PFILE* file = paks.FOpen("t.txt", "rt");
    EXPECT_EQ(paks.UnGetC('x', file), 'x');
    EXPECT_EQ(paks.FTell(file), 0);
    char line[8];
    EXPECT_EQ(paks.FGetS(line, 0, file), nullptr);
    ASSERT_NE(paks.FGetS(line, sizeof line, file), nullptr);
    EXPECT_STREQ(line, "ab\n");
    EXPECT_EQ(paks.FGetC(file), 'c');
    EXPECT_EQ(paks.UnGetC('c', file), 'c');
    ASSERT_NE(paks.FGetS(line, 2, file), nullptr);
    EXPECT_STREQ(line, "c");
    EXPECT_EQ(paks.FGetC(file), 'd');
    EXPECT_EQ(paks.FGetC(file), EOF); // the last CR is skipped
    EXPECT_EQ(paks.FGetS(line, sizeof line, file), nullptr);
    paks.FClose(file);

    file = paks.FOpen("w.txt", "rb");
    wchar_t units[8];
    ASSERT_NE(paks.FGetWS(units, 8, file), nullptr);
    EXPECT_EQ(std::wstring(units), L"AB\n");
    EXPECT_EQ(paks.FGetWC(file), unsigned('C'));
    EXPECT_EQ(paks.FGetWC(file), 0xFFFFu);
    EXPECT_EQ(paks.FGetWS(units, 8, file), nullptr);
    paks.FClose(file);
}

TEST_F(PakTest, LaterArchivesReplaceEntriesOfTheSameName)
{
    PakInterface paks;
    ASSERT_TRUE(paks.AddPakFile(Archive("loc.pak", {{"cfg\\loc.xml", 0, "loc"}, {"cfg\\ui.xml", 0, "from loc"}})));
    ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", {{"cfg\\ui.xml", 0, "from data"}, {"cfg\\cfg.xml", 0, "cfg"}})));
    ASSERT_TRUE(paks.AddPakFile(Archive("mod.pak", {{"CFG/UI.XML", 0, "first"}, {"cfg\\UI.xml", 0, "from mod"}})));
    EXPECT_EQ(ReadAll(paks, "cfg\\ui.xml"), "from mod");
    EXPECT_EQ(ReadAll(paks, "cfg\\loc.xml"), "loc");
    EXPECT_EQ(ReadAll(paks, "cfg\\cfg.xml"), "cfg");
}

TEST_F(PakTest, ABadArchiveIsRefusedWholeAndLeavesEarlierEntries)
{
    const Bytes good = BuildPak({{"cfg\\ui.xml", 0, "mod"}, {"extra.xml", 0, "extra"}});
    auto withByte = [&](size_t at, uint8_t plain) {
        Bytes bytes = good;
        bytes[at] = plain ^ kPakKey;
        return bytes;
    };
    const size_t firstSize = 8 + 2 + 10; // first entry's size field
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"wrong magic", withByte(0, 0xC1)},
        {"version 1", withByte(4, 1)},
        {"data past the end", withByte(firstSize + 1, 1)},
        {"cut inside a name", Bytes(good.begin(), good.begin() + 14)},
        {"cut inside a header", Bytes(good.begin(), good.begin() + 5)},
        {"cut before the data", Bytes(good.begin(), good.end() - 1)},
    };
    SetLogFile(Path("tarrow.log"));
    SetDeveloperMode(true);
    for (const auto& c : cases) {
        PakInterface paks;
        ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", {{"cfg\\ui.xml", 0, "data"}})));
        EXPECT_FALSE(paks.AddPakFile(WriteArchive("mod.pak", c.bytes))) << c.what;
        EXPECT_EQ(ReadAll(paks, "cfg\\ui.xml"), "data") << c.what;
        EXPECT_EQ(ReadAll(paks, "extra.xml"), "<missing>") << c.what;
    }
    SetDeveloperMode(false);
    SetLogFile("tarrow.log");
    std::ifstream log(Path("tarrow.log"));
    std::string line;
    int warnings = 0;
    while (std::getline(log, line))
        warnings += line.starts_with("WARNING: pak archive");
    EXPECT_EQ(warnings, 6);
}

TEST_F(PakTest, EmptyDirectoriesAndMissingFiles)
{
    const Bytes ended = BuildPak({});
    Bytes endedEarly = ended;
    endedEarly.insert(endedEarly.end(), {0x3C, 0x3C, 0x3C}); // after the end byte: never read
    PakInterface paks;
    EXPECT_TRUE(paks.AddPakFile(WriteArchive("header.pak", Bytes(ended.begin(), ended.begin() + 8))));
    EXPECT_TRUE(paks.AddPakFile(WriteArchive("ended.pak", endedEarly)));
    EXPECT_FALSE(paks.AddPakFile(WriteArchive("empty.pak", {})));
    EXPECT_FALSE(paks.AddPakFile(Path("absent.pak")));
    EXPECT_FALSE(paks.AddPakFile(folder_));
}

TEST_F(PakTest, TheArchiveItselfAndWritesComeFromTheDisk)
{
    PakInterface paks;
    const std::string archive = Archive("data.pak", {{folder_ + "\\out.txt", 0, "packed"}});
    ASSERT_TRUE(paks.AddPakFile(archive));
    PFILE* self = paks.FOpen(archive.c_str(), "rb");
    ASSERT_NE(self, nullptr);
    EXPECT_NE(self->disk, nullptr);
    paks.FClose(self);

    for (const char* mode : {"w", "ab"}) {
        PFILE* file = paks.FOpen(Path("out.txt").c_str(), mode);
        ASSERT_NE(file, nullptr) << mode;
        EXPECT_NE(file->disk, nullptr) << mode;
        paks.FClose(file);
    }
    EXPECT_TRUE(fs::exists(Path("out.txt")));
    EXPECT_EQ(ReadAll(paks, Path("out.txt")), "packed");
}

TEST_F(PakTest, LooseFilesResolveWithOrWithoutTheInterface)
{
    WriteFile("Cfg/Ui.xml", "loose\r\nline");
    const std::string dataName = folder_ + "\\cfg\\UI.xml";
    {
        PFILE* file = Nubra::PakFileOpen(dataName.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        char text[16] = {};
        EXPECT_EQ(Nubra::PakFileRead(text, 1, sizeof text, file), 11u);
        Nubra::PakFileClose(file);
    }
    PakInterface paks;
    EXPECT_EQ(Nubra::GetPakInterface(), &paks);
    ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", {{"packed.txt", 0, "from the archive"}})));
    PFILE* packed = Nubra::PakFileOpen("PACKED.TXT", "r");
    ASSERT_NE(packed, nullptr);
    EXPECT_NE(packed->entry, nullptr);
    Nubra::PakFileClose(packed);

    PFILE* file = paks.FOpen(dataName.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char line[16];
    ASSERT_NE(paks.FGetS(line, sizeof line, file), nullptr);
    EXPECT_STREQ(line, "loose\r\n"); // loose files keep their carriage returns
    EXPECT_EQ(paks.FGetC(file), 'l');
    EXPECT_EQ(paks.UnGetC('l', file), 'l');
    EXPECT_EQ(ReadRest(paks, file), "line");
    EXPECT_TRUE(paks.FEof(file));
    paks.FClose(file);
    EXPECT_EQ(paks.FOpen(Path("absent.txt").c_str(), "rb"), nullptr);
}

TEST_F(PakTest, OnlyTheFirstInterfaceIsTheFileLayer)
{
    {
        PakInterface first;
        PakInterface second;
        EXPECT_EQ(Nubra::GetPakInterface(), &first);
    }
    EXPECT_EQ(Nubra::GetPakInterface(), nullptr);
}

TEST_F(PakTest, SearchesListArchiveEntriesThenTheDisk)
{
    WriteFile("disk/z.xml", "zz");
    PakInterface paks;
    ASSERT_TRUE(paks.AddPakFile(Archive("data.pak", {{"cfg\\b.xml", 0x1234, "bb"},
                                                     {"cfg\\a.xml", 7, "a"},
                                                     {"cfg\\sub\\c.xml", 7, "c"},
                                                     {"cfg\\d.png", 7, "d"}})));
    auto names = [&](const std::string& pattern) {
        std::vector<std::string> seen;
        PakFindData found;
        PakFind* find = paks.FindFirstFile(pattern.c_str(), &found);
        for (bool more = find != nullptr; more; more = paks.FindNextFile(find, &found))
            seen.push_back(found.name + (found.attributes & PakFindData::kDirectory ? "/" : ""));
        if (find)
            paks.FindClose(find);
        return seen;
    };
    EXPECT_EQ(names("cfg/*.xml"), (std::vector<std::string>{"a.xml", "b.xml", "c.xml/"}));
    EXPECT_EQ(names("CFG\\*.*"), (std::vector<std::string>{"a.xml", "b.xml", "d.png", "c.xml/"}));
    EXPECT_EQ(names(folder_ + "/disk/*.xml"), (std::vector<std::string>{"z.xml"}));
    EXPECT_TRUE(names("nothing*").empty());

    PakFindData found;
    PakFind* find = paks.FindFirstFile("cfg\\b*", &found);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(found.size, 2u);
    EXPECT_EQ(found.lastWriteTime, 0x1234u);
    EXPECT_EQ(found.creationTime, 0x1234u);
    paks.FindClose(find);
}

} // namespace
