#include "framework/util/PathUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Nubra;

TEST(PathUtils, NamesAndFolders)
{
    EXPECT_EQ(GetFileName("cfg\\sub/ui.xml"), "ui.xml");
    EXPECT_EQ(GetFileName("cfg\\ui.xml", true), "ui");
    EXPECT_EQ(GetFileName("noslash"), "noslash");
    EXPECT_EQ(GetFileName("a.b\\file", true), "file");
    EXPECT_EQ(GetFileDir("cfg\\sub/ui.xml"), "cfg\\sub");
    EXPECT_EQ(GetFileDir("cfg\\ui.xml", true), "cfg\\");
    EXPECT_EQ(GetFileDir("ui.xml", true), "");
    EXPECT_EQ(AddTrailingSlash(""), "");
    EXPECT_EQ(AddTrailingSlash("a"), "a/");
    EXPECT_EQ(AddTrailingSlash("a", true), "a\\");
    EXPECT_EQ(AddTrailingSlash("a\\"), "a\\");
    EXPECT_EQ(RemoveTrailingSlash("a/b//"), "a/b");
}

TEST(PathUtils, FullPathJoinsAndClimbs)
{
    EXPECT_EQ(GetFullPath("c.txt", "/a/b"), "/a/b/c.txt");
    EXPECT_EQ(GetFullPath("../c.txt", "/a/b/"), "/a/c.txt");
    EXPECT_EQ(GetFullPath("..\\..\\c.txt", "x\\y\\z"), "x\\c.txt");
    EXPECT_EQ(GetFullPath("d:\\abs.txt", "x"), "d:\\abs.txt");
    EXPECT_EQ(GetFullPath("/abs.txt", "x"), "/abs.txt");
    EXPECT_EQ(GetFullPath("./c", "a"), "a/c");
}

TEST(PathUtils, MkDirAndDeltreeTakeEitherSeparator)
{
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / "nubra_paths_test";
    fs::remove_all(root);
    ASSERT_TRUE(MkDir(root.string() + "\\one\\two"));
    std::ofstream(root / "one" / "two" / "f") << "x";
    EXPECT_TRUE(Deltree(root.string()));
    EXPECT_FALSE(fs::exists(root));
    EXPECT_FALSE(Deltree(root.string()));
}

TEST(PathUtils, AppDataFolderGetsATrailingSeparator)
{
    SetAppDataFolder("/home/someone/data");
    EXPECT_EQ(GetAppDataFolder(), "/home/someone/data/");
    SetAppDataFolder("C:\\data");
    EXPECT_EQ(GetAppDataFolder(), "C:\\data\\");
    SetAppDataFolder("");
}
