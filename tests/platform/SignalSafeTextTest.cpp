#include "platform/SignalSafeText.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

TEST(SignalSafeText, FormatsNumbersLikePrintf)
{
    char storage[256];
    plat::SignalSafeText text(storage, sizeof storage);
    text.AddHex(0xC0000005, 1, true).Add(" ").AddHex(0x401A, 8).Add(" ").AddHex(0).Add(" ");
    text.AddHex(UINT64_MAX, 4).Add(" ").AddDecimal(0).Add(" ").AddDecimal(-42).Add(" ").AddDecimal(INT64_MIN);
    EXPECT_STREQ(text.Data(), "c0000005 0000401A 0 FFFFFFFFFFFFFFFF 0 -42 -9223372036854775808");
    EXPECT_EQ(text.Size(), std::string(text.Data()).size());
}

TEST(SignalSafeText, CutsOffWhatDoesNotFitAndStaysTerminated)
{
    char storage[8];
    plat::SignalSafeText text(storage, sizeof storage);
    text.Add("abc").AddHex(0x12345678);
    EXPECT_STREQ(text.Data(), "abc1234");
    text.Clear();
    EXPECT_STREQ(text.Data(), "");
}

TEST(SignalSafeText, WritesAndReplacesAFile)
{
    std::string path = std::filesystem::temp_directory_path() / ("nubra_safe_" + std::to_string(getpid()));
    EXPECT_TRUE(plat::WriteFileSignalSafe(path.c_str(), "long first text", 15));
    EXPECT_TRUE(plat::WriteFileSignalSafe(path.c_str(), "short", 5));
    std::ostringstream contents;
    contents << std::ifstream(path).rdbuf();
    EXPECT_EQ(contents.str(), "short");
    std::filesystem::remove(path);
    EXPECT_FALSE(plat::WriteFileSignalSafe("/nonexistent-folder/x", "x", 1));
}
