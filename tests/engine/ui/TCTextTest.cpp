#include "engine/ui/TCText.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "UiFixture.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCTexture.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/SysFont.h"

namespace {

TEST(TextVariables, ReferencesAreReplacedAndNoted)
{
    auto value = [](const std::string& name) {
        return name.empty() ? std::wstring(L"<empty>") : L"[" + std::wstring(name.begin(), name.end()) + L"]";
    };
    struct Case {
        const wchar_t* label;
        const wchar_t* shown;
        std::vector<std::string> names;
    };
    for (const Case& c : {Case{L"Money: %money%", L"Money: [money]", {"money"}},
                          Case{L"50%", L"50", {}},
                          Case{L"%a% and %a%%b", L"[a] and [a]", {"a"}},
                          Case{L"100%%", L"100<empty>", {""}},
                          Case{L"%\u0161%", L"[a]", {"a"}}}) {
        std::map<std::string, std::wstring> shown;
        EXPECT_EQ(SubstituteTextVars(c.label, value, shown), c.shown);
        std::vector<std::string> names;
        for (const auto& [name, text] : shown)
            names.push_back(name);
        EXPECT_EQ(names, c.names);
    }
}

TEST(LabelLayout, TheBlockSitsByValignAndOffsets)
{
    struct Case {
        int valign;
        Nubra::Rect rect;
    };
    // A 100 x 60 control, a 21 high block, 3 down and 4 right.
    for (const Case& c : {Case{-1, {4, 3, 100, 60}}, Case{0, {4, 3 + 19, 100, 21}}, Case{1, {4, 3 + 39, 100, 21}},
                          Case{7, {4, 3, 100, 60}}}) {
        TCLabelLayout layout;
        layout.valign = c.valign;
        layout.hoffset = 3;
        layout.woffset = 4;
        EXPECT_EQ(LabelRect(layout, 100, 60, 21), c.rect) << c.valign;
    }
}

// Each "onchange" of the text notes the text it shows at that moment.
std::vector<std::wstring> gChanges;
int NoteChange(TCEffect* effect)
{
    gChanges.push_back(dynamic_cast<TCText*>(effect->GetTarget())->GetDisplayedText());
    return 1;
}

class Texts : public fixtures::UiTest {
protected:
    // A shown text of 120 x 40 that reports its changes.
    TCText* ShownText(const std::wstring& label)
    {
        auto* text = OnScreen(new TCText(nullptr, &engine_));
        text->LoadFromXml(Xml("<element width='120' height='40' visible='1' effect='blank'/>"), &engine_);
        text->GetEffect()->AddMessage("onchange", nullptr, TCEffect::Call, NoteChange);
        text->SetLabel(label);
        gChanges.clear();
        return text;
    }
    // Draws the text and returns the rows and columns its label image has ink in.
    static Nubra::Rect Ink(TCText& text)
    {
        Nubra::MemoryImage screen;
        screen.Create(1024, 768);
        Nubra::Graphics g(&screen);
        text.Draw(&g);
        Nubra::MemoryImage* label = text.GetLabelImage().GetImage();
        int left = label->GetWidth(), top = label->GetHeight(), right = -1, bottom = -1;
        const uint32_t* bits = label->GetBits();
        for (int y = 0; y < label->GetHeight(); ++y)
            for (int x = 0; x < label->GetWidth(); ++x)
                if (bits[y * label->GetWidth() + x] >> 24) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        return {left, top, right - left + 1, bottom - top + 1};
    }
};

TEST_F(Texts, ATextFollowsItsVariable)
{
    engine_.SetTextVar("money", 1250);
    TCText* text = ShownText(L"Money: %money%");
    Step();
    EXPECT_EQ(text->GetDisplayedText(), L"Money: 1250");
    Step(3);
    EXPECT_EQ(gChanges, std::vector<std::wstring>{L"Money: 1250"}) << "rebuilt only when the value changes";

    engine_.SetTextVar("money", 1300);
    Step();
    EXPECT_EQ(text->GetDisplayedText(), L"Money: 1300");
    EXPECT_EQ(gChanges.size(), 2u);

    text->SetVisible(false);
    engine_.SetTextVar("money", 7);
    Step();
    EXPECT_EQ(text->GetDisplayedText(), L"Money: 1300") << "a hidden text does no work";
    text->SetVisible(true);
    Step();
    EXPECT_EQ(text->GetDisplayedText(), L"Money: 7");

    text->SetLabel(L"");
    EXPECT_EQ(text->GetDisplayedText(), L"");
}

TEST_F(Texts, TheLabelIsLocalisedAndDrawnWhereValignPutsIt)
{
    std::ofstream("cfg/loc.xml") << "<root><loc id='greet' text='Hello'/></root>";
    ASSERT_TRUE(engine_.GetLocalization().Load());
    Nubra::SysFont font("Arial", 14);
    auto* text = OnScreen(new TCText(nullptr, &engine_));
    text->LoadFromXml(Xml("<element width='120' height='60' visible='1' label='greet' valign='1' hoffset='-2'>"
                          "<textattr id='normal' color='FFFFFFFF'/></element>"),
                      &engine_);
    text->SetTextStyle(kStyleNormal, &font, Nubra::Color::White, Nubra::Color::White);
    Step();
    EXPECT_EQ(text->GetDisplayedText(), L"Hello");
    const Nubra::Rect bottom = Ink(*text);
    EXPECT_GT(bottom.y, 30);
    EXPECT_LE(bottom.y + bottom.height, 58);

    text->SetVisibleChars(3); // as a typing effect does
    const Nubra::Rect typed = Ink(*text);
    EXPECT_LT(typed.width, bottom.width);
    Step();
    EXPECT_EQ(text->GetVisibleChars(), 5) << "the whole text returns when nothing lowers the count";
    EXPECT_EQ(Ink(*text).width, bottom.width);
    text->SetVisibleChars(99);
    EXPECT_EQ(text->GetVisibleChars(), 5);
}

TEST_F(Texts, ADisabledTextShowsItsDisabledTextureOnlyWhenItHasOne)
{
    auto* text = OnScreen(new TCText(nullptr, &engine_));
    text->LoadFromXml(Xml("<element width='20' height='20' visible='1'><texture id='normal' texture='pic'/>"
                          "<texture id='disabled' texture='none'/></element>"),
                      &engine_);
    TCTexture* normal = text->GetTexture(TCText::kNormalTexture);
    TCTexture* disabledLook = text->GetTexture(TCText::kDisabledTexture);
    ASSERT_TRUE(normal && disabledLook);
    text->SetDisabled(true);
    Step();
    EXPECT_TRUE(normal->IsVisible()) << "the disabled texture has no image";
    text->SetTextureImage(TCText::kDisabledTexture, "pic", Nubra::Rect(0, 0, 8, 8));
    Step();
    EXPECT_FALSE(normal->IsVisible());
    EXPECT_TRUE(disabledLook->IsVisible());
    text->SetDisabled(false);
    Step();
    EXPECT_TRUE(normal->IsVisible());
    EXPECT_FALSE(disabledLook->IsVisible());
}

} // namespace
