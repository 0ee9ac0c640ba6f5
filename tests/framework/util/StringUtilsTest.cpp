#include "framework/util/StringUtils.h"

#include <gtest/gtest.h>

using namespace Nubra;

TEST(StrFormat, FormatsAroundTheLocalBufferAndFarBeyondIt)
{
    for (int length : {0, 159, 160, 161, 320, 321, 100000}) {
        std::string expected(size_t(length), 'x');
        EXPECT_EQ(StrFormat("%s", expected.c_str()), expected) << length;
        EXPECT_EQ(StrFormatW(L"%s", expected.c_str()), std::wstring(expected.begin(), expected.end())) << length;
    }
    // Several arguments formatted again after the first attempt overflowed.
    std::string pad(200, '-');
    EXPECT_EQ(StrFormat("%d %s %d", 7, pad.c_str(), 9), "7 " + pad + " 9");
    EXPECT_EQ(StrFormatW(L"%d %s %d", 7, pad.c_str(), 9), L"7 " + std::wstring(pad.begin(), pad.end()) + L" 9");
}

TEST(StringConversion, EveryByteSurvivesWideningAndNarrowing)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    std::wstring wide = StringToWString(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0xE9], wchar_t(0xE9));
    EXPECT_EQ(WStringToString(wide), all);
    EXPECT_EQ(WStringToString(L"a\u20ACb"), "a?b");
}

TEST(StringToInt, Table)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0x1F", true, 31},         {"0XfF", true, 255},      {"1x5", false, 0},
        {"-12", true, -12},         {"", false, 0},           {"-", true, 0},
        {"99999999999", false, 0},  {"2147483647", true, 2147483647}, {"2147483648", false, 0},
        {"-2147483648", true, int(0x80000000)}, {"0xFFFFFFFF", true, -1}, {"0x100000000", false, 0},
        {"12a", false, 0},          {" 1", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(StringToInt(std::string(c.text), &value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        int wideValue = 12345;
        std::string text = c.text;
        EXPECT_EQ(StringToInt(std::wstring(text.begin(), text.end()), &wideValue), c.ok) << c.text;
        EXPECT_EQ(wideValue, c.value) << c.text;
    }
}

TEST(StringToDouble, Table)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        double value;
    } cases[] = {
        {L"-1.25", true, -1.25}, {L"1.2.3", false, 0.0}, {L"0.3", true, 0.3}, {L"", false, 0.0},
        {L"12", true, 12.0},     {L".5", true, 0.5},     {L"1e3", false, 0.0}, {L"-", true, 0.0},
    };
    for (const Case& c : cases) {
        double value = 99.0;
        EXPECT_EQ(StringToDouble(c.text, &value), c.ok);
        EXPECT_EQ(value, c.value); // exact: the conversion rounds correctly
    }
}

TEST(SmallParsers, HexImmediateAndCommas)
{
    unsigned hex = 1;
    EXPECT_TRUE(HexStringToUInt("", &hex));
    EXPECT_EQ(hex, 0u);
    EXPECT_TRUE(HexStringToUInt("fF10", &hex));
    EXPECT_EQ(hex, 0xFF10u);
    EXPECT_FALSE(HexStringToUInt("0x1", &hex));
    EXPECT_EQ(hex, 0u);

    EXPECT_TRUE(IsImmediateValue(L"-3"));
    EXPECT_TRUE(IsImmediateValue(L"'a'"));
    EXPECT_FALSE(IsImmediateValue(L"name"));
    EXPECT_FALSE(IsImmediateValue(L""));

    EXPECT_EQ(CommaSeparate(0), L"0");
    EXPECT_EQ(CommaSeparate(999), L"999");
    EXPECT_EQ(CommaSeparate(1000), L"1,000");
    EXPECT_EQ(CommaSeparate(1234567), L"1,234,567");
}

TEST(SmallParsers, CaseTrimAndSearch)
{
    EXPECT_EQ(Upper(std::string("abC1")), "ABC1");
    EXPECT_EQ(Upper(std::wstring(L"abC1")), L"ABC1");
    EXPECT_EQ(Trim(" \t x y \n"), "x y");
    EXPECT_EQ(StrFindNoCase("Hello World", "WORLD"), 6);
    EXPECT_EQ(StrFindNoCase("Hello", "xyz"), -1);
    EXPECT_EQ(StrFindNoCase("", "a"), -1);
}

TEST(DirectXErrorNames, GenericCodesByNameOthersInHex)
{
    EXPECT_EQ(GetDirectXErrorString(long(0x80070057)), "DDERR_INVALIDPARAMS");
    EXPECT_EQ(GetDirectXErrorString(long(0x8007000E)), "E_OUTOFMEMORY");
    EXPECT_EQ(GetDirectXErrorString(0), "0");
    EXPECT_EQ(GetDirectXErrorString(long(0x88760abc)), "88760abc");
}
