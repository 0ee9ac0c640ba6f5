#include "engine/core/TCTexture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

#include "Utf16File.h"
#include "engine/core/Atlas.h"
#include "engine/core/FakeImages.h"
#include "engine/core/XmlHelpers.h"
#include "framework/graphics/Graphics.h"

namespace {

pugi::xml_node Parse(pugi::xml_document& document, const char* text)
{
    EXPECT_TRUE(document.load_string(text));
    return document.first_child();
}

TEST(TCTexture, FramesAdvanceOncePerPeriodAndWrapOrStop)
{
    struct Case {
        int oneShot;
        std::vector<int> frames;
        std::vector<bool> playing;
    };
    const Case cases[] = {
        {0, {1, 2, 0, 1, 2, 0}, {true, true, true, true, true, true}},
        {1, {1, 2, 2, 2, 2, 2}, {true, true, false, false, false, false}},
    };
    for (const Case& c : cases) {
        pugi::xml_document document;
        TCTexture texture;
        const std::string xml = "<texture texture='walk' fps='10' count='3' oneshot='" + std::to_string(c.oneShot) + "'/>";
        texture.LoadFromXml(Parse(document, xml.c_str()), 10, 10);
        EXPECT_EQ(texture.GetFrameCount(), 3);
        for (size_t i = 0; i < c.frames.size(); ++i) {
            texture.Update(1.0f / 10.0f);
            EXPECT_EQ(texture.GetFrame(), c.frames[i]) << "oneshot " << c.oneShot << " update " << i;
            EXPECT_EQ(texture.IsPlaying(), c.playing[i]) << "oneshot " << c.oneShot << " update " << i;
        }
        texture.Rewind();
        EXPECT_EQ(texture.GetFrame(), 0);
        EXPECT_TRUE(texture.IsPlaying());
    }
}

TEST(TCTexture, ANonPositiveCountOrRateNeverLeavesTheFrames)
{
    for (const char* xml : {"<texture texture='walk' fps='10' count='0' oneshot='1'/>",
                            "<texture texture='walk' fps='10' count='-4' oneshot='0'/>",
                            "<texture texture='walk' fps='-5' count='3'/>"}) {
        pugi::xml_document document;
        TCTexture texture;
        texture.LoadFromXml(Parse(document, xml), 10, 10);
        for (int i = 0; i < 5; ++i) {
            texture.Update(0.5f);
            EXPECT_GE(texture.GetFrame(), 0) << xml;
            EXPECT_LT(texture.GetFrame(), texture.GetFrameCount()) << xml;
        }
        EXPECT_EQ(texture.GetFrame(), 0) << xml;
    }
}

TEST(TCTexture, AttributesDefaultToTheWidgetAndOnlyLowerCaseAdditiveAdds)
{
    fixtures::FakeImages images;
    fixtures::FakeTextureTable fake(images);
    fake.table.Add("btn", "btn.png");
    fake.table.Add("run00", "run0.png");
    fake.table.Add("run01", "run1.png");

    pugi::xml_document document;
    TCTexture still;
    still.LoadFromXml(Parse(document, "<texture texture='btn' u='3' mode='additive'/>"), 40, 20);
    EXPECT_EQ(still.GetRect(), Nubra::Rect(3, 0, 40, 20));
    EXPECT_TRUE(still.IsAdditive());
    ASSERT_NE(still.GetCurrentFrame(), nullptr);
    EXPECT_EQ(still.GetCurrentFrame()->GetDesc()->GetFile(), "btn.png");

    TCTexture animated;
    animated.LoadFromXml(Parse(document, "<texture texture='run' fps='5' count='2' width='7' height='9' mode='Additive'/>"), 40, 20);
    EXPECT_EQ(animated.GetRect(), Nubra::Rect(0, 0, 7, 9));
    EXPECT_FALSE(animated.IsAdditive());
    animated.Update(0.2f);
    ASSERT_NE(animated.GetCurrentFrame(), nullptr);
    EXPECT_EQ(animated.GetCurrentFrame()->GetDesc()->GetFile(), "run1.png");
}

TEST(TCImageRef, AnImageIsLoadedOnceWhileAnyLockedReferenceHoldsIt)
{
    fixtures::FakeImages images;
    fixtures::FakeTextureTable fake(images);
    fake.table.Add("logo", "logo.png");

    TCImageRef first = FindTexture("logo");
    TCImageRef second = FindTexture("logo");
    EXPECT_FALSE(first.IsLocked());
    EXPECT_EQ(images.loads["logo.png"], 0);
    first.Lock();
    second.Lock();
    EXPECT_EQ(images.loads["logo.png"], 1);
    first.Unlock();
    EXPECT_NE(second.GetDesc()->GetImage(), nullptr);
    second.Unlock();
    EXPECT_EQ(second.GetDesc()->GetImage(), nullptr);
    EXPECT_EQ(images.Holders("logo.png"), 0);

    // Assignment and copies carry the lock; GetImage locks.
    TCImageRef locked = FindTexture("logo");
    EXPECT_NE(locked.GetImage(), nullptr);
    TCImageRef copy;
    copy = locked;
    EXPECT_TRUE(copy.IsLocked());
    EXPECT_EQ(copy.GetDesc()->GetRefCount(), 2);
    copy = FindTexture("logo");
    EXPECT_FALSE(copy.IsLocked());
    EXPECT_EQ(locked.GetDesc()->GetRefCount(), 1);
    {
        const TCImageRef scoped(locked);
        EXPECT_EQ(locked.GetDesc()->GetRefCount(), 2);
    }
    locked.Reset();
    EXPECT_EQ(images.Holders("logo.png"), 0);
    EXPECT_EQ(images.loads["logo.png"], 2);
    EXPECT_FALSE(FindTexture("unlisted"));
}

TEST(TCImageRef, CountsStayBalancedAcrossThreads)
{
    fixtures::FakeImages images;
    fixtures::FakeTextureTable fake(images);
    fake.table.Add("part", "part.png");
    auto churn = [] {
        for (int i = 0; i < 2000; ++i) {
            TCImageRef ref = FindTexture("part");
            ref.Lock();
            EXPECT_NE(ref.GetDesc()->GetImage(), nullptr);
        }
    };
    std::thread loader(churn);
    churn();
    loader.join();
    EXPECT_EQ(FindTexture("part").GetDesc()->GetRefCount(), 0);
    EXPECT_EQ(images.Holders("part.png"), 0);
}

TEST(TCTextureTable, OnlyDirectEntriesWithExistingFilesAreEntered)
{
    fixtures::TempFolder folder("texture_table");
    const std::string present = folder.File("present.png");
    std::ofstream(present) << "x";
    const std::string xml = "<root><texture id='a' file='" + present + "'/><texture id='b' file='" + folder.File("missing.png") +
                            "'/><texture id='a' file='other.png'/><dialog><texture id='c' file='" + present + "'/></dialog></root>";
    pugi::xml_document document;
    fixtures::FakeImages images;
    TCTextureTable table(images.Loader());
    table.Load(Parse(document, xml.c_str()));

    ASSERT_TRUE(table.Find("a"));
    EXPECT_EQ(table.Find("a").GetDesc()->GetFile(), present);
    EXPECT_FALSE(table.Find("b"));
    EXPECT_FALSE(table.Find("c"));
}

TEST(TCTexture, DrawingKeepsTheCallersColourUntilTheTextureHasItsOwn)
{
    fixtures::FakeImages images;
    images.argb = 0xFFFFFFFF;
    fixtures::FakeTextureTable fake(images);
    fake.table.Add("white", "white.png");

    auto centre = [](TCTexture& texture) {
        Nubra::MemoryImage screen;
        screen.Create(16, 16);
        Nubra::Graphics g(&screen);
        g.SetColorizeImages(true);
        g.SetColor(Nubra::Color(255, 0, 0, 255));
        texture.Draw(&g);
        // Modulation may lose a step of each channel; the strongest channel names the colour.
        const uint32_t pixel = screen.GetBits()[4 * 16 + 4];
        if ((pixel >> 24) < 0xF0)
            return std::string("none");
        return (pixel >> 16 & 0xFF) > 0xF0 ? std::string("red") : (pixel & 0xFF) > 0xF0 ? std::string("blue") : std::string("other");
    };
    TCTexture texture;
    EXPECT_EQ(centre(texture), "none"); // no frame: nothing drawn
    texture.SetImage(FindTexture("white"), Nubra::Rect(0, 0, 8, 8));
    EXPECT_EQ(centre(texture), "red");
    texture.SetColor(Nubra::Color(0, 0, 255, 255));
    EXPECT_EQ(centre(texture), "blue");
    TCTexture copy(texture);
    EXPECT_EQ(centre(copy), "red");
    texture.SetVisible(false);
    EXPECT_EQ(centre(texture), "none");
}

TEST(Atlas, PicturesResolveByNormalisedNameElseStandAlone)
{
    fixtures::TempFolder folder("atlas");
    const std::string base = folder.File("scene");
    std::ofstream(base + "_atlaspack.xml")
        << "<atlas_content atlas_count='1'>"
           "<image name='gfx/star' atlas='0' W='4' H='5' origW='10' origH='12'/>"
           "<image name='gfx/bad' atlas='3' W='4' H='5'/>"
           "<image name='gfx/bare'/></atlas_content>";
    int loaded = 0;
    TCImageFileLoader loader = [&loaded](const std::string& file) -> std::unique_ptr<Nubra::MemoryImage> {
        ++loaded;
        if (file.find("missing") != std::string::npos)
            return nullptr;
        auto image = std::make_unique<Nubra::MemoryImage>();
        image->Create(3, 2);
        return image;
    };
    const Atlas atlas(base, loader);
    EXPECT_EQ(loaded, 1);

    AtlasPicture star;
    star.Load(&atlas, "Gfx\\Star", loader);
    ASSERT_NE(star.Record(), nullptr);
    EXPECT_EQ(star.Width(), 10);
    EXPECT_EQ(star.Height(), 12);
    EXPECT_EQ(star.Image(), atlas.GetImage(0));
    EXPECT_NE(star.Image(), nullptr);

    AtlasPicture bad;
    bad.Load(&atlas, "gfx/bad", loader);
    EXPECT_EQ(bad.Image(), nullptr);
    AtlasPicture bare;
    bare.Load(&atlas, "gfx/bare", loader);
    EXPECT_EQ(bare.Width(), 0);

    AtlasPicture own;
    own.Load(&atlas, "gfx/other", loader);
    EXPECT_EQ(own.Record(), nullptr);
    EXPECT_EQ(own.Width(), 3);
    AtlasPicture none;
    none.Load(nullptr, "missing", loader);
    EXPECT_EQ(none.Image(), nullptr);
    EXPECT_EQ(none.Width(), 0);

    const Atlas empty(folder.File("absent"), loader);
    EXPECT_EQ(empty.Find("gfx/star"), nullptr);
}

} // namespace
