// Images shared by file name: one load per name, release after the next update step, callers
// on two threads at once, and the image files read for them.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "framework/app/NubraAppBase.h"
#include "Utf16File.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/Clock.h"

namespace {

using Nubra::MemoryImage;
using Nubra::SharedImageRef;

// Counts the files it is asked to load and makes a 2 x 2 image for each.
class LoaderApp : public Nubra::NubraAppBase {
public:
    MemoryImage* GetImage(const std::string& fileName, bool) override
    {
        ++loads;
        if (duringLoad)
            duringLoad();
        auto* image = new MemoryImage(this);
        image->filePath = fileName;
        image->Create(2, 2);
        return image;
    }

    bool Registered(MemoryImage* image) { return imageRegistry.contains(image); }

    std::atomic<int> loads{0};
    std::function<void()> duringLoad;
};

TEST(SharedImages, OneNameIsLoadedOnceAndEachVariantOnItsOwn)
{
    LoaderApp app;
    bool created = false;
    SharedImageRef first = app.GetSharedImage("ui\\button", "", &created);
    EXPECT_TRUE(created);
    SharedImageRef second = app.GetSharedImage("ui\\button", "", &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(app.loads, 1);
    ASSERT_NE(first.GetImage(), nullptr);
    EXPECT_EQ(first.GetImage(), second.GetImage());
    EXPECT_EQ(first.GetImage()->filePath, "ui\\button");

    SharedImageRef variant = app.GetSharedImage("ui\\button", "red", &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(app.loads, 2);
    EXPECT_NE(variant.GetImage(), first.GetImage());
}

TEST(SharedImages, ABangNameGivesAnEmptyImageWithoutLoading)
{
    LoaderApp app;
    bool created = false;
    SharedImageRef blank = app.GetSharedImage("!canvas", "", &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(app.loads, 0);
    ASSERT_NE(blank.GetImage(), nullptr);
    EXPECT_TRUE(app.Registered(blank.GetImage()));
    EXPECT_EQ(blank->GetWidth(), 0);
}

TEST(SharedImages, TheLastReleaseFreesTheImageAfterTheNextUpdateStep)
{
    LoaderApp app;
    MemoryImage* image = nullptr;
    {
        SharedImageRef ref = app.GetSharedImage("a.png", "", nullptr);
        image = ref.GetImage();
    }
    EXPECT_TRUE(app.Registered(image)); // not at once
    app.UpdateFrames();
    EXPECT_FALSE(app.Registered(image));

    bool created = false;
    SharedImageRef again = app.GetSharedImage("a.png", "", &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(app.loads, 2);
}

TEST(SharedImages, AHandleTakenBeforeTheStepKeepsTheImage)
{
    LoaderApp app;
    MemoryImage* image = nullptr;
    {
        SharedImageRef ref = app.GetSharedImage("a.png", "", nullptr);
        image = ref.GetImage();
    }
    SharedImageRef kept = app.GetSharedImage("a.png", "", nullptr);
    app.UpdateFrames();
    EXPECT_EQ(kept.GetImage(), image);
    EXPECT_TRUE(app.Registered(image));
    EXPECT_EQ(app.loads, 1);

    // Another name released meanwhile goes; this one stays.
    app.GetSharedImage("b.png", "", nullptr);
    app.UpdateFrames();
    EXPECT_TRUE(app.Registered(image));
    EXPECT_EQ(app.imageRegistry.size(), 1u);
}

TEST(SharedImages, CallersOnManyThreadsAtOnceShareOneLoadedImage)
{
    constexpr int kCallers = 6;
    LoaderApp app;
    std::latch started(kCallers);
    // A slow load, so that the other callers arrive while it runs.
    app.duringLoad = [] { plat::SleepMs(30); };

    std::vector<SharedImageRef> refs(kCallers);
    std::vector<MemoryImage*> seen(kCallers, nullptr);
    std::vector<std::thread> callers;
    for (int i = 0; i < kCallers; ++i)
        callers.emplace_back([&, i] {
            started.arrive_and_wait();
            refs[i] = app.GetSharedImage("sheet.png", "", nullptr);
            seen[i] = refs[i].GetImage(); // what the caller sees on return
        });
    for (auto& caller : callers)
        caller.join();

    EXPECT_EQ(app.loads, 1);
    ASSERT_NE(seen[0], nullptr);
    for (MemoryImage* image : seen)
        EXPECT_EQ(image, seen[0]);
}

TEST(SharedImages, ASecondCallerWaitsForTheLoadInProgress)
{
    LoaderApp app;
    std::atomic<bool> secondReturned{false};
    MemoryImage* secondSaw = nullptr;
    std::thread second;
    app.duringLoad = [&] {
        second = std::thread([&] {
            SharedImageRef ref = app.GetSharedImage("sheet.png", "", nullptr);
            secondSaw = ref.GetImage();
            secondReturned = true;
        });
        plat::SleepMs(50);
        EXPECT_FALSE(secondReturned); // still waiting for this load
    };
    SharedImageRef first = app.GetSharedImage("sheet.png", "", nullptr);
    second.join();
    EXPECT_EQ(secondSaw, first.GetImage());
    EXPECT_NE(secondSaw, nullptr);
}

TEST(SharedImages, FilesAreReadIntoRegisteredImagesAndUnreadableOnesGiveNone)
{
    fixtures::TempFolder folder("shared_images");
    auto picture = ImageLib::Image::Create(3, 2);
    for (size_t i = 0; i < picture->PixelCount(); ++i)
        picture->GetBits()[i] = 0x80000000u | uint32_t(i * 0x010203);
    const std::string path = folder.File("tile.png");
    ASSERT_TRUE(ImageLib::WritePNGImage(path, *picture));

    Nubra::NubraAppBase app;
    bool created = false;
    SharedImageRef tile = app.GetSharedImage(path, "", &created);
    MemoryImage* image = tile.GetImage();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(app.imageRegistry.contains(image));
    EXPECT_EQ(image->filePath, path);
    ASSERT_EQ(image->GetWidth(), 3);
    ASSERT_EQ(image->GetHeight(), 2);
    EXPECT_TRUE(std::equal(picture->GetBits(), picture->GetBits() + 6, image->bits.get()));
    EXPECT_TRUE(image->alphaFlagsStale); // shared images are not committed

    SharedImageRef missing = app.GetSharedImage(folder.File("missing.png"), "", &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(missing.GetImage(), nullptr);

    std::unique_ptr<MemoryImage> committed(app.GetImage(path, true));
    ASSERT_NE(committed, nullptr);
    EXPECT_FALSE(committed->alphaFlagsStale);
    EXPECT_TRUE(committed->hasAlpha);
}

TEST(SharedImages, CopyImageTakesTheRectangle)
{
    Nubra::NubraAppBase app;
    MemoryImage source(&app);
    // Red 0x10 to 0x60; the blend onto the new, transparent image may round a channel down by one.
    const uint32_t pixels[] = {0xFF100000, 0xFF200000, 0xFF300000, //
                               0xFF400000, 0xFF500000, 0xFF600000};
    source.SetBits(pixels, 3, 2, true);

    std::unique_ptr<MemoryImage> part(app.CopyImage(&source, Nubra::Rect(1, 0, 2, 2)));
    ASSERT_EQ(part->GetWidth(), 2);
    ASSERT_EQ(part->GetHeight(), 2);
    const uint32_t* bits = part->GetBits();
    const int expectedRed[] = {0x20, 0x30, 0x50, 0x60};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(int(bits[i] >> 16 & 0xFF), expectedRed[i], 1) << i;
    EXPECT_TRUE(app.imageRegistry.contains(part.get()));

    std::unique_ptr<MemoryImage> whole(app.CopyImage(&source));
    EXPECT_EQ(whole->GetWidth(), 3);
}

} // namespace
