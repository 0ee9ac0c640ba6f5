#include "engine/core/KeyName.h"

#include <gtest/gtest.h>

TEST(KeyName, CharactersNamesAndUnknownCodes)
{
    const struct {
        int code;
        std::string name;
    } cases[] = {
        {65, "A"}, {48, "0"}, {90, "Z"}, {186, std::string(1, char(186))}, {224, std::string(1, char(224))},
        {1, "LBUTTON"}, {27, "ESCAPE"}, {112, "F1"}, {123, "F12"}, {96, "NUMPAD0"}, {105, "NUMPAD9"},
        {144, "NUMLOCK"}, {145, "SCROLL"}, {0, "unknown"}, {7, "unknown"}, {255, "unknown"}, {-1, "unknown"},
        {1000, "unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyName(c.code), c.name) << c.code;
}
