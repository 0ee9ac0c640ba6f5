#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("nubra_files_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "CFG" / "Sub");
        std::ofstream(root_ / "CFG" / "Sub" / "Ui.XML") << "x";
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string Root() const { return root_.string(); }

    fs::path root_;
};

TEST_F(FilesTest, ResolvesBackslashesAndCaseComponentByComponent)
{
    EXPECT_EQ(plat::ResolvePath(Root() + "\\cfg\\sub\\ui.xml"), Root() + "/CFG/Sub/Ui.XML");
    EXPECT_EQ(plat::ResolvePath(Root() + "/CFG/Sub/Ui.XML"), Root() + "/CFG/Sub/Ui.XML");
}

TEST_F(FilesTest, KeepsMissingComponentsAsWrittenForNewFiles)
{
    EXPECT_EQ(plat::ResolvePath(Root() + "\\cfg\\new\\file.txt"), Root() + "/CFG/new/file.txt");
}

TEST_F(FilesTest, SeesFilesAddedAfterAFolderWasListed)
{
    EXPECT_EQ(plat::ResolvePath(Root() + "/cfg/sub/ui.xml"), Root() + "/CFG/Sub/Ui.XML");
    std::ofstream(root_ / "CFG" / "Sub" / "Later.Txt") << "y";
    EXPECT_EQ(plat::ResolvePath(Root() + "/cfg/sub/later.txt"), Root() + "/CFG/Sub/Later.Txt");
}

TEST_F(FilesTest, ReadsLittleEndianUnitsUntilTheEnd)
{
    std::ofstream(root_ / "w.bin", std::ios::binary).write("\x41\x00\x42\x01\x07", 5);
    FILE* file = plat::OpenFile(Root() + "/W.BIN", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(plat::ReadU16LE(file), 0x41u);
    EXPECT_EQ(plat::ReadU16LE(file), 0x142u);
    EXPECT_EQ(plat::ReadU16LE(file), 0xFFFFu); // a lone last byte is no unit
    std::fclose(file);
}

TEST_F(FilesTest, RemoveTreeDoesNotFollowSymbolicLinks)
{
    fs::create_directories(root_ / "keep");
    std::ofstream(root_ / "keep" / "precious") << "z";
    fs::create_directories(root_ / "doomed" / "inner");
    fs::create_directory_symlink(root_ / "keep", root_ / "doomed" / "link");
    EXPECT_TRUE(plat::RemoveTree(Root() + "\\doomed"));
    EXPECT_FALSE(fs::exists(root_ / "doomed"));
    EXPECT_TRUE(fs::exists(root_ / "keep" / "precious"));
    EXPECT_FALSE(plat::RemoveTree(Root() + "/doomed"));
}

TEST_F(FilesTest, UserFoldersFollowTheXdgVariables)
{
    setenv("XDG_DATA_HOME", (Root() + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Root() + "/config").c_str(), 1);
    EXPECT_EQ(plat::UserDataDir("Maker", "Game"), Root() + "/data/Maker/Game/");
    EXPECT_EQ(plat::UserConfigDir("Maker", "Game"), Root() + "/config/Maker/Game/");
    EXPECT_TRUE(fs::is_directory(root_ / "data" / "Maker" / "Game"));
}

TEST_F(FilesTest, ListsRegularFilesBySuffix)
{
    std::ofstream(root_ / "2.dmo") << "";
    std::ofstream(root_ / "1.dmo") << "";
    std::ofstream(root_ / "1.txt") << "";
    EXPECT_EQ(plat::ListDir(Root(), ".dmo"), (std::vector<std::string>{"1.dmo", "2.dmo"}));
}

TEST_F(FilesTest, AReplacementCanKeepThePreviousFileAsABackup)
{
    const std::string file = Root() + "/pref.dat";
    ASSERT_TRUE(plat::ReplaceFileAtomically(file, "first", true));
    EXPECT_FALSE(fs::exists(file + ".bak")) << "nothing was replaced";
    ASSERT_TRUE(plat::ReplaceFileAtomically(file, "second", true));
    ASSERT_TRUE(plat::ReplaceFileAtomically(file, "third", true));
    auto contents = [](const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(contents(file), "third");
    EXPECT_EQ(contents(file + ".bak"), "second");
    EXPECT_EQ(plat::ListDir(Root(), ".tmp"), std::vector<std::string>{});
}

} // namespace
