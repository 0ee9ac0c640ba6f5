#include "engine/core/TCFont.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Utf16File.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "framework/text/ImageFont.h"
#include "framework/text/StandaloneFontHost.h"
#include "framework/text/SysFont.h"

namespace {

// A layer of one glyph, 'A', 6 pixels wide at scale 1; no sheet is needed to measure it.
constexpr const wchar_t* kDescription = LR"(SetDefaultPointSize 10;
CreateLayer Main;
LayerSetPointSize Main 10;
LayerSetAscent Main 8;
LayerSetCharWidths Main ('A') (6);
)";

class FontTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixtures::WriteUtf16File(folder_.File("font.txt"), kDescription);
        SetLogFile(folder_.File("log.txt"));
        SetDeveloperMode(true);
    }
    void TearDown() override
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
    }

    void Load(const std::string& fonts)
    {
        std::string text = "<root>" + fonts + "</root>";
        for (size_t at; (at = text.find("$DIR")) != std::string::npos;)
            text.replace(at, 4, folder_.File(""));
        ASSERT_TRUE(document_.load_string(text.c_str()));
        table_.LoadFonts(document_.child("root"));
    }
    std::string Log() const
    {
        std::stringstream text;
        text << std::ifstream(folder_.File("log.txt")).rdbuf();
        return text.str();
    }

    fixtures::TempFolder folder_{"tcfont_test"};
    Nubra::StandaloneFontHost host_;
    TCFont table_{&host_};
    pugi::xml_document document_;
};

TEST_F(FontTable, OnlyTheTwoExactTypesCreateFonts)
{
    Load(R"(<font name="sys" type="System" face="Arial" size="9" bold="1" italic="0" underline="0"/>
            <font name="lower" type="system" face="Arial" size="9" bold="0" italic="0" underline="0"/>
            <font name="none" face="Arial"/>
            <group><font name="deep" type="System" face="Arial" size="9" bold="0" italic="0" underline="0"/></group>)");
    auto* sys = dynamic_cast<Nubra::SysFont*>(table_.Find("sys"));
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(sys->GetPixelHeight(), Nubra::SysFont::PointsToPixels(9, 96));
    for (const char* name : {"lower", "none", "deep", "never declared"})
        EXPECT_EQ(table_.Find(name), nullptr) << name;
    EXPECT_EQ(Log(), "");
}

TEST_F(FontTable, ImageFontsTakeTheirScaleAndDefaultToOne)
{
    Load(R"(<font name="plain" type="Image" face="$DIR/font.txt"/>
            <font name="big" type="Image" face="$DIR/font.txt" scale="2.0"/>)");
    ASSERT_NE(table_.Find("plain"), nullptr);
    ASSERT_NE(table_.Find("big"), nullptr);
    EXPECT_EQ(table_.Find("plain")->StringWidth(L"AA"), 12);
    EXPECT_EQ(table_.Find("big")->StringWidth(L"AA"), 24);
}

TEST_F(FontTable, ARepeatedNameFindsTheLaterFontAndKeepsTheEarlierAlive)
{
    Load(R"(<font name="f" type="Image" face="$DIR/font.txt"/>)");
    Nubra::Font* earlier = table_.Find("f");
    Load(R"(<font name="f" type="Image" face="$DIR/font.txt" scale="3"/>)");
    EXPECT_NE(table_.Find("f"), earlier);
    EXPECT_EQ(table_.Find("f")->StringWidth(L"A"), 18);
    EXPECT_EQ(earlier->StringWidth(L"A"), 6); // still usable by whoever fetched it
}

TEST_F(FontTable, IncompleteDeclarationsAreLoggedAndStillMakeAFont)
{
    Load(R"(<font name="bare" type="System" face="Arial"/>
            <font name="lost" type="Image" face="$DIR/missing.txt"/>)");
    auto* bare = dynamic_cast<Nubra::SysFont*>(table_.Find("bare"));
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetPixelHeight(), Nubra::SysFont::PointsToPixels(12, 96));
    ASSERT_NE(table_.Find("lost"), nullptr);
    EXPECT_EQ(table_.Find("lost")->StringWidth(L"A"), 0);
    const std::string log = Log();
    EXPECT_NE(log.find("WARNING: font \"bare\" lacks size, bold, italic, underline"), std::string::npos) << log;
    EXPECT_NE(log.find("WARNING: font \"lost\": no usable description"), std::string::npos) << log;
}

TEST_F(FontTable, EveryShippedFontLoadsAndMeasures)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data");
    XmlDocument ui = OpenXmlFile("cfg\\ui.xml");
    ASSERT_TRUE(ui);
    const pugi::xml_node root = ui->child("root");
    table_.LoadFonts(root);
    for (pugi::xml_node font : root.children("font")) {
        const std::string name = font.attribute("name").value();
        ASSERT_NE(table_.Find(name), nullptr) << name;
        EXPECT_GT(table_.Find(name)->StringWidth(L"Money: 1250"), 0) << name;
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(Log(), "");
}

} // namespace
