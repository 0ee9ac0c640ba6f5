#include "engine/ui/TCEditWidget.h"

#include <gtest/gtest.h>

#include "UiFixture.h"
#include "engine/ui/TCDialog.h"

namespace {

class EditBox : public fixtures::UiTest {
protected:
    // A dialog on the screen holding a shown edit box of at most 5 characters at (10, 10).
    TCEditWidget* Edit()
    {
        auto* dialog = OnScreen(new TCDialog(nullptr, &engine_));
        dialog->BuildFromXml(Xml("<element width='200' height='100' visible='1'>"
                                 "<element name='name' type='tcedit' x='10' y='10' width='100' height='20' "
                                 "visible='1' maxlen='5'/></element>"));
        return dynamic_cast<TCEditWidget*>(dialog->FindChild("name"));
    }
    void Type(const std::u16string& units)
    {
        for (char16_t unit : units)
            Manager().KeyChar(unit);
    }
};

TEST_F(EditBox, TypingAfterAClickEditsAtTheCaretUpToTheLength)
{
    TCEditWidget* edit = Edit();
    ASSERT_NE(edit, nullptr);
    Type(u"lost");
    EXPECT_EQ(edit->GetText(), L"") << "no focus before a click";

    Manager().MouseMove(20, 15);
    Manager().MouseDown(20, 15, 1);
    Manager().MouseUp(20, 15, 1);
    EXPECT_TRUE(edit->hasFocus);
    Type(u"Anna\r\x1b\tbel");
    EXPECT_EQ(edit->GetText(), L"Annab") << "controls ignored, cut at five";

    Manager().KeyDown(37); // Left
    Manager().KeyDown(37);
    Type(u"\b");
    EXPECT_EQ(edit->GetText(), L"Anab");
    Manager().KeyDown(46); // Delete
    EXPECT_EQ(edit->GetText(), L"Anb");
    Manager().KeyDown(36); // Home
    Type(u"\xD83D\xDE00");
    EXPECT_EQ(edit->GetText(), L"\U0001F600Anb") << "a pair of halves is one character";
    Manager().KeyDown(35); // End
    EXPECT_EQ(edit->GetCaret(), 4u);

    edit->SetText(L"Bartholomew");
    EXPECT_EQ(edit->GetText(), L"Barth");
    EXPECT_EQ(edit->GetCaret(), 5u);
}

TEST_F(EditBox, TheCaretBlinksEveryHalfSecondAndShowsWhenMoved)
{
    TCEditWidget* edit = Edit();
    EXPECT_TRUE(edit->IsCaretOn());
    Step(49);
    EXPECT_TRUE(edit->IsCaretOn());
    Step(1);
    EXPECT_FALSE(edit->IsCaretOn());
    edit->KeyDown(36);
    EXPECT_TRUE(edit->IsCaretOn());
}

} // namespace
