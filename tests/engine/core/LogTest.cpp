#include "engine/core/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = std::filesystem::temp_directory_path() / ("log_test_" + std::to_string(::getpid()) + ".log");
        std::filesystem::remove(path_);
        SetLogFile(path_.string());
    }
    void TearDown() override
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
        std::filesystem::remove(path_);
    }
    std::string Contents() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::filesystem::path path_;
};

TEST_F(LogTest, OffWritesNothingAndMakesNoFile)
{
    WriteLog("WARNING: %s", "ignored");
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(LogTest, OnAppendsOneLineEachAndCutsLongLines)
{
    SetDeveloperMode(true);
    WriteLog("WARNING: missing %d", 7);
    WriteLog("ERROR: %s", std::string(2000, 'x').c_str());
    const std::string text = Contents();
    EXPECT_EQ(text.substr(0, 19), "WARNING: missing 7\n");
    EXPECT_EQ(text.size(), 19u + 1023u + 1u);
    EXPECT_EQ(text.back(), '\n');
}

TEST_F(LogTest, AnUnopenableFileIsIgnored)
{
    SetDeveloperMode(true);
    SetLogFile((path_ / "no" / "such" / "folder.log").string());
    WriteLog("ERROR: lost");
    SUCCEED();
}

} // namespace
