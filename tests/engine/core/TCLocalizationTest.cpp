#include "engine/core/TCLocalization.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "Utf16File.h"

namespace {

class Localization : public ::testing::Test {
protected:
    // Loads a file holding the given elements under "root".
    void LoadTexts(const std::string& elements)
    {
        std::ofstream(folder_.File("loc.xml")) << "<?xml version='1.0' encoding='utf-8'?><root>" << elements << "</root>";
        EXPECT_TRUE(texts_.Load(folder_.File("loc.xml").c_str()));
    }

    fixtures::TempFolder folder_{"localization"};
    TCLocalization texts_;
};

TEST_F(Localization, UnlistedIdsShowAsDollarAndTheId)
{
    EXPECT_TRUE(texts_.Load(folder_.File("missing.xml").c_str()));
    EXPECT_EQ(texts_.GetText("quit"), L"$quit");
    EXPECT_EQ(texts_.GetText(""), L"$");
    EXPECT_EQ(texts_.GetText("caf\xC3\xA9"), L"$caf\u00e9");
}

TEST_F(Localization, TheFirstOfTwoTextsWinsAndElementsWithoutIdAreSkipped)
{
    LoadTexts("<loc id='quit' text='Quit?'/><loc text='orphan'/><loc id='quit' text='Leave?'/>"
              "<other id='menu' text='not a text'/><loc id='empty'/>");
    EXPECT_EQ(texts_.GetText("quit"), L"Quit?");
    EXPECT_EQ(texts_.GetText("menu"), L"$menu");
    EXPECT_EQ(texts_.GetText("empty"), L"");
}

TEST_F(Localization, TextsArriveWholeAsCodePoints)
{
    const std::string longText(5000, 'x');
    LoadTexts("<loc id='short' text='ab'/><loc id='long' text='" + longText
              + "'/><loc id='cafe' text='Caf\xC3\xA9 \xF0\x9F\x8D\xB0'/>");
    EXPECT_EQ(texts_.GetText("long"), std::wstring(5000, L'x'));
    EXPECT_EQ(texts_.GetText("cafe"), L"Caf\u00e9 \U0001F370");
}

} // namespace
