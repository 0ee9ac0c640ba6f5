#include "engine/core/TCCursorSet.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "engine/core/FakeImages.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"

namespace {

class CursorSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        images_.width = 4;
        images_.height = 4;
        fake_.table.Add("arrow", "arrow.png");
        fake_.table.Add("hand", "hand.png");
        ASSERT_TRUE(document_.load_string("<root>"
                                          "<cursors mode='normal' image='arrow' hot_spot_x='2' hot_spot_y='3'/>"
                                          "<cursors mode='normal' image='hand'/>"
                                          "<cursors mode='ghost' image='unlisted'/>"
                                          "<cursors mode='bare'/>"
                                          "<cursors mode='active' image='hand'/></root>"));
        cursors_.Load(document_.first_child());
    }
    bool SystemPointer() const { return !app_.customCursors && app_.cursorNumber == 0; }
    bool NoPointer() const { return app_.customCursors && app_.cursorNumber == 12; }

    Nubra::NubraAppBase app_; // first: the pictures made after it register with it
    fixtures::FakeImages images_;
    fixtures::FakeTextureTable fake_{images_};
    pugi::xml_document document_;
    TCCursorSet cursors_{&app_};
};

TEST_F(CursorSet, ModesWithKnownPicturesSwitchThePointerOff)
{
    EXPECT_TRUE(cursors_.HasMode("normal"));
    EXPECT_TRUE(cursors_.HasMode("active"));
    EXPECT_FALSE(cursors_.HasMode("ghost"));
    EXPECT_FALSE(cursors_.HasMode("bare"));
    EXPECT_EQ(images_.Holders("arrow.png"), 1) << "loaded at once and kept";
    EXPECT_EQ(images_.Holders("hand.png"), 1);

    cursors_.SetCursor("normal");
    EXPECT_TRUE(NoPointer());
    EXPECT_EQ(cursors_.GetMode(), "normal");
    cursors_.SetCursor("ghost");
    EXPECT_TRUE(SystemPointer());
    EXPECT_EQ(app_.cursorImages[12], nullptr);
    EXPECT_EQ(cursors_.GetMode(), "");
    cursors_.Refresh();
    EXPECT_TRUE(SystemPointer());

    cursors_.SetCursor("active");
    DebugSettings().SimpleCursor = true;
    cursors_.Refresh();
    EXPECT_TRUE(SystemPointer());
    DebugSettings().SimpleCursor = false;
    cursors_.Refresh();
    EXPECT_TRUE(NoPointer());

    cursors_.Clear();
    EXPECT_TRUE(SystemPointer());
    EXPECT_EQ(images_.Holders("arrow.png"), 0);
}

TEST_F(CursorSet, ThePictureIsDrawnAtTheMouseLessTheHotSpotOnlyWhileShown)
{
    Nubra::MemoryImage screen;
    screen.Create(32, 32);
    Nubra::Graphics g(&screen);
    app_.widgetManager->lastMouseX = 10;
    app_.widgetManager->lastMouseY = 8;
    auto covered = [&screen](int x, int y) { return (screen.GetBits()[y * 32 + x] >> 24) != 0; };

    cursors_.SetCursor("normal");
    cursors_.Draw(&g);
    EXPECT_FALSE(covered(8, 5)) << "hidden";
    EXPECT_TRUE(NoPointer());

    cursors_.Show();
    cursors_.Draw(&g);
    EXPECT_TRUE(covered(8, 5));
    EXPECT_TRUE(covered(11, 8));
    EXPECT_FALSE(covered(7, 5));
    EXPECT_FALSE(covered(12, 5));
    EXPECT_FALSE(covered(8, 9));
}

} // namespace
