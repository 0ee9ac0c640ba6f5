#include "framework/data/PakFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Nubra;
namespace fs = std::filesystem;

namespace {

class PakFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(root_ / "CFG");
        std::ofstream(root_ / "CFG" / "A.xml", std::ios::binary) << "0123456789";
        std::ofstream(root_ / "wide.txt", std::ios::binary).write("\x41\x00\x0D\x00\x42\x00", 6);
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string Name(const std::string& winName) const { return root_.string() + "\\" + winName; }

    fs::path root_ = fs::temp_directory_path() / "nubra_pak_test";
};

TEST_F(PakFileTest, WithoutArchivesDataNamesOpenLooseFilesIgnoringCase)
{
    PFILE* file = PakFileOpen(Name("cfg\\a.xml").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char buffer[12] = {};
    EXPECT_EQ(PakFileRead(buffer, 4, 3, file), 2u); // whole elements only
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    EXPECT_EQ(PakFileSeek(file, 3, 0), 0);
    EXPECT_EQ(PakFileTell(file), 3);
    EXPECT_FALSE(PakFileEof(file));
    EXPECT_EQ(PakFileSeek(file, 0, 2), 0);
    EXPECT_TRUE(PakFileEof(file));
    PakFileClose(file);

    EXPECT_EQ(PakFileOpen(Name("cfg\\missing.xml").c_str(), "rb"), nullptr);
}

TEST_F(PakFileTest, DiskWideReadsAreLittleEndianAndSkipCarriageReturns)
{
    PFILE* file = PakFileOpen(Name("WIDE.TXT").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PakFileGetWC(file), unsigned('A'));
    EXPECT_EQ(PakFileGetWC(file), unsigned('B'));
    EXPECT_EQ(PakFileGetWC(file), 0xFFFFu);
    PakFileClose(file);
}

// Answers every call itself and records it, so a test sees the disk is never touched.
class FakeArchive : public IPakFiles {
public:
    PFILE* FOpen(const char* name, const char*) override
    {
        calls += std::string("open:") + name + ";";
        return &handle;
    }
    int FClose(PFILE*) override { return calls += "close;", 0; }
    int FSeek(PFILE*, long offset, int origin) override
    {
        calls += "seek:" + std::to_string(offset) + "," + std::to_string(origin) + ";";
        return 0;
    }
    long FTell(PFILE*) override { return calls += "tell;", 42; }
    size_t FRead(void*, size_t, size_t count, PFILE*) override { return calls += "read;", count; }
    unsigned FGetWC(PFILE*) override { return calls += "getwc;", 'W'; }
    bool FEof(PFILE*) override { return calls += "eof;", true; }

    PFILE handle;
    std::string calls;
};

TEST_F(PakFileTest, ARegisteredArchiveAnswersEveryCall)
{
    FakeArchive archive;
    SetPakInterface(&archive);
    PFILE* file = PakFileOpen(Name("cfg\\a.xml").c_str(), "rb");
    EXPECT_EQ(file, &archive.handle);
    char byte;
    EXPECT_EQ(PakFileRead(&byte, 1, 7, file), 7u);
    PakFileSeek(file, 5, 1);
    EXPECT_EQ(PakFileTell(file), 42);
    EXPECT_EQ(PakFileGetWC(file), unsigned('W'));
    EXPECT_TRUE(PakFileEof(file));
    PakFileClose(file);
    SetPakInterface(nullptr);
    EXPECT_EQ(archive.calls, "open:" + Name("cfg\\a.xml") + ";read;seek:5,1;tell;getwc;eof;close;");
    EXPECT_EQ(GetPakInterface(), nullptr);
}

} // namespace
