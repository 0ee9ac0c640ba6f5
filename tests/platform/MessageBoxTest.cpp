#include "platform/MessageBox.h"

#include <gtest/gtest.h>

TEST(MessageBox, FakeRecordsBoxesAndAnswersFromItsQueue)
{
    plat::FakeMessageBox fake;
    fake.answers = {plat::MsgBoxResult::No};
    plat::SetMessageBoxService(&fake);
    EXPECT_EQ(plat::ShowMessageBox("T", "Sure?", plat::MsgBoxButtons::YesNo, plat::MsgBoxIcon::Question),
              plat::MsgBoxResult::No);
    EXPECT_EQ(plat::ShowMessageBox("T", "Again?", plat::MsgBoxButtons::YesNo), plat::MsgBoxResult::Yes);
    plat::SetMessageBoxService(nullptr);
    ASSERT_EQ(fake.shown.size(), 2u);
    EXPECT_EQ(fake.shown[0].text, "Sure?");
    EXPECT_EQ(fake.shown[0].icon, plat::MsgBoxIcon::Question);
}

TEST(MessageBox, WithoutADisplayTheRealBoxTakesTheDefaultAnswer)
{
    EXPECT_EQ(plat::ShowMessageBox("Headless", "nobody sees this", plat::MsgBoxButtons::OkCancel),
              plat::MsgBoxResult::Ok);
}
